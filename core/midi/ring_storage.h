#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

// The bytes of a ring with one reader and one writer. Positions count up without bound and wrap here, so
// that a record may run over the end and go on at the start; kCapacity is a power of two, so the count's
// own wrap-around keeps the positions right.
template <std::size_t kCapacity>
class CRingStorage {
    static_assert(kCapacity > 0 && (kCapacity & (kCapacity - 1)) == 0);

  public:
    CRingStorage() : bytes_(std::make_unique<std::uint8_t[]>(kCapacity)) {}

    void CopyIn(std::size_t position, const std::uint8_t* source, std::size_t count) {
        const std::size_t start = position % kCapacity;
        const std::size_t first = std::min(count, kCapacity - start);
        if (first) std::memcpy(bytes_.get() + start, source, first);
        if (count > first) std::memcpy(bytes_.get(), source + first, count - first);
    }

    void CopyOut(std::size_t position, std::uint8_t* target, std::size_t count) const {
        const std::size_t start = position % kCapacity;
        const std::size_t first = std::min(count, kCapacity - start);
        if (first) std::memcpy(target, bytes_.get() + start, first);
        if (count > first) std::memcpy(target + first, bytes_.get(), count - first);
    }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
};
