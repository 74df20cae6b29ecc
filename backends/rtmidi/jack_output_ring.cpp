#include "rtmidi/jack_output_ring.h"

#include <algorithm>
#include <cstring>

static_assert((CJackOutputRing::kCapacity & (CJackOutputRing::kCapacity - 1)) == 0);

CJackOutputRing::CJackOutputRing() : storage_(std::make_unique<std::uint8_t[]>(kCapacity)) {}

bool CJackOutputRing::Fits(std::size_t count) const {
    const std::size_t used = write_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire);
    return count > 0 && count <= kMaxMessage && kHeader + count <= kCapacity - used;
}

bool CJackOutputRing::Push(std::span<const std::uint8_t> bytes) {
    if (!Fits(bytes.size())) return false;
    const std::size_t write = write_.load(std::memory_order_relaxed);
    const std::uint8_t header[kHeader] = {static_cast<std::uint8_t>(bytes.size() & 0xFF),
                                          static_cast<std::uint8_t>(bytes.size() >> 8)};
    CopyIn(write, header, kHeader);
    CopyIn(write + kHeader, bytes.data(), bytes.size());
    write_.store(write + kHeader + bytes.size(), std::memory_order_release);
    return true;
}

std::size_t CJackOutputRing::FrontSize() const {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return 0;
    std::uint8_t header[kHeader];
    CopyOut(read, header, kHeader);
    return header[0] | static_cast<std::size_t>(header[1]) << 8;
}

void CJackOutputRing::PopInto(std::uint8_t* target) {
    const std::size_t read = read_.load(std::memory_order_relaxed);
    if (write_.load(std::memory_order_acquire) == read) return;
    const std::size_t count = FrontSize();
    CopyOut(read + kHeader, target, count);
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

void CJackOutputRing::CopyIn(std::size_t position, const std::uint8_t* source, std::size_t count) {
    const std::size_t start = position % kCapacity;
    const std::size_t first = std::min(count, kCapacity - start);
    if (first) std::memcpy(storage_.get() + start, source, first);
    if (count > first) std::memcpy(storage_.get(), source + first, count - first);
}

void CJackOutputRing::CopyOut(std::size_t position, std::uint8_t* target, std::size_t count) const {
    const std::size_t start = position % kCapacity;
    const std::size_t first = std::min(count, kCapacity - start);
    if (first) std::memcpy(target, storage_.get() + start, first);
    if (count > first) std::memcpy(target + first, storage_.get(), count - first);
}
