#include "midi/midi_packet.h"

#include <algorithm>

bool CMidiPacket::Assign(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kSize) return false;
    std::copy(bytes.begin(), bytes.end(), buffer_->begin());
    recorded_ = bytes.size();
    return true;
}
