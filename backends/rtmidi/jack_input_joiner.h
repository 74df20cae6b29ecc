#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "midi/midi_packet.h"
#include "rtmidi/rtmidi_input_filter.h"

// Joins the events of a JACK MIDI input port into messages the way RtMidi's JACK input does, for a port that
// ignores MIDI time code (F1H), timing clock (F8H) and active sensing (FEH): an event that begins with F0H
// and does not end with F7H opens a System Exclusive message, and every following event is appended to it
// until one ends with F7H. The events ignored are appended too while a message is open (which then fails
// the input filter); on their own they are dropped. Complete messages that pass the input filter
// (AcceptRtMidiInput) go to the deliver function.
//
// Made for JACK's process thread: it allocates nothing. A message is kept up to kKept bytes; a longer one
// keeps its first kKept - 1 bytes and its last byte and is delivered with kKept bytes, so that whoever
// records it sees that it is too long for a packet; a System Exclusive message is dropped when a byte left
// out would have failed the filter.
class CJackInputJoiner {
  public:
    static constexpr std::size_t kKept = CMidiPacket::kSize + 1;

    // Forgets an open message.
    void Reset() {
        size_ = 0;
        open_ = false;
        lostStatus_ = false;
    }

    // One event of the port, in the order of the port's buffer.
    template <typename Deliver>
    void Take(std::span<const std::uint8_t> event, Deliver&& deliver) {
        if (event.empty()) return;
        if (!open_) {
            size_ = 0;
            lostStatus_ = false;
        }
        for (std::uint8_t byte : event)
            Append(byte);
        const bool endsMessage = event.back() == 0xF7;
        switch (event.front()) {
            case 0xF0:
                open_ = !endsMessage;
                break;
            case 0xF1:
            case 0xF8:
            case 0xFE:
                return;
            default:
                if (open_) open_ = !endsMessage;
                break;
        }
        if (open_) return;
        const std::span<const std::uint8_t> message(bytes_.data(), size_ < kKept ? size_ : kKept);
        if (AcceptRtMidiInput(message) && !(lostStatus_ && message.front() == 0xF0)) deliver(message);
    }

  private:
    void Append(std::uint8_t byte) {
        if (size_ < kKept) {
            bytes_[size_] = byte;
        } else {
            // The byte kept last so far moves into the body that is left out.
            if (bytes_[kKept - 1] >= 0x80) lostStatus_ = true;
            bytes_[kKept - 1] = byte;
        }
        ++size_;
    }

    std::array<std::uint8_t, kKept> bytes_{};
    std::size_t size_ = 0;
    bool open_ = false;
    bool lostStatus_ = false;
};
