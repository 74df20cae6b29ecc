#include "rtmidi/alsa_monitor.h"

#include <algorithm>
#include <cctype>

#include "midi/midi_in_device.h"

#ifdef TQ_HAVE_ALSA
#include "rtmidi/alsa_sequencer.h"
#endif

namespace {

// The number of digits that end text before position end, read into value; 0 when none.
std::size_t DigitsBefore(const std::string& text, std::size_t end, int& value) {
    std::size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])) && end - start < 6)
        --start;
    if (start == end) return 0;
    value = std::stoi(text.substr(start, end - start));
    return end - start;
}

// True when offered is name, or name with the " #2", " #3"... that tells ports of the same name apart.
bool OfferedAs(const std::string& offered, const std::string& name) {
    if (name.empty() || offered.rfind(name, 0) != 0) return false;
    if (offered.size() == name.size()) return true;
    const std::string rest = offered.substr(name.size());
    return rest.size() > 2 && rest.compare(0, 2, " #") == 0 &&
           std::all_of(rest.begin() + 2, rest.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

AlsaAddress AlsaAddressOfPortName(const std::string& name) {
    AlsaAddress address;
    const std::size_t portDigits = DigitsBefore(name, name.size(), address.port);
    if (portDigits == 0) return {};
    const std::size_t colon = name.size() - portDigits;
    if (colon == 0 || name[colon - 1] != ':') return {};
    const std::size_t clientDigits = DigitsBefore(name, colon - 1, address.client);
    if (clientDigits == 0) return {};
    const std::size_t space = colon - 1 - clientDigits;
    if (space == 0 || name[space - 1] != ' ') return {};
    return address;
}

// ---- CAlsaMonitor ----

std::shared_ptr<CAlsaMonitor> CAlsaMonitor::Get() {
#ifdef TQ_HAVE_ALSA
    static std::mutex mutex;
    static std::weak_ptr<CAlsaMonitor> current;
    std::lock_guard<std::mutex> lock(mutex);
    if (std::shared_ptr<CAlsaMonitor> monitor = current.lock()) return monitor;
    std::shared_ptr<CAlsaSequencer> sequencer = CAlsaSequencer::Open();
    if (!sequencer) return nullptr;
    auto monitor = std::make_shared<CAlsaMonitor>(sequencer);
    // The thread holds no reference to the monitor: the last port that lets go of it ends the thread.
    CAlsaMonitor* self = monitor.get();
    monitor->stopReading_ = [sequencer] { sequencer->Stop(); };
    monitor->reader_ = std::thread([sequencer, self] {
        while (sequencer->ReadAnnounces([self](const AlsaAnnounce& event) { self->Feed(event); })) {
        }
    });
    current = monitor;
    return monitor;
#else
    return nullptr;
#endif
}

CAlsaMonitor::CAlsaMonitor(std::shared_ptr<IAlsaSequencer> sequencer) : sequencer_(std::move(sequencer)) {}

CAlsaMonitor::~CAlsaMonitor() {
    if (stopReading_) stopReading_();
    if (reader_.joinable()) reader_.join();
}

void CAlsaMonitor::Feed(const AlsaAnnounce& event) {
    // A port that starts (or is renamed) may be the one a port waits for: its name decides.
    std::string startedName;
    if (event.kind == AlsaAnnounce::Kind::PortStart || event.kind == AlsaAnnounce::Kind::PortChange)
        startedName = sequencer_->PortName(event.address);
    std::lock_guard<std::mutex> lock(mutex_);
    bool any = false;
    for (CAlsaPortWatch* watch : watches_) {
        if (!Concerns(*watch, event, startedName)) continue;
        watch->device_.MarkConnectionChanged();
        any = true;
    }
    if (!any) return;
    // The watches unregister under the mutex, so every port woken here still exists.
    for (CAlsaPortWatch* watch : watches_)
        if (watch->waker_) watch->waker_->NotifyPortsChanged();
}

bool CAlsaMonitor::Concerns(const CAlsaPortWatch& watch, const AlsaAnnounce& event,
                            const std::string& startedName) const {
    const bool attached = watch.own_.Valid() && watch.other_.Valid();
    switch (event.kind) {
        case AlsaAnnounce::Kind::PortStart:
        case AlsaAnnounce::Kind::PortChange:
            return OfferedAs(watch.offeredName_, startedName);
        case AlsaAnnounce::Kind::PortExit:
            return attached && event.address == watch.other_;
        case AlsaAnnounce::Kind::ClientExit:
            return attached && event.address.client == watch.other_.client;
        case AlsaAnnounce::Kind::Unsubscribed: {
            if (!attached) return false;
            const bool out = watch.direction_ == CAlsaPortWatch::Direction::Out;
            return event.sender == (out ? watch.own_ : watch.other_) &&
                   event.dest == (out ? watch.other_ : watch.own_);
        }
        case AlsaAnnounce::Kind::Overrun:
            return true;
    }
    return false;
}

void CAlsaMonitor::Register(CAlsaPortWatch& watch) {
    std::lock_guard<std::mutex> lock(mutex_);
    watches_.push_back(&watch);
}

void CAlsaMonitor::Unregister(CAlsaPortWatch& watch) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase(watches_, &watch);
}

// ---- CAlsaPortWatch ----

CAlsaPortWatch::CAlsaPortWatch(std::shared_ptr<CAlsaMonitor> monitor, Direction direction,
                               std::string offeredName, CKivMidiDevice& device, CMidiInDeviceA* waker)
    : monitor_(std::move(monitor)),
      direction_(direction),
      offeredName_(std::move(offeredName)),
      device_(device),
      waker_(waker) {
    monitor_->Register(*this);
}

CAlsaPortWatch::~CAlsaPortWatch() {
    monitor_->Unregister(*this);
}

bool CAlsaPortWatch::Attach(const std::string& ownClient, const std::string& otherName) {
    const AlsaAddress own = monitor_->Sequencer().FindClientPort(ownClient);
    const AlsaAddress other = AlsaAddressOfPortName(otherName);
    std::lock_guard<std::mutex> lock(monitor_->mutex_);
    const bool found = own.Valid() && other.Valid();
    own_ = found ? own : AlsaAddress{};
    other_ = found ? other : AlsaAddress{};
    return found;
}

void CAlsaPortWatch::Detach() {
    std::lock_guard<std::mutex> lock(monitor_->mutex_);
    own_ = {};
    other_ = {};
}

bool CAlsaPortWatch::Attached() const {
    std::lock_guard<std::mutex> lock(monitor_->mutex_);
    return own_.Valid();
}

bool CAlsaPortWatch::Present() const {
    AlsaAddress own;
    AlsaAddress other;
    {
        std::lock_guard<std::mutex> lock(monitor_->mutex_);
        own = own_;
        other = other_;
    }
    if (!own.Valid() || !other.Valid()) return false;
    return direction_ == Direction::Out ? monitor_->Sequencer().Subscribed(own, other)
                                        : monitor_->Sequencer().Subscribed(other, own);
}
