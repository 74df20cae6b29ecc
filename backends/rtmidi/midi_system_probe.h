#pragma once

#include <string>

#include "rtmidi/midi_api.h"

// The outcome of looking for a usable MIDI system.
struct MidiSystemProbe {
    enum class System { None, Alsa, Jack, Native };
    System system = System::None;
    // Why no system is usable, as one sentence for the user; empty when one is.
    std::string problem;
};

// Tries the systems that choice allows, in order (ALSA before JACK for Auto), without starting a JACK
// server and without letting the libraries print anything.
MidiSystemProbe ProbeMidiSystem(MidiApiChoice choice);

// Keeps the ALSA and JACK libraries from writing their own diagnostics to standard error.
void SilenceMidiLibraries();

// The display name of a system: "ALSA", "JACK" or "native".
const char* MidiSystemName(MidiSystemProbe::System system);
