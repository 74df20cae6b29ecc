#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emu/tq550_emulator.h"
#include "midi/virtual_midi.h"

// The virtual processor on a port pair of an in-process MIDI system (for tests, and for the desktop
// program's built-in virtual device): a source and a destination, both named portName. Messages written to
// the destination are queued and handled on a worker thread of its own; the answers go out on the source,
// paced at the wire rate times rateMultiple (0: no pacing). When the emulator wants to end (the fault "end
// after N messages"), both ports disappear, like an unplugged interface.
class CVirtualTq550 {
  public:
    static constexpr const char* kDefaultPortName = "VELA TQ-550 (virtual)";

    CVirtualTq550(std::shared_ptr<CVirtualMidiSystem> system, Tq550EmulatorOptions options = {},
                  std::string portName = kDefaultPortName, int rateMultiple = 1);
    ~CVirtualTq550();
    CVirtualTq550(const CVirtualTq550&) = delete;
    CVirtualTq550& operator=(const CVirtualTq550&) = delete;

    const std::string& PortName() const { return portName_; }
    // Runs f on the emulator while no message is being handled (to look at or change its memory).
    template <typename F>
    auto WithEmulator(F&& f) {
        std::lock_guard<std::mutex> lock(emulatorMutex_);
        return f(emulator_);
    }
    // Blocks until every message received so far has been handled and answered.
    void WaitIdle();
    // True once the emulator has taken its ports away.
    bool Unplugged() const;
    // Plugs the ports in again after the emulator took them away, without the fault that did it; nothing
    // when they are there.
    void Replug();

  private:
    void PlugIn();
    void Run();

    std::shared_ptr<CVirtualMidiSystem> system_;
    std::string portName_;
    int rateMultiple_;

    std::mutex emulatorMutex_;
    CTq550Emulator emulator_;

    mutable std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::deque<std::vector<std::uint8_t>> queue_;
    bool busy_ = false;
    bool stop_ = false;
    bool unplugged_ = false;
    std::thread worker_;
};
