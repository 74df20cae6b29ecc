#include "midi/short_message.h"

ShortMessage ShortMessage::FromBytes(std::span<const std::uint8_t> bytes) {
    const std::uint8_t status = bytes.size() > 0 ? bytes[0] : 0;
    const std::uint8_t data1 = bytes.size() > 1 ? bytes[1] : 0;
    const std::uint8_t data2 = bytes.size() > 2 ? bytes[2] : 0;
    return ShortMessage(status, data1, data2);
}

int ShortMessage::LengthOf(std::uint8_t status) {
    switch (status & 0xF0) {
        case 0x80:
        case 0x90:
        case 0xA0:
        case 0xB0:
        case 0xE0:
            return 3;
        case 0xC0:
        case 0xD0:
            return 2;
        default:
            break;
    }
    if (status == 0xF2) return 3;
    if (status == 0xF1 || status == 0xF3) return 2;
    return 1;
}

std::vector<std::uint8_t> ShortMessage::Bytes() const {
    std::vector<std::uint8_t> bytes{Status(), Data1(), Data2()};
    bytes.resize(static_cast<std::size_t>(LengthOf(Status())));
    return bytes;
}
