#pragma once

#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "gp/list/edit_list_ctrl.h"
#include "ui/patch_table_model.h"

class ISettingsStore;

// The report list of a patch window: one row per patch, six columns (number, name, four memos), cells
// made on demand by the window's table model (CPatchTableModel), which the list follows through every change
// of the patches. Row i shows patch i until the list is sorted; a library list has one more row, "End of
// Line", whose item data is the patch count: the place after the last patch. Sorting reorders rows only;
// the patches keep their order. The list offers the selection the editing commands work on.
//
// In the Main list the number cell of a patch that Write Changed would send carries a mark (see DrawItem).
//
// Signals to the view: visibleRowsChanged after scrolling (the temporary buttons follow the rows),
// patchDoubleClicked on a patch row.
class CParameterListCtrl : public GP::CEditListCtrl {
    Q_OBJECT

  public:
    enum ListKind { kMainList = 0, kLibraryList = 1 };
    enum ColumnId {
        kNumberColumn = CPatchTableModel::kNumberColumn,
        kNameColumn = CPatchTableModel::kNameColumn
    };
    static constexpr int kColumnCount = CPatchTableModel::kColumnCount;

    explicit CParameterListCtrl(int listKind, QWidget* parent = nullptr);
    ~CParameterListCtrl() override;

    int ListKind() const { return listKind_; }
    // The patches shown (none: an empty list).
    void SetTableModel(CPatchTableModel* table);
    CPatchTableModel* TableModel() const { return table_; }
    int PatchCount() const;
    bool IsEndOfLineRow(int row) const;

    // The column identifier at a position, and the position of an identifier.
    static int ColumnIdAt(int position) { return CPatchTableModel::ColumnIdAt(position); }
    static int PositionOfColumnId(int id) { return CPatchTableModel::PositionOfColumnId(id); }

    // Selection.
    int FirstSelectedRow() const;
    int LastSelectedRow() const;
    // The item data of every selected row in row order, leaving out End of Line.
    std::vector<int> SelectedIndexes() const;
    std::vector<int> AllIndexes() const;
    // Whether the first selected row is a patch (not End of Line).
    bool HasRealSelection() const;
    // The patch index the first selected row stands for: End of Line stands for the patch count; -1 without
    // a selection.
    int FirstSelectedPosition() const;
    // Selects the patch rows (End of Line stays unselected).
    void SelectAll();
    // Selects exactly the rows of these patch indexes; scrolls the first into view when asked.
    void SelectIndexes(const std::vector<int>& indexes, bool scrollToFirst = false);
    // The row that shows patch index (its item data), or -1.
    int RowOfIndex(int index) const;

    // Inserts the six columns and loads the stored widths (after a font change too), keeping the place.
    void SetupColumns();

    // Sort by the column at position: the same column again turns the direction.
    void SortByColumnPosition(int position);
    // Patch order, then the active sort.
    void ApplySort();

    // Column widths under Profile::kColumnWidths.
    void SetSettings(ISettingsStore* settings) { settings_ = settings; }
    void LoadColumnWidths();
    // A column's width when none is stored: its header's (the name column: at least a whole name).
    int DefaultColumnWidth(int column) const;
    void SaveColumnWidths() const;
    QString ColumnWidthText() const;

    double GetCellNumber(int row, int column) const override;
    bool BeginEdit(int row, int column) override;
    // The cell, and in the number cell of a patch the processor is not known to hold a mark at its left: a
    // ring while the slot is unknown, a dot when the slot holds another patch.
    void DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                  const QModelIndex& index) const override;

  signals:
    void visibleRowsChanged();
    void patchDoubleClicked(int index);

  protected:
    // The text a sort by identifier id compares: the name's or memo's bytes.
    std::string SortText(int index, int id) const;

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int listKind_;
    QPointer<CPatchTableModel> table_;
    ISettingsStore* settings_ = nullptr;
    int sortColumn_ = -1;
    bool ascending_ = true;
};
