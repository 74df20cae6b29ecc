#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A channel or system message other than System Exclusive, packed into 32 bits: status in bits 0-7, data 1
// in bits 8-15, data 2 in bits 16-23.
class ShortMessage {
  public:
    ShortMessage() = default;
    explicit ShortMessage(std::uint32_t packed) : packed_(packed) {}
    ShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2 = 0)
        : packed_(Pack(status, data1, data2)) {}

    // Byte 0 is the status, byte 1 (if present) data 1, byte 2 (if present) data 2.
    static ShortMessage FromBytes(std::span<const std::uint8_t> bytes);
    static std::uint32_t Pack(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        return static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data1) << 8 |
               static_cast<std::uint32_t>(data2) << 16;
    }
    // Bytes in the byte form of a message with this status: 3 for 8nH, 9nH, AnH, BnH, EnH and F2H; 2 for
    // CnH, DnH, F1H and F3H; 1 otherwise.
    static int LengthOf(std::uint8_t status);

    std::uint32_t Packed() const { return packed_; }
    std::uint8_t Status() const { return static_cast<std::uint8_t>(packed_ & 0xFF); }
    std::uint8_t Data1() const { return static_cast<std::uint8_t>(packed_ >> 8 & 0xFF); }
    std::uint8_t Data2() const { return static_cast<std::uint8_t>(packed_ >> 16 & 0xFF); }
    // The byte form: LengthOf(Status()) bytes.
    std::vector<std::uint8_t> Bytes() const;

    bool operator==(const ShortMessage&) const = default;

  private:
    std::uint32_t packed_ = 0;
};
