#pragma once

#include <chrono>
#include <span>

#include "model/parameter_address.h"
#include "ports/kiv_midi_out.h"

// Sends data-set messages over a logical output port with a fixed pause after each, which together with
// the port's wait for the message to leave paces bulk writes. It never waits for an answer.
class CKivMidiSender {
  public:
    static constexpr std::chrono::milliseconds kPause{20};

    virtual ~CKivMidiSender() = default;

    void SetOutput(CKivMidiOut* output) { output_ = output; }
    // The pause after each data set (kPause unless a test shortens it).
    void SetPause(std::chrono::milliseconds pause) { pause_ = pause; }
    CKivMidiOut* SenderOutput() const { return output_; }

    // Sends one data set, then pauses. False when no port is bound or the send failed (the port was lost
    // and could not be regained), so that a bulk write stops instead of running on.
    bool Send(PackedAddress address, std::span<const std::uint8_t> data);

  private:
    CKivMidiOut* output_ = nullptr;
    std::chrono::milliseconds pause_ = kPause;
};
