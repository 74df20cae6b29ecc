#include "setup/auto_midi_setup.h"

#include <gtest/gtest.h>

#include "setup_rig.h"

TEST(AutoMidiSetup, PicksTheFirstPortContainingThePatternInTheSameCase) {
    SetupRig rig({"Other Synth", "vela tq-550 lower case", "VELA TQ-550 MIDI 1", "VELA TQ-550 MIDI 2"});
    EXPECT_TRUE(LoadAndAutoSetup(rig.setup));
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(0)), "VELA TQ-550 MIDI 1");
    EXPECT_EQ(rig.setup.OutPortDisplayName(rig.Out(0)), "VELA TQ-550 MIDI 1");
    // Only the device's pair is touched, and the result is stored.
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(2)), "(none)");
    EXPECT_EQ(rig.Stored("MIDIInDevice0"), "VELA TQ-550 MIDI 1");
    EXPECT_EQ(rig.Stored("MIDIOutDevice0"), "VELA TQ-550 MIDI 1");
}

TEST(AutoMidiSetup, BindsOnlyTheHalfTheSettingsLeftUnbound) {
    SetupRig rig({"Interface", "VELA TQ-550"});
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice0", "Interface");
    EXPECT_TRUE(LoadAndAutoSetup(rig.setup));
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(0)), "Interface");
    EXPECT_EQ(rig.setup.OutPortDisplayName(rig.Out(0)), "VELA TQ-550");
}

TEST(AutoMidiSetup, NothingMatchingBindsNothingAndStoresNothing) {
    SetupRig rig({"vela tq-550", "Other"});
    EXPECT_FALSE(LoadAndAutoSetup(rig.setup));
    // Save did not run: the profile names were never written.
    EXPECT_EQ(rig.Stored("MIDIIn0"), "<absent>");
    EXPECT_EQ(rig.environment.InDevices().size(), 0u);
}

TEST(AutoMidiSetup, ARememberedAbsentDevicePortCountsAsBoundButStaysRemembered) {
    SetupRig rig({"Other"});
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice0", "VELA TQ-550 old");
    EXPECT_TRUE(LoadAndAutoSetup(rig.setup));
    EXPECT_EQ(rig.Stored("MIDIInDevice0"), "VELA TQ-550 old");
    EXPECT_EQ(rig.environment.InPortOf(rig.In(0)), nullptr);
}
