#include "ports/midi_environment.h"

#include <algorithm>

#include "device/protocol_constants.h"
#include "textout/message_catalog.h"

namespace {

template <typename List, typename Port>
int IndexIn(const List& list, const Port& port) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == &port) return static_cast<int>(i);
    return -1;
}

}  // namespace

MidiEnvironment::MidiEnvironment(TextOutHub& textOut)
    : textOut_(textOut), arrivalSeen_(arrival_.Sequence()) {}

MidiEnvironment::~MidiEnvironment() {
    ClearBindings();
}

CKivMidiIn& MidiEnvironment::AddInPort(const CKivMidiIn& port) {
    inPorts_.push_back(std::make_unique<CKivMidiIn>(port));
    return *inPorts_.back();
}

CKivMidiOut& MidiEnvironment::AddOutPort(const CKivMidiOut& port) {
    outPorts_.push_back(std::make_unique<CKivMidiOut>(port));
    return *outPorts_.back();
}

void MidiEnvironment::BuildStandardPorts() {
    RemoveAllPorts();
    const std::vector<std::uint8_t> tq550Model(kTq550ModelId.begin(), kTq550ModelId.end());

    CKivMidiIn in;
    CKivMidiOut out;
    in.SetName("TQ-550");
    in.SetModelId(tq550Model);
    in.SetDeviceId(0x00);
    out.SetName("TQ-550");
    out.SetModelId(tq550Model);
    out.SetDeviceId(0x00);
    AddInPort(in);
    AddOutPort(out);

    CKivMidiIn throughIn;
    CKivMidiOut throughOut;
    throughOut.SetDeviceId(0x00);
    CKivMidiOut& forwardTo = AddOutPort(throughOut);
    AddInPort(throughIn).SetForwardTo(&forwardTo);

    in.SetName("TQ-MAX");
    out.SetName("TQ-MAX");
    AddInPort(in);
    AddOutPort(out);
}

void MidiEnvironment::RemoveAllPorts() {
    ClearBindings();
    inPorts_.clear();
    outPorts_.clear();
}

int MidiEnvironment::IndexOfInPort(const CKivMidiIn& port) const {
    return IndexIn(inPorts_, port);
}

int MidiEnvironment::IndexOfOutPort(const CKivMidiOut& port) const {
    return IndexIn(outPorts_, port);
}

CKivMidiIn* MidiEnvironment::FindInPortByName(const std::string& name) {
    for (auto& port : inPorts_)
        if (port->GetName() == name) return port.get();
    return nullptr;
}

CKivMidiOut* MidiEnvironment::FindOutPortByName(const std::string& name) {
    for (auto& port : outPorts_)
        if (port->GetName() == name) return port.get();
    return nullptr;
}

std::unique_ptr<CKivMidiInDevice> MidiEnvironment::CreateInDevice(const std::string& name) {
    return Factory().CreateInDevice(name, arrival_);
}

std::unique_ptr<CKivMidiOutDevice> MidiEnvironment::CreateOutDevice(const std::string& name) {
    return Factory().CreateOutDevice(name);
}

CKivMidiInDevice* MidiEnvironment::AddInDevice(std::unique_ptr<CKivMidiInDevice> device) {
    if (!device) return nullptr;
    device->SetOwner(this);
    inDevices_.push_back(std::move(device));
    return inDevices_.back().get();
}

CKivMidiOutDevice* MidiEnvironment::AddOutDevice(std::unique_ptr<CKivMidiOutDevice> device) {
    if (!device) return nullptr;
    device->SetOwner(this);
    outDevices_.push_back(std::move(device));
    return outDevices_.back().get();
}

CKivMidiInDevice* MidiEnvironment::FindInDevice(const std::string& name) {
    for (auto& device : inDevices_)
        if (device->Name() == name) return device.get();
    return nullptr;
}

CKivMidiOutDevice* MidiEnvironment::FindOutDevice(const std::string& name) {
    for (auto& device : outDevices_)
        if (device->Name() == name) return device.get();
    return nullptr;
}

bool MidiEnvironment::HoldsOutDevice(const CKivMidiOutDevice& device) const {
    return IndexIn(outDevices_, device) >= 0;
}

CKivMidiInDevice* MidiEnvironment::InPortOf(const CKivMidiIn& port) {
    for (auto& device : inDevices_)
        if (device->IsBound(port)) return device.get();
    return nullptr;
}

void MidiEnvironment::PumpFor(const CKivMidiIn& port) {
    if (CKivMidiInDevice* device = InPortOf(port)) device->Pump();
}

void MidiEnvironment::ClearBindings() {
    for (auto& port : outPorts_)
        port->SetDevice(nullptr);
    inDevices_.clear();
    outDevices_.clear();
}

void MidiEnvironment::ReopenAll() {
    // A port lost during the re-opening must not start another round.
    if (reopening_) return;
    reopening_ = true;
    for (auto& device : inDevices_)
        device->ReopenPort();
    for (auto& device : outDevices_)
        device->ReopenPort();
    reopening_ = false;
}

IMidiDeviceFactory& MidiEnvironment::Factory() {
    if (!factory_) factory_ = std::make_unique<CNoMidiDeviceFactory>();
    return *factory_;
}

void MidiEnvironment::SetFactory(std::unique_ptr<IMidiDeviceFactory> factory) {
    factory_ = std::move(factory);
}

void MidiEnvironment::SetTextOut(int slot, std::shared_ptr<CKivTextOut> sink) {
    textOut_.SetTextOut(slot, std::move(sink));
}

CKivTextOut* MidiEnvironment::GetTextOut(int slot) const {
    return textOut_.GetTextOut(slot);
}

void MidiEnvironment::ShowNotice(int messageId) {
    const std::string text = GetMessageCatalog().Text(messageId);
    if (noticeSink_)
        noticeSink_->Write(text);
    else if (CKivTextOut* buffer = GetTextOut(TextOutHub::kBufferSlot))
        buffer->Write(text);
}

void MidiEnvironment::SetInputWaker(std::function<void()> waker) {
    arrival_.SetWaker(std::move(waker));
}

bool MidiEnvironment::WaitForInput(std::chrono::microseconds timeout) {
    const std::uint64_t seen = arrivalSeen_;
    arrivalSeen_ = arrival_.WaitNewer(seen, timeout);
    return arrivalSeen_ != seen;
}

void MidiEnvironment::PumpWait(const CKivMidiIn& port, std::chrono::microseconds maxWait) {
    PumpFor(port);
    WaitForInput(maxWait);
    PumpFor(port);
}

void MidiEnvironment::Shutdown() {
    ClearBindings();
    factory_.reset();
}

void MidiEnvironment::OnOutPortLost(CKivMidiOutDevice& port) {
    if (HoldsOutDevice(port))
        ReopenAll();
    else
        port.ReopenPort();
}

void MidiEnvironment::OnPortsChanged() {
    if (reopening_) return;
    for (auto& device : outDevices_)
        if (device->TakeConnectionChanged()) device->CheckConnection();
    // An input port gone with an output port was re-opened with it above; one gone alone is re-opened
    // alone, so that a port still missing does not make the others re-open at every change.
    for (auto& device : inDevices_)
        if (device->TakeConnectionChanged() && !device->Connected()) device->ReopenPort();
}

void MidiEnvironment::OnConnectionChange(MidiConnectionChange change) {
    ShowNotice(change == MidiConnectionChange::Lost ? MSG_DEVICES_DISCONNECTED : MSG_DEVICES_RECONNECTED);
    if (connectionListener_) connectionListener_(change);
}
