#include "rtmidi/normal_midi_device_factory.h"

#include "rtmidi/rtmidi_ports.h"

namespace {

std::string NameAt(const std::vector<std::string>& names, int id) {
    return id >= 0 && static_cast<std::size_t>(id) < names.size() ? names[static_cast<std::size_t>(id)]
                                                                  : std::string();
}

}  // namespace

CNormalMidiDeviceFactory::CNormalMidiDeviceFactory(MidiApiChoice choice) : probe_(ProbeMidiSystem(choice)) {}

std::unique_ptr<CKivMidiInDevice> CNormalMidiDeviceFactory::CreateInDevice(const std::string& name,
                                                                           CMidiArrivalSignal& arrival) {
    lastError_.clear();
    return CreateRtMidiInDevice(probe_.system, name, arrival, &lastError_);
}

std::unique_ptr<CKivMidiOutDevice> CNormalMidiDeviceFactory::CreateOutDevice(const std::string& name) {
    lastError_.clear();
    return CreateRtMidiOutDevice(probe_.system, name, &lastError_);
}

int CNormalMidiDeviceFactory::InPortCount() {
    inNames_ = OfferedRtMidiInPorts(probe_.system, &lastError_);
    return static_cast<int>(inNames_.size());
}

bool CNormalMidiDeviceFactory::InPortUsable(int id) {
    return !NameAt(inNames_, id).empty();
}

std::string CNormalMidiDeviceFactory::InPortName(int id) {
    return NameAt(inNames_, id);
}

int CNormalMidiDeviceFactory::OutPortCount() {
    outNames_ = OfferedRtMidiOutPorts(probe_.system, &lastError_);
    return static_cast<int>(outNames_.size());
}

bool CNormalMidiDeviceFactory::OutPortUsable(int id) {
    return !NameAt(outNames_, id).empty();
}

std::string CNormalMidiDeviceFactory::OutPortName(int id) {
    return NameAt(outNames_, id);
}
