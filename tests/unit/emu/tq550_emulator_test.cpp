#include "emu/tq550_emulator.h"

#include <gtest/gtest.h>

#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "device/value7.h"
#include "temp_folder.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes IdentityRequest(std::uint8_t deviceId) {
    return MakeIdentityRequest(deviceId).Bytes();
}

Bytes Request(std::uint8_t deviceId, std::int32_t address, std::int32_t size) {
    return MakeRequestMessage(Tq550DeviceIds(deviceId), address, size).Bytes();
}

Bytes DataSet(std::uint8_t deviceId, std::int32_t address, const Bytes& data) {
    return MakeDataSetMessage(Tq550DeviceIds(deviceId), address, data).Bytes();
}

// The accepted answers as (address, data) pairs; an answer that the program would drop fails the test.
std::vector<std::pair<std::int32_t, Bytes>> Accepted(const std::vector<Bytes>& answers,
                                                     std::uint8_t deviceId) {
    std::vector<std::pair<std::int32_t, Bytes>> result;
    for (const Bytes& answer : answers) {
        CKivMarlinMessage message;
        EXPECT_TRUE(AcceptDataSet(answer, Tq550DeviceIds(deviceId), message));
        result.emplace_back(DecodeValue7(message.Field(MarlinField::Address)),
                            message.Field(MarlinField::Data));
    }
    return result;
}

}  // namespace

TEST(Tq550Emulator, AnswersTheIdentityRequestForItsDeviceId) {
    CTq550Emulator emulator({.deviceId = 5});
    EXPECT_TRUE(emulator.Receive(IdentityRequest(4)).empty());
    const auto answers = emulator.Receive(IdentityRequest(5));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], (Bytes{0xF0, 0x7E, 0x05, 0x06, 0x02, 0x41, 0x60, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00,
                                 0x00, 0xF7}));
    EXPECT_EQ(CheckIdentityReply(answers[0], 5), IdentityVerdict::Accepted);
    // The all-call id gets the reply too, with the processor's own id.
    const auto allCall = emulator.Receive(IdentityRequest(0x7F));
    ASSERT_EQ(allCall.size(), 1u);
    EXPECT_EQ(allCall[0][2], 0x05);
}

TEST(Tq550Emulator, AnswersAWholePatchWithNineDataSets) {
    CTq550Emulator emulator;
    const auto answers = Accepted(emulator.Receive(Request(0, 0x02000000 + 199 * 0x4000, 2178)), 0);
    ASSERT_EQ(answers.size(), 9u);
    Bytes joined;
    for (std::size_t k = 0; k < answers.size(); ++k) {
        EXPECT_EQ(answers[k].first, 0x02000000 + 199 * 0x4000 + static_cast<std::int32_t>(k) * 242);
        EXPECT_EQ(answers[k].second.size(), 242u);
        joined.insert(joined.end(), answers[k].second.begin(), answers[k].second.end());
    }
    EXPECT_EQ(joined, Bytes(emulator.UserPatch(199).begin(), emulator.UserPatch(199).end()));
    EXPECT_EQ(std::string(joined.begin(), joined.begin() + 16), "EMU U50-4       ");
    // The last chunk starts at 11 47 0F 10.
    EXPECT_EQ(EncodeValue7(answers[8].first, 4), (Bytes{0x11, 0x47, 0x0F, 0x10}));
}

TEST(Tq550Emulator, AnswersOnlyThePartOfARangeThatIsPatchMemory) {
    CTq550Emulator emulator;
    // From offset 2000 of the temporary patch: 178 bytes are left in it.
    auto answers = Accepted(emulator.Receive(Request(0, 0x0C000000 + 2000, 300)), 0);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].second,
              Bytes(emulator.TemporaryPatch().begin() + 2000, emulator.TemporaryPatch().end()));
    // A range over the end of user patch 0 and the start of patch 1 skips the gap between them.
    answers = Accepted(emulator.Receive(Request(0, 0x02000000 + 2170, 0x4000)), 0);
    ASSERT_EQ(answers.size(), 10u);
    EXPECT_EQ(answers[0].second.size(), 8u);
    EXPECT_EQ(answers[1].first, 0x02004000);
    std::size_t inSecond = 0;
    for (std::size_t i = 1; i < answers.size(); ++i)
        inSecond += answers[i].second.size();
    EXPECT_EQ(inSecond, 2170u);
    EXPECT_TRUE(emulator.Receive(Request(0, 0x01000000, 100)).empty());
}

TEST(Tq550Emulator, IgnoresRequestsItWouldNotAccept) {
    CTq550Emulator emulator;
    EXPECT_TRUE(emulator.Receive(Request(1, 0x02000000, 2178)).empty());
    Bytes badSum = Request(0, 0x02000000, 2178);
    badSum[15] ^= 0x01;
    EXPECT_TRUE(emulator.Receive(badSum).empty());
    EXPECT_TRUE(emulator.Receive(Bytes{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x11}).empty());
    EXPECT_TRUE(emulator.Receive(Bytes{}).empty());
    EXPECT_EQ(emulator.AnsweredRequests(), 0u);
}

