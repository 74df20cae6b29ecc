#include "ports/kiv_midi_in.h"

#include "device/message_acceptance.h"
#include "device/protocol_constants.h"
#include "midi/kiv_midi_device.h"
#include "ports/kiv_midi_out.h"

void CKivMidiIn::Receive(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    const std::uint8_t status = bytes[0];

    if (status == kSysExStart) {
        if (bytes.size() < 2) return;
        if (bytes[1] == kMarlinManufacturerId) {
            // Data requests, messages for other devices and bad checksums are dropped, not forwarded.
            CKivMarlinMessage message;
            if (JudgeMarlinMessage(bytes, Ids(), message) != MarlinVerdict::DataSet) return;
            if (receiver_) receiver_->OnDataSet(message);
            Forward(bytes);
            return;
        }
        if (bytes[1] == kUniversalNonRealTime || bytes[1] == kUniversalRealTime) {
            CKivLongMessage message;
            if (!message.Assign(bytes)) return;
            if (IsIdentityRequest(bytes)) return;
            if (receiver_) receiver_->OnUniversalMessage(message);
            Forward(bytes);
            return;
        }
        return;
    }

    // Real-time bytes are only passed through.
    if (status >= 0xF8) {
        Forward(bytes);
        return;
    }
    // A message must begin with a status byte; a stray data byte or end of exclusive is not a message.
    if (status < 0x80 || status == kSysExEnd) return;
    if (receiver_) receiver_->OnShortMessage(ShortMessage::FromBytes(bytes));
    Forward(bytes);
}

void CKivMidiIn::Forward(std::span<const std::uint8_t> bytes) {
    if (forwardTo_ && forwardTo_->GetDevice()) forwardTo_->GetDevice()->Send(bytes);
}
