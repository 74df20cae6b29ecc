#pragma once

#include <chrono>
#include <cstddef>
#include <thread>

// Time that count bytes take on a MIDI cable: 31 250 bit/s and 10 bits a byte, that is count × 1000 / 3125
// whole milliseconds, or rateMultiple times as fast. A multiple of 0 means no wait.
inline std::chrono::milliseconds WireTime(std::size_t count, int rateMultiple = 1) {
    if (rateMultiple <= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(static_cast<long long>(count) * 1000 / (3125LL * rateMultiple));
}

// Blocks until the steady clock has reached deadline. MinGW's threads on Windows cut a sleep to whole
// milliseconds and may wake before the deadline by the steady clock; what is left is slept again, rounded up
// to a whole millisecond, so that the wait never ends early and never spins.
inline void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    std::this_thread::sleep_until(deadline);
    for (auto now = std::chrono::steady_clock::now(); now < deadline; now = std::chrono::steady_clock::now())
        std::this_thread::sleep_for(std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
}
