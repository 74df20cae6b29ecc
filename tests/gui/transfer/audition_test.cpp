// Audition on the in-process virtual processor: which selections are sent, when, and what the user is told.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "app_rig.h"
#include "dialog_driver.h"
#include "midi/virtual_midi.h"
#include "ports/midi_environment.h"
#include "textout/message_catalog.h"
#include "ui/audition_controls_dialog.h"
#include "ui/temporary_area.h"
#include "ui/timer_text_out_window.h"

namespace {

std::string TemporaryName(const CAppRig& rig) {
    const PatchImage image = rig.app->VirtualDevice()->WithEmulator(
        [](CTq550Emulator& e) { return PatchImage(e.TemporaryPatch()); });
    std::string name(image.begin(), image.begin() + PATCH_NAME_LENGTH);
    return name.erase(name.find_last_not_of(' ') + 1);
}

// Waits until nothing is sent or waits to be sent.
bool Settled(CAppRig& rig) {
    CTemporaryArea& area = rig.Context().Temporary();
    return QTest::qWaitFor(
        [&] { return !area.IsSending() && !area.HasPending() && !rig.app->Jobs()->IsRunning(); }, 20000);
}

std::function<void(CMidiWarningDlg*)> Answer(bool ok) {
    return [ok](CMidiWarningDlg* dialog) {
        dialog->findChild<QDialogButtonBox*>()
            ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
            ->click();
    };
}

QString Field(CAppRig& rig) {
    return rig.Frame().statusBar()->findChild<QLabel*>(QStringLiteral("temporaryField"))->text();
}

}  // namespace

class AuditionTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        GetMessageCatalog().SetLanguage(0);
    }
    void onlyTheLastOfQuickSelectionsIsSent();
    void otherTransfersGoFirstANewerSelectionCutsInAndOffDrops();
    void aFailedSendIsToldOnceAndAuditionStaysOn();
    void aLearnedFootSwitchStepsTheSelectionAndItsPortIsWatched();
};

void AuditionTest::onlyTheLastOfQuickSelectionsIsSent() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    CFileDoc* library = rig.NewLibrary();
    library->SetPatches(NamedPatches(30, "LIB"));
    rig.Activate(library);
    CPatchListCtrl& list = AppRig::ViewOf(library)->List();
    list.SelectIndexes({0});

    // Turning it on asks the temporary write's confirmation; declined, it stays off.
    CDialogDriver driver;
    driver.Expect<CMidiWarningDlg>(Answer(false));
    driver.Expect<CMidiWarningDlg>(Answer(true));
    rig.Command(TQ::ID_MIDI_AUDITION);
    QVERIFY(!rig.Context().Temporary().IsAuditioning());
    rig.Command(TQ::ID_MIDI_AUDITION);
    QVERIFY(rig.Context().Temporary().IsAuditioning());
    QVERIFY(rig.Frame().QueryCommand(TQ::ID_MIDI_AUDITION).checked);
    QVERIFY2(driver.AllMet(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(rig.settings.GetInt("Option", "Audition", 0), 1);
    QVERIFY(Settled(rig));
    QCOMPARE(TemporaryName(rig), std::string("LIB1"));

    // Twenty rows down, quicker than the selection settles: only the last one goes.
    const auto begun = rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::qWait(10);
    }
    QVERIFY(Settled(rig));
    // The first goes at once (cut short by the next), the last once they rest.
    QVERIFY(rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun) <= begun + 2);
    QCOMPARE(TemporaryName(rig), std::string("LIB21"));
    QCOMPARE(Field(rig), QStringLiteral("Temporary: LIB21 (%1)").arg(library->GetTitle()));
    // Two rows selected: nothing is sent.
    const auto after = rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun);
    list.SelectIndexes({3, 4});
    QTest::qWait(3 * CTemporaryArea::kSettleMs);
    QVERIFY(Settled(rig));
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun), after);
    QVERIFY(rig.box->texts.empty());

    // The foot switch's steps stop at the ends and never reach End of Line.
    CParamView* view = AppRig::ViewOf(library);
    list.SelectIndexes({27});
    for (int i = 0; i < 5; ++i)
        view->StepSelection(+1);
    QCOMPARE(list.SelectedIndexes(), std::vector<int>{29});
    QVERIFY(Settled(rig));
    QCOMPARE(TemporaryName(rig), std::string("LIB30"));
    list.SelectIndexes({1});
    for (int i = 0; i < 3; ++i)
        view->StepSelection(-1);
    QCOMPARE(list.SelectedIndexes(), std::vector<int>{0});
    QVERIFY(Settled(rig));
    QCOMPARE(TemporaryName(rig), std::string("LIB1"));
}

