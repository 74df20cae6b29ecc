#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

// 14-bit values in byte images: two 7-bit bytes, high first. Reading takes the bytes as they are; writing
// limits the value to 0..16383.
inline int Read14(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] * 128 + bytes[at + 1];
}

inline void Write14(std::span<std::uint8_t> bytes, std::size_t at, int value) {
    value = std::clamp(value, 0, 0x3FFF);
    bytes[at] = static_cast<std::uint8_t>(value >> 7);
    bytes[at + 1] = static_cast<std::uint8_t>(value & 0x7F);
}
