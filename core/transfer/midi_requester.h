#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "device/long_message.h"
#include "model/parameter_address.h"
#include "ports/kiv_midi_in.h"
#include "ports/kiv_midi_out.h"
#include "ports/kiv_midi_receiver.h"
#include "ports/midi_environment.h"

// Sends a request over a logical output port and waits, on the thread the transfer runs on, for the
// matching answer on a logical input port, with a time-out per try and a fixed number of tries. While it
// waits it pumps the input port and blocks for input in short steps; it never spins. A transfer cancelled
// through the environment's progress sink stops waiting within a step.
class CKivMidiRequester : public IKivMidiReceiver {
  public:
    enum State : int {
        kIdle = 0,
        kWaitingForData = 1,
        kDataReceived = 2,
        kWaitingForUniversal = 3,
        kUniversalReceived = 4,
    };
    static constexpr std::chrono::milliseconds kDefaultTimeout{3000};
    static constexpr int kDefaultTries = 2;

    // environment: where the ports, the progress sink and the message sinks of the program are.
    explicit CKivMidiRequester(MidiEnvironment& environment) : environment_(environment) {}
    ~CKivMidiRequester() override;
    CKivMidiRequester(const CKivMidiRequester&) = delete;
    CKivMidiRequester& operator=(const CKivMidiRequester&) = delete;

    // Where answers arrive and requests go. The requester becomes the input port's receiver and stops
    // being it when it is destroyed or attached elsewhere.
    void Attach(CKivMidiIn* input, CKivMidiOut* output);
    CKivMidiIn* Input() const { return input_; }
    CKivMidiOut* Output() const { return output_; }

    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTries(int tries) { tries_ = tries; }
    int Tries() const { return tries_; }
    int GetState() const { return state_; }
    void SetState(int state) { state_ = state; }

    bool OnShortMessage(ShortMessage) override { return true; }
    // In the universal wait, an answer whose byte 3 is the request's ends the wait.
    bool OnUniversalMessage(const CKivLongMessage& message) override;
    // In the data wait, a data set at the expected address with exactly the expected size ends the wait.
    bool OnDataSet(const CKivMarlinMessage& message) override;

    // Sends message and waits for a universal answer whose byte 3 equals the message's. Shows the
    // connection-problem message and gives false when no answer comes after all tries; gives false without
    // a message when the transfer was cancelled meanwhile (WaitCancelled).
    virtual bool Exchange(const CKivLongMessage& message);
    // Asks for size bytes at address and waits for the data set that answers it; as Exchange otherwise.
    virtual bool Request(PackedAddress address, int size);

    // Whether the last wait ended because the transfer was cancelled.
    bool WaitCancelled() const { return waitCancelled_; }

  protected:
    MidiEnvironment& Environment() const { return environment_; }
    // Pumps the input port until done() holds, duration has passed or the transfer is cancelled; true when
    // done() held.
    bool WaitFor(std::chrono::milliseconds duration, const std::function<bool()>& done);

  private:
    // Runs the tries: send() then wait for state `reached`.
    bool RunTries(int waitingState, int reachedState, const std::function<void()>& send);

    MidiEnvironment& environment_;
    CKivMidiIn* input_ = nullptr;
    CKivMidiOut* output_ = nullptr;
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    int tries_ = kDefaultTries;
    int state_ = kIdle;
    bool waitCancelled_ = false;
    std::vector<std::uint8_t> expectedAddress_;
    int expectedSize_ = 0;
    std::uint8_t expectedSubId_ = 0;
};
