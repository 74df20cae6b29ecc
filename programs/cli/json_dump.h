#pragma once

#include <string>

#include "model/data.h"

// The patches as the JSON object `tq550 dump` prints: names as JSON strings (bytes outside 0x20..0x7E as
// \u00XX), data and memos in lower-case hex.
std::string PatchesToJson(const CPatchArray& patches);
