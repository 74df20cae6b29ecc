#include "midi/delivery_ring.h"

CMidiDeliveryRing::CMidiDeliveryRing() = default;

bool CMidiDeliveryRing::Push(Kind kind, std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxMessage) return false;
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::size_t used = write - read_.load(std::memory_order_acquire);
    if (kHeader + bytes.size() > kCapacity - used) return false;
    const std::uint8_t header[kHeader] = {static_cast<std::uint8_t>(kind),
                                          static_cast<std::uint8_t>(bytes.size() & 0xFF),
                                          static_cast<std::uint8_t>(bytes.size() >> 8)};
    storage_.CopyIn(write, header, kHeader);
    storage_.CopyIn(write + kHeader, bytes.data(), bytes.size());
    write_.store(write + kHeader + bytes.size(), std::memory_order_release);
    return true;
}

bool CMidiDeliveryRing::Pop(Kind& kind, std::vector<std::uint8_t>& bytes) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return false;
    std::uint8_t header[kHeader];
    storage_.CopyOut(read, header, kHeader);
    kind = static_cast<Kind>(header[0]);
    const std::size_t count = header[1] | static_cast<std::size_t>(header[2]) << 8;
    bytes.resize(count);
    storage_.CopyOut(read + kHeader, bytes.data(), count);
    read_.store(read + kHeader + count, std::memory_order_release);
    return true;
}

bool CMidiDeliveryRing::Empty() const {
    return Used() == 0;
}

std::size_t CMidiDeliveryRing::Used() const {
    return write_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire);
}
