// Reads and writes with the virtual processor on an in-process MIDI system.
#include <gtest/gtest.h>

#include <chrono>

#include "model/data.h"
#include "textout/message_catalog.h"
#include "transfer_rig.h"

namespace {
const std::string kConnectionProblem = [] {
    MessageCatalog catalog;
    AddStandardMessages(catalog);
    return catalog.Text(MSG_CONNECTION_PROBLEM);
}();

// 200 patches named by their position, with a memo.
CPatchArray MarkedList(int count = USER_PATCH_COUNT) {
    CPatchArray patches;
    patches.Resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        patches[static_cast<std::size_t>(i)].SetName("LOCAL " + std::to_string(i));
        patches[static_cast<std::size_t>(i)].SetMemo(0, "kept");
    }
    return patches;
}
}  // namespace

TEST(DeviceIdentity, AnAnswerFromTheProcessorIdentifiesIt) {
    TransferRig rig;
    EXPECT_EQ(rig.reader.IdentityFlag(), -1);
    EXPECT_TRUE(rig.reader.IdentifyDevice());
    EXPECT_EQ(rig.reader.IdentityFlag(), 0);
    EXPECT_EQ(rig.reader.GetState(), CKivMidiRequester::kIdle);
    EXPECT_TRUE(rig.messages->texts.empty());
}

TEST(DeviceIdentity, ASilentDeviceIsAskedTwiceThreeSecondsApartThenOneMessage) {
    TransferRig rig({.stopAnsweringAfter = 0});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(rig.reader.IdentifyDevice());
    const auto waited = std::chrono::steady_clock::now() - start;
    rig.device.WaitIdle();
    // Two tries, no third: each waited its whole time-out.
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.ReceivedCount(); }), 2u);
    EXPECT_GE(waited, std::chrono::milliseconds(6000));
    EXPECT_EQ(rig.messages->texts, std::vector<std::string>{kConnectionProblem});
    EXPECT_EQ(rig.reader.GetState(), CKivMidiRequester::kIdle);
}

TEST(DeviceIdentity, AReplyFromAnotherModelFailsAtOnceWithOneMessage) {
    TransferRig rig({.wrongFamilyCode = true});
    EXPECT_FALSE(rig.reader.IdentifyDevice());
    // At once: the reply ended the first try, so no second request was sent after a time-out.
    rig.device.WaitIdle();
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.ReceivedCount(); }), 1u);
    EXPECT_EQ(rig.reader.IdentityFlag(), -1);
    EXPECT_EQ(rig.messages->texts, std::vector<std::string>{kConnectionProblem});
}

TEST(DeviceTransfer, UnboundPortsAreNotSetUp) {
    TransferRig rig({}, false);
    CPatchArray patches = MarkedList();
    const int numbers[] = {0};
    EXPECT_FALSE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    EXPECT_FALSE(rig.writer.WritePatchesToDevice(rig.reader, AREA_USER_PATCH, numbers, patches));
    ASSERT_EQ(rig.messages->texts.size(), 2u);
    EXPECT_EQ(rig.messages->texts[0].rfind("MIDI devices aren't set up correctly.", 0), 0u);
    rig.device.WaitIdle();
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.ReceivedCount(); }), 0u);
}

TEST(DeviceTransfer, ReadingSelectedPatchesLeavesTheOthersUntouched) {
    TransferRig rig;
    CPatchArray patches = MarkedList();
    const int numbers[] = {3, 150};
    ASSERT_TRUE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    EXPECT_EQ(patches[3].GetName(), "EMU U01-4       ");
    EXPECT_EQ(patches[150].GetName(), "EMU U38-3       ");
    for (int i : {3, 150}) {
        const PatchImage image = patches[static_cast<std::size_t>(i)].GetImage();
        for (int offset : {16, 1000, 2177})
            EXPECT_EQ(image[static_cast<std::size_t>(offset)], rig.EmulatorByte(i, offset));
        EXPECT_EQ(patches[static_cast<std::size_t>(i)].GetMemo(0), "");
    }
    EXPECT_EQ(patches[4].GetName(), "LOCAL 4         ");
    EXPECT_EQ(patches[4].GetMemo(0), "kept");
    EXPECT_EQ(rig.progress->begins, 1);
    EXPECT_EQ(rig.progress->ends, 1);
    EXPECT_EQ(rig.progress->captions, (std::vector<std::string>{"User Patch U01-4", "User Patch U38-3"}));
    EXPECT_TRUE(rig.messages->texts.empty());
}

