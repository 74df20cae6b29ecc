#pragma once

#include <cstdint>
#include <span>
#include <vector>

// 7-bit packing of addresses and sizes: width bytes, most significant first, 7 bits each. Values are
// plain integers of up to 7 × width bits; higher bits are dropped.
std::vector<std::uint8_t> EncodeValue7(std::int32_t value, int width);
// Starts from 0 and, for each byte in order, multiplies by 128 and adds the byte (modulo 2^32).
std::int32_t DecodeValue7(std::span<const std::uint8_t> bytes);
