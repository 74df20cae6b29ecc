#include "gp/list/edit_list_ctrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <set>

#include "gp/list/edit_list_model.h"

// The list itself: rows and their item data, columns and the current column, the selection and the page.
// In-place editing, keys and mouse, and drawing are in edit_list_editing.cpp, edit_list_input.cpp and
// edit_list_drawing.cpp; the model behind the view in edit_list_model.cpp.

namespace GP {

Qt::Alignment CEditListCtrl::SELVColumn::Alignment() const {
    switch (flags & ALIGN_MASK) {
        case ALIGN_RIGHT:
            return Qt::AlignRight;
        case ALIGN_CENTER:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

CEditListCtrl::CEditListCtrl(QWidget* parent) : QTableView(parent), model_(new CEditListModel(*this)) {
    setModel(model_);
    setItemDelegate(MakeDelegate());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    UpdateRowHeight();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CEditListCtrl::selectedRowsChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &CEditListCtrl::selectedRowsChanged);
}

CEditListCtrl::~CEditListCtrl() {
    // Ends an edit in progress without committing and without telling anyone: the window is going.
    if (IsEditing()) {
        qApp->removeEventFilter(this);
        for (EditorSlot& slot : editors_)
            delete slot.widget.data();
        editors_.clear();
        active_ = nullptr;
        editColumn_ = -1;
    }
    ForgetEditedControl();
}

// ---- Rows -------------------------------------------------------------------------------------------

int CEditListCtrl::SelectRowRuns(const std::function<bool(int)>& in,
                                 QItemSelectionModel::SelectionFlags flags) {
    if (GetColumnCount() == 0) return -1;
    // One selection of row ranges, not one change a row.
    QItemSelection selection;
    int first = -1;
    int from = -1;
    for (int row = 0; row <= GetItemCount(); ++row) {
        const bool selected = row < GetItemCount() && in(row);
        if (selected && first < 0) first = row;
        if (selected && from < 0) from = row;
        if (!selected && from >= 0) {
            selection.select(model_->index(from, 0), model_->index(row - 1, GetColumnCount() - 1));
            from = -1;
        }
    }
    selectionModel()->select(selection, flags);
    return first;
}

void CEditListCtrl::SetSourceModel(QAbstractItemModel* source) {
    if (IsEditing() && !applying_) EndEdit(false);
    model_->SetSource(source);
    mark_ = -1;
}

QString CEditListCtrl::GetCellText(int row, int column) const {
    const QAbstractItemModel* source = model_->Source();
    const qint64 item = GetItemData(row);
    if (!source || item < 0) return QString();
    return source->data(source->index(static_cast<int>(item), column)).toString();
}

void CEditListCtrl::SetItemCount(int count) {
    if (IsEditing() && !applying_) EndEdit(false);
    model_->BeginReset();
    itemData_.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < itemData_.size(); ++i)
        itemData_[i] = static_cast<qint64>(i);
    model_->EndReset();
    mark_ = -1;
}

qint64 CEditListCtrl::GetItemData(int row) const {
    return row >= 0 && row < GetItemCount() ? itemData_[static_cast<std::size_t>(row)] : -1;
}

void CEditListCtrl::SetItemData(int row, qint64 data) {
    if (row >= 0 && row < GetItemCount()) itemData_[static_cast<std::size_t>(row)] = data;
    RedrawItems(row, row);
}

void CEditListCtrl::SortItems(const std::function<bool(qint64, qint64)>& less) {
    if (!less) return;
    std::vector<qint64> order = itemData_;
    std::stable_sort(order.begin(), order.end(), less);
    SetItemOrder(std::move(order));
}

void CEditListCtrl::SetItemOrder(std::vector<qint64> order) {
    if (order.size() != itemData_.size()) return;
    std::set<qint64> selected;
    for (int row : GetSelectedRows())
        selected.insert(GetItemData(row));
    const qint64 focused = GetItemData(GetFocusedRow());
    const int top = GetTopIndex();
    model_->LayoutAboutToChange();
    itemData_ = std::move(order);
    model_->LayoutChanged();
    selectionModel()->clearSelection();
    if (!selected.empty() && GetColumnCount() > 0) {
        SelectRowRuns([&](int row) { return selected.count(itemData_[static_cast<std::size_t>(row)]) > 0; });
    }
    if (focused >= 0)
        for (int row = 0; row < GetItemCount(); ++row)
            if (itemData_[static_cast<std::size_t>(row)] == focused) {
                SetFocusedRow(row);
                break;
            }
    SetTopIndex(top);
}

void CEditListCtrl::RedrawItems(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, GetItemCount() - 1);
    model_->RowsChanged(first, last);
    viewport()->update();
}

