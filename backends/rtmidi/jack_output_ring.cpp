#include "rtmidi/jack_output_ring.h"

CJackOutputRing::CJackOutputRing() = default;

bool CJackOutputRing::Fits(std::size_t count) const {
    const std::size_t used = write_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire);
    return count > 0 && count <= kMaxMessage && kHeader + count <= kCapacity - used;
}

bool CJackOutputRing::Push(std::span<const std::uint8_t> bytes) {
    if (!Fits(bytes.size())) return false;
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::uint8_t header[kHeader] = {static_cast<std::uint8_t>(bytes.size() & 0xFF),
                                          static_cast<std::uint8_t>(bytes.size() >> 8)};
    storage_.CopyIn(write, header, kHeader);
    storage_.CopyIn(write + kHeader, bytes.data(), bytes.size());
    write_.store(write + kHeader + bytes.size(), std::memory_order_release);
    return true;
}

std::size_t CJackOutputRing::FrontSize() const {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return 0;
    std::uint8_t header[kHeader];
    storage_.CopyOut(read, header, kHeader);
    return header[0] | static_cast<std::size_t>(header[1]) << 8;
}

void CJackOutputRing::PopInto(std::uint8_t* target) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return;
    const std::size_t count = FrontSize();
    storage_.CopyOut(read + kHeader, target, count);
    read_.store(read + kHeader + count, std::memory_order_release);
}

void CJackOutputRing::Drop() {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return;
    read_.store(read + kHeader + FrontSize(), std::memory_order_release);
}

void CJackOutputRing::Clear() {
    read_.store(0, std::memory_order_relaxed);
    write_.store(0, std::memory_order_relaxed);
}
