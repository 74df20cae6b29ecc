#pragma once

#include <cstdint>
#include <optional>
#include <span>

// A message a foot switch sends when it is pressed, as learned: a Program Change (any program), a Control
// Change whose value is 64 or more, or a Note On (velocity above 0), on one channel (0-15) or on any (-1).
struct CPedalMessage {
    enum Kind : int { None = 0, ProgramChange = 1, ControlChange = 2, NoteOn = 3 };

    Kind kind = None;
    // -1: any channel.
    int channel = -1;
    // The program, controller or note number (0-127).
    int number = 0;

    bool IsLearned() const { return kind != None; }
    // Whether a press matches: the same kind and number, on the channel (any when -1).
    bool Matches(const CPedalMessage& press) const;
    bool operator==(const CPedalMessage&) const = default;
};

// The press that bytes (one complete message) are, on its own channel; none for anything else (a Control
// Change below 64 is a release, a Note On with velocity 0 a Note Off).
std::optional<CPedalMessage> PedalPressOf(std::span<const std::uint8_t> bytes);
