#include "device/marlin_message.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/device_ids.h"
#include "device/message_builders.h"
#include "device/value7.h"

using Bytes = std::vector<std::uint8_t>;

TEST(MarlinMessage, ClearedMessageHasNoChecksum) {
    CKivMarlinMessage message;
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x42, 0x12, 0xF7}));
    EXPECT_EQ(message.ComputeChecksum(), 255);
    EXPECT_EQ(message.StoredChecksum(), 255);
    EXPECT_EQ(message.Field(MarlinField::ModelId), (Bytes{0x42}));
    EXPECT_TRUE(message.Field(MarlinField::Address).empty());
}

TEST(MarlinMessage, SetFieldMovesLaterFieldsAndKeepsF7Last) {
    CKivMarlinMessage message;
    message.SetField(MarlinField::Address, Bytes{0x10, 0x00, 0x00, 0x00});
    message.SetField(MarlinField::Data, Bytes{0x01, 0x02});
    message.UpdateChecksum();
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x42, 0x12, 0x10, 0, 0, 0, 0x01, 0x02, 0x6D, 0xF7}));

    message.SetField(MarlinField::ModelId, Bytes{0x00, 0x00, 0x60});  // longer
    EXPECT_EQ(message.Field(MarlinField::Data), (Bytes{0x01, 0x02}));
    EXPECT_EQ(message.StoredChecksum(), 0x6D);
    EXPECT_EQ(message.Bytes().back(), 0xF7);

    message.SetField(MarlinField::Address, Bytes{0x10});  // shorter
    message.UpdateChecksum();
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0, 0, 0x60, 0x12, 0x10, 0x01, 0x02, 0x6D, 0xF7}));

    message.SetField(MarlinField::Address, {});
    message.SetField(MarlinField::Data, {});
    message.UpdateChecksum();
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0, 0, 0x60, 0x12, 0xF7}));
}

TEST(MarlinMessage, DataSetForAddressZero) {
    const Bytes payload{0x00};
    const CKivMarlinMessage message = MakeDataSetMessage(Tq550DeviceIds(0x00), 0, payload);
    EXPECT_EQ(message.Bytes(),
              (Bytes{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, 0, 0, 0, 0, 0x00, 0x00, 0xF7}));
}

TEST(MarlinMessage, DataSetOfOneChunkIs255BytesWithItsChecksum) {
    Bytes payload(242);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<std::uint8_t>(i & 0x7F);
    const CKivMarlinMessage message = MakeDataSetMessage(Tq550DeviceIds(0x05), 0x02000000 + 242, payload);
    ASSERT_EQ(message.Size(), 255u);
    EXPECT_EQ(message.Field(MarlinField::Address), (Bytes{0x10, 0x00, 0x01, 0x72}));
    EXPECT_EQ(message.Field(MarlinField::Data), payload);
    EXPECT_EQ(message.Field(MarlinField::DeviceId), (Bytes{0x05}));
    unsigned sum = 0;
    for (std::size_t i = 7; i < 254; ++i)
        sum += message.Bytes()[i];
    EXPECT_EQ(sum % 128, 0u);
}

TEST(MarlinMessage, RequestForOnePatch) {
    const CKivMarlinMessage message = MakeRequestMessage(Tq550DeviceIds(0x00), 0x02000000, 2178);
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x11, 0x10, 0x00, 0x00, 0x00, 0x00,
                                      0x00, 0x11, 0x02, 0x5D, 0xF7}));
    // Size 00 00 01 4D: checksum (0 - (10H + 01H + 4DH)) & 7FH.
    EXPECT_EQ(MakeRequestMessage(Tq550DeviceIds(0x00), 0x02000000, 0xCD).StoredChecksum(), 0x22);
}

TEST(MarlinMessage, ParseFindsMultiByteIdsAndEveryField) {
    CKivMarlinMessage message;
    const Bytes bytes{0xF0, 0x41, 0x10, 0x00, 0x00, 0x60, 0x00, 0x12, 0x10,
                      0x47, 0x0F, 0x10, 0x01, 0x02, 0x03, 0x04, 0xF7};
    ASSERT_TRUE(message.Parse(bytes, 4));
    EXPECT_EQ(message.Field(MarlinField::DeviceId), (Bytes{0x10}));
    EXPECT_EQ(message.Field(MarlinField::ModelId), (Bytes{0x00, 0x00, 0x60}));
    EXPECT_EQ(message.Field(MarlinField::CommandId), (Bytes{0x00, 0x12}));
    EXPECT_EQ(message.Field(MarlinField::Address), (Bytes{0x10, 0x47, 0x0F, 0x10}));
    EXPECT_EQ(message.Field(MarlinField::Data), (Bytes{0x01, 0x02, 0x03}));
    EXPECT_EQ(message.StoredChecksum(), 0x04);
    EXPECT_EQ(message.ComputeChecksum(), 0x04);
}

