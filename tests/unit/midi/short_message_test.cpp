#include "midi/pedal_message.h"
#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(ShortMessage, ByteFormFollowsTheStatus) {
    EXPECT_EQ(ShortMessage(0x93, 0x3C, 0x40).Packed(), 0x403C93u);
    for (std::uint8_t status : {0x80, 0x9F, 0xA0, 0xB5, 0xE1, 0xF2})
        EXPECT_EQ(ShortMessage::LengthOf(status), 3);
    for (std::uint8_t status : {0xC0, 0xDF, 0xF1, 0xF3})
        EXPECT_EQ(ShortMessage::LengthOf(status), 2);
    for (std::uint8_t status : {0xF6, 0xF8, 0xFE, 0xFF})
        EXPECT_EQ(ShortMessage::LengthOf(status), 1);
    EXPECT_EQ(ShortMessage(0xC2, 0x05, 0x77).Bytes(), (Bytes{0xC2, 0x05}));
    EXPECT_EQ(ShortMessage::FromBytes(Bytes{0xB0, 0x07, 0x64}).Bytes(), (Bytes{0xB0, 0x07, 0x64}));
    EXPECT_EQ(ShortMessage::FromBytes(Bytes{0xC0, 0x05}).Packed(), 0x05C0u);
    EXPECT_EQ(ShortMessage::FromBytes(Bytes{}).Packed(), 0u);
}

TEST(PedalMessage, PressesAreRecognisedAndMatchedByKindNumberAndChannel) {
    // Presses: a Program Change, a Control Change of 64 or more, a Note On.
    EXPECT_EQ(PedalPressOf(Bytes{0xC3, 0x05}), (CPedalMessage{CPedalMessage::ProgramChange, 3, 5}));
    EXPECT_EQ(PedalPressOf(Bytes{0xB0, 0x40, 0x40}), (CPedalMessage{CPedalMessage::ControlChange, 0, 64}));
    EXPECT_EQ(PedalPressOf(Bytes{0x9F, 0x3C, 0x01}), (CPedalMessage{CPedalMessage::NoteOn, 15, 60}));
    // Releases, other messages, and messages cut short or without a status are none.
    for (const Bytes& other :
         {Bytes{0xB0, 0x40, 0x3F}, Bytes{0x90, 0x3C, 0x00}, Bytes{0x80, 0x3C, 0x40}, Bytes{0xE0, 0x00, 0x40},
          Bytes{0xF0, 0x41, 0xF7}, Bytes{0xB0, 0x40}, Bytes{0xC0}, Bytes{0x40, 0x40}, Bytes{}})
        EXPECT_FALSE(PedalPressOf(other).has_value());

    const CPedalMessage anyChannel{CPedalMessage::ControlChange, -1, 64};
    EXPECT_TRUE(anyChannel.Matches({CPedalMessage::ControlChange, 9, 64}));
    EXPECT_FALSE(anyChannel.Matches({CPedalMessage::ControlChange, 9, 65}));
    EXPECT_FALSE(anyChannel.Matches({CPedalMessage::NoteOn, 9, 64}));
    const CPedalMessage channel3{CPedalMessage::ProgramChange, 2, 5};
    EXPECT_TRUE(channel3.Matches({CPedalMessage::ProgramChange, 2, 5}));
    EXPECT_FALSE(channel3.Matches({CPedalMessage::ProgramChange, 1, 5}));
    EXPECT_FALSE(CPedalMessage{}.Matches({CPedalMessage::None, -1, 0}));
}
