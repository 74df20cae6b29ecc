#pragma once

#include <cstdint>
#include <span>

// Whether one message as RtMidi delivers it may be passed on: anything but a System Exclusive message
// that is not whole. RtMidi's ALSA input joins the pieces of a long System Exclusive message until a piece
// ends with F7H, so a message that was cut off (another sender, an interface unplugged in the middle)
// takes whatever event arrives next into it. A whole one is F0H, data bytes and a final F7H.
bool AcceptRtMidiInput(std::span<const std::uint8_t> bytes);
