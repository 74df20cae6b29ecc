#include "setup/midi_setup.h"

#include <gtest/gtest.h>

#include "setup_rig.h"

using Texts = std::vector<std::string>;

TEST(MidiSetup, WithoutSettingsEveryPortIsNoneAndKeepsItsStartId) {
    SetupRig rig({"Port A"});
    rig.setup.Load();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(i)), "(none)");
        EXPECT_EQ(rig.setup.OutPortDisplayName(rig.Out(i)), "(none)");
    }
    EXPECT_EQ(rig.In(0).GetDeviceId(), 0x00);
    EXPECT_EQ(rig.In(1).GetDeviceId(), 0x10);
    EXPECT_EQ(rig.Out(1).GetDeviceId(), 0x00);
    EXPECT_EQ(rig.setup.ListInPorts(), (Texts{"Port A", "(none)"}));
}

TEST(MidiSetup, SavedBindingsLoadBackWithTheirIds) {
    SetupRig rig({"Port A", "Port B"});
    rig.setup.BindIn(rig.In(0), "Port A", 4);
    rig.setup.BindOut(rig.Out(0), "Port B", 4);
    rig.setup.BindIn(rig.In(1), "Port B", 9);
    rig.setup.Save();
    EXPECT_EQ(rig.Stored("MIDIIn0"), "TQ-550");
    EXPECT_EQ(rig.Stored("MIDIInDevice0"), "Port A");
    EXPECT_EQ(rig.Stored("MIDIOutDevice0"), "Port B");
    EXPECT_EQ(rig.Stored("MIDIInDevice2"), "(none)");
    EXPECT_EQ(rig.settings.GetInt(CMidiSetup::kInSection, "MIDIInDeviceId1", -1), 9);

    rig.environment.ClearBindings();
    rig.In(0).SetDeviceId(0);
    rig.setup.Load();
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(0)), "Port A");
    EXPECT_EQ(rig.setup.OutPortDisplayName(rig.Out(0)), "Port B");
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(1)), "Port B");
    EXPECT_EQ(rig.In(0).GetDeviceId(), 4);
    EXPECT_EQ(rig.In(1).GetDeviceId(), 9);
}

TEST(MidiSetup, AnAbsentPortStaysRememberedAsUnconnected) {
    SetupRig rig({"Port A"});
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice0", "Unplugged X");
    rig.setup.Load();
    EXPECT_EQ(rig.environment.InPortOf(rig.In(0)), nullptr);
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(0)), "Unplugged X (Unconnected)");
    rig.setup.Save();
    EXPECT_EQ(rig.Stored("MIDIInDevice0"), "Unplugged X");

    // Plugged in again, the binding returns.
    rig.system->AddSource("Unplugged X");
    rig.setup.Load();
    EXPECT_EQ(rig.setup.InPortDisplayName(rig.In(0)), "Unplugged X");
}

TEST(MidiSetup, TwoPortsRememberingOneAbsentPortGiveTwoEntries) {
    SetupRig rig({"Port A"});
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice0", "Gone");
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice2", "Gone");
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice1", "Port A");
    EXPECT_EQ(rig.setup.ListInPorts(),
              (Texts{"Port A", "(none)", "Gone (Unconnected)", "Gone (Unconnected)"}));
}

TEST(MidiSetup, LogicalPortsShareOnePhysicalInputPort) {
    SetupRig rig({"Port A"});
    rig.setup.BindIn(rig.In(0), "Port A", 0);
    rig.setup.BindIn(rig.In(2), "Port A", 0);
    rig.setup.BindIn(rig.In(0), "Port A", 0);
    ASSERT_EQ(rig.environment.InDevices().size(), 1u);
    EXPECT_EQ(rig.environment.InPortOf(rig.In(0)), rig.environment.InPortOf(rig.In(2)));
    EXPECT_EQ(rig.environment.InDevices()[0]->Bound().size(), 2u);
}

TEST(MidiSetup, ChoosingNoneIsRecordedAtOnce) {
    SetupRig rig({"Port A"});
    rig.settings.WriteString(CMidiSetup::kOutSection, "MIDIOutDevice0", "Port A");
    rig.setup.BindOut(rig.Out(0), "(none)", 3);
    EXPECT_EQ(rig.Stored("MIDIOutDevice0"), "(none)");
    EXPECT_EQ(rig.Out(0).GetDeviceId(), 3);
    EXPECT_EQ(rig.Out(0).GetDevice(), nullptr);
}

TEST(MidiSetup, StoredEntriesNamingNoPortOrNoIdAreIgnored) {
    SetupRig rig({"Port A"});
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIIn0", "No Such Profile");
    rig.settings.WriteString(CMidiSetup::kInSection, "MIDIInDevice0", "Port A");
    rig.settings.WriteInt(CMidiSetup::kOutSection, "MIDIOutDeviceId0", 500);
    rig.setup.Load();
    EXPECT_EQ(rig.environment.InPortOf(rig.In(0)), nullptr);
    EXPECT_EQ(rig.Out(0).GetDeviceId(), 0x00);
}
