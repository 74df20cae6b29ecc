#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CKivMidiIn;
class MidiEnvironment;

// A physical MIDI port, made by a factory and owned by the environment's port lists.
class CKivMidiDevice {
  public:
    virtual ~CKivMidiDevice() = default;
    virtual std::string Name() const { return {}; }

    // The environment whose lists hold this port; it re-opens every port when one is lost. None: the
    // process-wide environment.
    void SetEnvironment(MidiEnvironment* environment) { environment_ = environment; }
    MidiEnvironment& Environment() const;

  private:
    MidiEnvironment* environment_ = nullptr;
};

// A physical input port. It feeds the logical input ports bound to it, in binding order.
class CKivMidiInDevice : public CKivMidiDevice {
  public:
    // Delivers what has arrived to the bound ports, on the calling thread; never blocks.
    virtual void Pump() {}
    // Opens the port again under its name and starts it.
    virtual bool ReopenPort() { return false; }

    // Appends port unless it is already bound; true when it was appended.
    bool Bind(CKivMidiIn& port);
    void Unbind(const CKivMidiIn& port);
    bool IsBound(const CKivMidiIn& port) const;
    const std::vector<CKivMidiIn*>& Bound() const { return bound_; }

  protected:
    // Receive on every bound port, in binding order.
    void DeliverToBound(std::span<const std::uint8_t> bytes);

  private:
    std::vector<CKivMidiIn*> bound_;
};

// A physical output port.
class CKivMidiOutDevice : public CKivMidiDevice {
  public:
    // Sends one message: bytes beginning F0H as System Exclusive, anything else as a short message of at
    // most its first three bytes.
    virtual bool Send(std::span<const std::uint8_t> bytes) = 0;
    virtual bool Close() { return false; }
    // Opens the port again under its name.
    virtual bool ReopenPort() { return false; }
};

// The owning lists of physical ports: destroying a list destroys every port in it.
using CKivMidiInDevices = std::vector<std::unique_ptr<CKivMidiInDevice>>;
using CKivMidiOutDevices = std::vector<std::unique_ptr<CKivMidiOutDevice>>;
