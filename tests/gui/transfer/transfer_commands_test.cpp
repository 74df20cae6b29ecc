#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "app_rig.h"
#include "ports/midi_environment.h"
#include "textout/message_catalog.h"
#include "transfer/dialog_driver.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/command_ids.h"
#include "ui/file_dialog.h"
#include "ui/progress_bar.h"
#include "ui/timer_text_out_window.h"

using namespace TQ;

namespace {

const std::string kConnectionProblem = "There is a problem with the connection to the TQ-550.";
const std::string kLoadFailed = "This file could not be loaded.";
const std::string kSaveFailed = "This file could not be saved.";

// Presses OK, or Cancel, of a confirmation, with "Don't show this dialog again." ticked when asked.
std::function<void(CMidiWarningDlg*)> Answer(bool ok, bool dontShowAgain = false) {
    return [ok, dontShowAgain](CMidiWarningDlg* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("dontShowAgain"))->setChecked(dontShowAgain);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    };
}

// Chooses path in a file dialog.
std::function<void(UL::CFileDialogA*)> Choose(const QString& path) {
    return [path](UL::CFileDialogA* dialog) { ChooseFile(dialog, path); };
}

std::function<void(UL::CFileDialogA*)> CancelFileDialog() {
    return [](UL::CFileDialogA* dialog) { dialog->reject(); };
}

int SettingOf(const CMemorySettingsStore& settings, const char* name) {
    return settings.GetInt("Option", name, -1);
}

// The patches of a Standard MIDI File as the program's reader stores them into a list of 200 zeroed
// patches, with how many data sets it held.
struct SmfContent {
    std::vector<PatchState> patches;
    bool parsed = false;
};

SmfContent ReadSmfFile(const QString& path) {
    TextOutHub hub;
    MidiEnvironment environment(hub);
    environment.BuildStandardPorts();
    AReader reader(environment);
    reader.Attach(&environment.InPort(0), &environment.OutPort(0));
    CPatchArray patches;
    patches.Resize(USER_PATCH_COUNT);
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        patches[i].PatchBlock().assign(PATCH_BLOCK_SIZE, 0);
    std::ifstream stream(path.toStdString(), std::ios::binary);
    SmfContent content;
    content.parsed = reader.ReadPatchesFromSmf(stream, patches);
    content.patches = Snapshot(patches);
    return content;
}

}  // namespace

class TransferCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void readSelectedRequestsOnlyTheSelectedPatches();
    void readAllTakesEveryPatchAndOffersUndo();
    void failedReadAllLeavesMainAndUndoAsTheyWere();
    void cancelledReadLeavesMainAsItWasAndSaysNothing();
    void cancellingWhileTheProcessorIsSilentStopsTheWaitAndSaysNothing();
    void readWithoutMidiSetupShowsMessage12();
    void lostInterfaceIsNoticedWhenTheReadFails();
    void confirmationSwitchedOffSkipsTheDialog();
    void dontShowAgainWithOkStoresOneForThatKindOnly();
    void cancelWithTheBoxTickedStoresNothingAndTransfersNothing();
    void selectedCommandsNeedASelection();
    void exportAllWrites200PatchesAndExportSelectedOnlyThose();
    void exportThatCannotBeWrittenShowsMessage5();
    void importSmfOverwritesMainAndBrokenFileChangesNothing();
    void writeSelectedSendsOnlyTheSelectedPatches();
    void verificationFindsThePatchTheDeviceCouldNotStore();
    void verificationIsRememberedAndAppliesWithoutTheDialog();
    void closingTheFrameDuringAReadCancelsItThenCloses();
    void progressShowsDuringTheReadAndNoSecondTransferStarts();
};

void TransferCommandsTest::initTestCase() {
    // Test functions run outside the event loop; a closed frame must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    GetMessageCatalog().SetLanguage(0);
}

