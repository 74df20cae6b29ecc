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