// ---- Columns ----------------------------------------------------------------------------------------

int CEditListCtrl::InsertColumn(int index, const CColumnDesc& column, const SELVColumn& record) {
    if (IsEditing() && !applying_) EndEdit(false);
    index = std::clamp(index, 0, GetColumnCount());
    model_->BeginInsertColumn(index);
    columns_.insert(columns_.begin() + index, record);
    headers_.insert(headers_.begin() + index, column.text);
    if (currentColumn_ >= 0 && index <= currentColumn_) ++currentColumn_;
    model_->EndInsertColumn();
    SetColumnWidth(index, column.width >= 0 ? column.width : HeaderFitWidth(index));
    model_->HeaderChanged();
    return index;
}

bool CEditListCtrl::DeleteColumn(int index) {
    if (index < 0 || index >= GetColumnCount()) return false;
    if (IsEditing() && !applying_) EndEdit(false);
    model_->BeginRemoveColumn(index);
    columns_.erase(columns_.begin() + index);
    headers_.erase(headers_.begin() + index);
    if (index == currentColumn_)
        currentColumn_ = -1;
    else if (index < currentColumn_)
        --currentColumn_;
    model_->EndRemoveColumn();
    model_->HeaderChanged();
    return true;
}

void CEditListCtrl::DeleteAllColumns() {
    while (GetColumnCount() > 0)
        DeleteColumn(GetColumnCount() - 1);
}

const CEditListCtrl::SELVColumn* CEditListCtrl::GetColumnRecord(int column) const {
    return column >= 0 && column < GetColumnCount() ? &columns_[static_cast<std::size_t>(column)] : nullptr;
}

QString CEditListCtrl::GetColumnText(int column) const {
    return column >= 0 && column < GetColumnCount() ? headers_[static_cast<std::size_t>(column)] : QString();
}

int CEditListCtrl::GetColumnWidth(int column) const {
    return columnWidth(column);
}

void CEditListCtrl::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < GetColumnCount()) setColumnWidth(column, std::max(width, 0));
}

int CEditListCtrl::HeaderFitWidth(int column) const {
    const QFontMetrics metrics(horizontalHeader()->font());
    // Room for the "*" mark, the header's margins and a little air.
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    return metrics.horizontalAdvance(QStringLiteral("*") + GetColumnText(column)) + 2 * margin + 12;
}

void CEditListCtrl::SetCurrentColumn(int column) {
    const int count = GetColumnCount();
    const int clamped = count == 0 ? -1 : std::clamp(column, 0, count - 1);
    const bool changed = clamped != currentColumn_;
    currentColumn_ = clamped;
    model_->HeaderChanged();
    if (clamped >= 0) {
        // Scroll sideways so that the whole column shows.
        QScrollBar* bar = horizontalScrollBar();
        const int left = columnViewportPosition(clamped);
        const int width = columnWidth(clamped);
        const int visible = viewport()->width();
        if (left < 0)
            bar->setValue(bar->value() + left);
        else if (left + width > visible)
            bar->setValue(bar->value() + std::min(left, left + width - visible));
    }
    if (changed) emit currentColumnChanged(currentColumn_);
}

