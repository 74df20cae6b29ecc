// The Main and library windows: their patch lists, editing commands, temporary buttons, grid and font.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app_rig.h"
#include "gp/list/replace_string_dlg.h"
#include "model/file_document.h"
#include "settings/settings_store.h"
#include "transfer/dialog_driver.h"
#include "ui/list_appearance.h"

using namespace TQ;

namespace {

std::vector<std::string> RowTexts(CParameterListCtrl& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row)
        texts.push_back(list.GetCellText(row, column).toStdString());
    return texts;
}

// Selects the rows of these patch indexes in a view's list.
void Select(CParamView& view, const std::vector<int>& indexes) {
    view.List().SelectIndexes(indexes);
}

// A library window holding patches named prefix1, prefix2, ...
CFileDoc* LibraryWith(AppRig& rig, int count, const std::string& prefix) {
    CFileDoc* doc = rig.NewLibrary();
    doc->SetPatches(NamedPatches(static_cast<std::size_t>(count), prefix));
    return doc;
}

}  // namespace

class PatchWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void mainListNumbersItsRowsAndLibraryListsEndWithEndOfLine() {
        AppRig rig;
        CParameterListCtrl& main = rig.MainView().List();
        QCOMPARE(main.GetItemCount(), 200);
        const auto numbers = RowTexts(main, 0);
        QCOMPARE(numbers[0], std::string("U01-1"));
        QCOMPARE(numbers[3], std::string("U01-4"));
        QCOMPARE(numbers[4], std::string("U02-1"));
        QCOMPARE(numbers[199], std::string("U50-4"));

