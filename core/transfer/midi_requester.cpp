#include "transfer/midi_requester.h"

#include "device/deadline_timer.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

CKivMidiRequester::~CKivMidiRequester() {
    Attach(nullptr, nullptr);
}

void CKivMidiRequester::Attach(CKivMidiIn* input, CKivMidiOut* output) {
    if (input_ && input_->GetReceiver() == this) input_->SetReceiver(nullptr);
    input_ = input;
    output_ = output;
    if (input_) input_->SetReceiver(this);
}

bool CKivMidiRequester::OnUniversalMessage(const CKivLongMessage& message) {
    const auto bytes = message.Bytes();
    if (state_ != kWaitingForUniversal || bytes.size() < 4 || bytes[3] != expectedSubId_) return false;
    state_ = kUniversalReceived;
    return true;
}

bool CKivMidiRequester::OnDataSet(const CKivMarlinMessage& message) {
    if (state_ != kWaitingForData) return false;
    if (message.Field(MarlinField::Address) != expectedAddress_) return false;
    if (message.FieldAt(MarlinField::Data).length != expectedSize_) return false;
    state_ = kDataReceived;
    return true;
}

bool CKivMidiRequester::WaitFor(std::chrono::milliseconds duration, const std::function<bool()>& done) {
    DeadlineTimer deadline;
    deadline.Start(0, duration);
    waitCancelled_ = false;
    CKivProgressBar* progress = environment_.GetProgressBar();
    while (!done()) {
        if (deadline.Expired(0)) return false;
        if (progress && progress->IsCancelled()) {
            waitCancelled_ = true;
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline.Remaining(0));
        environment_.PumpWait(*input_,
                              std::min<std::chrono::microseconds>(left, std::chrono::milliseconds(2)));
    }
    return true;
}

bool CKivMidiRequester::RunTries(int waitingState, int reachedState, const std::function<void()>& send) {
    if (!input_ || !output_) return false;
    for (int attempt = 0; attempt < tries_; ++attempt) {
        state_ = waitingState;
        send();
        if (WaitFor(timeout_, [&] { return state_ == reachedState; })) {
            state_ = kIdle;
            return true;
        }
        if (waitCancelled_) {
            state_ = kIdle;
            return false;
        }
    }
    environment_.TextOut().ShowMessage(MSG_CONNECTION_PROBLEM);
    state_ = kIdle;
    return false;
}

bool CKivMidiRequester::Exchange(const CKivLongMessage& message) {
    const auto bytes = message.Bytes();
    return RunTries(kWaitingForUniversal, kUniversalReceived, [&] {
        expectedAddress_.clear();
        expectedSize_ = 0;
        expectedSubId_ = bytes.size() > 3 ? bytes[3] : 0;
        output_->SendLong(message);
    });
}

bool CKivMidiRequester::Request(PackedAddress address, int size) {
    return RunTries(kWaitingForData, kDataReceived, [&] {
        expectedAddress_ = UnpackAddress(address, output_->GetAddressWidth());
        expectedSize_ = size;
        output_->SendRequest(address, size);
    });
}
