#include "midi/midi_device_factory.h"

#include <algorithm>

namespace {

bool Offers(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::unique_ptr<CKivMidiInDevice> CCombinedMidiDeviceFactory::CreateInDevice(const std::string& name,
                                                                             CMidiArrivalSignal& arrival) {
    if (Offers(ListInPortNames(*first_), name)) return first_->CreateInDevice(name, arrival);
    return second_->CreateInDevice(name, arrival);
}

std::unique_ptr<CKivMidiOutDevice> CCombinedMidiDeviceFactory::CreateOutDevice(const std::string& name) {
    if (Offers(ListOutPortNames(*first_), name)) return first_->CreateOutDevice(name);
    return second_->CreateOutDevice(name);
}

bool CCombinedMidiDeviceFactory::InPortUsable(int id) {
    const int count = first_->InPortCount();
    return id < count ? first_->InPortUsable(id) : second_->InPortUsable(id - count);
}

std::string CCombinedMidiDeviceFactory::InPortName(int id) {
    const int count = first_->InPortCount();
    return id < count ? first_->InPortName(id) : second_->InPortName(id - count);
}

bool CCombinedMidiDeviceFactory::OutPortUsable(int id) {
    const int count = first_->OutPortCount();
    return id < count ? first_->OutPortUsable(id) : second_->OutPortUsable(id - count);
}

std::string CCombinedMidiDeviceFactory::OutPortName(int id) {
    const int count = first_->OutPortCount();
    return id < count ? first_->OutPortName(id) : second_->OutPortName(id - count);
}

std::string CCombinedMidiDeviceFactory::Problem() {
    std::string first = first_->Problem();
    return first.empty() ? second_->Problem() : first;
}

std::vector<std::string> ListInPortNames(IMidiDeviceFactory& factory) {
    std::vector<std::string> names;
    const int count = factory.InPortCount();
    for (int id = 0; id < count; ++id)
        if (factory.InPortUsable(id)) names.push_back(factory.InPortName(id));
    return names;
}

std::vector<std::string> ListOutPortNames(IMidiDeviceFactory& factory) {
    std::vector<std::string> names;
    const int count = factory.OutPortCount();
    for (int id = 0; id < count; ++id)
        if (factory.OutPortUsable(id)) names.push_back(factory.OutPortName(id));
    return names;
}
