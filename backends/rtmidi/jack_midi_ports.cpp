#include "rtmidi/jack_midi_ports.h"

#ifdef TQ_HAVE_JACK

#include <jack/midiport.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "midi/port_names.h"
#include "rtmidi/jack_input_joiner.h"
#include "rtmidi/jack_midi_client.h"
#include "rtmidi/jack_monitor.h"
#include "rtmidi/jack_output_ring.h"
#include "rtmidi/own_client_name.h"

namespace {

using Direction = CJackMidiClient::Direction;

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::vector<std::string> OfferedNames(bool sources, std::string* error) {
    return OfferedPortNames(JackMidiPortNames(sources, error), false, kOwnClientPrefix);
}

// The full name of the port offered under name among the sending or the receiving ports, as client sees
// them; empty when none.
std::string FindPort(const CJackMidiClient& client, bool sources, const std::string& name) {
    const std::vector<std::string> raw = client.PortNames(sources);
    const std::vector<std::string> offered = OfferedPortNames(raw, false, kOwnClientPrefix);
    for (std::size_t i = 0; i < offered.size(); ++i)
        if (!offered[i].empty() && offered[i] == name) return raw[i];
    return {};
}

// A JACK connection takes effect at a later cycle of the server than the call that makes it; a message
// written at once can miss it. Wait a few periods after connecting.
void LetJackConnectionSettle(const CJackMidiClient& client) {
    std::chrono::microseconds wait = std::chrono::milliseconds(20);
    if (client.SampleRate() > 0)
        wait = std::max(wait,
                        std::chrono::microseconds(4000000LL * client.BufferFrames() / client.SampleRate()));
    std::this_thread::sleep_for(wait);
}

// ---- input ----

class CJackMidiInDevice : public CMidiInDevice, private CJackMidiClient::IHandler {
  public:
    CJackMidiInDevice(std::string name, CMidiArrivalSignal& arrival, std::string virtualClient = {})
        : CMidiInDevice(std::move(name), arrival), virtualClient_(std::move(virtualClient)) {}
    ~CJackMidiInDevice() override { Shutdown(); }

    const std::string& Error() const { return error_; }

  protected:
    bool OpenPort(const std::string& name) override {
        error_.clear();
        client_ = CJackMidiClient::Open(IsVirtual() ? virtualClient_ : OwnClientName(),
                                        IsVirtual() ? name : "in", Direction::In, *this, error_);
        if (client_ && !IsVirtual() && FindPort(*client_, true, name).empty()) {
            error_ = "no input port is named \"" + name + "\"";
            client_.reset();
        }
        return client_ != nullptr;
    }

    void ClosePort() override { client_.reset(); }

    bool StartPort() override {
        if (!client_) return false;
        error_.clear();
        // The process thread is not running: the joiner is this thread's until the client is active.
        joiner_.Reset();
        if (IsVirtual()) return client_->Activate(error_);
        // Look the name up again: ports may have come and gone since the port was opened.
        const std::string source = FindPort(*client_, true, Name());
        if (source.empty()) return false;
        if (!client_->Activate(error_) || !client_->Connect(source, error_)) {
            client_->Deactivate();
            return false;
        }
        LetJackConnectionSettle(*client_);
        return true;
    }

    // Deactivating ends the connection too; the port stays registered until the client is closed.
    void StopPort() override {
        if (client_) client_->Deactivate();
    }

  private:
    bool IsVirtual() const { return !virtualClient_.empty(); }

    // The process thread: every event of the period, through the joiner, into the recording stage.
    void Process(void* buffer, std::uint32_t) override {
        const std::uint32_t count = jack_midi_get_event_count(buffer);
        for (std::uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0) continue;
            joiner_.Take(std::span<const std::uint8_t>(event.buffer, event.size),
                         [this](std::span<const std::uint8_t> message) { Record(message); });
        }
    }

    std::string virtualClient_;
    CJackInputJoiner joiner_;
    std::string error_;
    // Declared last, so that it is destroyed first: once it is gone, no process thread uses the members
    // above.
    std::unique_ptr<CJackMidiClient> client_;
};

// ---- output ----

