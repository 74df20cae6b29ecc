#include "midi/midi_out_device.h"

#include "device/short_message.h"
#include "midi/midi_environment.h"

bool CMidiOutDevice::Send(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return false;
    if (bytes[0] == 0xF0) return SendLong(bytes);
    return SendShort(ShortMessage::FromBytes(bytes.first(std::min<std::size_t>(bytes.size(), 3))).Packed());
}

void CMidiOutDevice::OnPortLost() {
    MidiEnvironment& environment = Environment();
    if (environment.HoldsOutDevice(*this))
        environment.ReopenAll();
    else
        ReopenPort();
}

void CMidiOutDevice::OnNotice(int messageId) {
    Environment().ShowNotice(messageId);
}