TEST(DeviceTransfer, AReadThatFailsHalfWayStopsThereAndSaysSo) {
    // The identity request and four patch requests are answered; then the processor falls silent.
    TransferRig rig({.stopAnsweringAfter = 5});
    CPatchArray patches = MarkedList();
    const int numbers[] = {0, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    EXPECT_EQ(rig.messages->texts, std::vector<std::string>{kConnectionProblem});
    EXPECT_EQ(patches[3].GetName(), "EMU U01-4       ");
    EXPECT_EQ(patches[4].GetName(), "LOCAL 4         ");
    EXPECT_EQ(patches[5].GetName(), "LOCAL 5         ");
    // It stopped at the silent patch: nothing was asked after it.
    rig.device.WaitIdle();
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.ReceivedCount(); }), 6u);
    EXPECT_EQ(rig.reader.GetState(), CKivMidiRequester::kIdle);
}

TEST(DeviceTransfer, TheTemporaryPatchIsReadIntoTheListedPosition) {
    TransferRig rig;
    CPatchArray patches = MarkedList(10);
    const int numbers[] = {7};
    ASSERT_TRUE(rig.reader.ReadPatchesFromDevice(AREA_TEMPORARY_PATCH, numbers, patches));
    EXPECT_EQ(patches[7].GetName(), "EMU TEMPORARY   ");
    EXPECT_EQ(patches[7].GetMemo(0), "");
    EXPECT_EQ(patches[0].GetName(), "LOCAL 0         ");
    EXPECT_EQ(rig.progress->captions, std::vector<std::string>{"Temporary Patch"});
}

TEST(DeviceTransfer, CancellingStopsAReadAndKeepsWhatWasStored) {
    TransferRig rig;
    rig.progress->cancelAfterCaptions = 2;
    CPatchArray patches = MarkedList();
    const int numbers[] = {0, 1, 2, 3};
    EXPECT_FALSE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    EXPECT_TRUE(rig.reader.WasCancelled());
    EXPECT_EQ(patches[1].GetName(), "EMU U01-2       ");
    EXPECT_EQ(patches[2].GetName(), "LOCAL 2         ");
    EXPECT_TRUE(rig.messages->texts.empty());
    EXPECT_EQ(rig.progress->ends, 1);
}

TEST(DeviceTransfer, WrittenPatchesReadBackIdentical) {
    TransferRig rig;
    CPatchArray patches = MarkedList();
    for (int i : {0, 199}) {
        Block& block = patches[static_cast<std::size_t>(i)].PatchBlock();
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>((b * 3 + i) & 0x7F);
    }
    const int numbers[] = {0, 199};
    ASSERT_TRUE(rig.writer.WritePatchesToDevice(rig.reader, AREA_USER_PATCH, numbers, patches));
    rig.device.WaitIdle();
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.StoredDataSets(); }), 18u);
    EXPECT_EQ(rig.progress->captions.size(), 18u);

    CPatchArray back = MarkedList();
    ASSERT_TRUE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, back));
    for (int i : {0, 199})
        EXPECT_EQ(back[static_cast<std::size_t>(i)].GetImage(),
                  patches[static_cast<std::size_t>(i)].GetImage());
}

TEST(DeviceTransfer, AWriteWhosePortIsLostStopsAndNamesThePatch) {
    // The interface goes away after the identity request and the first three data sets.
    TransferRig rig({.exitAfter = 4});
    CPatchArray patches = MarkedList();
    const int numbers[] = {5, 6};
    EXPECT_FALSE(rig.writer.WritePatchesToDevice(rig.reader, AREA_USER_PATCH, numbers, patches));
    EXPECT_EQ(rig.writer.FailedNumber(), 5);
    EXPECT_FALSE(rig.writer.WasCancelled());
    EXPECT_EQ(rig.messages->texts, std::vector<std::string>{kConnectionProblem});
}
