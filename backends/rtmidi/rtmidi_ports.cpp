#include "rtmidi/rtmidi_ports.h"

#include <RtMidi.h>

#include <algorithm>

#include "midi/port_names.h"
#include "rtmidi/alsa_monitor.h"
#include "rtmidi/jack_midi_ports.h"
#include "rtmidi/own_client_name.h"
#include "rtmidi/rtmidi_errors.h"
#include "rtmidi/rtmidi_input_filter.h"

namespace {

using System = MidiSystemProbe::System;

RtMidi::Api ApiOf(System system) {
    return system == System::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNSPECIFIED;
}

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// Windows MIDI (WinMM) has no virtual ports: RtMidi only warns when asked for one, and no port appears.
bool OffersVirtualPorts([[maybe_unused]] std::string* error) {
#ifdef _WIN32
    SetError(error, "Windows MIDI has no virtual ports");
    return false;
#else
    return true;
#endif
}

std::vector<std::string> RawPortNames(RtMidi& midi) {
    std::vector<std::string> names;
    const unsigned int count = midi.getPortCount();
    for (unsigned int i = 0; i < count; ++i)
        names.push_back(midi.getPortName(i));
    return names;
}

// Offered names in the order of the raw names; empty for the program's own ports.
std::vector<std::string> OfferedNames(const std::vector<std::string>& raw, System system) {
    return OfferedPortNames(raw, system == System::Alsa, kOwnClientPrefix);
}

std::vector<std::string> NonEmpty(std::vector<std::string> names) {
    std::erase(names, std::string());
    return names;
}

// The RtMidi port number of the port offered under name, or -1; raw receives RtMidi's own name for it.
int FindPort(RtMidi& midi, System system, const std::string& name, std::string* raw) {
    const std::vector<std::string> rawNames = RawPortNames(midi);
    const std::vector<std::string> offered = OfferedNames(rawNames, system);
    for (std::size_t i = 0; i < offered.size(); ++i) {
        if (!offered[i].empty() && offered[i] == name) {
            if (raw) *raw = rawNames[i];
            return static_cast<int>(i);
        }
    }
    return -1;
}

// On ALSA, what tells a port that its connection ended or that the port it was connected to came back;
// none elsewhere, or when the sequencer cannot be watched.
std::unique_ptr<CAlsaPortWatch> WatchOnAlsa(System system, CAlsaPortWatch::Direction direction,
                                            const std::string& name, CKivMidiDevice& device,
                                            CMidiInDeviceA* waker) {
    if (system != System::Alsa) return nullptr;
    std::shared_ptr<CAlsaMonitor> monitor = CAlsaMonitor::Get();
    if (!monitor) return nullptr;
    return std::make_unique<CAlsaPortWatch>(std::move(monitor), direction, name, device, waker);
}

template <typename T>
std::unique_ptr<T> MakeRtMidi(System system, const std::string& clientName, std::string& error) {
    try {
        auto midi = std::make_unique<T>(ApiOf(system), clientName);
        ReportRtMidiErrorsTo(*midi, error);
        return midi;
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}

// ---- input ----

class CRtMidiInDevice : public CMidiInDevice {
  public:
    CRtMidiInDevice(System system, std::string name, CMidiArrivalSignal& arrival,
                    std::string virtualClient = {})
        : CMidiInDevice(std::move(name), arrival), system_(system), virtualClient_(std::move(virtualClient)) {
        if (virtualClient_.empty())
            watch_ = WatchOnAlsa(system_, CAlsaPortWatch::Direction::In, Name(), *this, this);
    }
    ~CRtMidiInDevice() override { Shutdown(); }

    const std::string& Error() const { return error_; }

  protected:
    bool OpenPort(const std::string& name) override {
        error_.clear();
        client_ = virtualClient_.empty() ? OwnClientName() : virtualClient_;
        midi_ = MakeRtMidi<RtMidiIn>(system_, client_, error_);
        if (!midi_) return false;
        if (virtualClient_.empty() && FindPort(*midi_, system_, name, nullptr) < 0) {
            error_ = "no input port is named \"" + name + "\"";
            midi_.reset();
            return false;
        }
        midi_->ignoreTypes(false, true, true);
        midi_->setCallback(&CRtMidiInDevice::Callback, this);
        return true;
    }

    void ClosePort() override { midi_.reset(); }

    bool StartPort() override {
        if (!midi_) return false;
        error_.clear();
        if (!virtualClient_.empty()) {
            midi_->openVirtualPort(Name());
        } else {
            // Look the name up again: ports may have come and gone since the port was opened.
            std::string rawName;
            const int number = FindPort(*midi_, system_, Name(), &rawName);
            if (number < 0) return false;
            midi_->openPort(static_cast<unsigned int>(number), "in");
            if (watch_ && error_.empty()) watch_->Attach(client_, rawName);
        }
        return error_.empty();
    }

    void StopPort() override {
        if (watch_) watch_->Detach();
        if (midi_) midi_->closePort();
    }

    // On ALSA: while the connection from the port it reads exists.
    bool PortPresent() override { return !watch_ || !watch_->Attached() || watch_->Present(); }

  private:
    static void Callback(double, std::vector<unsigned char>* message, void* self) {
        if (message && AcceptRtMidiInput(*message)) static_cast<CRtMidiInDevice*>(self)->Record(*message);
    }

    System system_;
    std::string virtualClient_;
    std::string client_;
    std::unique_ptr<RtMidiIn> midi_;
    std::unique_ptr<CAlsaPortWatch> watch_;
    std::string error_;
};

// ---- output ----

class CRtMidiOutDevice : public CMidiOutDevice {
  public:
    CRtMidiOutDevice(System system, std::string name, std::string virtualClient = {})
        : CMidiOutDevice(std::move(name)), system_(system), virtualClient_(std::move(virtualClient)) {
        if (virtualClient_.empty())
            watch_ = WatchOnAlsa(system_, CAlsaPortWatch::Direction::Out, Name(), *this, nullptr);
    }
    ~CRtMidiOutDevice() override { CMidiOut::Close(); }

    const std::string& Error() const { return error_; }

  protected:
    bool OpenPort(const std::string& name) override {
        error_.clear();
        const std::string client = virtualClient_.empty() ? OwnClientName() : virtualClient_;
        midi_ = MakeRtMidi<RtMidiOut>(system_, client, error_);
        if (!midi_) return false;
        if (!virtualClient_.empty()) {
            midi_->openVirtualPort(name);
        } else {
            const int number = FindPort(*midi_, system_, name, &rawName_);
            if (number < 0) {
                error_ = "no output port is named \"" + name + "\"";
                midi_.reset();
                return false;
            }
            midi_->openPort(static_cast<unsigned int>(number), "out");
        }
        if (!error_.empty()) {
            midi_.reset();
            return false;
        }
        if (watch_) watch_->Attach(client, rawName_);
        return true;
    }

    void ClosePort() override {
        if (watch_) watch_->Detach();
        midi_.reset();
    }

    // Present while the port this one was connected to is still there and still connected: an interface
    // plugged in again, under the same numbers on ALSA, is a new port and needs a new connection.
    bool PortPresent() override {
        if (!midi_) return false;
        if (!virtualClient_.empty()) return true;
        if (watch_ && watch_->Attached()) return watch_->Present();
        // Without the monitor only the name can be looked for.
        const std::vector<std::string> raw = RawPortNames(*midi_);
        return std::find(raw.begin(), raw.end(), rawName_) != raw.end();
    }

    bool WritePort(std::span<const std::uint8_t> bytes) override {
        if (!midi_) return false;
        return SendRtMidiMessage(*midi_, error_, bytes);
    }

  private:
    System system_;
    std::string virtualClient_;
    std::unique_ptr<RtMidiOut> midi_;
    std::unique_ptr<CAlsaPortWatch> watch_;
    std::string rawName_;
    std::string error_;
};

template <typename T>
std::vector<std::string> OfferedPorts(System system, std::string* error) {
    std::string failure;
    auto midi = MakeRtMidi<T>(system, OwnClientName(), failure);
    if (!midi) {
        SetError(error, failure);
        return {};
    }
    return NonEmpty(OfferedNames(RawPortNames(*midi), system));
}

}  // namespace

std::vector<std::string> OfferedRtMidiInPorts(System system, std::string* error) {
    if (system == System::None) return {};
    if (system == System::Jack) return OfferedJackMidiInPorts(error);
    return OfferedPorts<RtMidiIn>(system, error);
}

std::vector<std::string> OfferedRtMidiOutPorts(System system, std::string* error) {
    if (system == System::None) return {};
    if (system == System::Jack) return OfferedJackMidiOutPorts(error);
    return OfferedPorts<RtMidiOut>(system, error);
}

std::unique_ptr<CMidiInDevice> CreateRtMidiInDevice(System system, const std::string& name,
                                                    CMidiArrivalSignal& arrival, std::string* error) {
    if (system == System::None) return nullptr;
    if (system == System::Jack) return CreateJackMidiInDevice(name, arrival, error);
    auto device = std::make_unique<CRtMidiInDevice>(system, name, arrival);
    if (!device->Create()) {
        SetError(error, device->Error());
        return nullptr;
    }
    return device;
}

std::unique_ptr<CMidiOutDevice> CreateRtMidiOutDevice(System system, const std::string& name,
                                                      std::string* error) {
    if (system == System::None) return nullptr;
    if (system == System::Jack) return CreateJackMidiOutDevice(name, error);
    auto device = std::make_unique<CRtMidiOutDevice>(system, name);
    if (!device->Create()) {
        SetError(error, device->Error());
        return nullptr;
    }
    return device;
}

std::unique_ptr<CMidiInDevice> CreateRtMidiVirtualInDevice(System system, const std::string& clientName,
                                                           const std::string& portName,
                                                           CMidiArrivalSignal& arrival, std::string* error) {
    if (system == System::None || !OffersVirtualPorts(error)) return nullptr;
    if (system == System::Jack) return CreateJackMidiVirtualInDevice(clientName, portName, arrival, error);
    auto device = std::make_unique<CRtMidiInDevice>(system, portName, arrival, clientName);
    if (!device->Create()) {
        SetError(error, device->Error());
        return nullptr;
    }
    return device;
}

std::unique_ptr<CMidiOutDevice> CreateRtMidiVirtualOutDevice(System system, const std::string& clientName,
                                                             const std::string& portName,
                                                             std::string* error) {
    if (system == System::None || !OffersVirtualPorts(error)) return nullptr;
    if (system == System::Jack) return CreateJackMidiVirtualOutDevice(clientName, portName, error);
    auto device = std::make_unique<CRtMidiOutDevice>(system, portName, clientName);
    if (!device->Create()) {
        SetError(error, device->Error());
        return nullptr;
    }
    return device;
}
