#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

// The most bytes a file of patches is read into memory (Standard MIDI Files, SysEx files): far more than any
// real one holds, far less than a device file or a file that never ends would fill.
inline constexpr std::size_t kMostFileBytes = 64 * 1024 * 1024;

// Reads the rest of stream into bytes; false when reading fails for another reason than the end of the data,
// or when there is more than limit bytes (then bytes holds what was read, at most limit + a piece).
bool ReadAtMost(std::istream& stream, std::vector<std::uint8_t>& bytes, std::size_t limit = kMostFileBytes);
