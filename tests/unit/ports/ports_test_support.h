#pragma once

#include <string>
#include <vector>

#include "midi/midi_test_support.h"
#include "ports/kiv_midi_in.h"
#include "ports/kiv_midi_receiver.h"
#include "textout/text_out.h"

// A logical input port that records every message its physical port delivers.
class CRecordingMidiIn : public CKivMidiIn {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
        CKivMidiIn::Receive(bytes);
    }
    std::vector<Bytes> received;
};

// A receiver that keeps what a logical input port accepts.
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

// A text sink that keeps what is written to it.
class CRecordingTextOut : public CKivTextOut {
  public:
    std::vector<std::string> lines;

  protected:
    void Output(const std::string& text) override { lines.push_back(text); }
};
