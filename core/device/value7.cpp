#include "device/value7.h"

std::vector<std::uint8_t> EncodeValue7(std::int32_t value, int width) {
    std::vector<std::uint8_t> bytes;
    if (width <= 0) return bytes;
    bytes.reserve(static_cast<std::size_t>(width));
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = width - 1; i >= 0; --i) {
        const int shift = 7 * i;
        bytes.push_back(shift >= 32 ? 0 : static_cast<std::uint8_t>((v >> shift) & 0x7Fu));
    }
    return bytes;
}

std::int32_t DecodeValue7(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t b : bytes)
        value = value * 128u + b;
    return static_cast<std::int32_t>(value);
}
