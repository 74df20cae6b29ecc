#include "setup/midi_setup.h"

#include <algorithm>

namespace {
std::string Entry(const char* name, int index) { return name + std::to_string(index); }

// Device ids travel in 7-bit fields; anything else in the settings is not an id.
bool IsDeviceId(int id) { return id >= 0 && id <= 0x7F; }

// The choices: the offered names, "(none)", then each remembered name that is not offered, marked.
std::vector<std::string> Choices(std::vector<std::string> offered, const std::vector<std::string>& remembered) {
    offered.push_back(CMidiSetup::kNone);
    for (const std::string& name : remembered)
        if (std::find(offered.begin(), offered.end(), name) == offered.end())
            offered.push_back(name + CMidiSetup::kUnconnected);
    return offered;
}

// The display name of a port that is bound to nothing.
std::string UnboundDisplayName(const std::string& stored) {
    return stored == CMidiSetup::kNone ? stored : stored + CMidiSetup::kUnconnected;
}
}  // namespace

CKivMidiInDevice* CMidiSetup::FindOrCreateInDevice(const std::string& portName) {
    if (CKivMidiInDevice* device = environment_.FindInDevice(portName)) return device;
    return environment_.AddInDevice(environment_.Factory().CreateInDevice(portName));
}

CKivMidiOutDevice* CMidiSetup::FindOrCreateOutDevice(const std::string& portName) {
    if (CKivMidiOutDevice* device = environment_.FindOutDevice(portName)) return device;
    return environment_.AddOutDevice(environment_.Factory().CreateOutDevice(portName));
}

void CMidiSetup::BindIn(CKivMidiIn& port, const std::string& portName, int deviceId) {
    if (IsDeviceId(deviceId)) port.SetDeviceId(static_cast<std::uint8_t>(deviceId));
    if (portName != kNone) {
        if (CKivMidiInDevice* device = FindOrCreateInDevice(portName)) device->Bind(port);
        return;
    }
    const int index = environment_.IndexOfInPort(port);
    if (index >= 0) settings_.WriteString(kInSection, Entry("MIDIInDevice", index), kNone);
}

void CMidiSetup::BindOut(CKivMidiOut& port, const std::string& portName, int deviceId) {
    if (IsDeviceId(deviceId)) port.SetDeviceId(static_cast<std::uint8_t>(deviceId));
    if (portName != kNone) {
        if (CKivMidiOutDevice* device = FindOrCreateOutDevice(portName)) port.SetDevice(device);
        return;
    }
    const int index = environment_.IndexOfOutPort(port);
    if (index >= 0) settings_.WriteString(kOutSection, Entry("MIDIOutDevice", index), kNone);
}

void CMidiSetup::BindInByProfileName(const std::string& profileName, const std::string& portName, int deviceId) {
    if (CKivMidiIn* port = environment_.FindInPortByName(profileName)) BindIn(*port, portName, deviceId);
}

void CMidiSetup::BindOutByProfileName(const std::string& profileName, const std::string& portName,
                                      int deviceId) {
    if (CKivMidiOut* port = environment_.FindOutPortByName(profileName)) BindOut(*port, portName, deviceId);
}

std::string CMidiSetup::StoredInDevice(int index) const {
    return settings_.GetString(kInSection, Entry("MIDIInDevice", index), kNone);
}

std::string CMidiSetup::StoredOutDevice(int index) const {
    return settings_.GetString(kOutSection, Entry("MIDIOutDevice", index), kNone);
}

std::string CMidiSetup::InPortDisplayName(const CKivMidiIn& port) {
    if (CKivMidiInDevice* device = environment_.InPortOf(port)) return device->Name();
    const int index = environment_.IndexOfInPort(port);
    return index < 0 ? kNone : UnboundDisplayName(StoredInDevice(index));
}

std::string CMidiSetup::OutPortDisplayName(const CKivMidiOut& port) {
    if (CKivMidiOutDevice* device = port.GetDevice()) return device->Name();
    const int index = environment_.IndexOfOutPort(port);
    return index < 0 ? kNone : UnboundDisplayName(StoredOutDevice(index));
}

std::vector<std::string> CMidiSetup::ListInPorts() {
    std::vector<std::string> remembered;
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i) remembered.push_back(StoredInDevice(static_cast<int>(i)));
    return Choices(ListInPortNames(environment_.Factory()), remembered);
}

std::vector<std::string> CMidiSetup::ListOutPorts() {
    std::vector<std::string> remembered;
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i)
        remembered.push_back(StoredOutDevice(static_cast<int>(i)));
    return Choices(ListOutPortNames(environment_.Factory()), remembered);
}

void CMidiSetup::Load() {
    environment_.ClearBindings();
    // The settings of index i are read before any binding, as binding "(none)" writes to them.
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i) {
        const int index = static_cast<int>(i);
        const CKivMidiIn& port = environment_.InPort(i);
        const std::string profile = settings_.GetString(kInSection, Entry("MIDIIn", index), port.GetName());
        const std::string device = StoredInDevice(index);
        const int id = settings_.GetInt(kInSection, Entry("MIDIInDeviceId", index), port.GetDeviceId());
        BindInByProfileName(profile, device, id);
    }
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i) {
        const int index = static_cast<int>(i);
        const CKivMidiOut& port = environment_.OutPort(i);
        const std::string profile = settings_.GetString(kOutSection, Entry("MIDIOut", index), port.GetName());
        const std::string device = StoredOutDevice(index);
        const int id = settings_.GetInt(kOutSection, Entry("MIDIOutDeviceId", index), port.GetDeviceId());
        BindOutByProfileName(profile, device, id);
    }
}

void CMidiSetup::Save() {
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i) {
        const int index = static_cast<int>(i);
        const CKivMidiIn& port = environment_.InPort(i);
        settings_.WriteString(kInSection, Entry("MIDIIn", index), port.GetName());
        const std::string current = InPortDisplayName(port);
        if (current != StoredInDevice(index) + kUnconnected)
            settings_.WriteString(kInSection, Entry("MIDIInDevice", index), current);
        settings_.WriteInt(kInSection, Entry("MIDIInDeviceId", index), port.GetDeviceId());
    }
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i) {
        const int index = static_cast<int>(i);
        const CKivMidiOut& port = environment_.OutPort(i);
        settings_.WriteString(kOutSection, Entry("MIDIOut", index), port.GetName());
        const std::string current = OutPortDisplayName(port);
        if (current != StoredOutDevice(index) + kUnconnected)
            settings_.WriteString(kOutSection, Entry("MIDIOutDevice", index), current);
        settings_.WriteInt(kOutSection, Entry("MIDIOutDeviceId", index), port.GetDeviceId());
    }
}
