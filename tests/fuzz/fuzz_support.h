#pragma once

// What every fuzz target shares: the check that stops a run when an invariant breaks, and byte helpers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Stops the run with a message when an invariant does not hold; libFuzzer then keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

inline std::string AsString(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline void AppendU32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void AppendVariableLength(Bytes& out, std::uint32_t value) {
    Bytes groups{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7)
        groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    out.insert(out.end(), groups.begin(), groups.end());
}

// A Standard MIDI File of one track holding the messages (each F0 ... F7) as System Exclusive events.
inline Bytes SmfWithSysEx(const std::vector<Bytes>& messages) {
    Bytes track;
    for (const Bytes& message : messages) {
        track.push_back(0);
        track.push_back(0xF0);
        AppendVariableLength(track, static_cast<std::uint32_t>(message.size() - 1));
        track.insert(track.end(), message.begin() + 1, message.end());
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    AppendU32(file, static_cast<std::uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
