#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "gp/list/edit_list_ctrl.h"
#include "gp/list/popup_combo_box.h"
#include "gp/list/popup_edit.h"
#include "gp/list/popup_spin_edit.h"
#include "gp/list/spin_edit_button.h"

using GP::CEditListCtrl;

namespace {

enum DemoColumn { COL_NUMBER = 0, COL_NAME = 1, COL_KIND = 2, COL_LEVEL = 3 };

// A small list: a fixed number column, an editable name, a kind chosen from a list and a level 0 to 100
// stepped by 10.
class CDemoList : public CEditListCtrl {
  public:
    struct Row {
        QString name;
        QString kind;
        double level;
    };

    explicit CDemoList(int rows) {
        for (int i = 0; i < rows; ++i)
            data.push_back({QStringLiteral("Row %1").arg(i), QStringLiteral("Clean"), 50});
        SELVColumn number;
        number.flags = SELVColumn::ALIGN_RIGHT | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_WHOLE;
        number.maximum = 127;
        InsertColumn(COL_NUMBER, {QStringLiteral("No."), 50}, number);
        SELVColumn name;
        name.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_TEXT;
        InsertColumn(COL_NAME, {QStringLiteral("Name"), 120}, name);
        SELVColumn kind;
        kind.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_LIST;
        kind.items = {QStringLiteral("Clean"), QStringLiteral("Crunch"), QStringLiteral("Lead")};
        InsertColumn(COL_KIND, {QStringLiteral("Kind"), 100}, kind);
        SELVColumn level;
        level.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_WHOLE |
                      SELVColumn::ALIGN_RIGHT;
        level.minimum = 0;
        level.maximum = 100;
        level.stepExponent = 1;
        InsertColumn(COL_LEVEL, {QStringLiteral("Level"), 80}, level);
        SetItemCount(rows);
    }

    QString GetCellText(int row, int column) const override {
        const Row& r = data.at(static_cast<std::size_t>(GetItemData(row)));
        switch (column) {
            case COL_NUMBER:
                return QString::number(GetItemData(row) + 1);
            case COL_NAME:
                return r.name;
            case COL_KIND:
                return r.kind;
            default:
                return QString::number(r.level);
        }
    }
    double GetCellNumber(int row, int column) const override {
        return column == COL_LEVEL ? data.at(static_cast<std::size_t>(GetItemData(row))).level : row + 1;
    }
    void SetCellValue(int row, int column, const QVariant& value) override {
        Row& r = data.at(static_cast<std::size_t>(GetItemData(row)));
        if (column == COL_NAME) r.name = value.toString();
        if (column == COL_KIND) r.kind = value.toString();
        if (column == COL_LEVEL) r.level = value.toDouble();
        stored.push_back(row);
    }
    bool ValidateCellValue(int row, int column, const QVariant& value) const override {
        if (column == COL_NAME && value.toString() == refusedName && row == refusedRow) return false;
        return CEditListCtrl::ValidateCellValue(row, column, value);
    }
    bool AskReplaceStrings(QString& search, QString& replace) override {
        askedSearch = search;
        search = nextSearch;
        replace = nextReplace;
        return true;
    }

    std::vector<Row> data;
    std::vector<int> stored;
    QString refusedName;
    int refusedRow = -1;
    QString nextSearch;
    QString nextReplace;
    QString askedSearch;
};

void SelectRows(CEditListCtrl& list, std::initializer_list<int> rows) {
    list.ClearAllSelection();
    for (int row : rows)
        list.SetItemSelected(row, true);
}

// Makes the list show exactly `rows` whole rows.
void ShowRows(CEditListCtrl& list, int rows) {
    const int rowHeight = list.verticalHeader()->defaultSectionSize();
    const int chrome = list.height() - list.viewport()->height();
    list.resize(420, chrome + rows * rowHeight + rowHeight / 2);
    QCoreApplication::processEvents();
}

QWidget* EditorWidget(CEditListCtrl& list, int row) {
    GP::IPopup* popup = list.GetEditor(row);
    return popup ? popup->Window() : nullptr;
}

QPoint CellCenter(CEditListCtrl& list, int row, int column) {
    return list.visualRect(list.model()->index(row, column)).center();
}

}  // namespace

class EditListCtrlTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<CDemoList> MakeList(int rows = 20, int visible = 8) {
        auto list = std::make_unique<CDemoList>(rows);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(list.get());
        ShowRows(*list, visible);
        list->activateWindow();
        return list;
    }

  private slots:
    void editorsOnlyOnVisiblePageButEveryRowCommitted() {
        auto list = MakeList();
        QCOMPARE(list->GetTopIndex(), 0);
        QCOMPARE(list->GetCountPerPage(), 8);
        SelectRows(*list, {2, 5, 9});
        QSignalSpy begins(list.get(), &CEditListCtrl::beginLabelEdit);
        QSignalSpy ends(list.get(), &CEditListCtrl::endLabelEdit);

        QVERIFY(list->BeginEdit(5, COL_NAME));
        QCOMPARE(list->GetEditorCount(), 2);
        QVERIFY(EditorWidget(*list, 2));
        QVERIFY(EditorWidget(*list, 5));
        QVERIFY(!EditorWidget(*list, 9));
        QCOMPARE(list->GetActiveEditor(), list->GetEditor(5));
        QCOMPARE(begins.count(), 3);
        QCOMPARE(begins.at(2).at(0).toInt(), 9);
        QCOMPARE(begins.at(2).at(2).toString(), QStringLiteral("Row 9"));
        QCOMPARE(begins.at(2).at(3).toInt(), 1);

        QTest::keyClicks(EditorWidget(*list, 5), QStringLiteral("Amp"));
        QTest::keyClick(EditorWidget(*list, 5), Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[2].name, QStringLiteral("Amp"));
        QCOMPARE(list->data[5].name, QStringLiteral("Amp"));
        QCOMPARE(list->data[9].name, QStringLiteral("Amp"));
        QCOMPARE(list->data[3].name, QStringLiteral("Row 3"));
        QCOMPARE(list->stored, (std::vector<int>{2, 5, 9}));
        QCOMPARE(ends.count(), 3);
        for (const auto& end : ends) {
            QCOMPARE(end.at(2).toString(), QStringLiteral("Amp"));
            QCOMPARE(end.at(3).toInt(), 1);
        }
    }

    void typingIsMirroredIntoEveryEditor() {
        auto list = MakeList();
        SelectRows(*list, {1, 3, 4});
        QVERIFY(list->BeginEdit(3, COL_NAME));
        auto* active = qobject_cast<QLineEdit*>(EditorWidget(*list, 3));
        QVERIFY(active);
        const QString typed = QStringLiteral("Lead 7");
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(active, typed.at(i).toLatin1());
            for (int row : {1, 3, 4})
                QCOMPARE(qobject_cast<QLineEdit*>(EditorWidget(*list, row))->text(), typed.left(i + 1));
        }
        // A click on another editor makes it the active one; typing there is mirrored back.
        QWidget* other = EditorWidget(*list, 1);
        QTest::mouseClick(other, Qt::LeftButton);
        QVERIFY(list->IsEditing());
        QCOMPARE(list->GetActiveEditor(), list->GetEditor(1));
        QTest::keyClick(other, Qt::Key_Backspace);
        QCOMPARE(active->text(), QStringLiteral("Lead "));
    }

    void dropDownChoiceIsMirroredAndCommitted() {
        auto list = MakeList();
        SelectRows(*list, {0, 1});
        QVERIFY(list->BeginEdit(0, COL_KIND));
        auto* combo = qobject_cast<GP::CPopupComboBox*>(EditorWidget(*list, 0));
        QVERIFY(combo);
        QCOMPARE(combo->Text(), QStringLiteral("Clean"));
        QTest::keyClick(combo, Qt::Key_Down);  // a confirmed choice in a closed list
        QCOMPARE(combo->Text(), QStringLiteral("Crunch"));
        QCOMPARE(qobject_cast<QComboBox*>(EditorWidget(*list, 1))->currentText(), QStringLiteral("Crunch"));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(list->data[0].kind, QStringLiteral("Crunch"));
        QCOMPARE(list->data[1].kind, QStringLiteral("Crunch"));
    }

    void spinStepRefusedWhenAnyRowLeavesTheRange() {
        auto list = MakeList(100, 8);
        list->data[3].level = 10;
        list->data[95].level = 95;
        SelectRows(*list, {3, 95});
        QVERIFY(list->BeginEdit(3, COL_LEVEL));
        QCOMPARE(list->GetEditorCount(), 1);  // row 95 lies outside the page
        auto* spin = qobject_cast<GP::CPopupSpinEdit*>(EditorWidget(*list, 3));
        QVERIFY(spin);
        QCOMPARE(spin->Value(), 10.0);

        QTest::keyPress(spin, Qt::Key_Up);  // +10 would make 105 in row 95
        QTest::keyRelease(spin, Qt::Key_Up);
        QCOMPARE(spin->Value(), 10.0);
        QCOMPARE(spin->Mode(), int(GP::CSpinEdit::SPIN_IDLE));

        QTest::keyPress(spin, Qt::Key_Down);
        QTest::keyRelease(spin, Qt::Key_Down);
        QCOMPARE(spin->Value(), 0.0);
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[3].level, 0.0);
        QCOMPARE(list->data[95].level, 85.0);
    }

    void spinStepMovesEveryEditorByTheSameDelta() {
        auto list = MakeList();
        list->data[0].level = 20;
        list->data[2].level = 70;
        SelectRows(*list, {0, 2});
        QVERIFY(list->BeginEdit(0, COL_LEVEL));
        auto* first = qobject_cast<GP::CPopupSpinEdit*>(EditorWidget(*list, 0));
        auto* second = qobject_cast<GP::CPopupSpinEdit*>(EditorWidget(*list, 2));
        QVERIFY(first->Step(true));
        QCOMPARE(first->Value(), 30.0);
        QCOMPARE(second->Value(), 80.0);
        // Ctrl+End jumps to the maximum; as a typed value it is the same in every row.
        QTest::keyClick(first, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(first->Text(), QStringLiteral("100"));
        QCOMPARE(second->Text(), QStringLiteral("100"));
        QVERIFY(list->EndEdit(true));
        QCOMPARE(list->data[0].level, 100.0);
        QCOMPARE(list->data[2].level, 100.0);
    }

    void typedNumberOutOfRangeKeepsEditing() {
        auto list = MakeList();
        SelectRows(*list, {1});
        QVERIFY(list->BeginEdit(1, COL_LEVEL));
        QWidget* spin = EditorWidget(*list, 1);
        QTest::keyClicks(spin, QStringLiteral("250"));
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(list->IsEditing());
        QCOMPARE(list->data[1].level, 50.0);
        QTest::keyClick(spin, Qt::Key_Backspace);     // "25"
        QTest::keyClicks(spin, QStringLiteral("x"));  // not a number at all
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(list->IsEditing());
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[1].level, 25.0);
    }

    void enterWithoutChangeReportsCancel() {
        auto list = MakeList();
        SelectRows(*list, {4, 6});
        QSignalSpy ends(list.get(), &CEditListCtrl::endLabelEdit);
        QVERIFY(list->BeginEdit(4, COL_NAME));
        QTest::keyClick(EditorWidget(*list, 4), Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        QVERIFY(list->stored.empty());
        QCOMPARE(ends.count(), 2);
        for (const auto& end : ends) {
            QCOMPARE(end.at(3).toInt(), 2);
            QVERIFY(end.at(2).toString().isEmpty());
        }
    }

    void validationOfAnyRowRefusesTheWholeCommit() {
        auto list = MakeList();
        list->refusedName = QStringLiteral("bad");
        list->refusedRow = 12;  // outside the page
        SelectRows(*list, {1, 12});
        QVERIFY(list->BeginEdit(1, COL_NAME));
        QWidget* editor = EditorWidget(*list, 1);
        QTest::keyClicks(editor, QStringLiteral("bad"));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(list->IsEditing());
        QVERIFY(list->stored.empty());
        // A left press outside cannot end it either: the press is swallowed.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, CellCenter(*list, 6, COL_NAME));
        QVERIFY(list->IsEditing());
        QVERIFY(!list->IsItemSelected(6));
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[1].name, QStringLiteral("Row 1"));
    }

    void pressesOutsideTheEditorsEndEditing() {
        auto list = MakeList();
        SelectRows(*list, {2});
        QSignalSpy ends(list.get(), &CEditListCtrl::endLabelEdit);
        QVERIFY(list->BeginEdit(2, COL_NAME));
        QTest::keyClicks(EditorWidget(*list, 2), QStringLiteral("zz"));
        // Right press outside: cancelled although modified.
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, CellCenter(*list, 6, COL_NAME));
        QVERIFY(!list->IsEditing());
        QCOMPARE(ends.count(), 1);
        QCOMPARE(ends.at(0).at(3).toInt(), 2);
        QCOMPARE(list->data[2].name, QStringLiteral("Row 2"));
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, CellCenter(*list, 6, COL_NAME));

        // Left press outside: a modified edit is committed, then the press selects its row.
        QVERIFY(list->BeginEdit(2, COL_NAME));
        QTest::keyClicks(EditorWidget(*list, 2), QStringLiteral("yy"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCenter(*list, 6, COL_NAME));
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[2].name, QStringLiteral("yy"));
        QCOMPARE(list->GetSelectedRows(), std::vector<int>{6});
    }

    void rightPressOnSelectedRowStartsEditingThere() {
        auto list = MakeList();
        SelectRows(*list, {1, 3});
        QSignalSpy rightClicks(list.get(), &CEditListCtrl::listRightClicked);
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, CellCenter(*list, 3, COL_KIND));
        QVERIFY(list->IsEditing());
        QCOMPARE(list->GetCurrentColumn(), int(COL_KIND));
        QCOMPARE(list->GetActiveEditor(), list->GetEditor(3));
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, CellCenter(*list, 3, COL_KIND));
        QCOMPARE(rightClicks.count(), 1);
        QTest::keyClick(EditorWidget(*list, 3), Qt::Key_Escape);
        QVERIFY(!list->IsEditing());
    }

    void onlyOneListEditsAtATime() {
        auto first = MakeList();
        auto second = MakeList();
        SelectRows(*first, {0});
        SelectRows(*second, {1});
        QSignalSpy firstEnds(first.get(), &CEditListCtrl::endLabelEdit);
        QVERIFY(first->BeginEdit(0, COL_NAME));
        QCOMPARE(CEditListCtrl::EditedControl(), first.get());
        QTest::keyClicks(EditorWidget(*first, 0), QStringLiteral("zz"));
        QVERIFY(second->BeginEdit(1, COL_NAME));
        QVERIFY(!first->IsEditing());
        QCOMPARE(firstEnds.count(), 1);
        QCOMPARE(firstEnds.at(0).at(3).toInt(), 2);
        QCOMPARE(CEditListCtrl::EditedControl(), second.get());
        // A list going away while it edits leaves no edited control behind.
        second.reset();
        QCOMPARE(CEditListCtrl::EditedControl(), nullptr);
    }

    void refusedReplaceAppliesNothing() {
        auto list = MakeList();
        list->refusedName = QStringLiteral("bad");
        list->refusedRow = 2;
        SelectRows(*list, {1, 2});
        list->nextSearch = QString();
        list->nextReplace = QStringLiteral("bad");
        QSignalSpy ends(list.get(), &CEditListCtrl::endLabelEdit);
        list->ReplaceString(COL_NAME);
        QVERIFY(list->stored.empty());
        QCOMPARE(ends.count(), 2);
        QCOMPARE(ends.at(0).at(3).toInt(), 2);
    }

    void scrollingCancelsEditing() {
        auto list = MakeList(40, 8);
        SelectRows(*list, {0});
        QVERIFY(list->BeginEdit(0, COL_NAME));
        QTest::keyClicks(EditorWidget(*list, 0), QStringLiteral("q"));
        list->verticalScrollBar()->setValue(5);
        QVERIFY(!list->IsEditing());
        QCOMPARE(list->data[0].name, QStringLiteral("Row 0"));
    }

    void longTextIsShortenedWithEllipsis() {
        auto list = MakeList();
        list->SetColumnWidth(COL_NAME, 100);
        list->data[0].name = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
        const QString shown = list->CellDisplayText(0, COL_NAME);
        QVERIFY(shown.endsWith(QStringLiteral("...")));
        QVERIFY(shown.size() < 30 + 3);
        const QFontMetrics metrics(list->font());
        const int room = 100 - 2 * metrics.horizontalAdvance(QLatin1Char(' '));
        QVERIFY(metrics.horizontalAdvance(shown) <= room);
        // One more character would not fit.
        const QString longer = list->data[0].name.left(shown.size() - 3 + 1) + QStringLiteral("...");
        QVERIFY(metrics.horizontalAdvance(longer) > room);
        QVERIFY(list->data[0].name.startsWith(shown.chopped(3)));
        // Short text stays as it is.
        QCOMPARE(list->CellDisplayText(1, COL_NAME), QStringLiteral("Row 1"));
        QCOMPARE(CEditListCtrl::ShortenText(QStringLiteral("abc"), metrics, 0), QStringLiteral("..."));
    }

    void currentColumnFollowsTheKeys() {
        auto list = MakeList();
        auto header = [&](int column) {
            return list->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        };
        QCOMPARE(list->GetCurrentColumn(), -1);
        QTest::keyClick(list.get(), Qt::Key_Right);
        QCOMPARE(list->GetCurrentColumn(), int(COL_NAME));  // the number column cannot be current
        QCOMPARE(header(COL_NAME), QStringLiteral("*Name"));
        QTest::keyClick(list.get(), 'l');
        QCOMPARE(list->GetCurrentColumn(), int(COL_KIND));
        QCOMPARE(header(COL_NAME), QStringLiteral("Name"));
        QTest::keyClick(list.get(), Qt::Key_Right);
        QTest::keyClick(list.get(), Qt::Key_Right);  // no wrap-around
        QCOMPARE(list->GetCurrentColumn(), int(COL_LEVEL));
        QTest::keyClick(list.get(), 'h');
        QTest::keyClick(list.get(), Qt::Key_Left);
        QTest::keyClick(list.get(), Qt::Key_Left);
        QCOMPARE(list->GetCurrentColumn(), int(COL_NAME));
        QTest::keyClick(list.get(), '$');
        QCOMPARE(list->GetCurrentColumn(), int(COL_LEVEL));
        QTest::keyClick(list.get(), '^');
        QCOMPARE(list->GetCurrentColumn(), int(COL_NUMBER));
        QCOMPARE(header(COL_NUMBER), QStringLiteral("*No."));
        list->SetCurrentColumn(COL_LEVEL);
        QTest::keyClick(list.get(), '|');
        QCOMPARE(list->GetCurrentColumn(), 0);
        list->SetCurrentColumn(COL_LEVEL);
        QTest::keyClick(list.get(), '_');
        QCOMPARE(list->GetCurrentColumn(), 0);

        // Enter on a column that cannot be edited does nothing; on an editable one it edits the
        // first selected visible row.
        SelectRows(*list, {3, 5});
        QTest::keyClick(list.get(), Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        list->SetCurrentColumn(COL_NAME);
        QTest::keyClick(list.get(), Qt::Key_Return);
        QVERIFY(list->IsEditing());
        QCOMPARE(list->GetActiveEditor(), list->GetEditor(3));
        QVERIFY(list->EndEdit(false));

        // Columns inserted before the current one move it; deleting it clears it.
        CEditListCtrl::SELVColumn plain;
        list->InsertColumn(0, {QStringLiteral("Extra"), 40}, plain);
        QCOMPARE(list->GetCurrentColumn(), int(COL_NAME) + 1);
        list->DeleteColumn(0);
        QCOMPARE(list->GetCurrentColumn(), int(COL_NAME));
        list->DeleteColumn(COL_NAME);
        QCOMPARE(list->GetCurrentColumn(), -1);
    }

    void jAndKMoveLikeDownAndUp() {
        auto list = MakeList();
        SelectRows(*list, {2});
        list->SetFocusedRow(2);
        QTest::keyClick(list.get(), 'j');
        QCOMPARE(list->GetFocusedRow(), 3);
        QCOMPARE(list->GetSelectedRows(), std::vector<int>{3});
        QTest::keyClick(list.get(), 'J', Qt::ShiftModifier);
        QCOMPARE(list->GetSelectedRows(), (std::vector<int>{3, 4}));
        QTest::keyClick(list.get(), 'k');
        QTest::keyClick(list.get(), 'K', Qt::ShiftModifier);
        QCOMPARE(list->GetFocusedRow(), 2);
    }

    void mouseSelectsSingleRangeAndToggle() {
        auto list = MakeList();
        QSignalSpy clicks(list.get(), &CEditListCtrl::listClicked);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCenter(*list, 1, COL_NAME));
        QCOMPARE(list->GetSelectedRows(), std::vector<int>{1});
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          CellCenter(*list, 4, COL_NAME));
        QCOMPARE(list->GetSelectedRows(), (std::vector<int>{1, 2, 3, 4}));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          CellCenter(*list, 2, COL_NAME));
        QCOMPARE(list->GetSelectedRows(), (std::vector<int>{1, 3, 4}));
        // A toggle drag applies the new state of the mark row to every row it passes.
        QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          CellCenter(*list, 5, COL_NAME));
        QMouseEvent move(QEvent::MouseMove, CellCenter(*list, 7, COL_NAME),
                         list->viewport()->mapToGlobal(CellCenter(*list, 7, COL_NAME)), Qt::NoButton,
                         Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(list->viewport(), &move);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                            CellCenter(*list, 7, COL_NAME));
        QCOMPARE(list->GetSelectedRows(), (std::vector<int>{1, 3, 4, 5, 6, 7}));
        QCOMPARE(clicks.count(), 4);
    }

    void replaceStringAppliesToEverySelectedRow() {
        auto list = MakeList();
        list->data[1].name = QStringLiteral("aXbX");
        list->data[2].name = QStringLiteral("X");
        SelectRows(*list, {1, 2});
        list->nextSearch = QStringLiteral("X");
        list->nextReplace = QStringLiteral("XX");
        QSignalSpy ends(list.get(), &CEditListCtrl::endLabelEdit);
        list->ReplaceString(COL_NAME);
        QCOMPARE(list->data[1].name, QStringLiteral("aXXbXX"));
        QCOMPARE(list->data[2].name, QStringLiteral("XX"));
        QCOMPARE(ends.count(), 2);
        QCOMPARE(ends.at(0).at(3).toInt(), 1);
        // The dialog starts with the last strings of the process.
        list->nextSearch = QString();
        list->nextReplace = QStringLiteral("whole");
        list->ReplaceString(COL_NAME);
        QCOMPARE(list->askedSearch, QStringLiteral("X"));
        QCOMPARE(list->data[1].name, QStringLiteral("whole"));
        // Only editable text columns take part.
        list->ReplaceString(COL_LEVEL);
        QCOMPARE(list->data[1].level, 50.0);
        QCOMPARE(CEditListCtrl::ReplaceAll(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("ba")),
                 QStringLiteral("bababa"));
    }

    void sortingKeepsSelectionWithTheItems() {
        auto list = MakeList(5, 5);
        SelectRows(*list, {0});
        list->SortItems([](qint64 a, qint64 b) { return a > b; });
        QCOMPARE(list->GetItemData(0), qint64(4));
        QCOMPARE(list->GetSelectedRows(), std::vector<int>{4});
        QCOMPARE(list->GetCellText(4, COL_NAME), QStringLiteral("Row 0"));
    }

    void spinEditLimitsRoundsAndSteps() {
        GP::CSpinEdit spin;
        spin.SetRange(-2.5, 7.5);
        spin.SetWholeNumbers(true);
        QCOMPARE(spin.Limit(-10), -2.0);
        QCOMPARE(spin.Limit(100), 7.0);
        QCOMPARE(spin.Limit(2.5), 3.0);
        QCOMPARE(spin.Limit(-1.5), -2.0);
        spin.SetRange(0, 1000);
        spin.SetStepBase(16);
        spin.SetStepExponent(1);
        QCOMPARE(spin.StepSize(), 16.0);
        spin.SetValue(10);
        std::vector<double> offered;
        spin.SetDeltaHandler([&](double, double delta) {
            offered.push_back(delta);
            return delta < 100;
        });
        QVERIFY(spin.Step(true));
        QCOMPARE(spin.Value(), 26.0);
        QCOMPARE(spin.text(), QStringLiteral("26"));
        // The other arrow while repeating makes the steps one power coarser: 256, refused here.
        QTest::keyPress(&spin, Qt::Key_Up);
        QCOMPARE(spin.Value(), 42.0);
        QTest::keyPress(&spin, Qt::Key_Down);
        QVERIFY(spin.IsCoarse());
        QVERIFY(!spin.Step(true));
        QCOMPARE(spin.Value(), 42.0);
        QCOMPARE(offered.back(), 256.0);
        QTest::keyRelease(&spin, Qt::Key_Down);
        QVERIFY(!spin.IsCoarse());
        QTest::keyRelease(&spin, Qt::Key_Up);
        QCOMPARE(spin.Mode(), int(GP::CSpinEdit::SPIN_IDLE));
        spin.SetValue(0);
        QTest::keyClick(&spin, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(spin.Value(), 0.0);
        QSignalSpy notifications(&spin, &GP::CSpinEdit::notify);
        QTest::keyClick(&spin, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(spin.Value(), 1000.0);
        QVERIFY(notifications.contains(QVariantList{0x302}));

        GP::CSpinEdit real;
        real.SetWholeNumbers(false);
        real.SetRange(-1, 1);
        real.SetPrecision(0, 3);
        real.SetStepExponent(-2);
        real.SetValue(0.5);
        QVERIFY(real.Step(false));
        QCOMPARE(real.text(), QStringLiteral("0.490"));
    }

    void spinButtonRepeatsAndDraggingOutSlides() {
        GP::CSpinEdit spin;
        spin.SetRange(0, 100);
        spin.SetValue(10);
        std::vector<double> offered;
        spin.SetDeltaHandler([&](double, double delta) {
            offered.push_back(delta);
            return true;
        });
        spin.resize(120, 24);
        spin.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spin));
        QWidget* button = spin.Button();
        const QPoint upper(button->width() / 2, 2);
        auto send = [&](QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons) {
            QMouseEvent event(type, pos, button->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(button, &event);
        };
        send(QEvent::MouseButtonPress, upper, Qt::LeftButton);
        QCOMPARE(spin.Value(), 11.0);
        QCOMPARE(spin.Mode(), int(GP::CSpinEdit::SPIN_REPEAT));
        // Auto-repeat: one more step after the initial delay, then more. The wait ends as soon as they came;
        // its limit only keeps a broken repeat from hanging the test, and is far above the 500 ms delay.
        QTRY_VERIFY_WITH_TIMEOUT(spin.Value() >= 13.0, 10000);

        send(QEvent::MouseMove, upper + QPoint(60, 0), Qt::LeftButton);  // out of the button, sideways
        QCOMPARE(spin.Mode(), int(GP::CSpinEdit::SPIN_SLIDER));
        QVERIFY(spin.Slider());
        QCOMPARE(spin.Slider()->Orientation(), Qt::Horizontal);
        QVERIFY(spin.Slider()->isVisible());
        const QRect editorOnScreen(spin.mapToGlobal(QPoint(0, 0)), spin.size());
        QVERIFY(!QRect(spin.Slider()->pos(), spin.Slider()->size()).intersects(editorOnScreen));
        const double before = spin.Value();
        const std::size_t offersBefore = offered.size();
        send(QEvent::MouseMove, upper + QPoint(90, 0), Qt::LeftButton);
        QVERIFY(spin.Value() > before);
        QVERIFY(offered.size() > offersBefore);
        send(QEvent::MouseMove, upper + QPoint(-2000, 0), Qt::LeftButton);
        QCOMPARE(spin.Value(), 0.0);
        send(QEvent::MouseButtonRelease, upper + QPoint(-2000, 0), Qt::NoButton);
        QCOMPARE(spin.Mode(), int(GP::CSpinEdit::SPIN_IDLE));
        QVERIFY(!spin.Slider());
    }

    void repeatFactorComesFromTheFirstLine() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SpinEdit.ini"));
        QCOMPARE(GP::CSpinEdit::ReadRepeatFactor(path), 1.0);
        auto write = [&](const QByteArray& content) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        };
        write("2.5\nignored\n");
        QCOMPARE(GP::CSpinEdit::ReadRepeatFactor(path), 2.5);
        write("0\n");
        QCOMPARE(GP::CSpinEdit::ReadRepeatFactor(path), 1.0);
        write("-3\n");
        QCOMPARE(GP::CSpinEdit::ReadRepeatFactor(path), 1.0);
        write("fast\n");
        QCOMPARE(GP::CSpinEdit::ReadRepeatFactor(path), 1.0);
        QCOMPARE(GP::CSpinEdit::InitialDelayMs(), 500);
        QVERIFY(GP::CSpinEdit::RepeatIntervalMs() >= 10);
    }

    void standAlonePopupRunsModally() {
        QWidget owner;
        owner.show();
        GP::CPopupEdit edit;
        edit.SetValidator([](const QString& text) { return !text.isEmpty(); });
        // What runs inside the modal loop only types and records what it saw: a check failing there would
        // return from the lambda and leave the loop running. The checks come after the loop has ended.
        bool openAfterRefusal = false;
        QTimer::singleShot(0, &edit, [&] {
            QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(&edit, Qt::Key_Delete);
            QTest::keyClick(&edit, Qt::Key_Return);  // refused by the validator: empty
            openAfterRefusal = edit.isVisible();
            QTest::keyClicks(&edit, QStringLiteral("new"));
            QTest::keyClick(&edit, Qt::Key_Return);
        });
        QString text = QStringLiteral("old");
        bool timedOut = false;
        QCOMPARE(RunModalWithWatchdog(edit, owner, text, timedOut), 1);
        QVERIFY2(!timedOut, "the modal loop did not end on Enter");
        QVERIFY(openAfterRefusal);
        QCOMPARE(text, QStringLiteral("new"));
        QVERIFY(owner.isEnabled());

        QTimer::singleShot(0, &edit, [&] { QTest::keyClick(&edit, Qt::Key_Escape); });
        QCOMPARE(RunModalWithWatchdog(edit, owner, text, timedOut), 2);
        QVERIFY2(!timedOut, "the modal loop did not end on Escape");
    }

  private:
    // Runs the editor's modal loop. Should the loop outlive the keys meant to end it, a watchdog hides the
    // editor after 10 s, which ends the loop (with 0): the test then fails instead of hanging.
    static int RunModalWithWatchdog(GP::CPopupEdit& edit, QWidget& owner, QString& text, bool& timedOut) {
        timedOut = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            edit.Window()->hide();
        });
        watchdog.start(10000);
        return edit.RunModal(&owner, QRect(10, 10, 120, 24), text);
    }
};

QTEST_MAIN(EditListCtrlTest)
#include "edit_list_ctrl_test.moc"
