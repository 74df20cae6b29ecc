#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One complete System Exclusive message: the first byte is F0H, the last F7H and every byte between them
// is a 7-bit data byte. Every operation keeps it that way.
class CKivLongMessage {
  public:
    CKivLongMessage();
    virtual ~CKivLongMessage() = default;
    CKivLongMessage(const CKivLongMessage&) = default;
    CKivLongMessage& operator=(const CKivLongMessage&) = default;
    CKivLongMessage(CKivLongMessage&&) = default;
    CKivLongMessage& operator=(CKivLongMessage&&) = default;

    // Resets the message to its default content, F0 00 F7.
    virtual void Clear();
    // Takes a copy of bytes when they form a valid System Exclusive message; otherwise leaves the message
    // unchanged and returns false.
    virtual bool Assign(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

    // Makes the message F0, the current byte 1, body, F7. Body bytes are cut to 7 bits.
    void SetBody(std::span<const std::uint8_t> body);
    // Writes byte 1: the manufacturer id, or 7EH for a universal non-real-time message (cut to 7 bits).
    void SetManufacturer(std::uint8_t id);
    std::uint8_t Manufacturer() const { return bytes_[1]; }

    // True when bytes have at least 3 bytes, begin with F0H, end with F7H and hold only 00H-7FH between.
    static bool IsValid(std::span<const std::uint8_t> bytes);

  protected:
    std::vector<std::uint8_t> bytes_;
};