void TransferCommandsTest::readSelectedRequestsOnlyTheSelectedPatches() {
    CAppRig rig;
    QVERIFY(rig.started);
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    // U02-1 and U10-4.
    rig.Main()->List().SelectIndexes({4, 39});
    QVERIFY(rig.Done(rig.Main()->ReadPatches(false)));

    QCOMPARE(rig.DeviceCount(&CTq550Emulator::AnsweredRequests), std::uint64_t(2));
    const std::vector<PatchState> after = Snapshot(main);
    for (int index = 0; index < USER_PATCH_COUNT; ++index) {
        const auto i = static_cast<std::size_t>(index);
        if (index == 4 || index == 39) {
            QVERIFY2(after[i].first == rig.DevicePatch(index), qPrintable(QString::number(index)));
            // A patch that takes device data loses its memos.
            QVERIFY(after[i].second == (std::array<std::string, 4>{}));
        } else {
            QVERIFY2(after[i] == before[i], qPrintable(QString::number(index)));
        }
    }
    // The selection stays.
    QCOMPARE(rig.Main()->Indexes(false), (std::vector<int>{4, 39}));
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::readAllTakesEveryPatchAndOffersUndo() {
    CAppRig rig;
    QVERIFY(rig.started);
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
    QCOMPARE(main.GetSize(), std::size_t(USER_PATCH_COUNT));
    for (int index = 0; index < USER_PATCH_COUNT; ++index)
        QVERIFY2(main[static_cast<std::size_t>(index)].GetImage() == rig.DevicePatch(index),
                 qPrintable(QString::number(index)));
    CDoc& doc = *rig.Main()->GetDoc();
    QVERIFY(doc.CanUndo(UndoMode::Offered));
    doc.Undo();
    QVERIFY(Snapshot(main) == before);
}

void TransferCommandsTest::failedReadAllLeavesMainAndUndoAsTheyWere() {
    // The processor falls silent after the identity request and 100 patch requests.
    Tq550EmulatorOptions faults;
    faults.stopAnsweringAfter = 101;
    CAppRig rig(faults);
    QVERIFY(rig.started);
    const CPatchArray& main = rig.MainPatches();
    CDoc& doc = *rig.Main()->GetDoc();
    // An edit before the read, which Undo takes back.
    const std::vector<PatchState> beforeEdit = Snapshot(main);
    CPatchArray edited;
    edited.Assign(main);
    MakeDistinct(edited);
    doc.TakePatches(edited, rig.Main()->List().AllIndexes(), UndoMode::Offered, false);
    const std::vector<PatchState> before = Snapshot(main);

    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(rig.DeviceCount(&CTq550Emulator::AnsweredRequests) >= 100);
    QVERIFY(rig.box->Holds(kConnectionProblem));
    QVERIFY(Snapshot(main) == before);
    // Undo still takes back the edit before the read.
    QVERIFY(doc.CanUndo(UndoMode::Offered));
    doc.Undo();
    QVERIFY(Snapshot(main) == beforeEdit);
}

void TransferCommandsTest::cancelledReadLeavesMainAsItWasAndSaysNothing() {
    CAppRig rig;
    QVERIFY(rig.started);
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    CProgressBar* progress = rig.app->ProgressBar();
    CWhen cancel([progress] { return progress->isVisible() && progress->Bar()->value() >= 50; },
                 [progress] { progress->CancelButton()->click(); });
    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(cancel.Done());
    QVERIFY(rig.app->Context().Reader().WasCancelled());
    const auto answered = rig.DeviceCount(&CTq550Emulator::AnsweredRequests);
    QVERIFY2(answered >= 49 && answered < 200, qPrintable(QString::number(answered)));
    QVERIFY(Snapshot(main) == before);
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::cancellingWhileTheProcessorIsSilentStopsTheWaitAndSaysNothing() {
    Tq550EmulatorOptions silent;
    silent.stopAnsweringAfter = 0;
    CAppRig rig(silent);
    QVERIFY(rig.started);
    QVERIFY(rig.Main()->ReadPatches(true));
    QTest::qWait(100);  // waiting for the identity's answer, which never comes
    rig.app->Jobs()->Cancel();
    QVERIFY(!rig.Done(true));
    QCOMPARE(rig.app->Jobs()->LastOutcome(), JobOutcome::Cancelled);
    // No second identity request after the Cancel, and no connection problem reported.
    rig.app->VirtualDevice()->WaitIdle();
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::ReceivedCount), std::uint64_t(1));
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::readWithoutMidiSetupShowsMessage12() {
    CAppRig rig;
    QVERIFY(rig.started);
    rig.app->Context().Environment().ClearBindings();
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(!rig.Done(rig.Main()->WritePatches(true)));
    QCOMPARE(rig.box->texts.size(), std::size_t(2));
    QVERIFY(rig.box->Holds("MIDI devices aren't set up correctly."));
    QVERIFY(Snapshot(main) == before);
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::ReceivedCount), std::uint64_t(0));
}

