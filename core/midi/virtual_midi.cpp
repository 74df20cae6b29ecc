#include "midi/virtual_midi.h"

#include <algorithm>

namespace {

template <typename List>
auto FindNamed(List& list, const std::string& name) {
    return std::find_if(list.begin(), list.end(), [&](const auto& entry) { return entry.name == name; });
}

}  // namespace

bool CVirtualMidiSystem::AddSource(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindNamed(sources_, name) != sources_.end()) return false;
    sources_.push_back({name, {}});
    return true;
}

bool CVirtualMidiSystem::RemoveSource(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto source = FindNamed(sources_, name);
    if (source == sources_.end()) return false;
    sources_.erase(source);
    return true;
}

bool CVirtualMidiSystem::Emit(const std::string& name, std::span<const std::uint8_t> bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto source = FindNamed(sources_, name);
    if (source == sources_.end()) return false;
    for (CMidiIn* reader : source->readers)
        reader->Record(bytes);
    return true;
}

bool CVirtualMidiSystem::AddDestination(const std::string& name, Receiver receiver) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindNamed(destinations_, name) != destinations_.end()) return false;
    destinations_.push_back({name, std::make_shared<Receiver>(std::move(receiver))});
    return true;
}

bool CVirtualMidiSystem::RemoveDestination(const std::string& name) {
    std::lock_guard<std::recursive_mutex> writing(writeMutex_);
    std::lock_guard<std::mutex> lock(mutex_);
    auto destination = FindNamed(destinations_, name);
    if (destination == destinations_.end()) return false;
    destinations_.erase(destination);
    return true;
}

std::vector<std::string> CVirtualMidiSystem::SourceNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> names;
    for (const Source& source : sources_)
        names.push_back(source.name);
    return names;
}

std::vector<std::string> CVirtualMidiSystem::DestinationNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> names;
    for (const Destination& destination : destinations_)
        names.push_back(destination.name);
    return names;
}

bool CVirtualMidiSystem::HasSource(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindNamed(sources_, name) != sources_.end();
}

bool CVirtualMidiSystem::HasDestination(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindNamed(destinations_, name) != destinations_.end();
}

bool CVirtualMidiSystem::Connect(const std::string& name, CMidiIn& reader) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto source = FindNamed(sources_, name);
    if (source == sources_.end()) return false;
    if (std::find(source->readers.begin(), source->readers.end(), &reader) == source->readers.end())
        source->readers.push_back(&reader);
    return true;
}

void CVirtualMidiSystem::Disconnect(CMidiIn& reader) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Source& source : sources_)
        std::erase(source.readers, &reader);
}

bool CVirtualMidiSystem::Write(const std::string& name, std::span<const std::uint8_t> bytes) {
    std::lock_guard<std::recursive_mutex> writing(writeMutex_);
    std::shared_ptr<Receiver> receiver;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto destination = FindNamed(destinations_, name);
        if (destination == destinations_.end()) return false;
        receiver = destination->receiver;
    }
    if (*receiver) (*receiver)(bytes);
    return true;
}

bool CVirtualMidiInDevice::OpenPort(const std::string& name) {
    if (!system_->HasSource(name)) return false;
    source_ = name;
    return true;
}

bool CVirtualMidiOutDevice::OpenPort(const std::string& name) {
    if (!system_->HasDestination(name)) return false;
    destination_ = name;
    return true;
}

std::unique_ptr<CKivMidiInDevice> CVirtualMidiDeviceFactory::CreateInDevice(const std::string& name,
                                                                            CMidiArrivalSignal& arrival) {
    auto device = std::make_unique<CVirtualMidiInDevice>(system_, name, arrival);
    if (!device->Create()) return nullptr;
    return device;
}

std::unique_ptr<CKivMidiOutDevice> CVirtualMidiDeviceFactory::CreateOutDevice(const std::string& name) {
    auto device = std::make_unique<CVirtualMidiOutDevice>(system_, name);
    device->SetWireRateMultiple(wireRateMultiple_);
    if (!device->Create()) return nullptr;
    return device;
}

std::string CVirtualMidiDeviceFactory::InPortName(int id) {
    const std::vector<std::string> names = system_->SourceNames();
    return id >= 0 && static_cast<std::size_t>(id) < names.size() ? names[static_cast<std::size_t>(id)]
                                                                  : std::string();
}

std::string CVirtualMidiDeviceFactory::OutPortName(int id) {
    const std::vector<std::string> names = system_->DestinationNames();
    return id >= 0 && static_cast<std::size_t>(id) < names.size() ? names[static_cast<std::size_t>(id)]
                                                                  : std::string();
}