        CFileDoc* library = LibraryWith(rig, 2, "LIB");
        CParameterListCtrl& list = AppRig::ViewOf(library)->List();
        QCOMPARE(RowTexts(list, 0), (std::vector<std::string>{"1", "2", "End of Line"}));
        QCOMPARE(list.GetCellText(2, 1), QString());
        // The model behind the list keeps the rules of Qt's item models through sorting and a reset; through
        // rows inserted and removed its rows keep showing the patches they showed.
        QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.SortByColumnPosition(1);
        library->Undo();
    }

    void sortingByAColumnTurnsOnTheSecondClickAndKeepsEndOfLineLast() {
        AppRig rig;
        CFileDoc* library = rig.NewLibrary();
        library->SetPatches(PatchesNamed({"banana", "Apple", "cherry"}));
        CParameterListCtrl& list = AppRig::ViewOf(library)->List();
        QHeaderView* header = list.horizontalHeader();
        const auto clickName = [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        };
        clickName();
        QCOMPARE(RowTexts(list, 1)[0].substr(0, 5), std::string("Apple"));
        QCOMPARE(RowTexts(list, 0), (std::vector<std::string>{"2", "1", "3", "End of Line"}));
        clickName();
        QCOMPARE(RowTexts(list, 0), (std::vector<std::string>{"3", "1", "2", "End of Line"}));
        clickName();
        QCOMPARE(RowTexts(list, 0), (std::vector<std::string>{"2", "1", "3", "End of Line"}));
        // The patches keep their order; only rows move.
        QCOMPARE(NamesOf(library->Patches()), (std::vector<std::string>{"banana", "Apple", "cherry"}));
    }

    void replaceRepeatsTheClipboardAndInsertAtEndOfLineAppends() {
        AppRig rig;
        CFileDoc* source = LibraryWith(rig, 3, "C");
        CParamView* sourceView = AppRig::ViewOf(source);
        rig.Activate(source);
        Select(*sourceView, {0, 1, 2});
        QVERIFY(rig.Command(ID_EDIT_COPY));

        CFileDoc* target = LibraryWith(rig, 8, "T");
        CParamView* view = AppRig::ViewOf(target);
        rig.Activate(target);
        Select(*view, {0, 1, 2, 3, 4, 5, 6});
        QVERIFY(rig.Command(ID_EDIT_REPLACE));
        QCOMPARE(NamesOf(target->Patches()),
                 (std::vector<std::string>{"C1", "C2", "C3", "C1", "C2", "C3", "C1", "T8"}));
        QVERIFY(target->IsModified());
        QCOMPARE(rig.Frame().MDIGetActiveWindow()->windowTitle(), QStringLiteral("Untitled *"));

        // Insert with End of Line selected appends and selects what it appended.
        view->List().ClearAllSelection();
        view->List().SetItemSelected(view->List().GetItemCount() - 1, true);
        QVERIFY(!rig.Available(ID_EDIT_CUT));
        QVERIFY(!rig.Available(ID_EDIT_REPLACE));
        QVERIFY(rig.Command(ID_EDIT_INSERT));
        QCOMPARE(target->Patches().GetSize(), std::size_t(11));
        QCOMPARE(NamesOf(target->Patches()).back(), std::string("C3"));
        QCOMPARE(view->List().SelectedIndexes(), (std::vector<int>{8, 9, 10}));
    }

    void theMainWindowKeepsTwoHundredPatchesThroughDeleteCutAndInsert() {
        AppRig rig;
        CDoc& main = rig.MainDoc();
        main.SetPatches(NamedPatches(200, "P"));
        rig.Activate(&main);

        // Delete of U01-1 to U01-4 moves every patch four places up and appends four initial patches.
        Select(rig.MainView(), {0, 1, 2, 3});
        QVERIFY(rig.Command(ID_EDIT_DELETE));
        QCOMPARE(main.Patches().GetSize(), std::size_t(200));
        QCOMPARE(NamesOf(main.Patches())[0], std::string("P5"));
        QCOMPARE(NamesOf(main.Patches())[195], std::string("P200"));
        QCOMPARE(NamesOf(main.Patches())[196], std::string("INIT PATCH"));
        QCOMPARE(NamesOf(main.Patches())[199], std::string("INIT PATCH"));

        // Undo brings them back; a second Undo returns to the state after the delete.
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(NamesOf(main.Patches())[0], std::string("P1"));
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(NamesOf(main.Patches())[0], std::string("P5"));
        QVERIFY(rig.Command(ID_EDIT_UNDO));

        // Insert of three clipboard patches with U50-3 selected: two fit, the rest is pushed out.
        Select(rig.MainView(), {10, 11, 12});
        QVERIFY(rig.Command(ID_EDIT_COPY));
        Select(rig.MainView(), {198});
        QVERIFY(rig.Command(ID_EDIT_INSERT));
        QCOMPARE(main.Patches().GetSize(), std::size_t(200));
        QCOMPARE(NamesOf(main.Patches())[198], std::string("P11"));
        QCOMPARE(NamesOf(main.Patches())[199], std::string("P12"));
        QCOMPARE(rig.MainView().List().SelectedIndexes(), (std::vector<int>{198, 199}));
        // Nothing lost for good: Undo brings back the patches pushed off the end.
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(NamesOf(main.Patches())[198], std::string("P199"));
        QCOMPARE(NamesOf(main.Patches())[199], std::string("P200"));

        // Cut closes the gap and keeps 200; the Main window is never modified.
        Select(rig.MainView(), {0});
        QVERIFY(rig.Command(ID_EDIT_CUT));
        QCOMPARE(main.Patches().GetSize(), std::size_t(200));
        QCOMPARE(NamesOf(rig.Context().Clipboard().Patches()), std::vector<std::string>{"P1"});
        QVERIFY(!main.IsModified());
        QVERIFY(!rig.Available(GP::ID_FILE_SAVE));
        QVERIFY(!rig.Available(GP::ID_FILE_CLOSE));
    }

    void exchangeAndItsAvailability() {
        AppRig rig;
        CFileDoc* library = LibraryWith(rig, 3, "X");
        CParamView* view = AppRig::ViewOf(library);
        rig.Activate(library);
        Select(*view, {0});
        QVERIFY(!rig.Available(ID_EDIT_EXCHANGE));
        // End of Line as the second of two selected rows: unavailable.
        view->List().SetItemSelected(3, true);
        QVERIFY(!rig.Available(ID_EDIT_EXCHANGE));
        Select(*view, {0, 2});
        QVERIFY(rig.Command(ID_EDIT_EXCHANGE));
        QCOMPARE(NamesOf(library->Patches()), (std::vector<std::string>{"X3", "X2", "X1"}));
        QCOMPARE(view->List().SelectedIndexes(), (std::vector<int>{0, 2}));
    }

    void duplicateOfTheMainWindowOpensAModifiedLibraryOfAllItsPatches() {
        AppRig rig;
        rig.MainDoc().SetPatches(NamedPatches(200, "M"));
        rig.Activate(&rig.MainDoc());
        QVERIFY(rig.Command(ID_FILE_DUPLICATE));
        auto* copy = qobject_cast<CFileDoc*>(rig.Frame().MDIGetActive()->GetActiveDocument());
        QVERIFY(copy);
        QCOMPARE(copy->Patches().GetSize(), std::size_t(200));
        QCOMPARE(NamesOf(copy->Patches())[199], std::string("M200"));
        QVERIFY(copy->IsModified());
        QCOMPARE(rig.Frame().MDIGetActiveWindow()->windowTitle(), QStringLiteral("Untitled *"));
        // A deep copy: changing the library leaves the Main window alone.
        copy->EditCells({0}, CPatchTableModel::kNameColumn, {QStringLiteral("CHANGED")});
        QCOMPARE(NamesOf(rig.MainDoc().Patches())[0], std::string("M1"));
    }

    void inPlaceEditsFollowTheNameRuleAndCanBeUndone() {
        AppRig rig;
        CFileDoc* library = LibraryWith(rig, 2, "E");
        CParamView* view = AppRig::ViewOf(library);
        view->parentWidget()->resize(700, 400);
        QApplication::processEvents();
        CParameterListCtrl& list = view->List();
        QCOMPARE(rig.Frame().MDIGetActiveWindow()->windowTitle(), QStringLiteral("Untitled "));
        Select(*view, {0});
        QVERIFY(list.BeginEdit(0, 1));
        qobject_cast<QLineEdit*>(list.GetActiveEditor()->Window())
            ->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        QVERIFY(list.EndEdit(true));
        QCOMPARE(library->Patches()[0].GetName(), std::string("ABCDEFGHIJKLMNOP"));
        QVERIFY(library->IsModified());
        list.SetCellValue(0, 1, QString::fromUtf8("a\tb\xC3\xA9~"));
        QCOMPARE(library->Patches()[0].GetName(), std::string("a b ~           "));

        // A committed edit takes an undo copy first.
        Select(*view, {1});
        QVERIFY(list.BeginEdit(1, 2));
        auto* editor = qobject_cast<QLineEdit*>(list.GetActiveEditor()->Window());
        QVERIFY(editor);
        editor->setText(QStringLiteral("first memo"));
        QVERIFY(list.EndEdit(true));
        QCOMPARE(library->Patches()[1].GetMemo(0), std::string("first memo"));
        rig.Activate(library);
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(library->Patches()[1].GetMemo(0), std::string(""));
        // End of Line cannot be edited.
        Select(*view, {});
        list.SetItemSelected(2, true);
        QVERIFY(!list.BeginEdit(2, 1));
    }

    void replaceStringIsOneEditThatCanBeUndoneAndMarksTheLibraryModified() {
        AppRig rig;
        CFileDoc* library = rig.NewLibrary();
        library->SetPatches(PatchesNamed({"AA", "BB", "CC"}));
        CParamView* view = AppRig::ViewOf(library);
        view->parentWidget()->resize(700, 400);
        rig.Activate(library);
        CParameterListCtrl& list = view->List();
        list.SortByColumnPosition(1);
        // An in-place edit of a memo first, of the first row: the replacement below must not take that row
        // for the end of its own edit and re-sort in the middle of it.
        Select(*view, {0});
        QVERIFY(list.BeginEdit(0, 2));
        qobject_cast<QLineEdit*>(list.GetActiveEditor()->Window())->setText(QStringLiteral("memo"));
        QVERIFY(list.EndEdit(true));
        library->SetModifiedFlag(false);

        Select(*view, {0, 1, 2});
        list.SetCurrentColumn(1);
        list.setFocus();
        QVERIFY(!rig.Available(ID_EDIT_REPLACE));  // Ctrl+R is the list's: the clipboard is empty
        CDialogDriver driver;
        driver.Expect<GP::CReplaceStringDlg>([](GP::CReplaceStringDlg* dialog) {
            dialog->SetStrings(QStringLiteral("A"), QStringLiteral("Z"));
            dialog->accept();
        });
        QTest::keyClick(&list, Qt::Key_R, Qt::ControlModifier);
        QVERIFY2(driver.Failures().isEmpty(), qPrintable(driver.Failures().join(QLatin1Char('\n'))));
        QCOMPARE(NamesOf(library->Patches()), (std::vector<std::string>{"ZZ", "BB", "CC"}));
        QCOMPARE(RowTexts(list, 1)[2].substr(0, 2), std::string("ZZ"));  // sorted once, at the end
        QCOMPARE(list.SelectedIndexes(), (std::vector<int>{1, 2, 0}));
        QVERIFY(library->IsModified());
        // One undo copy for the whole replacement: Undo gives back the names and keeps the memo edit.
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(NamesOf(library->Patches()), (std::vector<std::string>{"AA", "BB", "CC"}));
        QCOMPARE(library->Patches()[0].GetMemo(0), std::string("memo"));
    }

    void theMainWindowsSelectedButtonsFollowTheSelectionWhateverClearsIt() {
        AppRig rig;
        CImageView& main = rig.MainView();
        rig.Activate(main.GetDoc());
        auto* readSelected = main.findChild<QPushButton*>(QStringLiteral("readSelected"));
        auto* writeSelected = main.findChild<QPushButton*>(QStringLiteral("writeSelected"));
        QVERIFY(readSelected && writeSelected);
        QVERIFY(!readSelected->isEnabled() && !writeSelected->isEnabled());
        for (int command : {ID_EDIT_CUT, ID_EDIT_DELETE, ID_EDIT_UNDO}) {
            Select(main, {3, 4});
            QVERIFY(readSelected->isEnabled() && writeSelected->isEnabled());
            QVERIFY(rig.Command(command));
            QVERIFY2(main.List().GetSelectedCount() == 0, qPrintable(QString::number(command)));
            QVERIFY2(!readSelected->isEnabled() && !writeSelected->isEnabled(),
                     qPrintable(QString::number(command)));
        }
    }

    void memosFromALegacyJapaneseSystemShowAndSaveUnchanged() {
        CAppOptions japanese = AppRig::Defaults();
        japanese.language = 1;  // the memos of a Japanese system: Shift-JIS when not UTF-8
        AppRig rig(japanese);
        QTemporaryDir dir;
        const std::string shiftJis("\x83\x65\x83\x58\x83\x67 memo", 11);  // テスト in Shift-JIS
        {
            CFileDocument file;
            file.Patches().Resize(1);
            file.Patches()[0].SetMemo(2, shiftJis);
            QVERIFY(file.Save(ToFilePath(dir.filePath(QStringLiteral("sjis.tql")))));
        }
        auto* doc =
            qobject_cast<CFileDoc*>(rig.app->OpenDocumentFile(dir.filePath(QStringLiteral("sjis.tql"))));
        QVERIFY(doc);
        CParameterListCtrl& list = AppRig::ViewOf(doc)->List();
        QCOMPARE(list.GetCellText(0, 4), QString::fromUtf8("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 memo"));
        // Saved without editing: the same bytes.
        QVERIFY(doc->OnSaveDocument(dir.filePath(QStringLiteral("again.tql"))));
        CFileDocument again;
        QVERIFY(again.Load(ToFilePath(dir.filePath(QStringLiteral("again.tql")))));
        QCOMPARE(again.Patches()[0].GetMemo(2), shiftJis);
        // An edited memo whose characters fit goes back to Shift-JIS; others are stored as UTF-8.
        list.SetCellValue(0, 4, QString::fromUtf8("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 memo"));
        QCOMPARE(doc->Patches()[0].GetMemo(2), shiftJis);
        list.SetCellValue(0, 4, QString::fromUtf8("\xF0\x9F\x8E\xB8"));
        QCOMPARE(doc->Patches()[0].GetMemo(2), std::string("\xF0\x9F\x8E\xB8"));
    }

    void temporaryButtonsFollowTheVisibleRows() {
        AppRig rig;
        CFileDoc* library = LibraryWith(rig, 3, "B");
        CParamView* view = AppRig::ViewOf(library);
        view->parentWidget()->resize(700, 600);
        QApplication::processEvents();
        // Three patches on a page of more rows: three pairs, none for End of Line.
        QCOMPARE(view->TemporaryButtonCount(), 3);

        library->SetPatches(NamedPatches(60, "T"));
        QApplication::processEvents();
        const int page = view->List().GetCountPerPage();
        QCOMPARE(view->TemporaryButtonCount(), std::min(page, 60));
        // Scrolled to the end, fewer rows are left; back at the top, the pairs come back.
        view->List().verticalScrollBar()->setValue(view->List().verticalScrollBar()->maximum());
        QApplication::processEvents();
        const int atEnd = view->TemporaryButtonCount();
        QCOMPARE(atEnd, 61 - view->List().GetTopIndex() - 1);
        view->List().verticalScrollBar()->setValue(0);
        QApplication::processEvents();
        QCOMPARE(view->TemporaryButtonCount(), std::min(page, 60));
        // Each pair sits beside its row: the write button right of the read button, left of the list.
        QPushButton* write = view->TemporaryWriteButton(0);
        QPushButton* read = view->TemporaryReadButton(0);
        QVERIFY(write && read);
        QVERIFY(read->geometry().right() < write->geometry().left());
        QVERIFY(write->geometry().right() < view->List().mapTo(view->Form(), QPoint(0, 0)).x());
        // Without a set-up MIDI system, a transfer says so instead of failing quietly.
        rig.settings.WriteInt("Option", "WriteTemporary", 1);
        view->OnTemporaryWrite(0);
        QTRY_COMPARE(rig.box->texts.size(), std::size_t(1));
        QVERIFY(rig.box->texts[0].find("MIDI devices aren't set up correctly.") == 0);
    }

    void gridAndFontApplyToEveryListAndKeepColumnWidths() {
        AppRig rig;
        CFileDoc* library = LibraryWith(rig, 2, "G");
        QVERIFY(!rig.MainView().List().HasGridLines());
        // One change of the appearance, and every list follows.
        rig.Context().Appearance().SetGridSwitch(1);
        QVERIFY(rig.MainView().List().HasGridLines());
        QVERIFY(AppRig::ViewOf(library)->List().HasGridLines());
        // A list opened later has them too.
        QVERIFY(AppRig::ViewOf(rig.NewLibrary())->List().HasGridLines());

        // Every list keeps its column widths through a new font, and takes the font.
        CParameterListCtrl& list = rig.MainView().List();
        for (GP::CDocument* document : rig.app->DocManager()->GetDocuments()) {
            AppRig::ViewOf(document)->List().SetColumnWidth(1, 173);
            AppRig::ViewOf(document)->List().SetColumnWidth(3, 41);
        }
        QFont font = list.font();
        font.setPointSize(font.pointSize() + 5);
        rig.Context().Appearance().SetFont(font);
        for (GP::CDocument* document : rig.app->DocManager()->GetDocuments()) {
            const CParameterListCtrl& each = AppRig::ViewOf(document)->List();
            QCOMPARE(each.GetColumnWidth(1), 173);
            QCOMPARE(each.GetColumnWidth(3), 41);
            QCOMPARE(each.font().pointSize(), font.pointSize());
        }
        // Widths are kept under "PatchListCtrl"; a shorter stored text sizes the rest to their headers.
        QVERIFY(rig.settings.GetString("PatchListCtrl", "ColumnWidth", "").find(",173,") !=
                std::string::npos);
        rig.settings.WriteString("PatchListCtrl", "ColumnWidth", "50,60");
        list.SetupColumns();
        QCOMPARE(list.GetColumnWidth(0), 50);
        QCOMPARE(list.GetColumnWidth(1), 60);
        QCOMPARE(list.GetColumnWidth(4), list.HeaderFitWidth(4));
    }

    void droppedPatchesAreInsertedInALibraryAndReplaceInTheMainWindow() {
        AppRig rig;
        CFileDoc* source = LibraryWith(rig, 3, "S");
        CPatchArray dropped;
        const QByteArray bytes = CPatchListCtrl::EncodePatches(source->Patches(), {0, 2});
        QVERIFY(CPatchListCtrl::DecodePatches(bytes, dropped));
        QCOMPARE(NamesOf(dropped), (std::vector<std::string>{"S1", "S3"}));
        // Damaged drag data is refused whole.
        CPatchArray refused;
        QVERIFY(!CPatchListCtrl::DecodePatches(bytes.left(bytes.size() - 5), refused));
        QVERIFY(refused.IsEmpty());

        CFileDoc* target = LibraryWith(rig, 2, "T");
        CParamView* view = AppRig::ViewOf(target);
        view->List().DropPatches(dropped, 1);
        QCOMPARE(NamesOf(target->Patches()), (std::vector<std::string>{"T1", "S1", "S3", "T2"}));
        QVERIFY(target->IsModified());
        QCOMPARE(NamesOf(source->Patches()), (std::vector<std::string>{"S1", "S2", "S3"}));
        rig.Activate(target);
        QVERIFY(rig.Command(ID_EDIT_UNDO));
        QCOMPARE(NamesOf(target->Patches()), (std::vector<std::string>{"T1", "T2"}));

        // The Main window: replaced from the drop row on, still 200.
        rig.MainDoc().SetPatches(NamedPatches(200, "M"));
        rig.MainView().List().DropPatches(dropped, 199);
        QCOMPARE(rig.MainDoc().Patches().GetSize(), std::size_t(200));
        QCOMPARE(NamesOf(rig.MainDoc().Patches())[198], std::string("M199"));
        QCOMPARE(NamesOf(rig.MainDoc().Patches())[199], std::string("S1"));
    }

    void findSelectsEveryMatchingPatch() {
        AppRig rig;
        CFileDoc* library = LibraryWith(rig, 5, "F");
        library->SetPatches(Changed(library->Patches(), [](CPatchArray& patches) {
            patches[1].SetMemo(3, "Crunchy lead");
            patches[4].SetName("LEAD TONE");
        }));
        CPatchListCtrl& list = AppRig::ViewOf(library)->List();
        QCOMPARE(list.FindText(QStringLiteral("lead")), 2);
        QCOMPARE(list.SelectedIndexes(), (std::vector<int>{1, 4}));
        rig.Activate(library);
        QVERIFY(rig.Command(ID_EDIT_COPY));
        QCOMPARE(NamesOf(rig.Context().Clipboard().Patches()), (std::vector<std::string>{"F2", "LEAD TONE"}));
        QCOMPARE(list.FindText(QStringLiteral("nothing")), 0);
        QVERIFY(list.SelectedIndexes().empty());
    }
};

QTEST_MAIN(PatchWindowsTest)
#include "patch_windows_test.moc"
