#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"

using Bytes = std::vector<std::uint8_t>;

// Waits (blocking on the arrival signal, never spinning) until done() holds or timeout has passed.
inline bool WaitUntil(CMidiArrivalSignal& arrival, const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::uint64_t seen = arrival.Sequence();
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        seen = arrival.WaitNewer(seen, std::chrono::milliseconds(5));
    }
    return true;
}

// A System Exclusive message of length bytes whose body counts up from seed.
inline Bytes NumberedSysEx(std::size_t length, std::uint32_t seed) {
    Bytes bytes(length);
    bytes.front() = 0xF0;
    for (std::size_t i = 1; i + 1 < length; ++i)
        bytes[i] = static_cast<std::uint8_t>((seed + i) & 0x7F);
    bytes.back() = 0xF7;
    return bytes;
}

// Records every message a physical input port delivers.
class CRecordingSink : public IMidiMessageSink {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
    }
    std::vector<Bytes> received;
};