void TransferCommandsTest::lostInterfaceIsNoticedWhenTheReadFails() {
    // The processor answers 30 patches; on the next request it goes without answering, its ports with it
    // (the interface is unplugged). Nothing is sent after that request.
    Tq550EmulatorOptions faults;
    faults.stopAnsweringAfter = 31;
    faults.exitAfter = 32;
    CAppRig rig(faults);
    QVERIFY(rig.started);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(rig.app->VirtualDevice()->Unplugged());
    QVERIFY(Snapshot(main) == before);
    QVERIFY(rig.box->Holds(kConnectionProblem));
    // Not only at the next transfer: the notice shows as soon as the read has failed.
    UL::CTimerTextOutWindow* notices = rig.app->NoticeWindow();
    QVERIFY(notices->Window());
    QCOMPARE(notices->Window()->Text(), QStringLiteral("MIDI devices are disconnected."));
    QVERIFY(notices->Window()->isVisible());
}

void TransferCommandsTest::confirmationSwitchedOffSkipsTheDialog() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    rig.settings.WriteInt("Option", "WriteUser", 1);
    CDialogDriver driver;
    // Write All starts at once; it is stopped after its first patch so that the test stays short.
    CProgressBar* progress = rig.app->ProgressBar();
    CWhen cancel([progress] { return progress->isVisible() && progress->Bar()->value() >= 2; },
                 [progress] { progress->CancelButton()->click(); });
    QVERIFY(!rig.Done(rig.Main()->WritePatches(true)));
    QVERIFY(rig.app->Context().Writer().WasCancelled());
    QVERIFY2(driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QVERIFY(driver.Seen().isEmpty());
    QVERIFY(rig.DeviceCount(&CTq550Emulator::StoredDataSets) >= 9);
}

void TransferCommandsTest::dontShowAgainWithOkStoresOneForThatKindOnly() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    CDialogDriver driver;
    driver.Expect<CMidiWarningDlg>(Answer(true, true));
    rig.Main()->List().SelectIndexes({7});
    QVERIFY(rig.Done(rig.Main()->ReadPatches(false)));
    QVERIFY2(driver.AllMet(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(SettingOf(rig.settings, "ReadUser"), 1);
    for (const char* other : {"WriteUser", "ReadTemporary", "WriteTemporary", "ImportSMF"})
        QCOMPARE(SettingOf(rig.settings, other), -1);
    QVERIFY(rig.MainPatches()[7].GetImage() == rig.DevicePatch(7));

    // From now on Read asks nothing; Write still asks, and OK without the box ticked stores 0.
    driver.Expect<CMidiWarningDlg>(Answer(true, false));
    QVERIFY(rig.Done(rig.Main()->ReadPatches(false)));
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(driver.Seen().size(), 2);
    QCOMPARE(SettingOf(rig.settings, "WriteUser"), 0);
    QCOMPARE(SettingOf(rig.settings, "ReadUser"), 1);
}

void TransferCommandsTest::cancelWithTheBoxTickedStoresNothingAndTransfersNothing() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    CDialogDriver driver;
    driver.Expect<CMidiWarningDlg>(Answer(false, true));
    driver.Expect<CMidiWarningDlg>(Answer(false, true));
    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(!rig.Done(rig.Main()->WritePatches(true)));
    QVERIFY2(driver.AllMet(), qPrintable(driver.Failures().join(u'\n')));
    for (const char* kind :
         {"ReadUser", "WriteUser", "ReadTemporary", "WriteTemporary", "ImportSMF", "VerifyWrite"})
        QCOMPARE(SettingOf(rig.settings, kind), -1);
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::ReceivedCount), std::uint64_t(0));
    QVERIFY(Snapshot(main) == before);
    QVERIFY(!rig.Main()->GetDoc()->CanUndo(UndoMode::Offered));
}

