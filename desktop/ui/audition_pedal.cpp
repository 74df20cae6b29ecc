#include "ui/audition_pedal.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>

#include "gp/util/settings_catalog.h"
#include "midi/midi_device_factory.h"
#include "ports/midi_environment.h"
#include "textout/message_catalog.h"

namespace {

CPedalMessage LoadPress(const ISettingsStore& settings, const Profile::CPedalValues& values) {
    CPedalMessage press;
    const int kind = values.kind.Read(&settings);
    if (kind < CPedalMessage::ProgramChange || kind > CPedalMessage::NoteOn) return press;
    press.kind = static_cast<CPedalMessage::Kind>(kind);
    press.number = std::clamp(values.number.Read(&settings), 0, 127);
    const int channel = values.channel.Read(&settings);
    press.channel = channel >= 0 && channel <= 15 ? channel : -1;
    return press;
}

void StorePress(ISettingsStore& settings, const Profile::CPedalValues& values, const CPedalMessage& press) {
    values.kind.Write(&settings, press.kind);
    values.number.Write(&settings, press.number);
    values.channel.Write(&settings, press.channel);
}

}  // namespace

CAuditionPedal::Setup CAuditionPedal::Load(const ISettingsStore& settings) {
    return {Profile::kPedalPort.Read(&settings).toStdString(), LoadPress(settings, Profile::kPedalNext),
            LoadPress(settings, Profile::kPedalPrevious)};
}

void CAuditionPedal::Store(ISettingsStore& settings, const Setup& setup) {
    Profile::kPedalPort.Write(&settings, QString::fromStdString(setup.port));
    StorePress(settings, Profile::kPedalNext, setup.next);
    StorePress(settings, Profile::kPedalPrevious, setup.previous);
}

CAuditionPedal::CAuditionPedal(MidiEnvironment& environment, ISettingsStore& settings, QObject* parent)
    : QObject(parent), environment_(environment), settings_(settings) {
    watch_.setInterval(1000);
    connect(&watch_, &QTimer::timeout, this, &CAuditionPedal::Watch);
}

CAuditionPedal::~CAuditionPedal() {
    Close();
}

void CAuditionPedal::Reload() {
    setup_ = Load(settings_);
    Open(setup_.port);
}

bool CAuditionPedal::Open(const std::string& port) {
    Close();
    port_ = port;
    if (port.empty()) return true;
    watch_.start();
    return OpenDevice() || !Offered();
}

void CAuditionPedal::Close() {
    watch_.stop();
    CloseDevice();
    port_.clear();
    lost_ = false;
    learning_ = false;
}

bool CAuditionPedal::OpenDevice() {
    CloseDevice();
    device_ = environment_.Factory().CreateInDevice(port_, arrival_);
    if (!device_) return false;
    device_->Bind(*this);
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void CAuditionPedal::CloseDevice() {
    if (thread_.joinable()) {
        stop_ = true;
        arrival_.Notify();
        thread_.join();
    }
    device_.reset();
}

bool CAuditionPedal::Offered() const {
    IMidiDeviceFactory& ports = environment_.Factory();
    for (int id = 0; id < ports.InPortCount(); ++id)
        if (ports.InPortUsable(id) && ports.InPortName(id) == port_) return true;
    return false;
}

void CAuditionPedal::Watch() {
    if (port_.empty()) return;
    const bool offered = Offered();
    if (device_ && !offered) {
        CloseDevice();
        lost_ = true;
        environment_.ShowNotice(MSG_DEVICES_DISCONNECTED);
    } else if (!device_ && offered && OpenDevice() && lost_) {
        lost_ = false;
        environment_.ShowNotice(MSG_DEVICES_RECONNECTED);
    }
}

void CAuditionPedal::SetLearning(bool learning) {
    learning_ = learning;
}

void CAuditionPedal::Run() {
    std::uint64_t seen = arrival_.Sequence();
    while (!stop_) {
        device_->Pump();
        seen = arrival_.WaitNewer(seen, std::chrono::milliseconds(500));
    }
}

void CAuditionPedal::Receive(std::span<const std::uint8_t> bytes) {
    const std::optional<CPedalMessage> press = PedalPressOf(bytes);
    if (!press) return;
    QMetaObject::invokeMethod(
        this, [this, press = *press] { Pressed(press); }, Qt::QueuedConnection);
}

void CAuditionPedal::Pressed(const CPedalMessage& press) {
    if (learning_) {
        learning_ = false;
        emit learned(press);
    } else if (setup_.next.Matches(press)) {
        emit stepped(+1);
    } else if (setup_.previous.Matches(press)) {
        emit stepped(-1);
    }
}

QString CAuditionPedal::Text(const CPedalMessage& message) {
    switch (message.kind) {
        case CPedalMessage::ProgramChange:
            // Programs as a user counts them, from 1.
            return tr("Program Change %1").arg(message.number + 1);
        case CPedalMessage::ControlChange:
            return tr("Control Change %1").arg(message.number);
        case CPedalMessage::NoteOn:
            return tr("Note On %1").arg(message.number);
        default:
            return tr("Not learned");
    }
}
