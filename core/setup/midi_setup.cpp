#include "setup/midi_setup.h"

#include <algorithm>

namespace {
std::string Entry(const char* name, int index) {
    return name + std::to_string(index);
}

// Device ids travel in 7-bit fields; anything else in the settings is not an id.
bool IsDeviceId(int id) {
    return id >= 0 && id <= 0x7F;
}

// The choices: the offered names, "(none)", then each remembered name that is not offered, marked.
std::vector<std::string> Choices(std::vector<std::string> offered,
                                 const std::vector<std::string>& remembered) {
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
    return environment_.AddInDevice(environment_.CreateInDevice(portName));
}

CKivMidiOutDevice* CMidiSetup::FindOrCreateOutDevice(const std::string& portName) {
    if (CKivMidiOutDevice* device = environment_.FindOutDevice(portName)) return device;
    return environment_.AddOutDevice(environment_.CreateOutDevice(portName));
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

void CMidiSetup::BindInByProfileName(const std::string& profileName, const std::string& portName,
                                     int deviceId) {
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
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i)
        remembered.push_back(StoredInDevice(static_cast<int>(i)));
    return Choices(ListInPortNames(environment_.Factory()), remembered);
}

std::vector<std::string> CMidiSetup::ListOutPorts() {
    std::vector<std::string> remembered;
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i)
        remembered.push_back(StoredOutDevice(static_cast<int>(i)));
    return Choices(ListOutPortNames(environment_.Factory()), remembered);
}

namespace {
// The settings entries of logical port `index` of one direction.
struct Entries {
    const char* section;
    std::string profile, device, id;
};

Entries EntriesFor(bool output, int index) {
    const std::string prefix = output ? "MIDIOut" : "MIDIIn";
    const std::string number = std::to_string(index);
    return {output ? CMidiSetup::kOutSection : CMidiSetup::kInSection, prefix + number,
            prefix + "Device" + number, prefix + "DeviceId" + number};
}
}  // namespace

template <class Port, class Bind>
void CMidiSetup::LoadPort(bool output, int index, const Port& port, Bind bind) {
    const Entries entries = EntriesFor(output, index);
    const std::string profile = settings_.GetString(entries.section, entries.profile, port.GetName());
    const std::string device = settings_.GetString(entries.section, entries.device, kNone);
    const int id = settings_.GetInt(entries.section, entries.id, port.GetDeviceId());
    bind(profile, device, id);
}

template <class Port>
void CMidiSetup::SavePort(bool output, int index, const Port& port, const std::string& displayName) {
    const Entries entries = EntriesFor(output, index);
    settings_.WriteString(entries.section, entries.profile, port.GetName());
    // A remembered port that is absent stays remembered.
    if (displayName != settings_.GetString(entries.section, entries.device, kNone) + kUnconnected)
        settings_.WriteString(entries.section, entries.device, displayName);
    settings_.WriteInt(entries.section, entries.id, port.GetDeviceId());
}

void CMidiSetup::Load() {
    environment_.ClearBindings();
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i)
        LoadPort(false, static_cast<int>(i), environment_.InPort(i),
                 [this](const std::string& profile, const std::string& device, int id) {
                     BindInByProfileName(profile, device, id);
                 });
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i)
        LoadPort(true, static_cast<int>(i), environment_.OutPort(i),
                 [this](const std::string& profile, const std::string& device, int id) {
                     BindOutByProfileName(profile, device, id);
                 });
}

void CMidiSetup::Save() {
    for (std::size_t i = 0; i < environment_.InPortCount(); ++i)
        SavePort(false, static_cast<int>(i), environment_.InPort(i),
                 InPortDisplayName(environment_.InPort(i)));
    for (std::size_t i = 0; i < environment_.OutPortCount(); ++i)
        SavePort(true, static_cast<int>(i), environment_.OutPort(i),
                 OutPortDisplayName(environment_.OutPort(i)));
}
