#pragma once

#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "gp/list/popup.h"

class QFontMetrics;
class QStyledItemDelegate;

namespace GP {

class CEditListModel;

// A report list whose cells are edited in place, in several selected rows at once.
//
// Cells are produced on demand: the list keeps no copy of the data, only the row count and one item
// data value per row (by default the row number; SortItems reorders rows by it). The cells come from a
// source model (SetSourceModel: a source row is an item, and the list follows the source's changes, see
// CEditListModel) or from a derived list (GetCellText, GetCellNumber); edits are stored by SetCellValue(s).
//
// Each column carries a SELVColumn record telling whether it can be current and edited and with which
// editor: text field (CPopupEdit), drop-down list (CPopupComboBox) or number field (CPopupSpinEdit).
// The current column is marked by a leading "*" in its header.
//
// Keys while not editing: Enter begins editing the current column (when editable) in the first
// selected visible row (when none is visible, the first selected row is scrolled into view); Left/h and
// Right/l move the current column to the previous or next editable column; ^, _ and | go to the first column,
// $ to the last; j/J and k/K act as Down and Up; Ctrl+R runs ReplaceString on an editable text column with
// rows selected (when no shortcut of the window takes Ctrl+R first). The list takes Enter, Left, Right and
// its character keys before shortcuts.
//
// Mouse: a left press selects the row (Shift: the range from the mark, Ctrl: toggles it), dragging
// extends that (scrolling one row per move above or below the list); the release emits listClicked.
// A right press on an editable cell makes its column current and, when the row is selected, begins
// editing there; the release emits listRightClicked.
//
// Editing: BeginEdit reports beginLabelEdit(row, column, text, 1) for every selected row and opens an
// editor in every selected row of the visible page. Typing in the active editor shows the same text in
// all of them; a spin step is offered to every selected row (also rows outside the page) through
// ValidateCellValue and refused as a whole. EndEdit(commit) validates every selected row before
// anything is applied, then calls SetCellValue row by row and reports endLabelEdit(row, column, text, 1),
// or endLabelEdit(row, column, "", 2) when nothing was committed. Enter commits when the active editor
// was modified, Escape cancels; a left press outside the editors commits a modified edit, a right press
// cancels; scrolling and the mouse wheel cancel. While editing, the list filters every mouse press of
// the application (the editors' counterpart of a thread mouse hook); only one list edits at a time.
class CEditListCtrl : public QTableView, public IPopupOwner {
    Q_OBJECT

  public:
    // The editing description of one column.
    struct SELVColumn {
        enum Flags : std::uint32_t {
            ALIGN_LEFT = 0x0,
            ALIGN_RIGHT = 0x1,
            ALIGN_CENTER = 0x2,
            ALIGN_MASK = 0x3,
            EDITOR_TEXT = 0x10,
            EDITOR_LIST = 0x20,
            EDITOR_NUMBER = 0x40,
            EDITOR_MASK = 0x70,
            NUMBER_WHOLE = 0x100,
            NUMBER_REAL = 0x200,
            NUMBER_MASK = 0x300,
            STEP_BASE10 = 0x1000,
            STEP_BASE16 = 0x2000,
            STEP_MASK = 0x3000,
            EDITABLE = 0x10000,  // the column can be current and edited
        };

        std::uint32_t flags = 0;
        double minimum = 0;
        double maximum = 0;
        int stepExponent = 0;  // a step is base^stepExponent
        int precision1 = 0;    // real numbers: field width of the display
        int precision2 = 2;    // real numbers: digits after the point
        QStringList items;     // the choices of a drop-down column

        bool IsEditable() const { return flags & EDITABLE; }
        std::uint32_t Editor() const { return flags & EDITOR_MASK; }
        bool IsWholeNumber() const { return (flags & NUMBER_MASK) == NUMBER_WHOLE; }
        int StepBase() const { return (flags & STEP_MASK) == STEP_BASE16 ? 16 : 10; }
        Qt::Alignment Alignment() const;
    };

    // The list column itself: header text and width in pixels (-1: fit to the header).
    struct CColumnDesc {
        QString text;
        int width = -1;
    };

    explicit CEditListCtrl(QWidget* parent = nullptr);
    ~CEditListCtrl() override;

    // The model whose rows are the list's items (none: the list sets its rows itself). The list does not own
    // it.
    void SetSourceModel(QAbstractItemModel* source);

    // Rows.
    int GetItemCount() const { return static_cast<int>(itemData_.size()); }
    // Sets the number of rows; row i gets item data i. Ends an edit in progress (cancelled).
    void SetItemCount(int count);
    qint64 GetItemData(int row) const;
    void SetItemData(int row, qint64 data);
    // Reorders the rows by their item data (stable); selection and focus follow their rows' data.
    void SortItems(const std::function<bool(qint64, qint64)>& less);
    // Puts the rows in this order of item data (the same values as now, reordered); selection and focus
    // follow their rows' data.
    void SetItemOrder(std::vector<qint64> order);
    // Repaints rows first to last.
    void RedrawItems(int first, int last);

    // Columns.
    int InsertColumn(int index, const CColumnDesc& column, const SELVColumn& record);
    bool DeleteColumn(int index);
    void DeleteAllColumns();
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    const SELVColumn* GetColumnRecord(int column) const;
    QString GetColumnText(int column) const;
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The width that fits the header text.
    int HeaderFitWidth(int column) const;
    int GetCurrentColumn() const { return currentColumn_; }
    // Moves the "*" mark, clamping to the existing columns, and scrolls the column fully into view.
    void SetCurrentColumn(int column);
    void SetGridLines(bool on);
    bool HasGridLines() const { return showGrid(); }
    // Several selected rows (the default) or one.
    void SetMultipleSelection(bool on);

