// SysEx file import and export, Compare, Select Duplicates, the device history and Write Changed in the
// desktop program, on the in-process virtual processor.

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>

#include "app_rig.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "model/device_history.h"
#include "model/file_document.h"
#include "textout/message_catalog.h"
#include "transfer/dialog_driver.h"
#include "transfer/syx_reader.h"
#include "transfer/syx_writer.h"
#include "transfer/writer.h"
#include "ui/command_ids.h"
#include "ui/compare_window.h"
#include "ui/device_history_dialog.h"
#include "ui/file_dialog.h"
#include "ui/midi_setup_dialog.h"
#include "ui/param_view.h"
#include "ui/progress_bar.h"
#include "ui/syx_files.h"
#include "ui/ui_thread_text_out.h"

using namespace TQ;

namespace {

std::function<void(UL::CFileDialogA*)> Choose(const QString& path) {
    return [path](UL::CFileDialogA* dialog) { ChooseFile(dialog, path); };
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::vector<std::uint8_t> BytesOf(const QByteArray& bytes) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A new, empty library window of the program.
CFileDoc* NewLibrary(CAppRig& rig) {
    return qobject_cast<CFileDoc*>(rig.app->DocTemplateById(IDR_LIBRARY)->OpenDocumentFile(QString()));
}

CParamView* ViewOf(GP::CDocument* document) {
    return document && !document->GetViews().empty() ? qobject_cast<CParamView*>(document->GetViews().front())
                                                     : nullptr;
}

void Activate(CAppRig& rig, GP::CDocument* document) {
    rig.app->MainFrame()->MDIActivate(document->GetFrames().front());
    QApplication::processEvents();
}

bool Available(CAppRig& rig, int id) {
    return rig.app->MainFrame()->QueryCommand(id).enabled;
}

bool Run(CAppRig& rig, int id) {
    return rig.app->MainFrame()->ExecuteCommand(id);
}

// The library documents of the program, in the order they were made.
std::vector<CFileDoc*> Libraries(CAppRig& rig) {
    std::vector<CFileDoc*> libraries;
    for (GP::CDocument* document : rig.app->DocTemplateById(IDR_LIBRARY)->GetDocuments())
        if (auto* doc = qobject_cast<CFileDoc*>(document)) libraries.push_back(doc);
    return libraries;
}

// Patches whose data differ from each other and from the virtual processor's; names as given.
CPatchArray DistinctPatches(const std::vector<std::string>& names) {
    CPatchArray patches;
    patches.Resize(names.size());
    MakeDistinct(patches);
    for (std::size_t i = 0; i < names.size(); ++i)
        patches[i].SetName(names[i]);
    return patches;
}

// The slot state the Main list shows in the number cell of patch index.
int SlotState(CAppRig& rig, int index) {
    CPatchTableModel& model = rig.Main()->GetDoc()->Model();
    return model
        .data(model.index(index, CPatchTableModel::PositionOfColumnId(CPatchTableModel::kNumberColumn)),
              CPatchTableModel::kSlotStateRole)
        .toInt();
}

// The messages that wait for the program's idle time, recorded instead.
std::shared_ptr<CRecordingBox> RecordBuffered(CAppRig& rig) {
    auto buffered = std::make_shared<CRecordingBox>();
    // A transfer job reports from its worker: the texts reach the recording on this thread.
    rig.app->TextOut().SetTextOut(TextOutHub::kBufferSlot, std::make_shared<CUiThreadTextOut>(buffered));
    return buffered;
}

}  // namespace

class PatchToolsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        GetMessageCatalog().SetLanguage(0);
    }

    void syxImportOpensAModifiedLibraryInSlotOrderAndBrokenFilesOpenNothing() {
        CAppRig rig;
        QVERIFY(rig.started);
        QTemporaryDir folder;
        const auto buffered = RecordBuffered(rig);
        const CPatchArray source = DistinctPatches({"SLOT 12", "SLOT 3", "SLOT 150"});
        CSyxWriter writer;
        writer.SetProfile(Tq550DeviceIds(0x05));
        const std::vector<int> positions{0, 1, 2};
        QVERIFY(writer.Build(source, positions, std::vector<int>{12, 3, 150}));
        const QString good = folder.filePath(QStringLiteral("three.syx"));
        WriteAll(good, writer.Bytes());

        // Through the menu: the file dialog, then a new library window holding the patches by slot.
        QVERIFY(Available(rig, ID_IMPORT_SYX));
        CDialogDriver driver;
        driver.Expect<UL::CFileDialogA>(Choose(good));
        QVERIFY(Run(rig, ID_IMPORT_SYX));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QCOMPARE(Libraries(rig).size(), std::size_t(1));
        CFileDoc* imported = Libraries(rig).front();
        QVERIFY(imported->IsModified());
        QCOMPARE(NamesOf(imported->Patches()), (std::vector<std::string>{"SLOT 3", "SLOT 12", "SLOT 150"}));
        QVERIFY(imported->Patches()[0].GetImage() == source[1].GetImage());
        QVERIFY(imported->Patches()[2].GetImage() == source[2].GetImage());
        // The dialog starts there next time.
        QCOMPARE(rig.settings.GetString("SysEx", "InitialFileName", ""), std::string("three.syx"));
        QCOMPARE(QDir(QString::fromStdString(rig.settings.GetString("SysEx", "InitialDirectory", ""))),
                 QDir(folder.path()));
        QVERIFY(buffered->texts.empty());

        // Cut off, a wrong checksum, no TQ-550 patch at all: the message, and no window.
        std::vector<std::uint8_t> badChecksum = writer.Bytes();
        badChecksum[writer.Bytes().size() / 2 - 2] ^= 0x01;
        const std::vector<std::uint8_t> cut(writer.Bytes().begin(), writer.Bytes().begin() + 500);
        const std::vector<std::uint8_t> other{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7,
                                              0xF0, 0x43, 0x10, 0x00, 0xF7};
        const struct {
            const char* name;
            std::vector<std::uint8_t> bytes;
            const char* message;
        } broken[] = {
            {"cut.syx", cut, "This file holds a System Exclusive message that is cut off."},
            {"checksum.syx", badChecksum, "This file holds a TQ-550 data set with a wrong checksum."},
            {"other.syx", other, "This file holds no TQ-550 patch."},
        };
        for (const auto& file : broken) {
            buffered->texts.clear();
            const QString path = folder.filePath(QString::fromLatin1(file.name));
            WriteAll(path, file.bytes);
            QVERIFY(
                !CSyxFiles(rig.app->Context(), nullptr).Import(rig.app->DocTemplateById(IDR_LIBRARY), path));
            QCOMPARE(Libraries(rig).size(), std::size_t(1));
            QVERIFY2(buffered->Holds(file.message), file.name);
        }
        // A folder is no file.
        buffered->texts.clear();
        QVERIFY(!CSyxFiles(rig.app->Context(), nullptr)
                     .Import(rig.app->DocTemplateById(IDR_LIBRARY), folder.path()));
        QVERIFY(buffered->Holds("This file could not be loaded."));
        QCOMPARE(Libraries(rig).size(), std::size_t(1));
    }

    void syxExportWritesTheDataSetsOfAWriteForTheWindowsSlots() {
        CAppRig rig;
        QVERIFY(rig.started);
        QTemporaryDir folder;
        rig.ChangeMain(MakeDistinct);
        const CPatchArray& main = rig.MainPatches();
        const DeviceIds profile = rig.app->Context().Writer().Profile();

        // Main window, Selected: each patch to its own slot, whatever order the rows were selected in.
        rig.Main()->List().SelectIndexes({40, 7});
        QVERIFY(Available(rig, ID_FILE_EXPORT_SYX_SELECTED));
        const QString selected = folder.filePath(QStringLiteral("selected.syx"));
        CDialogDriver driver;
        driver.Expect<UL::CFileDialogA>(Choose(selected));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_SELECTED));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        CSyxWriter expected;
        expected.SetProfile(profile);
        QVERIFY(expected.Build(main, std::vector<int>{7, 40}, std::vector<int>{7, 40}));
        QCOMPARE(BytesOf(ReadAll(selected)), expected.Bytes());
        QCOMPARE(expected.Bytes().size(), std::size_t(2 * 9 * 255));

        // A library window sorted by name, descending: All goes to U01-1, U01-2, ... in the rows' order.
        CFileDoc* library = NewLibrary(rig);
        library->SetPatches(DistinctPatches({"BRAVO", "ALPHA", "CHARLIE"}));
        Activate(rig, library);
        CParamView* view = ViewOf(library);
        const int name = CPatchTableModel::PositionOfColumnId(CPatchTableModel::kNameColumn);
        view->List().SortByColumnPosition(name);
        view->List().SortByColumnPosition(name);
        const QString all = folder.filePath(QStringLiteral("library.syx"));
        driver.Expect<UL::CFileDialogA>(Choose(all));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_ALL));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        CPatchArray back;
        CSyxReader reader;
        QVERIFY(reader.Read(BytesOf(ReadAll(all)), back));
        QCOMPARE(NamesOf(back), (std::vector<std::string>{"CHARLIE", "BRAVO", "ALPHA"}));
        QCOMPARE(reader.Slots(),
                 (std::vector<PatchSlot>{{AREA_USER_PATCH, 0}, {AREA_USER_PATCH, 1}, {AREA_USER_PATCH, 2}}));
        // Selected needs a patch row: End of Line alone is not one.
        view->List().SelectIndexes({3});
        QVERIFY(!Available(rig, ID_FILE_EXPORT_SYX_SELECTED));

        // More than 200: said at once, before any file dialog.
        CFileDoc* big = NewLibrary(rig);
        big->SetPatches(NamedPatches(201, "P"));
        Activate(rig, big);
        QVERIFY(Available(rig, ID_FILE_EXPORT_SYX_ALL));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_ALL));
        QVERIFY2(driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QVERIFY(rig.box->Holds("A SysEx file holds at most 200 patches."));
        // An empty library has nothing to export.
        Activate(rig, NewLibrary(rig));
        QVERIFY(!Available(rig, ID_FILE_EXPORT_SYX_ALL));
    }

    // Found by the random driver: an export chosen onto a library that a window holds open wrote over it,
    // and the window's file no longer held a library.
    void syxExportRefusesAFileThatAWindowHoldsOpen() {
        CAppRig rig;
        QVERIFY(rig.started);
        QTemporaryDir folder;
        const QString held = folder.filePath(QStringLiteral("Held.tql"));
        {
            CFileDocument file;
            file.Patches().Assign(DistinctPatches({"KEEP", "ME"}));
            QVERIFY(file.Save(ToFilePath(held)));
        }
        const QByteArray before = ReadAll(held);
        auto* library = qobject_cast<CFileDoc*>(rig.app->OpenDocumentFile(held));
        QVERIFY(library);
        CDialogDriver driver;
        // From the Main window and from the library itself onto the library's file, the letter case ignored
        // as Save As does (names that do not exist on the disk here, so that the file dialog asks nothing
        // more): both refused, the file as it was.
        const QString otherCase = folder.filePath(QStringLiteral("held.TQL"));
        Activate(rig, rig.Main()->GetDoc());
        driver.Expect<UL::CFileDialogA>(Choose(otherCase));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_ALL));
        Activate(rig, library);
        driver.Expect<UL::CFileDialogA>(Choose(folder.filePath(QStringLiteral("HELD.tql"))));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_ALL));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QCOMPARE(ReadAll(held), before);
        QVERIFY(!library->IsModified());
        QCOMPARE(std::count(rig.box->texts.begin(), rig.box->texts.end(),
                            std::string("Cannot overwrite this file because it is already in use.")),
                 2);
        QVERIFY(!QFile::exists(otherCase));
        // Once the window is closed, the name may be written.
        library->OnCloseDocument();
        driver.Expect<UL::CFileDialogA>(Choose(otherCase));
        QVERIFY(Run(rig, ID_FILE_EXPORT_SYX_ALL));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QVERIFY(QFile::exists(otherCase));
    }

    void compareNeedsTwoPatchesOrOneAndTheClipboardAndShowsEveryDifferingRun() {
        CAppRig rig;
        QVERIFY(rig.started);
        rig.ChangeMain([](CPatchArray& patches) {
            MakeDistinct(patches);
            patches[3].Assign(patches[2]);
            patches[3].PatchBlock()[20] = 0x11;
            patches[3].PatchBlock()[300] = 0x7F;
            patches[3].PatchBlock()[301] = 0x00;
            patches[3].SetMemo(1, "second memo");
        });
        CPatchListCtrl& list = rig.Main()->List();
        QVERIFY(!Available(rig, ID_EDIT_COMPARE));
        list.SelectIndexes({2});
        QVERIFY(!Available(rig, ID_EDIT_COMPARE));
        list.SelectIndexes({2, 3, 4});
        QVERIFY(!Available(rig, ID_EDIT_COMPARE));
        list.SelectIndexes({3, 2});
        QVERIFY(Available(rig, ID_EDIT_COMPARE));

        QWidget* focused = QApplication::focusWidget();
        QVERIFY(Run(rig, ID_EDIT_COMPARE));
        CCompareWindow* window = CCompareWindow::Of(rig.app->MainFrame());
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal() && window->isWindow() && (window->windowFlags() & Qt::Tool) == Qt::Tool);
        QCOMPARE(QApplication::focusWidget(), focused);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        const CPatchArray& main = rig.MainPatches();
        const auto hex = [](int value) {
            return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
        };
        const QString text = window->Text();
        QVERIFY2(text.contains(QStringLiteral("Patch 1: U01-3 in Main")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Patch 2: U01-4 in Main")));
        QVERIFY(text.contains(QStringLiteral("Memo 2: second memo")));
        QVERIFY(text.contains(QStringLiteral("Differing data bytes: 3; runs: 2")));
        // Offset 20 is address 00 14 in chunk 0; offsets 300 and 301 are 02 2C and 02 2D in chunk 1.
        QVERIFY(text.contains(QStringLiteral("Address 00 14 to 00 14, chunk 0, length 1")));
        QVERIFY(text.contains(QStringLiteral("Address 02 2C to 02 2D, chunk 1, length 2")));
        QVERIFY(text.contains(QStringLiteral("Patch 1: ") + hex(main[2].GetImage()[300]) + QLatin1Char(' ') +
                              hex(main[2].GetImage()[301])));
        QVERIFY(text.contains(QStringLiteral("Patch 2: 7F 00")));
        // Copy: the whole text on the system clipboard.
        window->findChild<QPushButton*>(QStringLiteral("copy"))->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), text);

        // One patch and the clipboard: the first of the clipboard; identical patches say so. The same
        // window shows the new result.
        list.SelectIndexes({50});
        rig.app->Context().Clipboard().CopyFrom(main, {50, 2});
        QVERIFY(Available(rig, ID_EDIT_COMPARE));
        QVERIFY(Run(rig, ID_EDIT_COMPARE));
        QCOMPARE(CCompareWindow::Of(rig.app->MainFrame()), window);
        QVERIFY(window->Text().contains(QStringLiteral("Patch 2: the first patch of the clipboard")));
        QVERIFY(window->Text().contains(QStringLiteral("The patches are identical.")));

        // A library window: End of Line is no patch.
        CFileDoc* library = NewLibrary(rig);
        library->SetPatches(DistinctPatches({"ONE", "TWO"}));
        Activate(rig, library);
        rig.app->Context().Clipboard().Clear();
        CParamView* view = ViewOf(library);
        view->List().SelectIndexes({1, 2});
        QVERIFY(!Available(rig, ID_EDIT_COMPARE));
        view->List().SelectIndexes({0, 1});
        QVERIFY(Run(rig, ID_EDIT_COMPARE));
        QVERIFY(window->Text().contains(QStringLiteral("Patch 2: 2 in ") + library->GetTitle()));
    }

    void selectDuplicatesSelectsRepeatsSaysHowManyAndDeleteRemovesThemInOneUndo() {
        CAppRig rig;
        QVERIFY(rig.started);
        CFileDoc* library = NewLibrary(rig);
        CPatchArray patches = DistinctPatches({"A", "B", "C"});
        // A again with other memos, B again, A a third time: three duplicates.
        for (int original : {0, 1, 0}) {
            patches.Resize(patches.GetSize() + 1);
            patches[patches.GetSize() - 1].Assign(patches[static_cast<std::size_t>(original)]);
        }
        patches[3].SetMemo(0, "other memo");
        library->SetPatches(std::move(patches));
        Activate(rig, library);
        CParamView* view = ViewOf(library);
        QVERIFY(Available(rig, ID_EDIT_SELECT_DUPLICATES));
        QVERIFY(Run(rig, ID_EDIT_SELECT_DUPLICATES));
        QCOMPARE(view->List().SelectedIndexes(), (std::vector<int>{3, 4, 5}));
        QCOMPARE(rig.app->MainFrame()->statusBar()->currentMessage(),
                 QStringLiteral("3 duplicates found and selected."));

        QVERIFY(Run(rig, ID_EDIT_DELETE));
        QCOMPARE(NamesOf(library->Patches()), (std::vector<std::string>{"A", "B", "C"}));
        QVERIFY(Run(rig, ID_EDIT_UNDO));
        QCOMPARE(library->Patches().GetSize(), std::size_t(6));
        QCOMPARE(library->Patches()[3].GetMemo(0), std::string("other memo"));

        // None left once they are gone: nothing selected, and it says so.
        QVERIFY(Run(rig, ID_EDIT_SELECT_DUPLICATES));
        QVERIFY(Run(rig, ID_EDIT_DELETE));
        QVERIFY(Run(rig, ID_EDIT_SELECT_DUPLICATES));
        QVERIFY(view->List().SelectedIndexes().empty());
        QCOMPARE(rig.app->MainFrame()->statusBar()->currentMessage(), QStringLiteral("No duplicates found."));
        // With the status bar hidden the count comes in a message.
        rig.app->MainFrame()->statusBar()->hide();
        QVERIFY(Run(rig, ID_EDIT_SELECT_DUPLICATES));
        QVERIFY(rig.box->Holds("No duplicates found."));
        // One patch cannot repeat another.
        CFileDoc* single = NewLibrary(rig);
        single->SetPatches(NamedPatches(1, "P"));
        Activate(rig, single);
        QVERIFY(!Available(rig, ID_EDIT_SELECT_DUPLICATES));
    }

    void readAllKeepsTheHistoryByItsRulesAndTheDialogOpensAnEntry() {
        {
            CAppRig without;  // no history folder: nothing is kept, and the dialog is unavailable
            QVERIFY(without.started);
            QVERIFY(!Available(without, ID_FILE_DEVICE_HISTORY));
        }
        QTemporaryDir folder;
        CAppRig rig({}, false, 0, folder.filePath(QStringLiteral("History")));
        QVERIFY(rig.started);
        const CDeviceHistory& history = *rig.app->Context().History();
        const auto buffered = RecordBuffered(rig);

        // Two reads of the same processor: one entry. A Read Selected keeps nothing.
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QCOMPARE(history.Entries().size(), std::size_t(1));
        rig.Main()->List().SelectIndexes({0});
        PatchImage changed = rig.DevicePatch(0);
        changed[40] ^= 0x01;
        rig.SetDevicePatch(0, changed);
        QVERIFY(rig.Done(rig.Main()->ReadPatches(false)));
        QCOMPARE(history.Entries().size(), std::size_t(1));
        // Another processor state: a second entry (the same second is numbered).
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        const std::vector<HistoryEntry> entries = history.Entries();
        QCOMPARE(entries.size(), std::size_t(2));
        QVERIFY(buffered->texts.empty());

        // The dialog: newest first, with how many patches differ from the Main window.
        rig.ChangeMain([](CPatchArray& patches) {
            patches[5].SetName("EDITED");
            patches[6].SetName("EDITED");
        });
        CDialogDriver driver;
        driver.Expect<CDeviceHistoryDialog>([](CDeviceHistoryDialog* dialog) {
            dialog->CountAll();
            QTreeWidget* list = dialog->List();
            if (list->topLevelItemCount() != 2 || list->topLevelItem(0)->text(1) != QStringLiteral("2") ||
                list->topLevelItem(1)->text(1) != QStringLiteral("3"))
                return;
            list->setCurrentItem(list->topLevelItem(1));
            dialog->findChild<QPushButton*>(QStringLiteral("open"))->click();
        });
        // Not while the progress dialog of the last read is still up.
        QTRY_VERIFY_WITH_TIMEOUT(Available(rig, ID_FILE_DEVICE_HISTORY), 10000);
        QVERIFY(Run(rig, ID_FILE_DEVICE_HISTORY));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QCOMPARE(Libraries(rig).size(), std::size_t(1));
        CFileDoc* opened = Libraries(rig).front();
        QCOMPARE(opened->GetTitle(),
                 QStringLiteral("Device History ") + CDeviceHistoryDialog::EntryName(entries[1]));
        QVERIFY(!opened->IsModified());
        QCOMPARE(opened->Patches().GetSize(), std::size_t(USER_PATCH_COUNT));
        QVERIFY(opened->Patches()[0].GetImage() != changed);
        QVERIFY(opened->Patches()[1].GetImage() == rig.DevicePatch(1));

        // The count limit: the newest one only.
        Profile::kHistoryCount.Write(&rig.settings, 1);
        changed[41] ^= 0x01;
        rig.SetDevicePatch(0, changed);
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QCOMPARE(history.Entries().size(), std::size_t(1));
    }

    void aHistoryThatCannotBeWrittenFailsNothing() {
        // A folder that cannot be made: the read stands, and the message waits for the idle time.
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        CAppRig rig({}, false, 0, folder.filePath(QStringLiteral("file/History")));
        QVERIFY(rig.started);
        const auto buffered = RecordBuffered(rig);
        PatchImage changed = rig.DevicePatch(0);
        changed[42] ^= 0x01;
        rig.SetDevicePatch(0, changed);
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QVERIFY(rig.MainPatches()[0].GetImage() == changed);
        QVERIFY(buffered->Holds("The data read from the TQ-550 could not be kept in the device history."));
    }

    void writeChangedWritesOnlyWhatTheProcessorIsNotKnownToHold() {
        CAppRig rig;
        QVERIFY(rig.started);
        // Nothing known at first: every slot unknown, and Write Changed would write all 200.
        auto* main = qobject_cast<CImageDoc*>(rig.Main()->GetDoc());
        QCOMPARE(main->ChangedSlots().size(), std::size_t(USER_PATCH_COUNT));
        QCOMPARE(SlotState(rig, 0), int(CPatchTableModel::kSlotUnknown));
        QVERIFY(Available(rig, ID_MIDI_WRITE_CHANGED));

        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QVERIFY(main->ChangedSlots().empty());
        QCOMPARE(SlotState(rig, 199), int(CPatchTableModel::kSlotHeld));
        // Nothing to write: it says so and sends nothing.
        const auto received = rig.DeviceCount(&CTq550Emulator::ReceivedCount);
        QVERIFY(!rig.Done(rig.Main()->WriteChanged()));
        QCOMPARE(rig.DeviceCount(&CTq550Emulator::ReceivedCount), received);
        QVERIFY(rig.box->Holds("nothing was written"));

        // Three edits: their rows are marked (the list hears of it), and only their nine data sets each go.
        CPatchTableModel& model = main->Model();
        QSignalSpy cells(&model, &QAbstractItemModel::dataChanged);
        main->EditCells({150, 4, 77}, CPatchTableModel::kNameColumn,
                        {QStringLiteral("NEW 150"), QStringLiteral("NEW 4"), QStringLiteral("NEW 77")});
        QVERIFY(!cells.isEmpty());
        QCOMPARE(main->ChangedSlots(), (std::vector<int>{4, 77, 150}));
        QCOMPARE(SlotState(rig, 77), int(CPatchTableModel::kSlotChanged));
        QCOMPARE(SlotState(rig, 78), int(CPatchTableModel::kSlotHeld));
        cells.clear();
        QVERIFY(rig.Done(Run(rig, ID_MIDI_WRITE_CHANGED)));
        QCOMPARE(rig.DeviceCount(&CTq550Emulator::StoredDataSets), std::uint64_t(3 * 9));
        for (int i = 0; i < USER_PATCH_COUNT; ++i)
            QVERIFY2(rig.DevicePatch(i) == rig.MainPatches()[static_cast<std::size_t>(i)].GetImage(),
                     qPrintable(QString::number(i)));
        QVERIFY(main->ChangedSlots().empty());
        // The marks went through the model: the number cells of the written rows changed.
        const int number = CPatchTableModel::PositionOfColumnId(CPatchTableModel::kNumberColumn);
        QVERIFY(std::any_of(cells.begin(), cells.end(), [&](const QList<QVariant>& signal) {
            const auto from = signal[0].value<QModelIndex>();
            const auto to = signal[1].value<QModelIndex>();
            return from.row() <= 4 && to.row() >= 150 && from.column() <= number && to.column() >= number;
        }));

        // Undo brings the old names back: the processor holds the new ones, so those rows are changed.
        main->Undo();
        QCOMPARE(main->ChangedSlots(), (std::vector<int>{4, 77, 150}));

        // A new MIDI setup (OK): nothing is known any more. Cancel keeps what is known.
        main->RememberSlots({4, 77, 150});
        QVERIFY(main->ChangedSlots().empty());
        CDialogDriver driver;
        driver.Expect<CMidiSetupDialog>([](CMidiSetupDialog* dialog) { dialog->reject(); });
        QTRY_VERIFY_WITH_TIMEOUT(Available(rig, ID_SETUP_MIDI), 10000);
        QVERIFY(Run(rig, ID_SETUP_MIDI));
        QVERIFY(main->ChangedSlots().empty());
        driver.Expect<CMidiSetupDialog>([](CMidiSetupDialog* dialog) { dialog->accept(); });
        QVERIFY(Run(rig, ID_SETUP_MIDI));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QCOMPARE(main->ChangedSlots().size(), std::size_t(USER_PATCH_COUNT));
    }

    void aCancelledWriteForgetsTheSlotsItWasWriting() {
        CAppRig rig;
        QVERIFY(rig.started);
        auto* main = qobject_cast<CImageDoc*>(rig.Main()->GetDoc());
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        rig.ChangeMain([](CPatchArray& patches) {
            for (std::size_t i : {10u, 20u, 30u})
                patches[i].SetName("EDITED");
        });
        main->RememberSlots({20});
        QCOMPARE(main->ChangedSlots(), (std::vector<int>{10, 30}));
        rig.Main()->List().SelectIndexes({10, 20, 30});
        // Cancelled at the second patch: the first is written, the second half, the third not at all.
        CProgressBar* progress = rig.app->ProgressBar();
        CWhen cancel([progress] { return progress->isVisible() && progress->Bar()->value() >= 2; },
                     [progress] { progress->CancelButton()->click(); });
        QVERIFY(!rig.Done(rig.Main()->WritePatches(false)));
        QVERIFY(cancel.Done());
        QCOMPARE(rig.app->Jobs()->LastOutcome(), JobOutcome::Cancelled);
        // Every slot of the cancelled write is unknown now; the others are still known.
        for (int slot : {10, 20, 30})
            QCOMPARE(SlotState(rig, slot), int(CPatchTableModel::kSlotUnknown));
        QCOMPARE(main->ChangedSlots(), (std::vector<int>{10, 20, 30}));
    }

    void aProcessorUnpluggedAndPluggedInAgainIsKnownNoMore() {
        // The processor answers a Read All, then goes at the next message: the identity of a write.
        Tq550EmulatorOptions faults;
        faults.exitAfter = 1 + USER_PATCH_COUNT + 1;
        CAppRig rig(faults);
        QVERIFY(rig.started);
        auto* main = qobject_cast<CImageDoc*>(rig.Main()->GetDoc());
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QVERIFY(main->ChangedSlots().empty());
        rig.Main()->List().SelectIndexes({7});
        QVERIFY(!rig.Done(rig.Main()->WritePatches(false)));
        QVERIFY(rig.app->VirtualDevice()->Unplugged());
        // Plugged in again after its panel changed a patch: Write Changed must not take slot 5 as known.
        PatchImage edited = rig.MainPatches()[5].GetImage();
        edited[20] ^= 1;
        rig.SetDevicePatch(5, edited);
        rig.app->VirtualDevice()->Replug();
        QTRY_COMPARE_WITH_TIMEOUT(main->ChangedSlots().size(), std::size_t(USER_PATCH_COUNT), 10000);
    }

    void writeChangedChecksWhenAskedAndKeepsWhatTheProcessorReallyHolds() {
        CAppRig rig({}, true);
        QVERIFY(rig.started);
        auto* main = qobject_cast<CImageDoc*>(rig.Main()->GetDoc());
        CDialogDriver driver;
        driver.Expect<CMidiWarningDlg>([](CMidiWarningDlg* dialog) {
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        // Patch data is 7-bit on the wire: the top bit of this byte does not reach the processor.
        rig.ChangeMain([](CPatchArray& patches) {
            patches[9].PatchBlock()[100] = 0xC5;
            patches[12].SetName("EDITED");
        });
        driver.Expect<CMidiWarningDlg>([](CMidiWarningDlg* dialog) {
            dialog->findChild<QCheckBox*>(QStringLiteral("verifyAfterWriting"))->setChecked(true);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(rig.Done(rig.Main()->WriteChanged()));
        QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
        QVERIFY(rig.box->Holds("U03-2 differs from what was written."));
        // What came back is what the processor holds: patch 9 is still not there, patch 12 is.
        QCOMPARE(main->ChangedSlots(), (std::vector<int>{9}));
        QCOMPARE(SlotState(rig, 9), int(CPatchTableModel::kSlotChanged));
    }

    void theNewCommandsHaveTheirMenuItemsAndPromptsInBothLanguages() {
        const int ids[] = {ID_IMPORT_SYX,          ID_FILE_EXPORT_SYX_ALL, ID_FILE_EXPORT_SYX_SELECTED,
                           ID_FILE_DEVICE_HISTORY, ID_EDIT_COMPARE,        ID_EDIT_SELECT_DUPLICATES,
                           ID_MIDI_WRITE_CHANGED};
        std::map<int, QString> english;
        {
            CAppRig rig;
            QVERIFY(rig.started);
            for (int id : ids) {
                QAction* action = rig.app->MainFrame()->CommandAction(id);
                QVERIFY2(action, qPrintable(QString::number(id)));
                QVERIFY(!action->statusTip().isEmpty() && !action->toolTip().isEmpty());
                english[id] = action->text() + action->statusTip() + action->toolTip();
            }
            QCOMPARE(rig.app->MainFrame()->CommandAction(ID_MIDI_WRITE_CHANGED)->text(),
                     QStringLiteral("Write &Changed"));
            QCOMPARE(rig.app->MainFrame()->CommandAction(ID_EDIT_COMPARE)->toolTip(),
                     QStringLiteral("Compare"));
        }
        QTranslator japanese;
        QVERIFY(japanese.load(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/translations/tq550_ja.qm")));
        QCoreApplication::installTranslator(&japanese);
        {
            CAppRig rig;
            QVERIFY(rig.started);
            for (int id : ids) {
                QAction* action = rig.app->MainFrame()->CommandAction(id);
                const QString texts = action->text() + action->statusTip() + action->toolTip();
                QVERIFY2(texts != english[id] && !texts.contains(QStringLiteral("SysEx file")),
                         qPrintable(texts));
            }
            QCOMPARE(rig.app->MainFrame()->CommandAction(ID_MIDI_WRITE_CHANGED)->text(),
                     QString::fromUtf8("変更分を書き出し(&C)"));
            QCOMPARE(CCompareWindow::Of(rig.app->MainFrame())->windowTitle(), QString::fromUtf8("比較"));
        }
        QCoreApplication::removeTranslator(&japanese);
    }
};

QTEST_MAIN(PatchToolsTest)
#include "patch_tools_test.moc"
