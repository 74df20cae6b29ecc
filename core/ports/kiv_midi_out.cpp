#include "ports/kiv_midi_out.h"

#include "device/message_builders.h"
#include "midi/kiv_midi_device.h"

void CKivMidiOut::SendShort(ShortMessage message) {
    SendBytes(message.Bytes());
}

void CKivMidiOut::SendLong(const CKivLongMessage& message) {
    SendBytes(message.Bytes());
}

void CKivMidiOut::SendLong(const CKivMarlinMessage& message) {
    SendBytes(message.Bytes());
}

void CKivMidiOut::SendDataSet(std::int32_t address, std::span<const std::uint8_t> data) {
    SendLong(MakeDataSetMessage(Ids(), address, data));
}

void CKivMidiOut::SendRequest(std::int32_t address, std::int32_t size) {
    SendLong(MakeRequestMessage(Ids(), address, size));
}

void CKivMidiOut::SendBytes(std::span<const std::uint8_t> bytes) {
    lastSent_.assign(bytes.begin(), bytes.end());
    lastSendSucceeded_ = device_ && device_->Send(lastSent_);
}
