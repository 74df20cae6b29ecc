#pragma once

#include <string>

// The MIDI system that the RtMidi backend uses. Auto takes the ALSA sequencer when it can be opened, else
// a running JACK server (on other platforms: the platform's own MIDI system).
enum class MidiApiChoice { Auto, Alsa, Jack };

// "alsa", "jack" or "auto"; false for any other text.
bool ParseMidiApiChoice(const std::string& text, MidiApiChoice& choice);
const char* MidiApiChoiceName(MidiApiChoice choice);
