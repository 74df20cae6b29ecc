#include "qsettings/qsettings_store.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

TEST(QSettingsStore, ValuesSurviveAFreshStoreOnTheSameFile) {
    TempFolder folder;
    const QString path = QString::fromStdString((folder / "settings.ini").string());
    {
        CQSettingsStore store(path);
        EXPECT_EQ(store.GetInt("Option", "Mode", 1), 1);
        EXPECT_EQ(store.GetString("MIDIInConnection", "MIDIInDevice0", "(none)"), "(none)");
        store.WriteInt("Option", "GridSw", 1);
        store.WriteString("MIDIInConnection", "MIDIInDevice0", "VELA TQ-550 MIDI 1");
        store.WriteString("Recent File List", "File1", "/home/u/caf\xC3\xA9.tql");
        store.WriteString("Odd/Section", "Value\\Name", "x");
        EXPECT_TRUE(store.Sync());
    }
    CQSettingsStore store(path);
    EXPECT_EQ(store.GetInt("Option", "GridSw", 0), 1);
    EXPECT_EQ(store.GetString("MIDIInConnection", "MIDIInDevice0", ""), "VELA TQ-550 MIDI 1");
    EXPECT_EQ(store.GetString("Recent File List", "File1", ""), "/home/u/caf\xC3\xA9.tql");
    EXPECT_EQ(store.GetString("Odd/Section", "Value\\Name", ""), "x");
    // A slash in a name never reaches another section.
    EXPECT_FALSE(store.Contains("Odd", "Section/Value\\Name"));
    EXPECT_EQ(store.GetInt("MIDIInConnection", "MIDIInDevice0", 7), 7);
    EXPECT_TRUE(store.Remove("Option", "GridSw"));
    EXPECT_FALSE(store.Contains("Option", "GridSw"));
}