void TransferCommandsTest::selectedCommandsNeedASelection() {
    CAppRig rig;
    QVERIFY(rig.started);
    CMainFrame* frame = rig.app->MainFrame();
    CImageView* view = rig.Main();
    auto enabled = [frame](int id) {
        frame->UpdateCommandActions();
        return frame->CommandAction(id)->isEnabled();
    };
    auto button = [view](const char* name) {
        return view->findChild<QPushButton*>(QString::fromLatin1(name));
    };
    view->List().clearSelection();
    for (int id : {ID_MIDI_READ_SELECTED, ID_MIDI_WRITE_SELECTED, ID_FILE_EXPORT_SMF_SELECTED})
        QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
    for (int id : {ID_MIDI_READ_ALL, ID_MIDI_WRITE_ALL, ID_FILE_EXPORT_SMF_ALL, ID_FILE_IMPORT_SMF})
        QVERIFY2(enabled(id), qPrintable(QString::number(id)));
    QVERIFY(!button("readSelected")->isEnabled());
    QVERIFY(!button("writeSelected")->isEnabled());
    QVERIFY(button("readAll")->isEnabled());
    // Nothing happens when a selected command is reached anyway.
    CDialogDriver driver;
    QVERIFY(!view->ReadPatches(false));
    QVERIFY(!view->WritePatches(false));
    view->ExportSmf(false);
    QVERIFY(driver.Seen().isEmpty());
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::ReceivedCount), std::uint64_t(0));

    view->List().SelectIndexes({3});
    for (int id : {ID_MIDI_READ_SELECTED, ID_MIDI_WRITE_SELECTED, ID_FILE_EXPORT_SMF_SELECTED})
        QVERIFY2(enabled(id), qPrintable(QString::number(id)));
    QVERIFY(button("readSelected")->isEnabled());
    QVERIFY(button("writeSelected")->isEnabled());
}

