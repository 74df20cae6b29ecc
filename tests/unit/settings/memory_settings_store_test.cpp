#include "settings/memory_settings_store.h"

#include <gtest/gtest.h>

TEST(MemorySettingsStore, AbsentValuesGiveTheDefaultAndNumbersReadBackAsTextAndBack) {
    CMemorySettingsStore store;
    EXPECT_EQ(store.GetInt("Option", "Mode", 1), 1);
    EXPECT_EQ(store.GetString("MIDIInConnection", "MIDIInDevice0", "(none)"), "(none)");
    EXPECT_FALSE(store.Contains("Option", "Mode"));

    store.WriteInt("Option", "GridSw", 1);
    store.WriteString("Option", "Count", "42");
    store.WriteString("Option", "Word", "forty");
    EXPECT_EQ(store.GetInt("Option", "GridSw", 0), 1);
    EXPECT_EQ(store.GetString("Option", "GridSw", ""), "1");
    EXPECT_EQ(store.GetInt("Option", "Count", 0), 42);
    EXPECT_EQ(store.GetInt("Option", "Word", 7), 7);
    // Sections keep their values apart.
    EXPECT_EQ(store.GetInt("Other", "GridSw", 5), 5);
    EXPECT_TRUE(store.Remove("Option", "GridSw"));
    EXPECT_EQ(store.GetInt("Option", "GridSw", 0), 0);
}
