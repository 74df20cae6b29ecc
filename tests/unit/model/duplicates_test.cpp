#include <gtest/gtest.h>

#include "model/duplicates.h"
#include "model_test_support.h"

TEST(Duplicates, FindsEveryPatchEqualToOneAboveItWhateverItsMemos) {
    CPatchArray patches = MakeList({"A", "B", "A", "C", "B", "A"});
    // MakeList seeds each patch by position: give the repeated names the data of their first.
    patches[2].PatchBlock() = patches[0].PatchBlock();
    patches[5].PatchBlock() = patches[0].PatchBlock();
    patches[4].PatchBlock() = patches[1].PatchBlock();
    patches[5].SetMemo(0, "other memo");
    EXPECT_EQ(FindDuplicates(patches), (std::vector<int>{2, 4, 5}));
}

TEST(Duplicates, TheNameCountsAndBlocksCompareAsTheDeviceHoldsThem) {
    CPatchArray patches = MakeList({"SAME", "SAME"});
    patches[1].PatchBlock() = patches[0].PatchBlock();
    patches[1].SetName("SAMF");
    EXPECT_TRUE(FindDuplicates(patches).empty());

    // A short block equals the zero-padded full one; bytes past 2178 do not count.
    CPatchArray padded;
    padded.Resize(3);
    padded[0].PatchBlock().assign(16, 0x41);
    padded[1].PatchBlock().assign(PATCH_BLOCK_SIZE, 0);
    std::fill_n(padded[1].PatchBlock().begin(), 16, 0x41);
    padded[2].PatchBlock() = padded[1].PatchBlock();
    padded[2].PatchBlock().push_back(7);
    EXPECT_EQ(FindDuplicates(padded), (std::vector<int>{1, 2}));
}

TEST(Duplicates, ManyPatchesWithFewDistinctOnesKeepTheFirstOfEach) {
    CPatchArray patches;
    patches.Resize(3000);
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        patches[i].PatchBlock()[100 + i % 7] = static_cast<std::uint8_t>(1 + i % 3);  // 21 distinct patches
    const std::vector<int> duplicates = FindDuplicates(patches);
    EXPECT_EQ(duplicates.size(), 3000u - 21u);
    for (int first = 0; first < 21; ++first)
        EXPECT_EQ(std::count(duplicates.begin(), duplicates.end(), first), 0) << first;
    EXPECT_TRUE(FindDuplicates(CPatchArray()).empty());
}