void AuditionTest::otherTransfersGoFirstANewerSelectionCutsInAndOffDrops() {
    // At the wire's pace, so that a send takes long enough to be overtaken.
    CAppRig rig({}, false, 1);
    QVERIFY(rig.started);
    rig.ChangeMain([](CPatchArray& patches) { MakeDistinct(patches); });
    CTemporaryArea& area = rig.Context().Temporary();
    rig.Activate(&rig.MainDoc());
    CPatchListCtrl& list = rig.Main()->List();
    list.SelectIndexes({0});
    rig.Command(TQ::ID_MIDI_AUDITION);
    QVERIFY(area.IsAuditioning());
    QVERIFY(Settled(rig));
    const auto begunFirst = rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun);
    auto begun = [&] { return rig.DeviceCount(&CTq550Emulator::TemporaryWritesBegun) - begunFirst; };
    auto ended = [&] { return rig.DeviceCount(&CTq550Emulator::TemporaryWritesEnded); };

    // A write of the user's while an audition is under way: the audition gives way, then goes again.
    list.SelectIndexes({5});
    QVERIFY(QTest::qWaitFor([&] { return begun() == 1; }, 5000));
    list.SelectIndexes({9});
    QTest::qWait(CTemporaryArea::kSettleMs / 2);
    QVERIFY(rig.Available(TQ::ID_MIDI_WRITE_SELECTED));
    QVERIFY(rig.Main()->WritePatches(false));
    QVERIFY(rig.app->Jobs()->IsForegroundRunning());
    QVERIFY(area.HasPending() && !area.IsSending());
    QVERIFY(Settled(rig));
    QVERIFY(rig.DevicePatch(9) == rig.MainPatches()[9].GetImage());
    QCOMPARE(TemporaryName(rig), std::string("MAIN 9"));
    QCOMPARE(Field(rig), QStringLiteral("Temporary: U03-2 MAIN 9"));

    // A newer selection cuts the send in flight short and is sent at once after it.
    const auto begunBefore = begun();
    const auto endedBefore = ended();
    list.SelectIndexes({20});
    QVERIFY(QTest::qWaitFor([&] { return area.IsSending(); }, 5000));
    QCOMPARE(Field(rig), QStringLiteral("Temporary: sending..."));
    QVERIFY(QTest::qWaitFor([&] { return begun() == begunBefore + 1; }, 5000));
    list.SelectIndexes({21});
    QVERIFY(Settled(rig));
    QCOMPARE(TemporaryName(rig), std::string("MAIN 21"));
    QCOMPARE(begun(), begunBefore + 2);
    QCOMPARE(ended(), endedBefore + 1);

    // Turned off while a selection waits: it is never sent (the one it cut short stays cut short).
    list.SelectIndexes({30});
    list.SelectIndexes({31});
    QVERIFY(area.HasPending());
    rig.Command(TQ::ID_MIDI_AUDITION);
    QVERIFY(!area.IsAuditioning() && !area.HasPending());
    QVERIFY(Settled(rig));
    QTest::qWait(2 * CTemporaryArea::kSettleMs);
    QVERIFY(begun() <= begunBefore + 3);
    QCOMPARE(ended(), endedBefore + 1);
    QVERIFY(TemporaryName(rig) != "MAIN 31");
}

