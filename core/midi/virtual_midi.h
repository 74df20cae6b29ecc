#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "midi/midi_device_factory.h"
#include "midi/midi_in_device.h"
#include "midi/midi_out_device.h"

// An in-process MIDI system, for tests and for the built-in virtual processor. Sources are ports that the
// program's input ports read: whoever owns a source emits messages on it. Destinations are ports that the
// program's output ports write to: each message goes to the destination's receiver on the writer's thread.
// Ports can be removed and added again at any time, like an interface being unplugged and plugged in.
class CVirtualMidiSystem {
  public:
    using Receiver = std::function<void(std::span<const std::uint8_t>)>;

    // False when a source of that name exists already.
    bool AddSource(const std::string& name);
    // Also disconnects the input ports reading it.
    bool RemoveSource(const std::string& name);
    // Hands one complete message to every input port reading the source, on the calling thread (which
    // plays the MIDI system's callback thread). False when there is no such source.
    bool Emit(const std::string& source, std::span<const std::uint8_t> bytes);

    // False when a destination of that name exists already.
    bool AddDestination(const std::string& name, Receiver receiver);
    // Waits for a write to the destination that is under way.
    bool RemoveDestination(const std::string& name);

    std::vector<std::string> SourceNames() const;
    std::vector<std::string> DestinationNames() const;
    bool HasSource(const std::string& name) const;
    bool HasDestination(const std::string& name) const;

    // For the virtual input port: reader receives what the source emits from now on.
    bool Connect(const std::string& source, CMidiIn& reader);
    // No Record call on reader is under way or starts after this returns.
    void Disconnect(CMidiIn& reader);
    // For the virtual output port: gives bytes to the destination's receiver.
    bool Write(const std::string& destination, std::span<const std::uint8_t> bytes);

  private:
    struct Source {
        std::string name;
        std::vector<CMidiIn*> readers;
    };
    struct Destination {
        std::string name;
        std::shared_ptr<Receiver> receiver;
    };

    mutable std::mutex mutex_;
    // Held while a receiver runs, so that a destination is never removed in the middle of a write.
    std::recursive_mutex writeMutex_;
    std::vector<Source> sources_;
    std::vector<Destination> destinations_;
};

// An input port on a source of the virtual system.
class CVirtualMidiInDevice : public CMidiInDevice {
  public:
    CVirtualMidiInDevice(std::shared_ptr<CVirtualMidiSystem> system, std::string name,
                         CMidiArrivalSignal& arrival)
        : CMidiInDevice(std::move(name), arrival), system_(std::move(system)) {}
    ~CVirtualMidiInDevice() override { Shutdown(); }

  protected:
    bool OpenPort(const std::string& name) override;
    void ClosePort() override {}
    bool StartPort() override { return system_->Connect(source_, *this); }
    void StopPort() override { system_->Disconnect(*this); }

  private:
    std::shared_ptr<CVirtualMidiSystem> system_;
    std::string source_;
};

// An output port on a destination of the virtual system.
class CVirtualMidiOutDevice : public CMidiOutDevice {
  public:
    CVirtualMidiOutDevice(std::shared_ptr<CVirtualMidiSystem> system, std::string name)
        : CMidiOutDevice(std::move(name)), system_(std::move(system)) {}
    ~CVirtualMidiOutDevice() override { CMidiOut::Close(); }

  protected:
    bool OpenPort(const std::string& name) override;
    void ClosePort() override { destination_.clear(); }
    bool PortPresent() override { return system_->HasDestination(destination_); }
    bool WritePort(std::span<const std::uint8_t> bytes) override {
        return system_->Write(destination_, bytes);
    }

  private:
    std::shared_ptr<CVirtualMidiSystem> system_;
    std::string destination_;
};

// Makes ports of a virtual system: its sources are the input ports, its destinations the output ports.
class CVirtualMidiDeviceFactory : public IMidiDeviceFactory {
  public:
    explicit CVirtualMidiDeviceFactory(std::shared_ptr<CVirtualMidiSystem> system)
        : system_(std::move(system)) {}

    // The wire-rate multiple of the output ports made from now on (1, as made: the MIDI wire rate).
    void SetWireRateMultiple(int multiple) { wireRateMultiple_ = multiple; }

    std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string& name,
                                                     CMidiArrivalSignal& arrival) override;
    std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string& name) override;
    int InPortCount() override { return static_cast<int>(system_->SourceNames().size()); }
    bool InPortUsable(int id) override { return id >= 0 && id < InPortCount(); }
    std::string InPortName(int id) override;
    int OutPortCount() override { return static_cast<int>(system_->DestinationNames().size()); }
    bool OutPortUsable(int id) override { return id >= 0 && id < OutPortCount(); }
    std::string OutPortName(int id) override;

    CVirtualMidiSystem& System() { return *system_; }

  private:
    std::shared_ptr<CVirtualMidiSystem> system_;
    int wireRateMultiple_ = 1;
};
