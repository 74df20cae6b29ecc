#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CKivMidiOutDevice;

// Whatever a physical input port delivers complete messages to: the logical input ports of a program, or
// a program's own handler. Receive runs on the thread that pumps the port.
class IMidiMessageSink {
  public:
    virtual ~IMidiMessageSink() = default;
    virtual void Receive(std::span<const std::uint8_t> bytes) = 0;
};

// A change of an output port's connection, found when the port checks that it is still offered (before
// every send, and when its MIDI system has marked it).
enum class MidiConnectionChange { Lost, Regained };

// Whoever holds a program's physical ports: it decides what a lost port means (re-opening every port, for
// example) and tells the user of connection changes.
class IMidiPortOwner {
  public:
    virtual ~IMidiPortOwner() = default;
    // The output port found itself no longer offered; the owner re-opens what it sees fit.
    virtual void OnOutPortLost(CKivMidiOutDevice& port) = 0;
    virtual void OnConnectionChange(MidiConnectionChange change) = 0;
    // Some of the owner's ports were marked by their MIDI system (CKivMidiDevice::MarkConnectionChanged);
    // the owner checks the marked ones now. On the thread that pumps input.
    virtual void OnPortsChanged() = 0;
};

// A physical MIDI port, made by a factory.
class CKivMidiDevice {
  public:
    virtual ~CKivMidiDevice() = default;
    virtual std::string Name() const { return {}; }

    // The holder that handles lost ports and connection notices. A port without an owner re-opens only
    // itself when it is lost and tells nobody.
    void SetOwner(IMidiPortOwner* owner) { owner_ = owner; }
    IMidiPortOwner* Owner() const { return owner_; }

    // Any thread: the MIDI system has seen something that concerns this port's connection (the port it is
    // connected to went away or came back, or someone ended the connection). Whoever pumps input checks the
    // port next (see CMidiInDeviceA::NotifyPortsChanged).
    void MarkConnectionChanged() { connectionChanged_.store(true); }
    // Whether the port was marked since the last call.
    bool TakeConnectionChanged() { return connectionChanged_.exchange(false); }

  private:
    IMidiPortOwner* owner_ = nullptr;
    std::atomic<bool> connectionChanged_{false};
};

// A physical input port. It feeds the sinks bound to it, in binding order.
class CKivMidiInDevice : public CKivMidiDevice {
  public:
    // Delivers what has arrived to the bound sinks, on the calling thread; never blocks.
    virtual void Pump() {}
    // Opens the port again under its name and starts it.
    virtual bool ReopenPort() { return false; }
    // True while the port runs and still receives from the port it was opened on, as far as its MIDI
    // system tells.
    virtual bool Connected() { return true; }

    // Appends sink unless it is already bound; true when it was appended.
    bool Bind(IMidiMessageSink& sink);
    void Unbind(const IMidiMessageSink& sink);
    bool IsBound(const IMidiMessageSink& sink) const;
    const std::vector<IMidiMessageSink*>& Bound() const { return bound_; }

  protected:
    // Receive on every bound sink, in binding order.
    void DeliverToBound(std::span<const std::uint8_t> bytes);

  private:
    std::vector<IMidiMessageSink*> bound_;
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
    // Checks, as a send does, that the port is still connected: a lost port goes to the owner, a change is
    // told. True when the port is open now.
    virtual bool CheckConnection() { return true; }
};

// The owning lists of physical ports: destroying a list destroys every port in it.
using CKivMidiInDevices = std::vector<std::unique_ptr<CKivMidiInDevice>>;
using CKivMidiOutDevices = std::vector<std::unique_ptr<CKivMidiOutDevice>>;