void AuditionTest::aFailedSendIsToldOnceAndAuditionStaysOn() {
    Tq550EmulatorOptions faults;
    faults.stopAnsweringAfter = 0;
    CAppRig rig(faults);
    QVERIFY(rig.started);
    CTemporaryArea& area = rig.Context().Temporary();
    rig.Activate(&rig.MainDoc());
    rig.Command(TQ::ID_MIDI_AUDITION);
    CPatchListCtrl& list = rig.Main()->List();
    list.SelectIndexes({1});
    QVERIFY(area.IsSending());
    QVERIFY(Settled(rig));
    UL::CTimerTextOutWindow* notices = rig.app->NoticeWindow();
    QVERIFY(notices->Window() && notices->Window()->isVisible());
    QVERIFY(!notices->Window()->Text().isEmpty());
    QCOMPARE(Field(rig), QString());
    // No message box, and the next failure says nothing more.
    QVERIFY(rig.box->texts.empty());
    notices->Window()->hide();
    list.SelectIndexes({2});
    QVERIFY(Settled(rig));
    QVERIFY(area.IsAuditioning());
    QVERIFY(!notices->Window()->isVisible());
    QVERIFY(rig.box->texts.empty());
}

void AuditionTest::aLearnedFootSwitchStepsTheSelectionAndItsPortIsWatched() {
    CAppRig rig;
    QVERIFY(rig.started);
    CVirtualMidiSystem& midi = *rig.app->VirtualMidi();
    QVERIFY(midi.AddSource("Pedal"));
    auto press = [&](std::vector<std::uint8_t> bytes) { QVERIFY(midi.Emit("Pedal", bytes)); };

    // Learned in the dialog: Next a Control Change 64 on channel 1, Previous a Program Change; any channel.
    {
        CAuditionControlsDialog dialog(rig.app->Pedal(), rig.Context().Environment().Factory(), rig.settings);
        dialog.PortList()->setCurrentIndex(dialog.PortList()->findData(QStringLiteral("Pedal")));
        dialog.LearnButton(true)->click();
        QCOMPARE(dialog.LearnButton(true)->text(), QStringLiteral("Press the pedal..."));
        press({0xB0, 0x40, 0x10});  // a release: not a press
        press({0xB0, 0x40, 0x7F});
        QTRY_COMPARE(dialog.PressLabel(true)->text(), QStringLiteral("Control Change 64"));
        dialog.LearnButton(false)->click();
        press({0xC4, 0x05});
        QTRY_COMPARE(dialog.PressLabel(false)->text(), QStringLiteral("Program Change 6"));
        dialog.accept();
    }
    QCOMPARE(rig.settings.GetString("AuditionControls", "InPort", ""), std::string("Pedal"));

    CFileDoc* library = rig.NewLibrary();
    library->SetPatches(NamedPatches(5, "LIB"));
    rig.Activate(library);
    CPatchListCtrl& list = AppRig::ViewOf(library)->List();
    list.SelectIndexes({0});
    // Off: the pedal does nothing.
    press({0xB9, 0x40, 0x7F});
    QTest::qWait(100);
    QCOMPARE(list.SelectedIndexes(), std::vector<int>{0});
    rig.Command(TQ::ID_MIDI_AUDITION);
    for (int i = 0; i < 6; ++i)
        press({0xB9, 0x40, 0x7F});
    QTRY_COMPARE(list.SelectedIndexes(), std::vector<int>{4});
    press({0xC0, 0x05});
    QTRY_COMPARE(list.SelectedIndexes(), std::vector<int>{3});
    QVERIFY(Settled(rig));
    QCOMPARE(TemporaryName(rig), std::string("LIB4"));

    // The pedal's port goes and comes back: told, and taken again.
    UL::CTimerTextOutWindow* notices = rig.app->NoticeWindow();
    QVERIFY(midi.RemoveSource("Pedal"));
    QTRY_VERIFY_WITH_TIMEOUT(
        notices->Window() && notices->Window()->isVisible() &&
            notices->Window()->Text() == QStringLiteral("MIDI devices are disconnected."),
        5000);
    QVERIFY(midi.AddSource("Pedal"));
    QTRY_VERIFY_WITH_TIMEOUT(notices->Window()->Text() == QStringLiteral("MIDI devices are reconnected."),
                             5000);
    press({0xB0, 0x40, 0x7F});
    QTRY_COMPARE(list.SelectedIndexes(), std::vector<int>{4});
}

QTEST_MAIN(AuditionTest)
#include "audition_test.moc"
