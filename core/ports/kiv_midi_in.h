#pragma once

#include <cstdint>
#include <span>

#include "midi/kiv_midi_device.h"
#include "ports/kiv_midi.h"
#include "ports/kiv_midi_receiver.h"

class CKivMidiOut;

// A logical input port: a role (the TQ-550, MIDI through, ...) with its device profile. Its physical port
// calls Receive for every message it delivers; Receive classifies the message, checks address/data
// messages against the profile, hands what it accepts to the receiver and forwards it.
class CKivMidiIn : public CKivMidi, public IMidiMessageSink {
  public:
    ~CKivMidiIn() override = default;

    // Classifies bytes (one complete message) and passes it on. Runs on the user-interface thread.
    void Receive(std::span<const std::uint8_t> bytes) override;

    IKivMidiReceiver* GetReceiver() const { return receiver_; }
    void SetReceiver(IKivMidiReceiver* receiver) { receiver_ = receiver; }
    CKivMidiOut* GetForwardTo() const { return forwardTo_; }
    void SetForwardTo(CKivMidiOut* port) { forwardTo_ = port; }

  private:
    void Forward(std::span<const std::uint8_t> bytes);

    IKivMidiReceiver* receiver_ = nullptr;
    CKivMidiOut* forwardTo_ = nullptr;
};
