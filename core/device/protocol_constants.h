#pragma once

#include <array>
#include <cstdint>

// Bytes of the maker's address-based System Exclusive protocol and of the universal identity exchange.

inline constexpr std::uint8_t kSysExStart = 0xF0;
inline constexpr std::uint8_t kSysExEnd = 0xF7;

// Byte 1 of every address/data message of the maker; also byte 5 of the identity reply.
inline constexpr std::uint8_t kMarlinManufacturerId = 0x41;
// Byte 1 of a universal non-real-time message, and of a universal real-time message.
inline constexpr std::uint8_t kUniversalNonRealTime = 0x7E;
inline constexpr std::uint8_t kUniversalRealTime = 0x7F;

// Command ids (byte sequences, compared byte for byte).
inline constexpr std::array<std::uint8_t, 1> RequestCommand = {0x11};
inline constexpr std::array<std::uint8_t, 1> DataSetCommand = {0x12};

// The model id of the TQ-550.
inline constexpr std::array<std::uint8_t, 3> kTq550ModelId = {0x00, 0x00, 0x60};

// Bytes of the address field and of the size field of a request.
inline constexpr int kTq550AddressWidth = 4;

// Universal identity request and reply: sub-ids at bytes 3 and 4.
inline constexpr std::uint8_t kGeneralInformation = 0x06;
inline constexpr std::uint8_t kIdentityRequest = 0x01;
inline constexpr std::uint8_t kIdentityReply = 0x02;
inline constexpr std::size_t kIdentityReplyLength = 15;