TEST(MarlinMessage, ParseWithoutAddressWidth) {
    CKivMarlinMessage message;
    ASSERT_TRUE(message.Parse(Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0xF7}, 0));
    EXPECT_TRUE(message.Field(MarlinField::Data).empty());
    EXPECT_EQ(message.StoredChecksum(), 255);
    ASSERT_TRUE(message.Parse(Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x05, 0x06, 0x75, 0xF7}, 0));
    EXPECT_EQ(message.Field(MarlinField::Data), (Bytes{0x05, 0x06}));
    EXPECT_EQ(message.StoredChecksum(), 0x75);
}

TEST(MarlinMessage, FailedParseLeavesTheMessageAsItWas) {
    CKivMarlinMessage message;
    const Bytes before = message.Bytes();
    const Bytes failures[] = {
        Bytes{0xF0, 0x41, 0x10, 0x60, 0xF7},                                // shorter than 6 bytes
        Bytes{0xF0, 0x41, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7},        // model id never ends
        Bytes{0xF0, 0x41, 0x10, 0x60, 0x00, 0x00, 0xF7},                    // command id never ends
        Bytes{0xF0, 0x41, 0x10, 0x60, 0x12, 0x01, 0x02, 0x03, 0xF7},        // no room for a 4-byte address
        Bytes{0xF0, 0x41, 0x10, 0x60, 0x12, 0x01, 0x02, 0x03, 0x04, 0xF7},  // address but no checksum
        Bytes{0xF0, 0x41, 0x10, 0x60, 0x12, 0x81, 0x02, 0x03, 0x04, 0x05, 0xF7},  // status byte inside
    };
    for (const Bytes& bytes : failures) {
        EXPECT_FALSE(message.Parse(bytes, 4));
        EXPECT_EQ(message.Bytes(), before);
        EXPECT_EQ(message.StoredChecksum(), 255);
    }
    EXPECT_FALSE(message.Parse(Bytes{0xF0, 0x41, 0x10, 0x60, 0x12, 0x01, 0x02, 0xF7}, 1 << 30));
    EXPECT_FALSE(message.Parse(Bytes{0xF0, 0x41, 0x10, 0x60, 0x12, 0x01, 0x02, 0xF7}, -1));
}

TEST(MarlinMessage, FieldsStayInsideTheBytesAfterAPlainAssign) {
    CKivMarlinMessage message = MakeDataSetMessage(Tq550DeviceIds(), 0x02000000, Bytes(242, 0x11));
    ASSERT_TRUE(message.Assign(Bytes{0xF0, 0x41, 0xF7}));
    EXPECT_TRUE(message.Field(MarlinField::Data).empty());
    EXPECT_EQ(message.StoredChecksum(), 255);
    message.SetField(MarlinField::Data, Bytes{0x01});
    EXPECT_TRUE(CKivLongMessage::IsValid(message.Bytes()));
}

TEST(Value7, PacksSevenBitsPerByteMostSignificantFirst) {
    EXPECT_EQ(EncodeValue7(300, 4), (Bytes{0x00, 0x00, 0x02, 0x2C}));
    EXPECT_EQ(DecodeValue7(Bytes{0x00, 0x00, 0x02, 0x2C}), 300);
    EXPECT_EQ(EncodeValue7(0x02000000 + 128 * 0x4000, 4), (Bytes{0x11, 0x00, 0x00, 0x00}));
    EXPECT_EQ(EncodeValue7(300, 1), (Bytes{0x2C}));
    EXPECT_EQ(EncodeValue7(300, 6), (Bytes{0x00, 0x00, 0x00, 0x00, 0x02, 0x2C}));
    EXPECT_TRUE(EncodeValue7(300, 0).empty());
    EXPECT_EQ(DecodeValue7(Bytes{0x7F, 0x7F, 0x7F, 0x7F}), 0x0FFFFFFF);
    EXPECT_EQ(DecodeValue7({}), 0);
}
