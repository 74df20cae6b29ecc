#pragma once

#include <RtMidi.h>

#include <cstdint>
#include <span>
#include <string>

// RtMidi objects of the backend report to a string instead of printing or throwing: the text of the last
// error lands there. Warnings are left out, except during a send: RtMidi reports some failures of a send
// only as warnings (on ALSA "error sending MIDI message to port", "event parsing error", "incomplete
// message"), and those make the send fail.
void ReportRtMidiErrorsTo(RtMidi& midi, std::string& error);

// Sends bytes through midi, whose errors go to error (ReportRtMidiErrorsTo); false when RtMidi reported an
// error or a warning during the send.
bool SendRtMidiMessage(RtMidiOut& midi, std::string& error, std::span<const std::uint8_t> bytes);
