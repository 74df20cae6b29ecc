#include "midi/pedal_message.h"

bool CPedalMessage::Matches(const CPedalMessage& press) const {
    return IsLearned() && kind == press.kind && number == press.number &&
           (channel < 0 || channel == press.channel);
}

std::optional<CPedalMessage> PedalPressOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] < 0x80 || bytes[0] >= 0xF0) return std::nullopt;
    const int channel = bytes[0] & 0x0F;
    const int number = bytes[1] & 0x7F;
    switch (bytes[0] & 0xF0) {
        case 0xC0:
            return CPedalMessage{CPedalMessage::ProgramChange, channel, number};
        case 0xB0:
            if (bytes.size() >= 3 && bytes[2] >= 64)
                return CPedalMessage{CPedalMessage::ControlChange, channel, number};
            return std::nullopt;
        case 0x90:
            if (bytes.size() >= 3 && bytes[2] > 0)
                return CPedalMessage{CPedalMessage::NoteOn, channel, number};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}
