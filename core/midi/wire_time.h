#pragma once

#include <chrono>
#include <cstddef>

// Time that count bytes take on a MIDI cable: 31 250 bit/s and 10 bits a byte, that is count × 1000 / 3125
// whole milliseconds, or rateMultiple times as fast. A multiple of 0 means no wait.
inline std::chrono::milliseconds WireTime(std::size_t count, int rateMultiple = 1) {
    if (rateMultiple <= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(static_cast<long long>(count) * 1000 / (3125LL * rateMultiple));
}