    // Selection, focus and the visible page.
    std::vector<int> GetSelectedRows() const;
    int GetSelectedCount() const;
    bool IsItemSelected(int row) const;
    void SetItemSelected(int row, bool selected);
    void SelectAllItems();
    void ClearAllSelection();
    // Selects, in one change, the rows for which in(row) holds, as runs of consecutive rows (flags as the
    // selection model's, Select or ClearAndSelect); gives the first of them, or -1.
    int SelectRowRuns(const std::function<bool(int)>& in,
                      QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Select);
    int GetFocusedRow() const;
    void SetFocusedRow(int row);
    int GetTopIndex() const;
    void SetTopIndex(int row);
    // The number of rows that fit wholly in the list.
    int GetCountPerPage() const;
    void EnsureVisible(int row);
    void scrollTo(const QModelIndex& index, ScrollHint hint = QAbstractItemView::EnsureVisible) override;

    // Editing state.
    bool IsEditing() const { return editColumn_ >= 0; }
    IPopup* GetActiveEditor() const { return active_; }
    // The editor of row, or nullptr.
    IPopup* GetEditor(int row) const;
    int GetEditorCount() const { return static_cast<int>(editors_.size()); }
    // The list being edited in this process, or nullptr.
    static CEditListCtrl* EditedControl();

    // Drawing helpers: the text as drawn in a cell of the current width, and the shortening rule.
    QString CellDisplayText(int row, int column) const;
    static QString ShortenText(const QString& text, const QFontMetrics& metrics, int width);
    // Replaces every occurrence of search, left to right, continuing behind the inserted text; an empty
    // search string replaces the whole text.
    static QString ReplaceAll(const QString& text, const QString& search, const QString& replace);

    // Hooks, in their slot order (GetCellText first).
    // The text of a cell; the base asks the source model for its item's cell.
    virtual QString GetCellText(int row, int column) const;
    // Owner drawing of one cell of a row.
    virtual void DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const;
    // The number of a cell of a number column.
    virtual double GetCellNumber(int row, int column) const = 0;
    // Stores an edit: a QString for text and list columns, a double for number columns.
    virtual void SetCellValue(int row, int column, const QVariant& value) = 0;
    // Stores the values of a committed edit or replacement, one per row, in row order. The base calls
    // SetCellValue for each row; a list whose rows must change as one edit overrides it.
    virtual void SetCellValues(const std::vector<int>& rows, int column, const std::vector<QVariant>& values);
    // Whether the row accepts value; the base accepts every text and numbers within the column's range.
    virtual bool ValidateCellValue(int row, int column, const QVariant& value) const;
    virtual void OnEditorCommand1(int row);
    virtual void OnEditorCommand2(int row);
    virtual void OnEditorTextChange(IPopup& editor);
    virtual void OnEditorListSelect(IPopup& editor);
    // Begins editing column in the selected rows, with row's editor active (-1: the first one).
    virtual bool BeginEdit(int row, int column);
    // Ends editing; with commit, refuses (false, editing goes on) when a row refuses its value.
    virtual bool EndEdit(bool commit);
    // Replaces a string in column of every selected row, through the "Replace String" dialog.
    virtual void ReplaceString(int column);

  signals:
    void beginLabelEdit(int row, int column, const QString& text, int param);
    void endLabelEdit(int row, int column, const QString& text, int param);
    void listClicked();
    void listRightClicked();
    void currentColumnChanged(int column);
    // The set of selected rows may have changed: the selection changed, or the rows were made anew (which
    // drops the selection without telling the selection model's listeners).
    void selectedRowsChanged();

  protected:
    // Asks for the search and replace strings (preset with the last ones of the process); false when
    // the user closed the dialog. The base shows CReplaceStringDlg.
    virtual bool AskReplaceStrings(QString& search, QString& replace);

    void OnPopupNotify(IPopup& popup, int code) override;
    bool OnPopupDelta(IPopup& popup, double oldValue, double delta) override;

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

  private:
    std::vector<std::pair<int, int>> SelectedRowSpans() const;
    QStyledItemDelegate* MakeDelegate();
    void ForgetEditedControl();
    friend class CEditListModel;
    enum MouseMode { MOUSE_NONE, MOUSE_SINGLE, MOUSE_RANGE, MOUSE_TOGGLE };
    struct EditorSlot {
        int row;
        IPopup* popup;
        QPointer<QWidget> widget;
    };

    void MoveCurrentColumn(int direction);
    bool AnyColumnEditable() const;
    bool IsTableKey(const QKeyEvent* event) const;
    IPopup* CreateEditor(int row, int column);
    void SetActiveEditor(IPopup* editor);
    void DestroyEditors();
    bool IsNumberSpinning() const;
    // The value row would receive on commit.
    QVariant RowValue(int row) const;
    void SelectRange(int from, int to);
    void ApplyToggle(int to);
    void UpdateRowHeight();
    int RowFromY(int y) const;

    CEditListModel* model_;
    std::vector<qint64> itemData_;
    std::vector<SELVColumn> columns_;
    std::vector<QString> headers_;
    int currentColumn_ = -1;
    bool multipleSelection_ = true;

    int editColumn_ = -1;
    std::vector<int> editRows_;
    std::vector<EditorSlot> editors_;
    IPopup* active_ = nullptr;
    QString editText_;
    double editValue_ = 0;
    bool deltaMode_ = true;
    bool editValueValid_ = true;
    bool applying_ = false;
    ulong passedPressTime_ = 0;
    QPoint passedPressPos_;

    MouseMode mouseMode_ = MOUSE_NONE;
    int mark_ = -1;
    bool toggleState_ = false;
    std::vector<bool> snapshot_;
    bool leftPressed_ = false;
    bool rightPressed_ = false;
};

}  // namespace GP
