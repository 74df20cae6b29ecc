#include "rtmidi/rtmidi_input_filter.h"

#include <algorithm>

bool AcceptRtMidiInput(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.front() != 0xF0) return true;
    if (bytes.size() < 2 || bytes.back() != 0xF7) return false;
    const auto body = bytes.subspan(1, bytes.size() - 2);
    return std::none_of(body.begin(), body.end(), [](std::uint8_t byte) { return byte >= 0x80; });
}
