#include "model/patch.h"

#include <gtest/gtest.h>

#include "../temp_folder.h"
#include "model/file_document.h"
#include "model_test_support.h"

using PatchTest = ModelTest;

TEST_F(PatchTest, ANewPatchIsZeroedAndNamedInitPatchWithoutInitialData) {
    CPatch patch;
    patch.Initialize();
    ASSERT_EQ(patch.Sections().size(), 1u);
    ASSERT_EQ(patch.Sections()[0].size(), 1u);
    const Block& block = patch.Sections()[0][0];
    ASSERT_EQ(block.size(), 2178u);
    EXPECT_EQ(patch.GetName(), "INIT PATCH      ");
    for (std::size_t i = 16; i < block.size(); ++i)
        ASSERT_EQ(block[i], 0) << i;
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(patch.GetMemo(m), "");
    EXPECT_EQ(patch.GetSerializedSize(), 2190u);
}

TEST_F(PatchTest, ANewPatchCopiesTheFirstPatchOfAValidInitialLibrary) {
    TempFolder folder;
    CFileDocument library;
    library.Patches().Add(MakePatch("lower name", 3));
    library.Patches().Add(MakePatch("SECOND", 4));
    ASSERT_TRUE(library.Save(folder / "initial.tql"));
    auto initial = std::make_shared<CInitialFileDocument>();
    ASSERT_TRUE(initial->Load(folder / "initial.tql"));

    CPatchArray patches;
    patches.SetInitialData(initial);
    patches.Resize(1);
    const CPatch& patch = patches[0];
    EXPECT_EQ(patch.GetName(), "lower name      ");
    EXPECT_EQ(patch.GetMemo(3), "lower name memo 4");
    EXPECT_EQ(patch.Sections(), library.Patches()[0].Sections());

    // Copies of the list start from the same library; a patch on its own knows no library.
    CPatchArray copy(patches);
    copy.Resize(2);
    EXPECT_EQ(copy[1].GetName(), "lower name      ");
    CPatch single;
    single.Initialize();
    EXPECT_EQ(single.GetName(), "INIT PATCH      ");
}

TEST_F(PatchTest, AnInitialLibraryWhoseFirstPatchHasTwoBlocksIsNotValid) {
    TempFolder folder;
    CFileDocument library;
    library.Patches().Add(MakePatch("TWO BLOCKS"));
    library.Patches()[0].Sections()[0].push_back(Block(10, 1));
    ASSERT_TRUE(library.Save(folder / "initial.tql"));
    auto initial = std::make_shared<CInitialFileDocument>();
    EXPECT_FALSE(initial->Load(folder / "initial.tql"));
    EXPECT_FALSE(initial->IsValid());

    CPatchArray patches;
    patches.SetInitialData(initial);
    patches.Resize(1);
    EXPECT_EQ(patches[0].GetName(), "INIT PATCH      ");
    EXPECT_EQ(patches[0].PatchBlock()[100], 0);

    // An empty library is not valid either.
    CFileDocument empty;
    ASSERT_TRUE(empty.Save(folder / "empty.tql"));
    EXPECT_FALSE(initial->Load(folder / "empty.tql"));
}

TEST_F(PatchTest, SetNameKeepsSixteenPrintableBytesAndBlanksTheRest) {
    CPatch patch;
    patch.Initialize();
    patch.SetName("ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(patch.GetName(), "ABCDEFGHIJKLMNOP");
    patch.SetName("a\tb\xE9~\x7F");
    EXPECT_EQ(patch.GetName(), std::string("a b ~\x7F          "));
    patch.SetName("");
    EXPECT_EQ(patch.GetName(), std::string(16, ' '));
}

TEST_F(PatchTest, CleanMemoTextBlanksControlBytesOnly) {
    EXPECT_EQ(CleanMemoText("a\tb\nc\x01\xE9\x80"), "a b c \xE9\x80");
}

TEST_F(PatchTest, CompareFoldsCaseThenBreaksTiesOnRawBytes) {
    auto lower = MakePatch("abc");
    auto upper = MakePatch("ABC");
    EXPECT_EQ(lower->Compare(CPatch::kNameKey, *upper, 0, 1), 1);
    EXPECT_EQ(upper->Compare(CPatch::kNameKey, *lower, 0, 1), -1);

    // Equal texts order by list position.
    auto same = MakePatch("abc");
    EXPECT_EQ(lower->Compare(CPatch::kNameKey, *same, 3, 1), 1);
    EXPECT_EQ(lower->Compare(CPatch::kNameKey, *same, 1, 3), -1);
    EXPECT_EQ(lower->Compare(0, *upper, 2, 2), 0);

    // Case folding decides before raw order: "abd" follows "ABC" although 'a' > 'A'.
    auto abd = MakePatch("abd");
    EXPECT_EQ(upper->Compare(CPatch::kNameKey, *abd, 5, 0), -1);

    // A proper prefix sorts first; memos compare as unsigned bytes.
    lower->SetMemo(1, "memo");
    upper->SetMemo(1, "memo\xE9");
    EXPECT_EQ(lower->Compare(2, *upper, 9, 0), -1);
    EXPECT_EQ(upper->Compare(2, *lower, 0, 9), 1);

    // An unknown key compares two empty texts: position order.
    EXPECT_EQ(lower->Compare(9, *upper, 4, 2), 1);
}

TEST_F(PatchTest, FlatDataAndImageNeverReachOutsideTheStoredBlock) {
    CPatch shortPatch;
    shortPatch.Sections() = {{Block{1, 2, 3}}};
    const PatchImage image = shortPatch.GetImage();
    EXPECT_EQ(image[0], 1);
    EXPECT_EQ(image[2], 3);
    EXPECT_EQ(image[3], 0);
    EXPECT_EQ(image[2177], 0);

    std::vector<std::uint8_t> flat(5, 0xEE);
    shortPatch.GetFlatData(flat);
    EXPECT_EQ(flat, (std::vector<std::uint8_t>{1, 2, 3, 0, 0}));

    CPatch longPatch;
    longPatch.Sections() = {{Block(3000, 9)}};
    EXPECT_EQ(longPatch.GetImage()[2177], 9);
    longPatch.SetFlatData(std::vector<std::uint8_t>(2, 4));
    EXPECT_EQ(longPatch.Sections()[0][0][1], 4);
    EXPECT_EQ(longPatch.Sections()[0][0][2], 9);
    EXPECT_EQ(longPatch.Sections()[0][0].size(), 3000u);

    CPatch empty;
    EXPECT_EQ(empty.GetName(), std::string(16, '\0'));
    empty.SetName("NAMED");
    EXPECT_EQ(empty.GetName(), "NAMED           ");
}

TEST_F(PatchTest, CloneAndAssignAreDeep) {
    auto original = MakePatch("ORIGINAL", 1);
    auto clone = original->ClonePatch();
    clone->PatchBlock()[20] = 0x55;
    clone->SetMemo(0, "changed");
    EXPECT_NE(original->PatchBlock()[20], 0x55);
    EXPECT_EQ(original->GetMemo(0), "ORIGINAL memo 1");

    CPatch target;
    target.Assign(*clone);
    target.Assign(target);
    EXPECT_EQ(target.GetMemo(0), "changed");
    EXPECT_EQ(target.PatchBlock()[20], 0x55);
}
