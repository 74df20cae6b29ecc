#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "midi/kiv_midi_in.h"
#include "midi/kiv_midi_receiver.h"
#include "midi/midi_arrival.h"
#include "textout/text_out.h"

using Bytes = std::vector<std::uint8_t>;

// Waits (blocking on the arrival signal, never spinning) until done() holds or timeout has passed.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    CMidiArrivalSignal& arrival = GetMidiArrivalSignal();
    std::uint64_t seen = arrival.Sequence();
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        seen = arrival.WaitNewer(seen, std::chrono::milliseconds(5));
    }
    return true;
}

// A System Exclusive message of length bytes whose body counts up from seed.
inline Bytes NumberedSysEx(std::size_t length, std::uint32_t seed) {
    Bytes bytes(length);
    bytes.front() = 0xF0;
    for (std::size_t i = 1; i + 1 < length; ++i)
        bytes[i] = static_cast<std::uint8_t>((seed + i) & 0x7F);
    bytes.back() = 0xF7;
    return bytes;
}

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
