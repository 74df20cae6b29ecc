// The ports of a build without RtMidi: there are none, and every attempt says why.
#include "rtmidi/rtmidi_ports.h"

namespace {
std::nullptr_t Refuse(std::string* error) {
    if (error) *error = "this program was built without RtMidi";
    return nullptr;
}
}  // namespace

std::vector<std::string> OfferedRtMidiInPorts(MidiSystemProbe::System, std::string*) {
    return {};
}

std::vector<std::string> OfferedRtMidiOutPorts(MidiSystemProbe::System, std::string*) {
    return {};
}

std::unique_ptr<CMidiInDevice> CreateRtMidiInDevice(MidiSystemProbe::System, const std::string&,
                                                    CMidiArrivalSignal&, std::string* error) {
    return Refuse(error);
}

std::unique_ptr<CMidiOutDevice> CreateRtMidiOutDevice(MidiSystemProbe::System, const std::string&,
                                                      std::string* error) {
    return Refuse(error);
}

std::unique_ptr<CMidiInDevice> CreateRtMidiVirtualInDevice(MidiSystemProbe::System, const std::string&,
                                                           const std::string&, CMidiArrivalSignal&,
                                                           std::string* error) {
    return Refuse(error);
}

std::unique_ptr<CMidiOutDevice> CreateRtMidiVirtualOutDevice(MidiSystemProbe::System, const std::string&,
                                                             const std::string&, std::string* error) {
    return Refuse(error);
}
