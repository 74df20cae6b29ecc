#include "midi/midi_out_device.h"

#include "midi/short_message.h"

bool CMidiOutDevice::Send(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return false;
    if (bytes[0] == 0xF0) return SendLong(bytes);
    return SendShort(ShortMessage::FromBytes(bytes.first(std::min<std::size_t>(bytes.size(), 3))).Packed());
}

void CMidiOutDevice::OnPortLost() {
    if (IMidiPortOwner* owner = Owner())
        owner->OnOutPortLost(*this);
    else
        ReopenPort();
}

void CMidiOutDevice::OnConnectionChange(MidiConnectionChange change) {
    if (IMidiPortOwner* owner = Owner()) owner->OnConnectionChange(change);
}
