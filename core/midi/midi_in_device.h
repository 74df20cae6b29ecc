#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "midi/delivery_ring.h"
#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "midi/midi_in.h"

// A physical input port with a name. Messages reach it through a delivery ring, written on the port's
// event thread, which then notifies the arrival signal it was made with; Pump takes them out on the
// user-interface thread and delivers them to the bound sinks. Short messages of the system common (F1H-F6H)
// and real-time (F8H-FFH) kinds are dropped there.
//
// A backend whose MIDI system reports changes of ports marks the ports concerned and then calls
// NotifyPortsChanged: the next Pump first lets the owner check the marked ports (without an owner, the port
// re-opens itself when it was marked and is no longer connected).
class CMidiInDeviceA : public CKivMidiInDevice {
  public:
    CMidiInDeviceA(std::string name, CMidiArrivalSignal& arrival)
        : name_(std::move(name)), arrival_(arrival) {}

    std::string Name() const override { return name_; }
    void Pump() override;

    // Any thread: wakes whoever waits for input on the arrival signal, so that it pumps.
    void NotifyPortsChanged();

  protected:
    // Event thread: hands a message over and wakes the user-interface thread; false when the ring has no
    // room for it now.
    bool Post(CMidiDeliveryRing::Kind kind, std::span<const std::uint8_t> bytes);

  private:
    std::string name_;
    CMidiArrivalSignal& arrival_;
    CMidiDeliveryRing delivery_;
    std::atomic<bool> portsChanged_{false};
};

// An input port of a MIDI system: the delivering port above on the three-stage input of CMidiIn. A
// backend implements the port hooks of CMidiIn and calls Shutdown in its destructor.
class CMidiInDevice : public CMidiInDeviceA, public CMidiIn {
  public:
    using CMidiInDeviceA::CMidiInDeviceA;

    // Opens the port by its name and starts it; true only when both succeed.
    bool Create();
    bool ReopenPort() override;
    bool Connected() override { return IsRunning() && PortPresent(); }

  protected:
    // Stops and closes the port; for the backend's destructor.
    void Shutdown();

    bool OnShortData(std::uint32_t packed) override;
    bool OnLongData(std::span<const std::uint8_t> bytes) override;
};
