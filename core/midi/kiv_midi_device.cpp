#include "midi/kiv_midi_device.h"

#include <algorithm>

bool CKivMidiInDevice::Bind(IMidiMessageSink& sink) {
    if (IsBound(sink)) return false;
    bound_.push_back(&sink);
    return true;
}

void CKivMidiInDevice::Unbind(const IMidiMessageSink& sink) {
    std::erase(bound_, &sink);
}

bool CKivMidiInDevice::IsBound(const IMidiMessageSink& sink) const {
    return std::find(bound_.begin(), bound_.end(), &sink) != bound_.end();
}

void CKivMidiInDevice::DeliverToBound(std::span<const std::uint8_t> bytes) {
    // A sink may change the bindings while it handles the message; deliver to those bound now.
    const std::vector<IMidiMessageSink*> sinks = bound_;
    for (IMidiMessageSink* sink : sinks)
        if (IsBound(*sink)) sink->Receive(bytes);
}
