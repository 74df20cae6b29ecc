#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/midi_environment.h"
#include "midi/rtmidi/normal_midi_device_factory.h"
#include "textout/text_out.h"

using Bytes = std::vector<std::uint8_t>;

// A receiver that keeps what the logical input port accepts.
class CCollectingReceiver : public IKivMidiReceiver {
  public:
    bool OnShortMessage(ShortMessage) override { return true; }
    bool OnUniversalMessage(const CKivLongMessage& message) override {
        universal.push_back(message.Bytes());
        return true;
    }
    bool OnDataSet(const CKivMarlinMessage& message) override {
        dataSets.push_back(message.Bytes());
        return true;
    }
    std::vector<Bytes> universal;
    std::vector<Bytes> dataSets;
};

// A logical input port that keeps every message its physical port delivers, accepted or not.
class CRecordingPort : public CKivMidiIn {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
    }
    std::vector<Bytes> received;
};

class CNoticeLines : public CKivTextOut {
  public:
    std::vector<std::string> lines;

  protected:
    void Output(const std::string& text) override { lines.push_back(text); }
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

    MidiEnvironment environment;
    CCollectingReceiver receiver;
    std::shared_ptr<CNoticeLines> notices = std::make_shared<CNoticeLines>();
};
