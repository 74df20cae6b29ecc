#include <gtest/gtest.h>

#include "model/patch_compare.h"
#include "model/patch_compare_text.h"
#include "model_test_support.h"

using Bytes = std::vector<std::uint8_t>;

TEST(PatchCompare, IdenticalPatchesHaveNoRunsAndSayIdentical) {
    const auto a = MakePatch("SAME", 4);
    const auto b = MakePatch("SAME", 4);
    const PatchComparison comparison = ComparePatches(*a, *b);
    EXPECT_TRUE(comparison.Identical());
    EXPECT_TRUE(comparison.runs.empty());
    EXPECT_EQ(RenderPatchComparison(*a, *b, comparison),
              "Patch 1: SAME            \nPatch 2: SAME            \nThe patches are identical.\n");
}

TEST(PatchCompare, RunsAreCutAtChunkBoundariesAndCarryBothValues) {
    const auto a = MakePatch("FIRST", 1);
    auto b = a->ClonePatch();
    b->SetName("FIRSU");  // byte 4
    Block& block = b->PatchBlock();
    for (int i : {240, 241, 242, 243})
        block[static_cast<std::size_t>(i)] ^= 0x40;  // across chunks 0 and 1
    block[2177] ^= 1;                                // the last byte
    b->SetMemo(2, "other");

    const PatchComparison comparison = ComparePatches(*a, *b);
    const Block& first = a->PatchBlock();
    const auto pair = [&](int from, int count) {
        DifferingRun run{from, from / PATCH_CHUNK_SIZE, {}, {}};
        for (int i = from; i < from + count; ++i) {
            run.first.push_back(first[static_cast<std::size_t>(i)]);
            run.second.push_back(block[static_cast<std::size_t>(i)]);
        }
        return run;
    };
    const std::vector<DifferingRun> expected{pair(4, 1), pair(240, 2), pair(242, 2), pair(2177, 1)};
    EXPECT_EQ(comparison.runs, expected);
    EXPECT_EQ(comparison.runs[2].chunk, 1);
    EXPECT_EQ(comparison.runs[3].chunk, 8);
    EXPECT_EQ(comparison.DifferingBytes(), 6u);
    EXPECT_TRUE(comparison.namesDiffer);
    EXPECT_EQ(comparison.memosDiffer, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_FALSE(comparison.Identical());
}

TEST(PatchCompare, ComparesTheDataAsTheDeviceHoldsIt) {
    CPatch shortBlock;
    shortBlock.PatchBlock().assign(10, 0);
    CPatch zeros;
    zeros.PatchBlock().assign(PATCH_BLOCK_SIZE + 5, 0);  // extra bytes past 2178 are not the device's
    zeros.PatchBlock().back() = 9;
    EXPECT_TRUE(ComparePatches(shortBlock, zeros).Identical());

    // Only memos differ: the data are the same.
    CPatch memo = zeros;
    memo.SetMemo(0, "note");
    const PatchComparison comparison = ComparePatches(zeros, memo);
    EXPECT_FALSE(comparison.Identical());
    EXPECT_FALSE(comparison.DataDiffer());
    EXPECT_NE(RenderPatchComparison(zeros, memo, comparison).find("Memo 1: different\nMemo 2: same\n"),
              std::string::npos);
    EXPECT_NE(RenderPatchComparison(zeros, memo, comparison).find("Data: the same\n"), std::string::npos);
}

TEST(PatchCompare, TheTextGivesAddressesChunksAndHexSixteenToALine) {
    CPatch a;
    a.PatchBlock().assign(PATCH_BLOCK_SIZE, 0x20);
    CPatch b = a;
    b.PatchBlock()[0] = 0x01;  // a name byte that shows as '?'
    for (int i = 250; i < 270; ++i)
        b.PatchBlock()[static_cast<std::size_t>(i)] = 0x7F;

    EXPECT_EQ(RenderPatchComparison(a, b, ComparePatches(a, b)),
              "Patch 1:                 \n"
              "Patch 2: ?               \n"
              "Name: different\n"
              "Memo 1: same\nMemo 2: same\nMemo 3: same\nMemo 4: same\n"
              "Differing data bytes: 21; runs: 2\n"
              "Address 00 00 to 00 00, chunk 0, length 1\n"
              "  00 00  Patch 1: 20\n"
              "         Patch 2: 01\n"
              "Address 01 7A to 02 0D, chunk 1, length 20\n"
              "  01 7A  Patch 1: 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20\n"
              "         Patch 2: 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F\n"
              "  02 0A  Patch 1: 20 20 20 20\n"
              "         Patch 2: 7F 7F 7F 7F\n");

    // Other words, as another language gives them.
    PatchCompareLabels labels;
    labels.first = "A";
    labels.second = "Bee";
    labels.identical = "same!";
    EXPECT_EQ(RenderPatchComparison(a, a, ComparePatches(a, a), labels),
              "A  :                 \nBee:                 \nsame!\n");
    EXPECT_EQ(FormatLabel("%2 of %1, %3%", {"x", "y"}), "y of x, %3%");
}

TEST(PatchCompare, OffsetAddressesFollowTheDevicesSevenBitBytes) {
    EXPECT_EQ(OffsetAddressBytes(0), (std::array<std::uint8_t, 2>{0x00, 0x00}));
    EXPECT_EQ(OffsetAddressBytes(242), (std::array<std::uint8_t, 2>{0x01, 0x72}));
    EXPECT_EQ(OffsetAddressBytes(1936), (std::array<std::uint8_t, 2>{0x0F, 0x10}));
    EXPECT_EQ(OffsetAddressBytes(2177), (std::array<std::uint8_t, 2>{0x11, 0x01}));
}

TEST(PatchCompare, CountsThePatchesWhoseDataDifferBetweenTwoLists) {
    CPatchArray main = MakeList({"A", "B", "C", "D"});
    CPatchArray kept = main;
    EXPECT_EQ(CountDifferingPatches(main, kept), 0u);
    kept[1].SetName("B2");
    kept[2].PatchBlock()[1000] ^= 1;
    kept[3].SetMemo(0, "memos do not count");
    EXPECT_EQ(CountDifferingPatches(main, kept), 2u);
    kept.Resize(6);
    EXPECT_EQ(CountDifferingPatches(main, kept), 4u);
    EXPECT_EQ(CountDifferingPatches(kept, main), 4u);
}
