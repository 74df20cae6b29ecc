#pragma once

#include <span>
#include <string>

#include "midi/kiv_midi_device.h"
#include "midi/midi_out.h"

// A physical output port with a name.
class CMidiOutDeviceA : public CKivMidiOutDevice {
  public:
    explicit CMidiOutDeviceA(std::string name) : name_(std::move(name)) {}
    std::string Name() const override { return name_; }

  private:
    std::string name_;
};

// An output port of a MIDI system. A lost port and the changes of its connection go to the port's owner;
// without one the port re-opens only itself. A backend implements the port hooks of CMidiOut and calls
// CMidiOut::Close in its destructor.
class CMidiOutDevice : public CMidiOutDeviceA, public CMidiOut {
  public:
    using CMidiOutDeviceA::CMidiOutDeviceA;

    // Opens the port by its name.
    bool Create() { return OpenByName(Name()); }
    bool Send(std::span<const std::uint8_t> bytes) override;
    bool Close() override { return CMidiOut::Close(); }
    bool ReopenPort() override { return Reopen(Name()); }
    bool CheckConnection() override { return CMidiOut::CheckConnection(); }

  protected:
    void OnPortLost() override;
    void OnConnectionChange(MidiConnectionChange change) override;
};