TEST(Tq550Emulator, StoresDataSetsThatPassTheChecks) {
    CTq550Emulator emulator;
    emulator.Receive(DataSet(0, 0x02000000 + 3 * 0x4000 + 242, Bytes(242, 0x55)));
    EXPECT_EQ(emulator.UserPatch(3)[242], 0x55);
    EXPECT_EQ(emulator.UserPatch(3)[483], 0x55);
    EXPECT_NE(emulator.UserPatch(3)[484], 0x55);

    Bytes badSum = DataSet(0, 0x02000000, Bytes(4, 0x66));
    badSum[badSum.size() - 2] ^= 0x01;
    emulator.Receive(badSum);
    emulator.Receive(DataSet(2, 0x02000000, Bytes(4, 0x66)));
    EXPECT_NE(emulator.UserPatch(0)[0], 0x66);

    // Bytes past the end of the block are dropped; the temporary patch takes data too.
    emulator.Receive(DataSet(0, 0x0C000000 + 2170, Bytes(20, 0x77)));
    EXPECT_EQ(emulator.TemporaryPatch()[2177], 0x77);
    EXPECT_EQ(emulator.StoredDataSets(), 2u);

    // What was stored is what is read back.
    const auto answers = Accepted(emulator.Receive(Request(0, 0x02000000 + 3 * 0x4000 + 242, 242)), 0);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].second, Bytes(242, 0x55));
}

TEST(Tq550Emulator, FaultsStopAnswersCorruptChecksumsAndChangeTheFamily) {
    CTq550Emulator silent({.stopAnsweringAfter = 2});
    EXPECT_EQ(silent.Receive(IdentityRequest(0)).size(), 1u);
    EXPECT_EQ(silent.Receive(Request(0, 0x02000000, 242)).size(), 1u);
    EXPECT_TRUE(silent.Receive(IdentityRequest(0)).empty());
    silent.Receive(DataSet(0, 0x02000000, Bytes{0x12}));
    EXPECT_EQ(silent.UserPatch(0)[0], 0x12);

    CTq550Emulator corrupt({.corruptChecksums = true});
    const auto answers = corrupt.Receive(Request(0, 0x02000000, 2178));
    ASSERT_EQ(answers.size(), 9u);
    CKivMarlinMessage message;
    for (const Bytes& answer : answers)
        EXPECT_EQ(JudgeMarlinMessage(answer, Tq550DeviceIds(0), message), MarlinVerdict::BadChecksum);

    CTq550Emulator other({.wrongFamilyCode = true});
    const auto reply = other.Receive(IdentityRequest(0));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(CheckIdentityReply(reply[0], 0), IdentityVerdict::OtherModel);

    CTq550Emulator leaving({.exitAfter = 3});
    leaving.Receive(IdentityRequest(0));
    leaving.Receive(Bytes{0x90, 0x3C, 0x64});
    EXPECT_FALSE(leaving.ShouldExit());
    leaving.Receive(IdentityRequest(0));
    EXPECT_TRUE(leaving.ShouldExit());
}

TEST(Tq550Emulator, FaultsChangedWhileRunningApplyFromTheNextMessage) {
    CTq550Emulator emulator;
    EXPECT_EQ(emulator.Receive(IdentityRequest(0)).size(), 1u);
    // Another device id: requests for id 0 go unanswered, those for the new id are answered.
    emulator.SetOptions({.deviceId = 5});
    EXPECT_TRUE(emulator.Receive(IdentityRequest(0)).empty());
    EXPECT_EQ(CheckIdentityReply(emulator.Receive(IdentityRequest(5)).at(0), 5), IdentityVerdict::Accepted);
    // Silent after the next message, counted from the start.
    emulator.SetOptions({.stopAnsweringAfter = static_cast<long>(emulator.ReceivedCount()) + 1});
    EXPECT_EQ(emulator.Receive(IdentityRequest(0)).size(), 1u);
    EXPECT_TRUE(emulator.Receive(IdentityRequest(0)).empty());
    emulator.SetOptions({});
    EXPECT_EQ(emulator.Receive(IdentityRequest(0)).size(), 1u);
}

TEST(Tq550Emulator, SavesAndLoadsItsMemoryAsALibraryFile) {
    TempFolder folder;
    CTq550Emulator first;
    first.Receive(DataSet(0, 0x02000000 + 42 * 0x4000, Bytes{'S', 'A', 'V', 'E', 'D'}));
    ASSERT_TRUE(first.SaveLibrary(folder / "memory.tql"));

    CTq550Emulator second;
    EXPECT_NE(second.UserPatch(42), first.UserPatch(42));
    ASSERT_TRUE(second.LoadLibrary(folder / "memory.tql"));
    for (int n = 0; n < 200; ++n)
        ASSERT_EQ(second.UserPatch(n), first.UserPatch(n)) << n;
    EXPECT_FALSE(second.LoadLibrary(folder / "missing.tql"));
}
