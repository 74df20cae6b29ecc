#include "device/message_acceptance.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/message_builders.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes DataSetBytes(std::uint8_t deviceId, std::int32_t address, const Bytes& data) {
    return MakeDataSetMessage(Tq550DeviceIds(deviceId), address, data).Bytes();
}

MarlinVerdict Judge(const Bytes& bytes, const DeviceIds& ids = Tq550DeviceIds(0x00)) {
    CKivMarlinMessage message;
    return JudgeMarlinMessage(bytes, ids, message);
}

}  // namespace

TEST(MarlinAcceptance, AcceptsADataSetOfTheProfile) {
    const Bytes bytes = DataSetBytes(0x03, 0x02004000, Bytes{0x01, 0x02, 0x03});
    CKivMarlinMessage message;
    ASSERT_TRUE(AcceptDataSet(bytes, Tq550DeviceIds(0x03), message));
    EXPECT_EQ(message.Field(MarlinField::Address), (Bytes{0x10, 0x01, 0x00, 0x00}));
    EXPECT_EQ(message.Field(MarlinField::Data), (Bytes{0x01, 0x02, 0x03}));
}

TEST(MarlinAcceptance, DropsMessagesOfOtherDevicesAndModels) {
    const Bytes data{0x01, 0x02};
    EXPECT_EQ(Judge(DataSetBytes(0x01, 0x02000000, data)), MarlinVerdict::OtherDevice);

    // Model id 00 00 00 60 (four bytes) is not 00 00 60.
    DeviceIds longModel = Tq550DeviceIds(0x00);
    longModel.modelId = {0x00, 0x00, 0x00, 0x60};
    EXPECT_EQ(Judge(MakeDataSetMessage(longModel, 0x02000000, data).Bytes()), MarlinVerdict::OtherDevice);

    DeviceIds otherMaker = Tq550DeviceIds(0x00);
    otherMaker.manufacturerId = 0x43;
    EXPECT_EQ(Judge(MakeDataSetMessage(otherMaker, 0x02000000, data).Bytes()), MarlinVerdict::OtherDevice);

    // The through profile (empty model id) accepts nothing of the TQ-550.
    DeviceIds through;
    through.deviceId = 0x00;
    EXPECT_EQ(Judge(DataSetBytes(0x00, 0x02000000, data), through), MarlinVerdict::OtherDevice);
}

TEST(MarlinAcceptance, SortsOutRequestsOtherCommandsAndBadChecksums) {
    EXPECT_EQ(Judge(MakeRequestMessage(Tq550DeviceIds(0x00), 0x02000000, 2178).Bytes()),
              MarlinVerdict::DataRequest);

    Bytes other = DataSetBytes(0x00, 0x02000000, Bytes{0x01});
    other[6] = 0x13;
    EXPECT_EQ(Judge(other), MarlinVerdict::OtherCommand);

    Bytes corrupt = DataSetBytes(0x00, 0x02000000, Bytes{0x01, 0x02});
    corrupt[13] ^= 0x01;
    EXPECT_EQ(Judge(corrupt), MarlinVerdict::BadChecksum);

    EXPECT_EQ(Judge(Bytes{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, 0x10, 0x00, 0xF7}),
              MarlinVerdict::NotParsed);
    EXPECT_EQ(Judge(DataSetBytes(0x00, 0x02000000, Bytes{0x01})), MarlinVerdict::DataSet);
}

TEST(IdentityExchange, RequestBytes) {
    EXPECT_EQ(MakeIdentityRequest(0x00).Bytes(), (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}));
    EXPECT_EQ(MakeIdentityRequest(0x1F).Bytes(), (Bytes{0xF0, 0x7E, 0x1F, 0x06, 0x01, 0xF7}));
    EXPECT_TRUE(IsIdentityRequest(MakeIdentityRequest(0x00).Bytes()));
    EXPECT_FALSE(IsIdentityRequest(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7}));
}

TEST(IdentityExchange, ReplyCheck) {
    const Bytes reply{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02,
                      0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7};
    int model = -1;
    EXPECT_EQ(CheckIdentityReply(reply, 0x00, &model), IdentityVerdict::Accepted);
    EXPECT_EQ(model, 0);

    EXPECT_EQ(CheckIdentityReply(reply, 0x01), IdentityVerdict::NotAReply);  // another device id

    Bytes shorter(reply.begin(), reply.end() - 2);
    shorter.push_back(0xF7);
    EXPECT_EQ(CheckIdentityReply(shorter, 0x00), IdentityVerdict::NotAReply);
    Bytes longer(reply.begin(), reply.end() - 1);
    longer.insert(longer.end(), {0x00, 0xF7});
    EXPECT_EQ(CheckIdentityReply(longer, 0x00), IdentityVerdict::NotAReply);

    Bytes otherFamily = reply;
    otherFamily[6] = 0x61;
    EXPECT_EQ(CheckIdentityReply(otherFamily, 0x00), IdentityVerdict::OtherModel);

    Bytes otherMaker = reply;
    otherMaker[5] = 0x43;
    EXPECT_EQ(CheckIdentityReply(otherMaker, 0x00), IdentityVerdict::NotAReply);

    EXPECT_EQ(CheckIdentityReply(MakeIdentityRequest(0x00).Bytes(), 0x00), IdentityVerdict::NotAReply);
    EXPECT_EQ(CheckIdentityReply({}, 0x00), IdentityVerdict::NotAReply);
}
