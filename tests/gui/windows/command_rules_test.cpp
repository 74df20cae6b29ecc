// The editing commands over random states of both window kinds: a command runs exactly when the frame offers
// it, a command that is not offered changes nothing, and every change, whichever way it is made, leaves the
// undo copy, the modified mark and the list consistent with the document.
#include <QLineEdit>
#include <QtTest>
#include <algorithm>
#include <numeric>
#include <random>

#include "app_rig.h"
#include "gp/list/replace_string_dlg.h"
#include "transfer/dialog_driver.h"

using namespace TQ;

namespace {

// What a command may change: the patches with their memos, the clipboard, the modified mark.
struct State {
    std::vector<std::string> patches;
    std::vector<std::string> clipboard;
    bool modified = false;

    bool operator==(const State&) const = default;
};

std::vector<std::string> Contents(const CPatchArray& patches) {
    std::vector<std::string> contents;
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        std::string text = patches[i].GetName();
        for (int m = 0; m < 4; ++m)
            text += '|' + patches[i].GetMemo(m);
        contents.push_back(text);
    }
    return contents;
}

State StateOf(AppRig& rig, CDoc& doc) {
    return {Contents(doc.Patches()), Contents(rig.Context().Clipboard().Patches()), doc.IsModified()};
}

// The list shows the document: a row per patch (and End of Line last in a library), each row the cells of
// the patch its item data names, every patch once.
void CheckListShowsDocument(CParamView& view, CDoc& doc) {
    CPatchListCtrl& list = view.List();
    const int count = static_cast<int>(doc.Patches().GetSize());
    QCOMPARE(list.GetItemCount(), count + (doc.IsLibrary() ? 1 : 0));
    std::vector<bool> seen(static_cast<std::size_t>(list.GetItemCount()), false);
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const qint64 item = list.GetItemData(row);
        QVERIFY(item >= 0 && item < list.GetItemCount());
        QVERIFY(!seen[static_cast<std::size_t>(item)]);
        seen[static_cast<std::size_t>(item)] = true;
        for (int column = 0; column < CParameterListCtrl::kColumnCount; ++column)
            QCOMPARE(list.GetCellText(row, column),
                     doc.Model().CellText(static_cast<int>(item), CParameterListCtrl::ColumnIdAt(column)));
    }
    if (doc.IsLibrary()) QVERIFY(list.IsEndOfLineRow(list.GetItemCount() - 1));
}

// Names drawn from a few, so that sorts have ties and duplicates exist.
CPatchArray RandomPatches(std::mt19937& random, std::size_t count) {
    static const char* const kNames[] = {"LEAD", "crunch", "Clean", "AMBIENT", "lead", "Solo"};
    CPatchArray patches;
    patches.Resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        patches[i].SetName(kNames[random() % std::size(kNames)]);
        patches[i].SetMemo(static_cast<int>(random() % 4), "memo " + std::to_string(random() % 5));
    }
    return patches;
}

void RandomSelection(std::mt19937& random, CPatchListCtrl& list) {
    list.ClearAllSelection();
    const int rows = list.GetItemCount();
    switch (random() % 4) {
        case 0:  // none
            break;
        case 1:  // one row, End of Line included
            list.SetItemSelected(static_cast<int>(random() % static_cast<unsigned>(rows)), true);
            break;
        case 2:  // two rows
            list.SetItemSelected(static_cast<int>(random() % static_cast<unsigned>(rows)), true);
            list.SetItemSelected(static_cast<int>(random() % static_cast<unsigned>(rows)), true);
            break;
        default:  // any
            for (int row = 0; row < rows; ++row)
                if (random() % 3 == 0) list.SetItemSelected(row, true);
            break;
    }
}

// What the document announced to its model during a command.
struct Announced {
    std::vector<std::pair<int, int>> changed;
    bool structural = false;  // rows inserted or removed, or a reset

    bool Covers(int row) const {
        return structural || std::any_of(changed.begin(), changed.end(), [row](const auto& span) {
                   return span.first <= row && row <= span.second;
               });
    }
};

constexpr int kEditingCommands[] = {ID_EDIT_UNDO,    ID_EDIT_CUT,    ID_EDIT_COPY,     ID_EDIT_INSERT,
                                    ID_EDIT_REPLACE, ID_EDIT_DELETE, ID_EDIT_EXCHANGE, ID_EDIT_SELECT_ALL};

bool ChangesPatches(int id) {
    return id == ID_EDIT_CUT || id == ID_EDIT_INSERT || id == ID_EDIT_REPLACE || id == ID_EDIT_DELETE ||
           id == ID_EDIT_EXCHANGE;
}

}  // namespace

class CommandRulesTest : public QObject {
    Q_OBJECT

