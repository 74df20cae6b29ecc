#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "midi/ring_storage.h"

// Hands the messages of a JACK output port from the sending thread to JACK's process thread: a byte ring of
// 32 KiB with one writer and one reader and no lock. Each record is a 16-bit length and the message bytes.
// The storage is allocated once, with the ring; the reader copies a message straight into the port's
// buffer, so that it allocates nothing.
class CJackOutputRing {
  public:
    static constexpr std::size_t kCapacity = std::size_t{1} << 15;
    static constexpr std::size_t kMaxMessage = 0xFFFF;

    CJackOutputRing();

    // Writer: stores one message; false, storing nothing, when it does not fit now, is empty or is longer
    // than kMaxMessage.
    bool Push(std::span<const std::uint8_t> bytes);
    // Writer: whether a message of count bytes would be stored now.
    bool Fits(std::size_t count) const;

    // Reader: the length of the oldest message, 0 when the ring is empty.
    std::size_t FrontSize() const;
    // Reader: copies the oldest message (FrontSize() bytes) to target and takes it out; nothing when empty.
    void PopInto(std::uint8_t* target);
    // Reader: takes the oldest message out unread; nothing when empty.
    void Drop();

    // Empties the ring. Only while neither side uses it.
    void Clear();

  private:
    static constexpr std::size_t kHeader = 2;

    CRingStorage<kCapacity> storage_;
    std::atomic<std::size_t> read_{0};   // written by the reader only
    std::atomic<std::size_t> write_{0};  // written by the writer only
};
