#pragma once

// Data sets of the earlier TQ-4/TQ-MAX processors, built by hand for the tests of their importers:
// F0 41 device 00 3A command address data checksum F7.

#include <array>
#include <cstdint>

#include "support/smf_bytes.h"

// The address of an earlier user patch's byte: patch number 0 to 255 from 08 00, then the offset.
inline std::array<std::uint8_t, 4> PatchAddress(int number, int offset) {
    return {static_cast<std::uint8_t>(8 + number / 128), static_cast<std::uint8_t>(number % 128),
            static_cast<std::uint8_t>(offset / 128), static_cast<std::uint8_t>(offset % 128)};
}

// A data set (command 12H) or another command; checksumError is added to the right checksum.
inline Bytes DataSet(std::array<std::uint8_t, 4> address, const Bytes& data, std::uint8_t device = 0x00,
                     std::uint8_t command = 0x12, int checksumError = 0) {
    Bytes message{0xF0, 0x41, device, 0x00, 0x3A, command};
    int sum = 0;
    for (std::uint8_t b : address) {
        message.push_back(b);
        sum += b;
    }
    for (std::uint8_t b : data) {
        message.push_back(b);
        sum += b;
    }
    message.push_back(static_cast<std::uint8_t>((0 - sum + checksumError) & 0x7F));
    message.push_back(0xF7);
    return message;
}

// A data set for earlier user patch number at offset.
inline Bytes Tq4Set(int number, int offset, const Bytes& data, std::uint8_t device = 0x00) {
    return DataSet(PatchAddress(number, offset), data, device);
}