void CEditListCtrl::MoveCurrentColumn(int direction) {
    const int count = GetColumnCount();
    int column = currentColumn_ >= 0 ? currentColumn_ : (direction > 0 ? -1 : count);
    for (column += direction; column >= 0 && column < count; column += direction) {
        if (columns_[static_cast<std::size_t>(column)].IsEditable()) {
            SetCurrentColumn(column);
            return;
        }
    }
}

bool CEditListCtrl::AnyColumnEditable() const {
    return std::any_of(columns_.begin(), columns_.end(), [](const SELVColumn& c) { return c.IsEditable(); });
}

void CEditListCtrl::SetGridLines(bool on) {
    setShowGrid(on);
}

void CEditListCtrl::SetMultipleSelection(bool on) {
    multipleSelection_ = on;
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

// ---- Selection and page -----------------------------------------------------------------------------

// The selected rows as sorted, disjoint spans [first, last], from the selection's ranges: the work grows
// with the number of ranges, not of rows, so that a list of 100,000 selected rows answers at once (the
// command states ask after every key).
std::vector<std::pair<int, int>> CEditListCtrl::SelectedRowSpans() const {
    std::vector<std::pair<int, int>> spans;
    const int lastColumn = GetColumnCount() - 1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (range.isValid() && range.left() <= 0 && range.right() >= lastColumn)
            spans.emplace_back(range.top(), range.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, span.second);
        else
            merged.push_back(span);
    }
    return merged;
}

std::vector<int> CEditListCtrl::GetSelectedRows() const {
    std::vector<int> rows;
    for (const auto& [first, last] : SelectedRowSpans())
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
    return rows;
}

int CEditListCtrl::GetSelectedCount() const {
    int count = 0;
    for (const auto& [first, last] : SelectedRowSpans())
        count += last - first + 1;
    return count;
}

bool CEditListCtrl::IsItemSelected(int row) const {
    return row >= 0 && row < GetItemCount() && selectionModel()->isRowSelected(row, QModelIndex());
}

void CEditListCtrl::SetItemSelected(int row, bool selected) {
    if (row < 0 || row >= GetItemCount() || GetColumnCount() == 0) return;
    const QItemSelection range(model_->index(row, 0), model_->index(row, GetColumnCount() - 1));
    selectionModel()->select(range, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void CEditListCtrl::SelectAllItems() {
    if (GetItemCount() == 0 || GetColumnCount() == 0) return;
    selectionModel()->select(
        QItemSelection(model_->index(0, 0), model_->index(GetItemCount() - 1, GetColumnCount() - 1)),
        QItemSelectionModel::Select);
}

void CEditListCtrl::ClearAllSelection() {
    selectionModel()->clearSelection();
}

int CEditListCtrl::GetFocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CEditListCtrl::SetFocusedRow(int row) {
    if (row < 0 || row >= GetItemCount() || GetColumnCount() == 0) return;
    int column = currentColumn_;
    if (column < 0) column = std::max(0, columnAt(0));
    selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::NoUpdate);
}

int CEditListCtrl::GetTopIndex() const {
    return GetItemCount() == 0 ? 0 : verticalScrollBar()->value();
}

void CEditListCtrl::SetTopIndex(int row) {
    verticalScrollBar()->setValue(std::max(row, 0));
}

int CEditListCtrl::GetCountPerPage() const {
    const int height = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(0, viewport()->height() / height);
}

void CEditListCtrl::EnsureVisible(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    const int top = GetTopIndex();
    const int page = std::max(1, GetCountPerPage());
    if (row < top)
        SetTopIndex(row);
    else if (row >= top + page)
        SetTopIndex(row - page + 1);
}

void CEditListCtrl::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Rows scroll into view; sideways scrolling belongs to the current column.
    if (!index.isValid()) return;
    if (hint == PositionAtTop)
        SetTopIndex(index.row());
    else
        EnsureVisible(index.row());
}

}  // namespace GP
