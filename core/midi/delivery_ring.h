#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "midi/ring_storage.h"

// Hands complete messages from the event thread of an input port to the user-interface thread: a byte
// ring of 256 KiB with one writer and one reader and no lock. Each record is a kind byte, a 16-bit length
// and the message bytes. The storage is allocated once, with the ring.
class CMidiDeliveryRing {
  public:
    enum class Kind : std::uint8_t { Short = 0, Long = 1 };

    static constexpr std::size_t kCapacity = std::size_t{1} << 18;
    static constexpr std::size_t kMaxMessage = 0xFFFF;

    CMidiDeliveryRing();

    // Writer: stores one message; false, storing nothing, when it does not fit now or is longer than
    // kMaxMessage.
    bool Push(Kind kind, std::span<const std::uint8_t> bytes);
    // Reader: takes the oldest message into bytes; false when the ring is empty.
    bool Pop(Kind& kind, std::vector<std::uint8_t>& bytes);
    bool Empty() const;
    // Bytes in use, headers included.
    std::size_t Used() const;

  private:
    static constexpr std::size_t kHeader = 3;

    CRingStorage<kCapacity> storage_;
    std::atomic<std::size_t> read_{0};   // written by the reader only
    std::atomic<std::size_t> write_{0};  // written by the writer only
};