  private slots:
    void aCommandRunsExactlyWhenOfferedAndUndoGivesBackWhatItChanged() {
        AppRig rig;
        // TQ_RULES_SEED and TQ_RULES_ROUNDS run other and longer series by hand.
        const unsigned seed = qEnvironmentVariableIsSet("TQ_RULES_SEED")
                                  ? static_cast<unsigned>(qEnvironmentVariableIntValue("TQ_RULES_SEED"))
                                  : 20261208u;
        const int rounds = qEnvironmentVariableIsSet("TQ_RULES_ROUNDS")
                               ? qEnvironmentVariableIntValue("TQ_RULES_ROUNDS")
                               : 300;
        std::mt19937 random(seed);
        CFileDoc* library = rig.NewLibrary();
        for (int round = 0; round < rounds; ++round) {
            const bool main = round % 2 == 0;
            CDoc& doc = main ? rig.MainDoc() : *library;
            CParamView& view = *AppRig::ViewOf(&doc);
            rig.Activate(&doc);
            if (round % 10 < 2) {
                doc.SetPatches(RandomPatches(random, main ? 200 : random() % 7));
                doc.SetModifiedFlag(false);
            }
            if (random() % 3 == 0) view.List().SortByColumnPosition(static_cast<int>(random() % 3));
            if (random() % 4 == 0) rig.Context().Clipboard().Clear();
            if (random() % 4 == 0) {
                const CPatchArray source = RandomPatches(random, 1 + random() % 3);
                std::vector<int> all(source.GetSize());
                std::iota(all.begin(), all.end(), 0);
                rig.Context().Clipboard().CopyFrom(source, all);
            }
            RandomSelection(random, view.List());
            const int id = kEditingCommands[random() % std::size(kEditingCommands)];
            const QString where = QStringLiteral("round %1, command %2").arg(round).arg(id);

            const State before = StateOf(rig, doc);
            Announced announced;
            QObject watcher;
            connect(&doc.Model(), &QAbstractItemModel::dataChanged, &watcher,
                    [&](const QModelIndex& first, const QModelIndex& last) {
                        announced.changed.emplace_back(first.row(), last.row());
                    });
            for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
                connect(&doc.Model(), signal, &watcher, [&] { announced.structural = true; });
            connect(&doc.Model(), &QAbstractItemModel::modelReset, &watcher,
                    [&] { announced.structural = true; });
            const bool offered = rig.Available(id);
            QCOMPARE(rig.Command(id), offered);
            const State after = StateOf(rig, doc);
            if (!offered) QVERIFY2(after == before, qPrintable(where));
            // Every patch that changed was announced to the views.
            for (std::size_t i = 0; i < after.patches.size() && i < before.patches.size(); ++i)
                if (after.patches[i] != before.patches[i])
                    QVERIFY2(announced.Covers(static_cast<int>(i)), qPrintable(where));
            CheckListShowsDocument(view, doc);
            if (QTest::currentTestFailed()) return;
            if (offered && ChangesPatches(id)) {
                // The change marked a library, took the undo copy, and Undo gives back the patches before.
                QVERIFY2(!doc.IsLibrary() || after.modified, qPrintable(where));
                QVERIFY2(doc.CanUndo(UndoMode::Offered), qPrintable(where));
                QVERIFY(rig.Command(ID_EDIT_UNDO));
                QVERIFY2(Contents(doc.Patches()) == before.patches, qPrintable(where));
                CheckListShowsDocument(view, doc);
                // A second Undo returns to the state after the change.
                QVERIFY(rig.Command(ID_EDIT_UNDO));
                QVERIFY2(Contents(doc.Patches()) == after.patches, qPrintable(where));
            }
        }
    }

    void everyWayOfEditingIsOneUndoableEditOfTheDocument() {
        AppRig rig;
        CFileDoc* library = rig.NewLibrary();
        library->SetPatches(PatchesNamed({"ONE", "TWO", "THREE"}));
        CParamView& view = *AppRig::ViewOf(library);
        view.parentWidget()->resize(700, 400);
        rig.Activate(library);
        CPatchListCtrl& list = view.List();
        list.SortByColumnPosition(1);

        // Each way of editing, from a saved state: the library is marked, Undo gives back the state before.
        const auto check = [&](const char* how, const std::function<void()>& edit) {
            library->SetModifiedFlag(false);
            const std::vector<std::string> before = Contents(library->Patches());
            edit();
            QVERIFY2(Contents(library->Patches()) != before, how);
            QVERIFY2(library->IsModified(), how);
            QCOMPARE(rig.Frame().MDIGetActiveWindow()->windowTitle(), QStringLiteral("Untitled *"));
            CheckListShowsDocument(view, *library);
            QVERIFY2(rig.Command(ID_EDIT_UNDO), how);
            QVERIFY2(Contents(library->Patches()) == before, how);
            CheckListShowsDocument(view, *library);
        };
        check("in-place edit", [&] {
            list.SelectIndexes({0, 2});
            QVERIFY(list.BeginEdit(list.RowOfIndex(0), 2));
            qobject_cast<QLineEdit*>(list.GetActiveEditor()->Window())->setText(QStringLiteral("edited"));
            QVERIFY(list.EndEdit(true));
        });
        check("Replace String", [&] {
            list.SelectIndexes({0, 1, 2});
            list.SetCurrentColumn(1);
            CDialogDriver driver;
            driver.Expect<GP::CReplaceStringDlg>([](GP::CReplaceStringDlg* dialog) {
                dialog->SetStrings(QStringLiteral("T"), QStringLiteral("Z"));
                dialog->accept();
            });
            list.ReplaceString(1);
            QVERIFY(driver.Failures().isEmpty());
        });
        check("drop", [&] { list.DropPatches(NamedPatches(2, "D"), 1); });
        check("command", [&] {
            list.SelectIndexes({1});
            QVERIFY(rig.Command(ID_EDIT_DELETE));
        });
    }
};

QTEST_MAIN(CommandRulesTest)
#include "command_rules_test.moc"
