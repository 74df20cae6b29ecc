#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "dialog_driver.h"
#include "midi/virtual_midi.h"
#include "ports/midi_environment.h"
#include "settings/memory_settings_store.h"
#include "setup/midi_setup.h"
#include "ui/midi_setup_dialog.h"

namespace {

// The setup of a program on an in-process MIDI system whose ports a test adds and takes away.
struct SetupRig {
    SetupRig() {
        environment.SetFactory(std::make_unique<CVirtualMidiDeviceFactory>(system));
        environment.BuildStandardPorts();
    }
    ~SetupRig() { environment.Shutdown(); }

    void AddPair(const std::string& name) {
        system->AddSource(name);
        system->AddDestination(name, [](std::span<const std::uint8_t>) {});
    }
    void RemovePair(const std::string& name) {
        system->RemoveSource(name);
        system->RemoveDestination(name);
    }
    std::string In(int section) const {
        return settings.GetString("MIDIInConnection", "MIDIInDevice" + std::to_string(section), "?");
    }
    std::string Out(int section) const {
        return settings.GetString("MIDIOutConnection", "MIDIOutDevice" + std::to_string(section), "?");
    }
    std::string BoundIn(std::size_t port) {
        CKivMidiInDevice* device = environment.InPortOf(environment.InPort(port));
        return device ? device->Name() : "(unbound)";
    }
    std::string BoundOut(std::size_t port) {
        CKivMidiOutDevice* device = environment.OutPort(port).GetDevice();
        return device ? device->Name() : "(unbound)";
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CMemorySettingsStore settings;
    CMidiSetup setup{environment, settings};
};

// Every stored MIDI setting as the program reads it (a value that is not there reads as its default).
std::vector<std::string> StoredSetup(const CMemorySettingsStore& settings) {
    std::vector<std::string> values;
    for (const char* direction : {"In", "Out"}) {
        const std::string section = std::string("MIDI") + direction + "Connection";
        for (int i = 0; i < 3; ++i) {
            const std::string prefix = std::string("MIDI") + direction;
            values.push_back(settings.GetString(section, prefix + std::to_string(i), "(default)"));
            values.push_back(settings.GetString(section, prefix + "Device" + std::to_string(i), "(none)"));
            values.push_back(
                std::to_string(settings.GetInt(section, prefix + "DeviceId" + std::to_string(i), -1)));
        }
    }
    return values;
}

QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

void Choose(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text));
}

void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

}  // namespace

class MidiSetupDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void showsThePortsInTheOrderTheyCameAndTheStoredChoice();
    void rememberedAbsentPortsAreOfferedAsUnconnected();
    void okBindsAndStoresAtOnce();
    void deviceIdsShowFromOneAndApplyToEveryPort();
    void cancelAppliesNothing();
    void hiddenThroughRowKeepsItsPorts();
    void portsThatComeAndGoAreSeenAtTheNextOpening();
    void theDialogRunsModallyFromItsCommand();
};

void MidiSetupDialogTest::showsThePortsInTheOrderTheyCameAndTheStoredChoice() {
    SetupRig rig;
    rig.AddPair("Zeta MIDI");
    rig.AddPair("Alpha MIDI");
    rig.AddPair("VELA TQ-550 Port 2");
    rig.settings.WriteString("MIDIInConnection", "MIDIInDevice0", "Alpha MIDI");
    rig.settings.WriteString("MIDIOutConnection", "MIDIOutDevice0", "VELA TQ-550 Port 2");
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Up MIDI Devices"));
    QCOMPARE(dialog.DeviceLabel()->text(), QStringLiteral("TQ-550"));
    const QStringList expected = {"Zeta MIDI", "Alpha MIDI", "VELA TQ-550 Port 2", "(none)"};
    QCOMPARE(Entries(dialog.List(4101)), expected);
    QCOMPARE(Entries(dialog.List(4104)), expected);
    QCOMPARE(dialog.List(4101)->currentText(), QStringLiteral("Alpha MIDI"));
    QCOMPARE(dialog.List(4104)->currentText(), QStringLiteral("VELA TQ-550 Port 2"));
    // Nothing stored for MIDI through: "(none)".
    QCOMPARE(dialog.List(4111)->currentText(), QStringLiteral("(none)"));
    // Opening the dialog binds what the settings hold.
    QCOMPARE(rig.BoundIn(0), std::string("Alpha MIDI"));
    QCOMPARE(rig.BoundOut(0), std::string("VELA TQ-550 Port 2"));
    // The through row exists, filled, but is not shown.
    QVERIFY(dialog.List(4111)->isHidden() && dialog.List(4112)->isHidden());
    QVERIFY(!dialog.List(4101)->isHidden() && !dialog.List(4096)->isHidden());
}