void TransferCommandsTest::exportAllWrites200PatchesAndExportSelectedOnlyThose() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> state = Snapshot(main);
    const QString all = folder.filePath(QStringLiteral("all.mid"));
    const QString some = folder.filePath(QStringLiteral("some.mid"));
    {
        CDialogDriver driver;
        driver.Expect<UL::CFileDialogA>(Choose(all));
        rig.Main()->List().SelectIndexes({1});
        QVERIFY(rig.app->MainFrame()->ExecuteCommand(ID_FILE_EXPORT_SMF_ALL));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    }
    const SmfContent exported = ReadSmfFile(all);
    QVERIFY(exported.parsed);
    for (std::size_t i = 0; i < state.size(); ++i)
        QVERIFY2(exported.patches[i].first == state[i].first, qPrintable(QString::number(i)));
    QCOMPARE(QString::fromStdString(rig.settings.GetString("SMF", "InitialFileName", "")),
             QStringLiteral("all.mid"));
    {
        CDialogDriver driver;
        driver.Expect<UL::CFileDialogA>(Choose(some));
        rig.Main()->List().SelectIndexes({0, 199});
        QVERIFY(rig.app->MainFrame()->ExecuteCommand(ID_FILE_EXPORT_SMF_SELECTED));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    }
    const SmfContent selected = ReadSmfFile(some);
    QVERIFY(selected.parsed);
    const PatchImage zero{};
    for (std::size_t i = 0; i < state.size(); ++i) {
        const bool chosen = i == 0 || i == 199;
        QVERIFY2((selected.patches[i].first == (chosen ? state[i].first : zero)),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::exportThatCannotBeWrittenShowsMessage5() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("no such folder/out.mid"));
    CDialogDriver driver;
    driver.Expect<UL::CFileDialogA>(Choose(path));
    rig.Main()->ExportSmf(true);
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QVERIFY(rig.box->Holds(kSaveFailed));
    QVERIFY(!QFile::exists(path));
    // Cancelling the file dialog ends the command quietly.
    rig.box->texts.clear();
    driver.Expect<UL::CFileDialogA>(CancelFileDialog());
    rig.Main()->ExportSmf(true);
    QVERIFY(driver.AllMet());
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::importSmfOverwritesMainAndBrokenFileChangesNothing() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    QTemporaryDir folder;
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> exported = Snapshot(main);
    const QString file = folder.filePath(QStringLiteral("patches.mid"));
    CDialogDriver driver;
    driver.Expect<UL::CFileDialogA>(Choose(file));
    rig.Main()->List().SelectIndexes({5, 6});
    rig.Main()->ExportSmf(false);
    QVERIFY2(driver.AllMet(), qPrintable(driver.Failures().join(u'\n')));

    // Something else in the window, then the file back: patches 5 and 6 come back without memos.
    rig.ChangeMain([](CPatchArray& patches) {
        for (std::size_t i : {5u, 6u, 7u})
            patches[i].SetName("CHANGED");
    });
    const std::vector<PatchState> changed = Snapshot(main);
    driver.Expect<CMidiWarningDlg>(Answer(true));
    driver.Expect<UL::CFileDialogA>(Choose(file));
    rig.Main()->ImportSmf();
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    std::vector<PatchState> expected = changed;
    for (std::size_t i : {5u, 6u})
        expected[i] = {exported[i].first, {}};
    QVERIFY(Snapshot(main) == expected);
    QVERIFY(rig.Main()->GetDoc()->CanUndo(UndoMode::Offered));

    // A file that breaks off in the middle: message 4, and the window keeps everything.
    QFile whole(file);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    const QString broken = folder.filePath(QStringLiteral("broken.mid"));
    QFile cut(broken);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 3 / 4));
    cut.close();
    rig.ChangeMain([](CPatchArray& patches) {
        for (std::size_t i : {5u, 6u})
            patches[i].SetName("AGAIN");
    });
    const std::vector<PatchState> beforeBroken = Snapshot(main);
    driver.Expect<CMidiWarningDlg>(Answer(true));
    driver.Expect<UL::CFileDialogA>(Choose(broken));
    rig.Main()->ImportSmf();
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QVERIFY(rig.box->Holds(kLoadFailed));
    QVERIFY(Snapshot(main) == beforeBroken);

    // Cancel in the confirmation: no file dialog, nothing changes.
    driver.Expect<CMidiWarningDlg>(Answer(false));
    rig.Main()->ImportSmf();
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QVERIFY(Snapshot(main) == beforeBroken);
}

void TransferCommandsTest::writeSelectedSendsOnlyTheSelectedPatches() {
    CAppRig rig;
    QVERIFY(rig.started);
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    std::vector<PatchImage> device;
    for (int i = 0; i < USER_PATCH_COUNT; ++i)
        device.push_back(rig.DevicePatch(i));
    rig.Main()->List().SelectIndexes({150, 12});
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::StoredDataSets), std::uint64_t(18));
    for (int i = 0; i < USER_PATCH_COUNT; ++i) {
        const PatchImage expected = (i == 12 || i == 150) ? main[static_cast<std::size_t>(i)].GetImage()
                                                          : device[static_cast<std::size_t>(i)];
        QVERIFY2(rig.DevicePatch(i) == expected, qPrintable(QString::number(i)));
    }
    // No check unless asked for: nothing was read back.
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::AnsweredRequests), std::uint64_t(0));
    QVERIFY(rig.box->texts.empty());
}

