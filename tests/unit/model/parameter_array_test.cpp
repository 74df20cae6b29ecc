#include "model/parameter_array.h"

#include <gtest/gtest.h>

#include "model/image_document.h"
#include "model_test_support.h"

using PatchListTest = ModelTest;
using Names_ = std::vector<std::string>;

TEST_F(PatchListTest, ResizeCutsOrAppendsInitialisedPatches) {
    CPatchArray patches = MakeList({"A", "B", "C"});
    patches.Resize(1);
    EXPECT_EQ(Names(patches), Names_({"A"}));
    patches.Resize(3);
    EXPECT_EQ(Names(patches), Names_({"A", "INIT PATCH", "INIT PATCH"}));
    EXPECT_EQ(patches[2].PatchBlock().size(), 2178u);
}

TEST_F(PatchListTest, DeleteSelectionKeepsTheOrderOfTheRest) {
    CPatchArray patches = MakeList({"A", "B", "C", "D", "E"});
    const int selection[] = {3, 0, 3, 42};
    patches.DeleteSelection(selection);
    EXPECT_EQ(Names(patches), Names_({"B", "C", "E"}));
}

TEST_F(PatchListTest, InitializeSelectionResetsInPlace) {
    CPatchArray patches = MakeList({"A", "B", "C"});
    const int selection[] = {1};
    patches.InitializeSelection(selection);
    EXPECT_EQ(Names(patches), Names_({"A", "INIT PATCH", "C"}));
    EXPECT_EQ(patches[1].GetMemo(0), "");
}

TEST_F(PatchListTest, CopyAndInsertCloneInSelectionOrder) {
    CPatchArray patches = MakeList({"A", "B", "C"});
    CPatchArray clipboard = MakeList({"OLD"});
    const int selection[] = {2, 0};
    patches.CopySelection(selection, clipboard);
    EXPECT_EQ(Names(clipboard), Names_({"C", "A"}));
    clipboard[0].SetName("CHANGED");
    EXPECT_EQ(Names(patches)[2], "C");

    EXPECT_EQ(patches.InsertClipboard(1, clipboard), 2);
    EXPECT_EQ(Names(patches), Names_({"A", "CHANGED", "A", "B", "C"}));
    EXPECT_EQ(patches.InsertClipboard(5, clipboard), 2);
    EXPECT_EQ(Names(patches).back(), "A");

    // A list may be its own clipboard.
    CPatchArray self = MakeList({"X", "Y"});
    EXPECT_EQ(self.InsertClipboard(1, self), 2);
    EXPECT_EQ(Names(self), Names_({"X", "X", "Y", "Y"}));
}

TEST_F(PatchListTest, ReplaceSelectionCyclesThroughTheClipboard) {
    CPatchArray patches = MakeList({"A", "B", "C", "D", "E", "F"});
    CPatchArray clipboard = MakeList({"P", "Q"});
    const int selection[] = {0, 1, 2, 4, 5};
    patches.ReplaceSelection(selection, clipboard);
    EXPECT_EQ(Names(patches), Names_({"P", "Q", "P", "D", "Q", "P"}));

    CPatchArray empty;
    patches.ReplaceSelection(selection, empty);
    EXPECT_EQ(Names(patches)[0], "P");
}

TEST_F(PatchListTest, ExchangeSelectionSwapsOnlyFirstAndLast) {
    CPatchArray patches = MakeList({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    const int selection[] = {2, 5, 9};
    patches.ExchangeSelection(selection);
    EXPECT_EQ(Names(patches), Names_({"0", "1", "9", "3", "4", "5", "6", "7", "8", "2"}));
    const int one[] = {4};
    patches.ExchangeSelection(one);
    EXPECT_EQ(Names(patches)[4], "4");
}

TEST_F(PatchListTest, CopiesOfListsAreDeep) {
    CPatchArray patches = MakeList({"A", "B"});
    CPatchArray copy(patches);
    copy[0].SetName("Z");
    EXPECT_EQ(Names(patches), Names_({"A", "B"}));
    patches.Assign(patches);
    EXPECT_EQ(patches.GetSize(), 2u);
    copy.Assign(patches);
    EXPECT_EQ(Names(copy), Names_({"A", "B"}));
}

TEST_F(PatchListTest, UndoIsAToggleAndOnlyModeOneOffersIt) {
    CImageDocument document;
    EXPECT_FALSE(document.CanUndo(UndoMode::Offered));
    document.Undo();  // nothing saved: nothing happens
    document.Patches() = MakeList({"BEFORE"});

    document.TakeUndoCopy(UndoMode::Offered);
    document.Patches()[0].SetName("AFTER");
    EXPECT_TRUE(document.CanUndo(UndoMode::Offered));
    EXPECT_FALSE(document.CanUndo(UndoMode::Kept));

    document.Undo();
    EXPECT_EQ(Names(document.Patches()), Names_({"BEFORE"}));
    document.Undo();
    EXPECT_EQ(Names(document.Patches()), Names_({"AFTER"}));
    EXPECT_TRUE(document.CanUndo(UndoMode::Offered));

    document.TakeUndoCopy(UndoModeOf(2));
    EXPECT_FALSE(document.CanUndo(UndoMode::Offered));
    document.Undo();
    EXPECT_EQ(Names(document.Patches()), Names_({"AFTER"}));
}
