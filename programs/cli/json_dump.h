#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/data.h"

// The patches as the JSON object `tq550 dump` prints: names as JSON strings (bytes outside 0x20..0x7E as
// \u00XX), data and memos in lower-case hex.
std::string PatchesToJson(const CPatchArray& patches);

// Pieces of that output: name bytes as the contents of a JSON string (without the quotes), and bytes in
// lower-case hex.
std::string JsonNameText(const std::string& name);
std::string HexText(std::span<const std::uint8_t> bytes);
// UTF-8 text (a path, a tag) as the contents of a JSON string: quotes, backslashes and control characters
// escaped; bytes that are not valid UTF-8 as \u00XX.
std::string JsonText(const std::string& text);
