#include <gtest/gtest.h>

#include <numeric>

#include "model/device_slot_knowledge.h"
#include "model_test_support.h"

namespace {

std::vector<int> AllSlots() {
    std::vector<int> slots(USER_PATCH_COUNT);
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

CPatchArray MainWindow() {
    CPatchArray main;
    main.Resize(USER_PATCH_COUNT);
    for (std::size_t i = 0; i < main.GetSize(); ++i)
        main[i].SetName("MAIN " + std::to_string(i));
    return main;
}

}  // namespace

TEST(DeviceSlotKnowledge, EverySlotIsUnknownAndSoChangedUntilReadOrWritten) {
    const CPatchArray main = MainWindow();
    CDeviceSlotKnowledge knowledge;
    EXPECT_EQ(knowledge.ChangedSlots(main), AllSlots());
    EXPECT_FALSE(knowledge.IsKnown(0));

    const int read[] = {0, 5, 199};
    knowledge.Remember(main, read);
    EXPECT_TRUE(knowledge.IsKnown(5));
    std::vector<int> rest = AllSlots();
    std::erase_if(rest, [](int slot) { return slot == 0 || slot == 5 || slot == 199; });
    EXPECT_EQ(knowledge.ChangedSlots(main), rest);
}

TEST(DeviceSlotKnowledge, ReadEditWriteAndAFailedWrite) {
    CPatchArray main = MainWindow();
    CDeviceSlotKnowledge knowledge;
    const std::vector<int> all = AllSlots();
    knowledge.Remember(main, all);  // Read All
    EXPECT_TRUE(knowledge.ChangedSlots(main).empty());

    // Editing three patches: a name, a data byte, a memo (which never reaches the device).
    main[7].SetName("EDITED");
    main[42].PatchBlock()[2000] ^= 1;
    main[100].SetMemo(0, "memo only");
    EXPECT_EQ(knowledge.ChangedSlots(main), (std::vector<int>{7, 42}));
    EXPECT_TRUE(knowledge.Differs(7, main[7]));
    EXPECT_FALSE(knowledge.Differs(100, main[100]));

    // Editing back to what the device holds is no change.
    main[42].PatchBlock()[2000] ^= 1;
    EXPECT_EQ(knowledge.ChangedSlots(main), (std::vector<int>{7}));

    // Write Changed writes slot 7; then a write of 8 and 9 fails at 9: 8 was written, 9 may hold anything.
    const int written[] = {7};
    knowledge.Remember(main, written);
    EXPECT_TRUE(knowledge.ChangedSlots(main).empty());
    main[8].SetName("EIGHT");
    main[9].SetName("NINE");
    knowledge.Remember(8, main[8]);
    const int failed[] = {9};
    knowledge.Forget(failed);
    EXPECT_EQ(knowledge.ChangedSlots(main), (std::vector<int>{9}));
    EXPECT_FALSE(knowledge.IsKnown(9));

    // A new MIDI setup: nothing is known.
    knowledge.ForgetAll();
    EXPECT_EQ(knowledge.ChangedSlots(main), all);
}

TEST(DeviceSlotKnowledge, ComparesTheDataAsTheDeviceHoldsItAndIgnoresWhatIsNoSlot) {
    CPatchArray main = MainWindow();
    CDeviceSlotKnowledge knowledge;
    knowledge.Remember(main, AllSlots());
    // A block padded to 2178 bytes, or carrying bytes beyond, is what the device holds all the same.
    main[3].PatchBlock().push_back(0x33);
    EXPECT_TRUE(knowledge.ChangedSlots(main).empty());

    const int outside[] = {-1, 200, 5000};
    knowledge.Remember(main, outside);
    knowledge.Forget(outside);
    EXPECT_FALSE(knowledge.IsKnown(-1));
    EXPECT_FALSE(knowledge.IsKnown(200));
    EXPECT_TRUE(knowledge.Differs(200, main[0]));

    // A shorter list: only its slots are listed; a longer one: only the first 200.
    CPatchArray few = MainWindow();
    few.Resize(3);
    few[1].SetName("CHANGED");
    EXPECT_EQ(knowledge.ChangedSlots(few), (std::vector<int>{1}));
    CPatchArray many = MainWindow();
    many.Resize(250);
    EXPECT_TRUE(knowledge.ChangedSlots(many).empty());
}