void MidiSetupDialogTest::rememberedAbsentPortsAreOfferedAsUnconnected() {
    SetupRig rig;
    rig.AddPair("Present");
    rig.settings.WriteString("MIDIInConnection", "MIDIInDevice0", "Unplugged Interface");
    rig.settings.WriteString("MIDIInConnection", "MIDIInDevice1", "Unplugged Interface");
    rig.settings.WriteString("MIDIOutConnection", "MIDIOutDevice0", "Gone Out");
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    // Two ports remembering the same absent port give two entries; each row selects the last of them.
    QCOMPARE(Entries(dialog.List(4101)),
             (QStringList{"Present", "(none)", "Unplugged Interface (Unconnected)",
                          "Unplugged Interface (Unconnected)"}));
    QCOMPARE(dialog.List(4101)->currentIndex(), 3);
    QCOMPARE(dialog.List(4111)->currentIndex(), 3);
    QCOMPARE(dialog.List(4104)->currentText(), QStringLiteral("Gone Out (Unconnected)"));

    // OK without a change binds nothing there and keeps the names remembered.
    Press(dialog, QDialogButtonBox::Ok);
    QCOMPARE(rig.In(0), std::string("Unplugged Interface"));
    QCOMPARE(rig.In(1), std::string("Unplugged Interface"));
    QCOMPARE(rig.Out(0), std::string("Gone Out"));
    QCOMPARE(rig.BoundIn(0), std::string("(unbound)"));

    // Plugged in again: the next opening binds it and shows it by its name.
    rig.AddPair("Gone Out");
    CMidiSetupDialog again(rig.setup);
    again.Prepare();
    QCOMPARE(again.List(4104)->currentText(), QStringLiteral("Gone Out"));
    QCOMPARE(rig.BoundOut(0), std::string("Gone Out"));
}

void MidiSetupDialogTest::okBindsAndStoresAtOnce() {
    SetupRig rig;
    rig.AddPair("First");
    rig.AddPair("Second");
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    Choose(dialog.List(4101), QStringLiteral("Second"));
    Choose(dialog.List(4104), QStringLiteral("First"));
    Press(dialog, QDialogButtonBox::Ok);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(rig.In(0), std::string("Second"));
    QCOMPARE(rig.Out(0), std::string("First"));
    QCOMPARE(rig.BoundIn(0), std::string("Second"));
    QCOMPARE(rig.BoundOut(0), std::string("First"));
    QCOMPARE(rig.settings.GetString("MIDIInConnection", "MIDIIn0", "?"), std::string("TQ-550"));

    // "(none)" unbinds and is recorded.
    CMidiSetupDialog second(rig.setup);
    second.Prepare();
    Choose(second.List(4101), QStringLiteral("(none)"));
    Press(second, QDialogButtonBox::Ok);
    QCOMPARE(rig.In(0), std::string("(none)"));
    QCOMPARE(rig.BoundIn(0), std::string("(unbound)"));
    QCOMPARE(rig.BoundOut(0), std::string("First"));
}

void MidiSetupDialogTest::deviceIdsShowFromOneAndApplyToEveryPort() {
    SetupRig rig;
    rig.AddPair("Port");
    rig.settings.WriteInt("MIDIOutConnection", "MIDIOutDeviceId1", 16);
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    QComboBox* ids = dialog.List(4096);
    QCOMPARE(ids->count(), 32);
    QCOMPARE(ids->itemText(0), QStringLiteral("1"));
    QCOMPARE(ids->itemText(31), QStringLiteral("32"));
    // The shared list shows the id of the last row filled: MIDI through's output, id 16.
    QCOMPARE(ids->currentText(), QStringLiteral("17"));

    Choose(ids, QStringLiteral("5"));
    Press(dialog, QDialogButtonBox::Ok);
    for (std::size_t port : {0u, 1u}) {
        QCOMPARE(int(rig.environment.InPort(port).GetDeviceId()), 4);
        QCOMPARE(int(rig.environment.OutPort(port).GetDeviceId()), 4);
    }
    QCOMPARE(rig.settings.GetInt("MIDIInConnection", "MIDIInDeviceId0", -1), 4);
    QCOMPARE(rig.settings.GetInt("MIDIOutConnection", "MIDIOutDeviceId1", -1), 4);
    // The TQ-MAX pair has no row.
    QCOMPARE(int(rig.environment.OutPort(2).GetDeviceId()), 0);

    CMidiSetupDialog first(rig.setup);
    first.Prepare();
    Choose(first.List(4096), QStringLiteral("1"));
    Press(first, QDialogButtonBox::Ok);
    QCOMPARE(rig.settings.GetInt("MIDIOutConnection", "MIDIOutDeviceId0", -1), 0);
}