class CJackMidiOutDevice : public CMidiOutDevice, private CJackMidiClient::IHandler {
  public:
    explicit CJackMidiOutDevice(std::string name, std::string virtualClient = {})
        : CMidiOutDevice(std::move(name)), virtualClient_(std::move(virtualClient)) {}
    ~CJackMidiOutDevice() override { CMidiOut::Close(); }

    const std::string& Error() const { return error_; }

  protected:
    bool OpenPort(const std::string& name) override {
        error_.clear();
        monitor_ = CJackMonitor::Get();
        if (!monitor_) {
            error_ = "no JACK server is running";
            return false;
        }
        // The process thread is not running: the ring is this thread's until the client is active.
        ring_.Clear();
        client_ = CJackMidiClient::Open(IsVirtual() ? virtualClient_ : OwnClientName(),
                                        IsVirtual() ? name : "out", Direction::Out, *this, error_);
        if (client_ && !IsVirtual()) {
            target_ = FindPort(*client_, false, name);
            if (target_.empty()) error_ = "no output port is named \"" + name + "\"";
        }
        if (!client_ || !error_.empty() || !client_->Activate(error_) ||
            (!IsVirtual() && !client_->Connect(target_, error_))) {
            client_.reset();
            monitor_.reset();
            return false;
        }
        if (!IsVirtual()) LetJackConnectionSettle(*client_);
        bucketTime_ = std::chrono::steady_clock::now();
        bucketBytes_ = 0;
        return true;
    }

    // Deactivates and closes the client before the ring can go.
    void ClosePort() override {
        client_.reset();
        monitor_.reset();
    }

    // Present while the port this one was connected to is still there and still connected: a port of the
    // same name that a restarted program offers is a new port and needs a new connection.
    bool PortPresent() override {
        if (!client_) return false;
        if (IsVirtual()) return true;
        return monitor_ && monitor_->Connected(client_->PortName(), target_);
    }

    bool WritePort(std::span<const std::uint8_t> bytes) override {
        if (!client_) return false;
        error_.clear();
        Pace(bytes.size());
        if (!WaitForRoom(bytes.size())) {
            error_ = "the JACK server takes no more output from \"" + client_->PortName() + "\"";
            return false;
        }
        return ring_.Push(bytes);
    }

  private:
    bool IsVirtual() const { return !virtualClient_.empty(); }

    double PeriodSeconds() const {
        const double rate = client_ ? client_->SampleRate() : 0.0;
        return rate > 0 ? client_->BufferFrames() / rate : 0.0;
    }

    // The process callback writes what the ring holds into the port's buffer once per period, and what does
    // not fit there waits for the next period. Keep well below what a period carries and what the ring
    // holds: at most 8 KB at once, refilled at 4 KB per period, so that a few late periods still hold
    // nothing up. A longer message waits for an empty bucket.
    void Pace(std::size_t count) {
        const double period = PeriodSeconds();
        const double rate = period > 0 ? kBytesPerPeriod / period : 0.0;
        const double capacity = kBurst;
        if (rate <= 0) return;
        const double needed = std::min(static_cast<double>(count), capacity);
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            const double elapsed = std::chrono::duration<double>(now - bucketTime_).count();
            bucketBytes_ = std::max(0.0, bucketBytes_ - elapsed * rate);
            bucketTime_ = now;
            if (capacity - bucketBytes_ >= needed) break;
            const double wait = (needed - (capacity - bucketBytes_)) / rate;
            std::this_thread::sleep_for(std::chrono::duration<double>(wait));
        }
        bucketBytes_ += static_cast<double>(count);
    }

    // Should the process thread fall behind all the same, wait for it a period at a time, for a second at
    // most: a send fails rather than a message being lost.
    bool WaitForRoom(std::size_t count) {
        if (count == 0 || count > CJackOutputRing::kMaxMessage) return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        const auto period = std::chrono::duration<double>(std::max(PeriodSeconds(), 0.001));
        while (!ring_.Fits(count)) {
            if (!client_->Alive() || std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(period);
        }
        return true;
    }

    // The process thread: as many messages of the ring as the port's buffer takes this period. One that
    // does not fit into the empty buffer never will and is dropped (on JACK 2 a buffer takes 32 KB,
    // far more than the longest message sent).
    void Process(void* buffer, std::uint32_t) override {
        jack_midi_clear_buffer(buffer);
        bool wrote = false;
        for (std::size_t size = ring_.FrontSize(); size > 0; size = ring_.FrontSize()) {
            if (jack_midi_data_t* target = jack_midi_event_reserve(buffer, 0, size)) {
                ring_.PopInto(target);
                wrote = true;
            } else if (!wrote) {
                ring_.Drop();
            } else {
                break;
            }
        }
    }

    static constexpr double kBurst = 8192;
    static constexpr double kBytesPerPeriod = 4096;

    std::string virtualClient_;
    std::string target_;
    std::shared_ptr<CJackMonitor> monitor_;
    std::string error_;
    std::chrono::steady_clock::time_point bucketTime_{};
    double bucketBytes_ = 0;
    CJackOutputRing ring_;
    // Declared last, so that it is destroyed first: once it is gone, no process thread uses the members
    // above.
    std::unique_ptr<CJackMidiClient> client_;
};

