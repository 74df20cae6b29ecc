#include "transfer/midi_sender.h"

#include <thread>

bool CKivMidiSender::Send(PackedAddress address, std::span<const std::uint8_t> data) {
    if (!output_) return false;
    output_->SendDataSet(address, data);
    if (!output_->LastSendSucceeded()) return false;
    if (pause_.count() > 0) std::this_thread::sleep_for(pause_);
    return true;
}
