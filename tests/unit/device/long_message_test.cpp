#include "device/long_message.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(LongMessage, StartsAsF0_00_F7AndClearReturnsToIt) {
    CKivLongMessage message;
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x00, 0xF7}));
    ASSERT_TRUE(message.Assign(Bytes{0xF0, 0x7E, 0x01, 0xF7}));
    message.Clear();
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x00, 0xF7}));
}

TEST(LongMessage, AssignRejectsInvalidSequencesAndKeepsTheOldContent) {
    CKivLongMessage message;
    const Bytes good{0xF0, 0x41, 0x10, 0xF7};
    ASSERT_TRUE(message.Assign(good));
    for (const Bytes& bad : {Bytes{}, Bytes{0xF0, 0xF7}, Bytes{0xF0, 0x41, 0x10}, Bytes{0xF1, 0x41, 0xF7},
                             Bytes{0xF0, 0x41, 0x80, 0xF7}, Bytes{0xF0, 0xF7, 0xF7}}) {
        EXPECT_FALSE(message.Assign(bad));
        EXPECT_EQ(message.Bytes(), good);
    }
    EXPECT_TRUE(message.Assign(Bytes{0xF0, 0x7F, 0xF7}));
}

TEST(LongMessage, SetBodyKeepsManufacturerAndClosesWithF7) {
    CKivLongMessage message;
    message.SetManufacturer(0x7E);
    const Bytes body{0x10, 0x06, 0x01};
    message.SetBody(body);
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7}));
    message.SetBody({});
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x7E, 0xF7}));
}

TEST(LongMessage, SettersNeverProduceStatusBytesInsideTheMessage) {
    CKivLongMessage message;
    message.SetManufacturer(0xC1);
    const Bytes body{0x90, 0xF7};
    message.SetBody(body);
    EXPECT_TRUE(CKivLongMessage::IsValid(message.Bytes()));
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x10, 0x77, 0xF7}));
}
