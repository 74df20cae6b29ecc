#pragma once

// Test inputs built by hand, byte for byte, so that tests of the readers do not lean on the project's own
// writers: big-endian numbers, variable-length quantities and a Standard MIDI File of System Exclusive
// messages. Standard library only: the unit, fuzz and widget tests share it.

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

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
