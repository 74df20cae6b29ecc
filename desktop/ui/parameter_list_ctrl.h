#pragma once

#include <QString>
#include <string>
#include <vector>

#include "gp/list/edit_list_ctrl.h"

class CParameterArray;
class CImageDocument;
class ISettingsStore;

// The report list of a patch window: one row per patch, six columns (number, name, four memos), cells
// produced on demand from the window's patch array. Row i has item data i, the index of its patch; a
// library list has one more row, "End of Line", whose item data is the patch count: the place after the
// last patch. Sorting reorders rows only; the array keeps its order.
//
// Column identifiers: 0 number, 5 name, 1 to 4 memos. The list rebuilds itself after every change while
// keeping the user's place (Refresh), and offers the selection primitives the editing commands use.
//
// Signals to the view: visibleRowsChanged after scrolling (the temporary buttons follow the rows),
// patchDoubleClicked on a patch row, contentEdited after an in-place edit or a replacement was stored.
class CParameterListCtrl : public GP::CEditListCtrl {
    Q_OBJECT

  public:
    enum ListKind { kMainList = 0, kLibraryList = 1 };
    enum ColumnId { kNumberColumn = 0, kNameColumn = 5 };
    static constexpr int kColumnCount = 6;

    explicit CParameterListCtrl(int listKind, QWidget* parent = nullptr);
    ~CParameterListCtrl() override;

    int ListKind() const { return listKind_; }
    // The patches shown and the data object that keeps their undo copy (none: edits take no undo copy).
    void SetPatchArray(CParameterArray* array, CImageDocument* data = nullptr);
    CParameterArray* PatchArray() const { return array_; }
    int PatchCount() const;
    bool IsEndOfLineRow(int row) const;

    // How the Main list numbers patch index: "U01-1" to "U50-4".
    static QString MainNumber(int index);
    // The column identifier at a position, and the position of an identifier.
    static int ColumnIdAt(int position);
    static int PositionOfColumnId(int id);

    // Selection.
    int FirstSelectedRow() const;
    int LastSelectedRow() const;
    // The item data of every selected row in row order, leaving out End of Line.
    std::vector<int> SelectedIndexes() const;
    std::vector<int> AllIndexes() const;
    // Selects the patch rows (End of Line stays unselected).
    void SelectAll();
    // Selects exactly the rows of these patch indexes; scrolls the first into view when asked.
    void SelectIndexes(const std::vector<int>& indexes, bool scrollToFirst = false);
    // The row that shows patch index (its item data), or -1.
    int RowOfIndex(int index) const;

    // Rows: the patch count, plus End of Line in a library list; row i gets item data i.
    void SetRowCount();
    // Inserts the six columns and loads the stored widths.
    void SetupColumns();
    // Full rebuild: columns, rows, grid; keeps the top and focused rows; back to patch order.
    void Rebuild();
    // Rebuilds the rows after an edit keeping the user's place. select with count > 0 selects the count
    // patches from the first row selected before (when they exist); select with count 0 keeps the
    // selection; no select clears it. The active sort is applied again.
    void Refresh(bool select, int count = 0);

    // Sort by the column at position: the same column again turns the direction.
    void SortByColumnPosition(int position);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return ascending_; }
    // Patch order, then the active sort.
    void ApplySort();

    // Column widths under "PatchListCtrl"/"ColumnWidth".
    void SetSettings(ISettingsStore* settings) { settings_ = settings; }
    void LoadColumnWidths();
    // A column's width when none is stored: its header's (the name column: at least a whole name).
    int DefaultColumnWidth(int column) const;
    void SaveColumnWidths() const;
    QString ColumnWidthText() const;

    // The clipboard the editing primitives use, and the copy of patches of this list into it.
    virtual const CParameterArray* Clipboard() const = 0;
    virtual void CopyToClipboard(const std::vector<int>& indexes) = 0;
    bool HasClipboard() const;
    // Makes the patch array exactly n long (new patches in their initial state at the end).
    void Resize(int n);
    void CopySelection();
    void DeleteSelection();
    // Copies of the clipboard before the first selected row (End of Line: at the end); their number.
    int InsertClipboard();
    void ReplaceSelection();
    void ExchangeSelection();

    // Cells and edits.
    QString GetCellText(int row, int column) const override;
    double GetCellNumber(int row, int column) const override;
    // Every store is one edit: the undo copy first, then the texts, one re-sort, and contentEdited.
    void SetCellValue(int row, int column, const QVariant& value) override;
    void SetCellValues(const std::vector<int>& rows, int column,
                       const std::vector<QVariant>& values) override;
    bool BeginEdit(int row, int column) override;

  signals:
    void visibleRowsChanged();
    void patchDoubleClicked(int index);
    void contentEdited();

  protected:
    // The text of patch index in the column of identifier id (id 0 and 5 and memos).
    virtual QString CellText(int index, int id) const;
    // Stores text into patch index, column id.
    virtual void StoreCellText(int index, int id, const QString& text);
    // The text a sort by identifier id compares (memos; CPatchListCtrl adds the name).
    virtual std::string SortText(int index, int id) const;

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int listKind_;
    CParameterArray* array_ = nullptr;
    CImageDocument* data_ = nullptr;
    ISettingsStore* settings_ = nullptr;
    int sortColumn_ = -1;
    bool ascending_ = true;
};