void TransferCommandsTest::verificationFindsThePatchTheDeviceCouldNotStore() {
    CAppRig rig({}, true);
    QVERIFY(rig.started);
    // Patch data is 7-bit on the wire: a byte with the top bit set reaches the processor changed.
    rig.ChangeMain([](CPatchArray& patches) {
        MakeDistinct(patches);
        patches[9].PatchBlock()[100] = 0xC5;
    });
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    CDialogDriver driver;
    driver.Expect<CMidiWarningDlg>([](CMidiWarningDlg* dialog) {
        auto* verify = dialog->findChild<QCheckBox*>(QStringLiteral("verifyAfterWriting"));
        if (verify) verify->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    rig.Main()->List().SelectIndexes({4, 9, 10});
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(SettingOf(rig.settings, "VerifyWrite"), 1);
    // Read back: the three written patches, into a list of their own.
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::AnsweredRequests), std::uint64_t(3));
    QCOMPARE(rig.box->texts.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(rig.box->texts[0]),
             QStringLiteral("U03-2 differs from what was written."));
    QVERIFY(Snapshot(main) == before);

    // Without the bad byte every patch reads back as written.
    rig.ChangeMain([](CPatchArray& patches) { patches[9].PatchBlock()[100] = 0x45; });
    rig.box->texts.clear();
    bool remembered = false;
    driver.Expect<CMidiWarningDlg>([&remembered](CMidiWarningDlg* dialog) {
        // The box shows the remembered choice.
        auto* verify = dialog->findChild<QCheckBox*>(QStringLiteral("verifyAfterWriting"));
        remembered = verify && verify->isChecked();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QVERIFY(remembered);
    QCOMPARE(rig.box->texts.size(), std::size_t(1));
    QVERIFY(rig.box->Holds("read back unchanged"));
}

void TransferCommandsTest::verificationIsRememberedAndAppliesWithoutTheDialog() {
    CAppRig rig;
    QVERIFY(rig.started);
    // Off unless chosen.
    rig.Main()->List().SelectIndexes({0});
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::AnsweredRequests), std::uint64_t(0));
    // Chosen earlier, with the confirmation switched off since: the check still runs.
    rig.settings.WriteInt("Option", "VerifyWrite", 1);
    rig.ChangeMain(MakeDistinct);
    QVERIFY(rig.Done(rig.Main()->WritePatches(false)));
    QCOMPARE(rig.DeviceCount(&CTq550Emulator::AnsweredRequests), std::uint64_t(1));
    QVERIFY(rig.box->Holds("read back unchanged"));
}

void TransferCommandsTest::closingTheFrameDuringAReadCancelsItThenCloses() {
    CAppRig rig;
    QVERIFY(rig.started);
    CMainFrame* frame = rig.app->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    rig.ChangeMain(MakeDistinct);
    const CPatchArray& main = rig.MainPatches();
    const std::vector<PatchState> before = Snapshot(main);
    CProgressBar* progress = rig.app->ProgressBar();
    CWhen close([progress] { return progress->isVisible() && progress->Bar()->value() >= 20; },
                [frame] { frame->close(); });
    // The Main window's document goes with the frame: what the cancelled read left is looked at as the
    // close begins, once the job has ended.
    bool keptAtClose = false;
    QObject::connect(rig.app->Jobs(), &CTransferJobs::stateChanged, frame, [&] {
        if (!rig.app->Jobs()->IsRunning()) keptAtClose = Snapshot(main) == before;
    });
    QVERIFY(!rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(close.Done());
    // The close cancelled the read, waited for its end, then closed.
    QCOMPARE(rig.app->Jobs()->LastOutcome(), JobOutcome::Cancelled);
    QVERIFY(keptAtClose);
    QVERIFY(rig.DeviceCount(&CTq550Emulator::AnsweredRequests) < 200);
    QTRY_VERIFY_WITH_TIMEOUT(!frame->isVisible(), 20000);
}

void TransferCommandsTest::progressShowsDuringTheReadAndNoSecondTransferStarts() {
    CAppRig rig;
    QVERIFY(rig.started);
    CProgressBar* progress = rig.app->ProgressBar();
    int maximum = -1;
    QString caption;
    bool modal = false;
    bool second = true;
    CWhen look([progress] { return progress->isVisible() && progress->Bar()->value() >= 100; },
               [&] {
                   maximum = progress->Bar()->maximum();
                   caption = progress->CaptionLabel()->text();
                   modal = progress->windowModality() == Qt::ApplicationModal &&
                           QApplication::activeModalWidget() == progress;
                   second = rig.Main()->ReadPatches(true) || rig.Main()->WritePatches(true);
               });
    QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
    QVERIFY(look.Done());
    QCOMPARE(maximum, USER_PATCH_COUNT);
    QVERIFY2(caption.startsWith(QStringLiteral("User Patch U")), qPrintable(caption));
    QVERIFY(modal);
    QVERIFY(!second);
    // The dialog stays a moment after the read, then goes.
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->Bar()->value(), USER_PATCH_COUNT);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 10000);
}

QTEST_MAIN(TransferCommandsTest)
#include "transfer_commands_test.moc"
