#include "rtmidi/rtmidi_errors.h"

namespace {

void KeepError(RtMidiError::Type type, const std::string& text, void* error) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) return;
    *static_cast<std::string*>(error) = text;
}

void KeepErrorOrWarning(RtMidiError::Type type, const std::string& text, void* error) {
    if (type == RtMidiError::DEBUG_WARNING) return;
    *static_cast<std::string*>(error) = text;
}

}  // namespace

void ReportRtMidiErrorsTo(RtMidi& midi, std::string& error) {
    midi.setErrorCallback(&KeepError, &error);
}

bool SendRtMidiMessage(RtMidiOut& midi, std::string& error, std::span<const std::uint8_t> bytes) {
    error.clear();
    midi.setErrorCallback(&KeepErrorOrWarning, &error);
    midi.sendMessage(bytes.data(), bytes.size());
    midi.setErrorCallback(&KeepError, &error);
    return error.empty();
}