void MidiSetupDialogTest::cancelAppliesNothing() {
    SetupRig rig;
    rig.AddPair("First");
    rig.AddPair("Second");
    rig.settings.WriteString("MIDIInConnection", "MIDIInDevice0", "First");
    rig.settings.WriteString("MIDIOutConnection", "MIDIOutDevice0", "First");
    rig.settings.WriteInt("MIDIOutConnection", "MIDIOutDeviceId0", 3);
    const std::vector<std::string> stored = StoredSetup(rig.settings);
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    Choose(dialog.List(4101), QStringLiteral("Second"));
    Choose(dialog.List(4104), QStringLiteral("(none)"));
    Choose(dialog.List(4096), QStringLiteral("9"));
    Press(dialog, QDialogButtonBox::Cancel);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(StoredSetup(rig.settings) == stored);
    QCOMPARE(rig.In(0), std::string("First"));
    QCOMPARE(rig.Out(0), std::string("First"));
    QCOMPARE(rig.settings.GetInt("MIDIOutConnection", "MIDIOutDeviceId0", -1), 3);
    QCOMPARE(rig.BoundIn(0), std::string("First"));
    QCOMPARE(rig.BoundOut(0), std::string("First"));
    QCOMPARE(int(rig.environment.OutPort(0).GetDeviceId()), 3);
}

void MidiSetupDialogTest::hiddenThroughRowKeepsItsPorts() {
    SetupRig rig;
    rig.AddPair("Device");
    rig.AddPair("Through In");
    rig.AddPair("Through Out");
    rig.settings.WriteString("MIDIInConnection", "MIDIInDevice1", "Through In");
    rig.settings.WriteString("MIDIOutConnection", "MIDIOutDevice1", "Through Out");
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    QCOMPARE(dialog.List(4111)->currentText(), QStringLiteral("Through In"));
    QCOMPARE(dialog.List(4112)->currentText(), QStringLiteral("Through Out"));
    Choose(dialog.List(4101), QStringLiteral("Device"));
    Press(dialog, QDialogButtonBox::Ok);
    QCOMPARE(rig.BoundIn(1), std::string("Through In"));
    QCOMPARE(rig.BoundOut(1), std::string("Through Out"));
    QCOMPARE(rig.In(1), std::string("Through In"));
    QCOMPARE(rig.Out(1), std::string("Through Out"));
    QCOMPARE(rig.BoundIn(0), std::string("Device"));
}

void MidiSetupDialogTest::portsThatComeAndGoAreSeenAtTheNextOpening() {
    SetupRig rig;
    rig.AddPair("Old");
    {
        CMidiSetupDialog dialog(rig.setup);
        dialog.Prepare();
        Choose(dialog.List(4101), QStringLiteral("Old"));
        Choose(dialog.List(4104), QStringLiteral("Old"));
        Press(dialog, QDialogButtonBox::Ok);
    }
    rig.AddPair("New");
    rig.RemovePair("Old");
    CMidiSetupDialog dialog(rig.setup);
    dialog.Prepare();
    QCOMPARE(Entries(dialog.List(4101)), (QStringList{"New", "(none)", "Old (Unconnected)"}));
    QCOMPARE(dialog.List(4101)->currentText(), QStringLiteral("Old (Unconnected)"));
    QCOMPARE(dialog.List(4104)->currentText(), QStringLiteral("Old (Unconnected)"));
}

void MidiSetupDialogTest::theDialogRunsModallyFromItsCommand() {
    SetupRig rig;
    rig.AddPair("Port");
    CDialogDriver driver;
    QStringList seen;
    driver.Expect<CMidiSetupDialog>([&seen](CMidiSetupDialog* dialog) {
        seen = Entries(dialog->List(4101));
        Choose(dialog->List(4101), QStringLiteral("Port"));
        Press(*dialog, QDialogButtonBox::Ok);
    });
    CMidiSetupDialog dialog(rig.setup);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(seen, (QStringList{"Port", "(none)"}));
    QCOMPARE(rig.In(0), std::string("Port"));
}

QTEST_MAIN(MidiSetupDialogTest)
#include "midi_setup_dialog_test.moc"
