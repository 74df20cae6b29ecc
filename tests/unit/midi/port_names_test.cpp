#include "midi/port_names.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;

TEST(PortNames, AlsaNumbersAreCutOffAndRepeatedNamesNumbered) {
    const Names raw{"Midi Through:Midi Through Port-0 14:0", "VELA TQ-550 Out:MIDI Out 128:0",
                    "USB MIDI:USB MIDI MIDI 1 20:0", "USB MIDI:USB MIDI MIDI 1 24:0",
                    "USB MIDI:USB MIDI MIDI 1 28:0"};
    EXPECT_EQ(
        OfferedPortNames(raw, true, "TQ-550 Librarian "),
        (Names{"Midi Through:Midi Through Port-0", "VELA TQ-550 Out:MIDI Out", "USB MIDI:USB MIDI MIDI 1",
               "USB MIDI:USB MIDI MIDI 1 #2", "USB MIDI:USB MIDI MIDI 1 #3"}));
}

TEST(PortNames, OnlyATrailingPairOfNumbersIsCut) {
    EXPECT_EQ(
        OfferedPortNames({"Synth 12:3", "Synth 12:", "Synth :3", "Synth12:3", "12:3", "A:B 1:2 x"}, true, ""),
        (Names{"Synth", "Synth 12:", "Synth :3", "Synth12:3", "12:3", "A:B 1:2 x"}));
}

TEST(PortNames, JackNamesStayAsTheyAreAndOwnPortsAreHidden) {
    const Names raw{"VELA TQ-550 Out:MIDI Out 1:2", "TQ-550 Librarian 4242-1:out", "TQ-550 Librarian:x"};
    EXPECT_EQ(OfferedPortNames(raw, false, "TQ-550 Librarian "),
              (Names{"VELA TQ-550 Out:MIDI Out 1:2", "", "TQ-550 Librarian:x"}));
}
