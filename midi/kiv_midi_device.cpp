#include "midi/kiv_midi_device.h"

#include <algorithm>

#include "midi/kiv_midi_in.h"
#include "midi/midi_environment.h"

MidiEnvironment& CKivMidiDevice::Environment() const {
    return environment_ ? *environment_ : GetMidiEnvironment();
}

bool CKivMidiInDevice::Bind(CKivMidiIn& port) {
    if (IsBound(port)) return false;
    bound_.push_back(&port);
    return true;
}

void CKivMidiInDevice::Unbind(const CKivMidiIn& port) {
    std::erase(bound_, &port);
}

bool CKivMidiInDevice::IsBound(const CKivMidiIn& port) const {
    return std::find(bound_.begin(), bound_.end(), &port) != bound_.end();
}

void CKivMidiInDevice::DeliverToBound(std::span<const std::uint8_t> bytes) {
    // A receiver may change the bindings while it handles the message; deliver to those bound now.
    const std::vector<CKivMidiIn*> ports = bound_;
    for (CKivMidiIn* port : ports)
        if (IsBound(*port)) port->Receive(bytes);
}