template <typename Device, typename... Arguments>
std::unique_ptr<Device> Created(std::string* error, Arguments&&... arguments) {
    auto device = std::make_unique<Device>(std::forward<Arguments>(arguments)...);
    if (device->Create()) return device;
    SetError(error, device->Error());
    return nullptr;
}

}  // namespace

std::vector<std::string> OfferedJackMidiInPorts(std::string* error) {
    std::vector<std::string> names = OfferedNames(true, error);
    std::erase(names, std::string());
    return names;
}

std::vector<std::string> OfferedJackMidiOutPorts(std::string* error) {
    std::vector<std::string> names = OfferedNames(false, error);
    std::erase(names, std::string());
    return names;
}

std::unique_ptr<CMidiInDevice> CreateJackMidiInDevice(const std::string& name, CMidiArrivalSignal& arrival,
                                                      std::string* error) {
    return Created<CJackMidiInDevice>(error, name, arrival);
}

std::unique_ptr<CMidiOutDevice> CreateJackMidiOutDevice(const std::string& name, std::string* error) {
    return Created<CJackMidiOutDevice>(error, name);
}

std::unique_ptr<CMidiInDevice> CreateJackMidiVirtualInDevice(const std::string& clientName,
                                                             const std::string& portName,
                                                             CMidiArrivalSignal& arrival,
                                                             std::string* error) {
    return Created<CJackMidiInDevice>(error, portName, arrival, clientName);
}

std::unique_ptr<CMidiOutDevice> CreateJackMidiVirtualOutDevice(const std::string& clientName,
                                                               const std::string& portName,
                                                               std::string* error) {
    return Created<CJackMidiOutDevice>(error, portName, clientName);
}

#else

namespace {

const char* const kWithoutJack = "this program was built without JACK";

template <typename T>
T Without(std::string* error) {
    if (error) *error = kWithoutJack;
    return T();
}

}  // namespace

std::vector<std::string> OfferedJackMidiInPorts(std::string* error) {
    return Without<std::vector<std::string> >(error);
}
std::vector<std::string> OfferedJackMidiOutPorts(std::string* error) {
    return Without<std::vector<std::string> >(error);
}
std::unique_ptr<CMidiInDevice> CreateJackMidiInDevice(const std::string&, CMidiArrivalSignal&,
                                                      std::string* error) {
    return Without<std::unique_ptr<CMidiInDevice> >(error);
}
std::unique_ptr<CMidiOutDevice> CreateJackMidiOutDevice(const std::string&, std::string* error) {
    return Without<std::unique_ptr<CMidiOutDevice> >(error);
}
std::unique_ptr<CMidiInDevice> CreateJackMidiVirtualInDevice(const std::string&, const std::string&,
                                                             CMidiArrivalSignal&, std::string* error) {
    return Without<std::unique_ptr<CMidiInDevice> >(error);
}
std::unique_ptr<CMidiOutDevice> CreateJackMidiVirtualOutDevice(const std::string&, const std::string&,
                                                               std::string* error) {
    return Without<std::unique_ptr<CMidiOutDevice> >(error);
}

#endif
