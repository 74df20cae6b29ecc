#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ports/midi_environment.h"
#include "ports/ports_test_support.h"
#include "rtmidi/normal_midi_device_factory.h"
#include "textout/text_out.h"

// A logical input port that keeps every message its physical port delivers, accepted or not.
class CRecordingPort : public CKivMidiIn {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
    }
    std::vector<Bytes> received;
};

// The program's side of a test: an environment on JACK whose TQ-550 pair (pair 0) is bound, as the
// automatic setup would bind it, to the first offered ports whose names contain "VELA TQ-550".
class CProgramSide {
  public:
    CProgramSide();
    ~CProgramSide() { environment.Shutdown(); }

    // Binds pair 0; false when no matching port pair is offered.
    bool BindToProcessor();
    CKivMidiIn& In() { return environment.InPort(MidiEnvironment::kTq550Pair); }
    CKivMidiOut& Out() { return environment.OutPort(MidiEnvironment::kTq550Pair); }
    // Pumps, blocking on input between pumps, until done() or timeout.
    bool PumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));

    TextOutHub hub;
    MidiEnvironment environment{hub};
    CCollectingReceiver receiver;
    std::shared_ptr<CRecordingTextOut> notices = std::make_shared<CRecordingTextOut>();
};
