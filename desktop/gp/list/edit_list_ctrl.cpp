#include "gp/list/edit_list_ctrl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>
#include <set>

#include "gp/list/popup_combo_box.h"
#include "gp/list/popup_edit.h"
#include "gp/list/popup_spin_edit.h"
#include "gp/list/replace_string_dlg.h"
#include "gp/list/spin_edit_button.h"

namespace GP {

namespace {

CEditListCtrl* g_editedControl = nullptr;
// The last search and replace strings of the process.
QString g_lastSearch;
QString g_lastReplace;

const QString kEllipsis = QStringLiteral("...");

}  // namespace

// The table model of a CEditListCtrl: it holds nothing and asks the control for every cell.
class CEditListModel : public QAbstractTableModel {
  public:
    explicit CEditListModel(CEditListCtrl& control) : QAbstractTableModel(&control), control_(control) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : control_.GetItemCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : control_.GetColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return QVariant();
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return control_.GetCellText(index.row(), index.column());
        if (role == Qt::TextAlignmentRole) {
            const auto* record = control_.GetColumnRecord(index.column());
            return record ? QVariant(static_cast<int>(record->Alignment() | Qt::AlignVCenter)) : QVariant();
        }
        return QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal) return QVariant();
        if (role == Qt::DisplayRole) {
            const QString text = control_.GetColumnText(section);
            return section == control_.GetCurrentColumn() ? QStringLiteral("*") + text : text;
        }
        if (role == Qt::TextAlignmentRole) {
            const auto* record = control_.GetColumnRecord(section);
            return record ? QVariant(static_cast<int>(record->Alignment() | Qt::AlignVCenter)) : QVariant();
        }
        return QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsertColumn(int index) { beginInsertColumns(QModelIndex(), index, index); }
    void EndInsertColumn() { endInsertColumns(); }
    void BeginRemoveColumn(int index) { beginRemoveColumns(QModelIndex(), index, index); }
    void EndRemoveColumn() { endRemoveColumns(); }
    void HeaderChanged() {
        if (control_.GetColumnCount() > 0)
            emit headerDataChanged(Qt::Horizontal, 0, control_.GetColumnCount() - 1);
    }
    void RowsChanged(int first, int last) {
        if (control_.GetColumnCount() > 0 && first <= last)
            emit dataChanged(index(first, 0), index(last, control_.GetColumnCount() - 1));
    }
    void LayoutAboutToChange() { emit layoutAboutToBeChanged(); }
    void LayoutChanged() { emit layoutChanged(); }

  private:
    CEditListCtrl& control_;
};

namespace {

// Hands the painting of every cell to CEditListCtrl::DrawItem.
class CEditListDelegate : public QStyledItemDelegate {
  public:
    explicit CEditListDelegate(CEditListCtrl& control) : QStyledItemDelegate(&control), control_(control) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        control_.DrawItem(painter, option, index);
    }

  private:
    CEditListCtrl& control_;
};

}  // namespace

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
    setItemDelegate(new CEditListDelegate(*this));
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
    if (g_editedControl == this) g_editedControl = nullptr;
}

// ---- Rows -------------------------------------------------------------------------------------------

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
        // One selection of row ranges, not one change a row.
        QItemSelection selection;
        int from = -1;
        for (int row = 0; row <= GetItemCount(); ++row) {
            const bool in = row < GetItemCount() && selected.count(itemData_[static_cast<std::size_t>(row)]);
            if (in && from < 0) from = row;
            if (!in && from >= 0) {
                selection.select(model_->index(from, 0), model_->index(row - 1, GetColumnCount() - 1));
                from = -1;
            }
        }
        selectionModel()->select(selection, QItemSelectionModel::Select);
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

// ---- Drawing ----------------------------------------------------------------------------------------

QString CEditListCtrl::ShortenText(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    // The longest beginning that fits together with "..." (the width grows with the length).
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + kEllipsis) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && text.at(low - 1).isHighSurrogate()) --low;
    return text.left(low) + kEllipsis;
}

QString CEditListCtrl::CellDisplayText(int row, int column) const {
    const QFontMetrics metrics(font());
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    return ShortenText(GetCellText(row, column), metrics, columnWidth(column) - 2 * blank);
}

void CEditListCtrl::DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    const bool enabled = isEnabled();
    const QPalette& pal = palette();
    QColor text = enabled ? pal.color(QPalette::Active, QPalette::Text) : QColor(128, 128, 128);
    QColor back = pal.color(QPalette::Active, QPalette::Base);
    if (text == back) text = QColor(192, 192, 192);
    if (enabled && IsItemSelected(row)) {
        back = pal.color(QPalette::Active, QPalette::Highlight);
        text = pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    painter->save();
    painter->fillRect(option.rect, back);
    const QFontMetrics metrics(font());
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const QRect textRect = option.rect.adjusted(blank, 0, -blank, 0);
    const QString full = GetCellText(row, column);
    const QString shown = ShortenText(full, metrics, textRect.width());
    const SELVColumn* record = GetColumnRecord(column);
    const Qt::Alignment alignment =
        shown.size() != full.size() || !record ? Qt::AlignLeft : record->Alignment();
    painter->setFont(font());
    painter->setPen(text);
    painter->drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    if (row == GetFocusedRow() && hasFocus()) {
        // One focus rectangle around the whole row, drawn piece by piece in each cell.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(columnViewportPosition(0), option.rect.top(),
                           columnViewportPosition(GetColumnCount() - 1) + columnWidth(GetColumnCount() - 1) -
                               columnViewportPosition(0),
                           option.rect.height());
        focus.backgroundColor = back;
        painter->setClipRect(option.rect, Qt::IntersectClip);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
    painter->restore();
}

// ---- Hooks ------------------------------------------------------------------------------------------

bool CEditListCtrl::ValidateCellValue(int, int column, const QVariant& value) const {
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || record->Editor() != SELVColumn::EDITOR_NUMBER) return true;
    const double number = value.toDouble();
    return std::isfinite(number) && record->minimum <= number && number <= record->maximum;
}

void CEditListCtrl::SetCellValues(const std::vector<int>& rows, int column,
                                  const std::vector<QVariant>& values) {
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i)
        SetCellValue(rows[i], column, values[i]);
}

void CEditListCtrl::OnEditorCommand1(int) {}

void CEditListCtrl::OnEditorCommand2(int) {}

void CEditListCtrl::OnEditorTextChange(IPopup& editor) {
    if (IsNumberSpinning()) return;
    const QString text = editor.Text();
    for (EditorSlot& slot : editors_)
        if (slot.popup != &editor && slot.widget) slot.popup->SetText(text);
    const SELVColumn* record = GetColumnRecord(editColumn_);
    if (record && record->Editor() == SELVColumn::EDITOR_NUMBER) {
        double value = 0;
        auto* spin = dynamic_cast<CPopupSpinEdit*>(&editor);
        editValueValid_ = spin && spin->Parse(text, value);
        if (editValueValid_) editValue_ = value;
        deltaMode_ = false;
    } else {
        editText_ = text;
    }
}

void CEditListCtrl::OnEditorListSelect(IPopup& editor) {
    const QString text = editor.Text();
    for (EditorSlot& slot : editors_)
        if (slot.popup != &editor && slot.widget) slot.popup->SetText(text);
    editText_ = text;
}

bool CEditListCtrl::BeginEdit(int row, int column) {
    if (IsEditing()) return false;
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || !record->IsEditable()) return false;
    const std::vector<int> rows = GetSelectedRows();
    const int top = GetTopIndex();
    const int last = std::min(GetItemCount(), top + GetCountPerPage()) - 1;
    std::vector<int> visible;
    for (int r : rows)
        if (r >= top && r <= last) visible.push_back(r);
    if (visible.empty()) return false;
    if (g_editedControl && g_editedControl != this) g_editedControl->EndEdit(false);

    editColumn_ = column;
    editRows_ = rows;
    for (int r : rows)
        emit beginLabelEdit(r, column, GetCellText(r, column), 1);
    if (!IsEditing()) return false;  // a receiver ended it meanwhile

    for (int r : visible) {
        IPopup* editor = CreateEditor(r, column);
        editors_.push_back(EditorSlot{r, editor, editor->Window()});
    }
    IPopup* activeEditor = GetEditor(row);
    SetActiveEditor(activeEditor ? activeEditor : editors_.front().popup);
    if (record->Editor() == SELVColumn::EDITOR_NUMBER) {
        editValue_ = 0;
        deltaMode_ = true;
        editValueValid_ = true;
    } else {
        editText_ = active_->Text();
    }
    passedPressTime_ = 0;
    qApp->installEventFilter(this);
    g_editedControl = this;
    return true;
}

IPopup* CEditListCtrl::CreateEditor(int row, int column) {
    const SELVColumn& record = columns_[static_cast<std::size_t>(column)];
    const QRect cell = visualRect(model_->index(row, column));
    IPopup* popup = nullptr;
    switch (record.Editor()) {
        case SELVColumn::EDITOR_LIST: {
            auto* combo = new CPopupComboBox(viewport());
            combo->setFont(font());
            combo->SetItems(record.items);
            combo->SetText(GetCellText(row, column));
            combo->PlaceOverCell(cell);
            popup = combo;
            break;
        }
        case SELVColumn::EDITOR_NUMBER: {
            auto* spin = new CPopupSpinEdit(viewport());
            spin->setFont(font());
            spin->setAlignment(record.Alignment() | Qt::AlignVCenter);
            spin->SetWholeNumbers(record.IsWholeNumber());
            spin->SetStepBase(record.StepBase());
            spin->SetStepExponent(record.stepExponent);
            spin->SetRange(record.minimum, record.maximum);
            if (!record.IsWholeNumber()) spin->SetPrecision(record.precision1, record.precision2);
            spin->SetCellRect(cell);
            spin->setGeometry(cell);
            spin->InitValue(GetCellNumber(row, column));
            spin->selectAll();
            popup = spin;
            break;
        }
        default: {
            auto* edit = new CPopupEdit(viewport());
            edit->setFont(font());
            edit->setAlignment(record.Alignment() | Qt::AlignVCenter);
            edit->SetCellRect(cell);
            edit->setGeometry(cell);
            edit->InitText(GetCellText(row, column));
            edit->selectAll();
            popup = edit;
            break;
        }
    }
    popup->SetRow(row);
    popup->SetOwner(this);
    popup->SetCellRect(cell);
    popup->Window()->setObjectName(QStringLiteral("popup%1").arg(100 + row));
    popup->Window()->show();
    return popup;
}

void CEditListCtrl::SetActiveEditor(IPopup* editor) {
    active_ = editor;
    if (editor) editor->Window()->setFocus(Qt::OtherFocusReason);
}

IPopup* CEditListCtrl::GetEditor(int row) const {
    for (const EditorSlot& slot : editors_)
        if (slot.row == row && slot.widget) return slot.popup;
    return nullptr;
}

CEditListCtrl* CEditListCtrl::EditedControl() {
    return g_editedControl;
}

bool CEditListCtrl::IsNumberSpinning() const {
    for (const EditorSlot& slot : editors_)
        if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data()); spin && spin->IsSpinning())
            return true;
    return false;
}

QVariant CEditListCtrl::RowValue(int row) const {
    const SELVColumn* record = GetColumnRecord(editColumn_);
    if (!record || record->Editor() != SELVColumn::EDITOR_NUMBER) return editText_;
    double value = deltaMode_ ? GetCellNumber(row, editColumn_) + editValue_ : editValue_;
    if (record->IsWholeNumber()) value = std::round(value);
    return value;
}

bool CEditListCtrl::EndEdit(bool commit) {
    if (!IsEditing() || applying_) return false;
    const int column = editColumn_;
    const std::vector<int> rows = editRows_;
    if (commit) {
        const SELVColumn* record = GetColumnRecord(column);
        const bool number = record && record->Editor() == SELVColumn::EDITOR_NUMBER;
        if (number && !deltaMode_ && !editValueValid_) {
            QApplication::beep();
            return false;
        }
        std::vector<QVariant> values;
        values.reserve(rows.size());
        applying_ = true;
        bool accepted = true;
        for (int row : rows) {
            values.push_back(RowValue(row));
            if (!ValidateCellValue(row, column, values.back())) {
                accepted = false;
                break;
            }
        }
        if (!accepted) {
            applying_ = false;
            QApplication::beep();
            return false;
        }
        SetCellValues(rows, column, values);
        applying_ = false;
    }
    qApp->removeEventFilter(this);
    if (g_editedControl == this) g_editedControl = nullptr;
    DestroyEditors();
    editColumn_ = -1;
    editRows_.clear();
    setFocus(Qt::OtherFocusReason);
    for (int row : rows)
        emit endLabelEdit(row, column, commit ? GetCellText(row, column) : QString(), commit ? 1 : 2);
    viewport()->update();
    return true;
}

void CEditListCtrl::DestroyEditors() {
    // Editors may be in the middle of their own key or mouse handling: they go from the event loop.
    for (EditorSlot& slot : editors_) {
        if (!slot.widget) continue;
        slot.popup->SetOwner(nullptr);
        if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data())) spin->StopSpinning();
        slot.widget->hide();
        slot.widget->deleteLater();
    }
    editors_.clear();
    active_ = nullptr;
}

void CEditListCtrl::ReplaceString(int column) {
    if (IsEditing()) return;
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || !record->IsEditable() || record->Editor() != SELVColumn::EDITOR_TEXT) return;
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    QString search = g_lastSearch;
    QString replace = g_lastReplace;
    if (!AskReplaceStrings(search, replace)) return;
    g_lastSearch = search;
    g_lastReplace = replace;

    std::vector<QVariant> values;
    for (int row : rows)
        values.emplace_back(ReplaceAll(GetCellText(row, column), search, replace));
    for (int row : rows)
        emit beginLabelEdit(row, column, GetCellText(row, column), 1);
    applying_ = true;
    bool accepted = true;
    for (std::size_t i = 0; i < rows.size() && accepted; ++i)
        accepted = ValidateCellValue(rows[i], column, values[i]);
    if (!accepted) {
        applying_ = false;
        QApplication::beep();
        for (int row : rows)
            emit endLabelEdit(row, column, QString(), 2);
        return;
    }
    SetCellValues(rows, column, values);
    applying_ = false;
    for (int row : rows)
        emit endLabelEdit(row, column, GetCellText(row, column), 1);
    viewport()->update();
}

QString CEditListCtrl::ReplaceAll(const QString& text, const QString& search, const QString& replace) {
    if (search.isEmpty()) return replace;
    QString result = text;
    return result.replace(search, replace, Qt::CaseSensitive);
}

bool CEditListCtrl::AskReplaceStrings(QString& search, QString& replace) {
    CReplaceStringDlg dialog(this);
    dialog.SetStrings(search, replace);
    if (dialog.exec() != QDialog::Accepted) return false;
    search = dialog.SearchString();
    replace = dialog.ReplaceString();
    return true;
}

// ---- Editor notifications ---------------------------------------------------------------------------

void CEditListCtrl::OnPopupNotify(IPopup& popup, int code) {
    if (!IsEditing()) return;
    switch (code) {
        case POPUP_ENTER:
            EndEdit(active_ && active_->IsModified());
            break;
        case POPUP_ESCAPE:
            EndEdit(false);
            break;
        case POPUP_TEXT_CHANGE:
            if (&popup == active_) OnEditorTextChange(popup);
            break;
        case POPUP_LIST_SELECT:
            if (&popup == active_) OnEditorListSelect(popup);
            break;
        case POPUP_COMMAND1:
            OnEditorCommand1(popup.Row());
            break;
        case POPUP_COMMAND2:
            OnEditorCommand2(popup.Row());
            break;
        default:
            break;
    }
}

bool CEditListCtrl::OnPopupDelta(IPopup& popup, double oldValue, double delta) {
    if (!IsEditing()) return true;
    if (!deltaMode_ && !editValueValid_) {
        editValue_ = oldValue;
        editValueValid_ = true;
    }
    const double previous = editValue_;
    editValue_ += delta;
    applying_ = true;
    bool accepted = true;
    for (int row : editRows_) {
        if (!ValidateCellValue(row, editColumn_, RowValue(row))) {
            accepted = false;
            break;
        }
    }
    applying_ = false;
    if (!accepted) {
        editValue_ = previous;
        return false;
    }
    for (EditorSlot& slot : editors_) {
        if (slot.popup == &popup || !slot.widget) continue;
        if (auto* spin = dynamic_cast<CPopupSpinEdit*>(slot.popup)) spin->ShowValue(spin->Value() + delta);
    }
    return true;
}

// ---- Events -----------------------------------------------------------------------------------------

bool CEditListCtrl::IsTableKey(const QKeyEvent* event) const {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    return text == QLatin1String("h") || text == QLatin1String("l") || text == QLatin1String("j") ||
           text == QLatin1String("J") || text == QLatin1String("k") || text == QLatin1String("K") ||
           text == QLatin1String("^") || text == QLatin1String("_") || text == QLatin1String("|") ||
           text == QLatin1String("$");
}

bool CEditListCtrl::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !IsEditing()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool enter =
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && AnyColumnEditable();
        const bool arrow = plain && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right);
        if (enter || arrow || IsTableKey(key)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void CEditListCtrl::keyPressEvent(QKeyEvent* event) {
    if (IsEditing()) {
        QTableView::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    const QString text = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const SELVColumn* record = GetColumnRecord(currentColumn_);
        if (!record || !record->IsEditable()) {
            if (AnyColumnEditable())
                event->accept();
            else
                event->ignore();
            return;
        }
        const std::vector<int> rows = GetSelectedRows();
        if (!rows.empty()) {
            const int top = GetTopIndex();
            const int last = top + GetCountPerPage() - 1;
            auto it = std::find_if(rows.begin(), rows.end(), [&](int r) { return r >= top && r <= last; });
            int row = it != rows.end() ? *it : rows.front();
            if (it == rows.end()) EnsureVisible(row);
            BeginEdit(row, currentColumn_);
        }
        event->accept();
        return;
    }
    if ((plain && key == Qt::Key_Left) || text == QLatin1String("h")) {
        MoveCurrentColumn(-1);
    } else if ((plain && key == Qt::Key_Right) || text == QLatin1String("l")) {
        MoveCurrentColumn(+1);
    } else if (plain &&
               (text == QLatin1String("^") || text == QLatin1String("_") || text == QLatin1String("|"))) {
        SetCurrentColumn(0);
    } else if (plain && text == QLatin1String("$")) {
        SetCurrentColumn(GetColumnCount() - 1);
    } else if (plain && (text == QLatin1String("j") || text == QLatin1String("J") ||
                         text == QLatin1String("k") || text == QLatin1String("K"))) {
        const bool down = text.compare(QLatin1String("j"), Qt::CaseInsensitive) == 0;
        QKeyEvent arrow(QEvent::KeyPress, down ? Qt::Key_Down : Qt::Key_Up, event->modifiers());
        QTableView::keyPressEvent(&arrow);
    } else if (key == Qt::Key_R && (event->modifiers() & Qt::ControlModifier)) {
        const SELVColumn* record = GetColumnRecord(currentColumn_);
        if (record && record->IsEditable() && record->Editor() == SELVColumn::EDITOR_TEXT &&
            GetSelectedCount() > 0)
            ReplaceString(currentColumn_);
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

int CEditListCtrl::RowFromY(int y) const {
    const int row = rowAt(y);
    return row >= 0 ? row : (y < 0 ? GetTopIndex() : GetItemCount() - 1);
}

void CEditListCtrl::SelectRange(int from, int to) {
    if (from < 0) from = to;
    if (to < 0 || GetColumnCount() == 0) return;
    const int first = std::min(from, to);
    const int last = std::max(from, to);
    selectionModel()->select(
        QItemSelection(model_->index(first, 0), model_->index(last, GetColumnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void CEditListCtrl::ApplyToggle(int to) {
    if (GetColumnCount() == 0) return;
    const int first = std::min(mark_, to);
    const int last = std::max(mark_, to);
    QItemSelection selection;
    for (int row = 0; row < GetItemCount(); ++row) {
        const bool selected =
            row >= first && row <= last ? toggleState_ : snapshot_[static_cast<std::size_t>(row)];
        if (selected) selection.select(model_->index(row, 0), model_->index(row, GetColumnCount() - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CEditListCtrl::mousePressEvent(QMouseEvent* event) {
    if (!multipleSelection_ && event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        leftPressed_ = true;
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        rightPressed_ = true;
        const SELVColumn* record = GetColumnRecord(column);
        if (row >= 0 && record && record->IsEditable()) {
            SetCurrentColumn(column);
            if (IsItemSelected(row)) BeginEdit(row, column);
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    leftPressed_ = true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (row < 0) {
        if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) ClearAllSelection();
        mouseMode_ = MOUSE_NONE;
        event->accept();
        return;
    }
    if (modifiers & Qt::ShiftModifier) {
        mouseMode_ = MOUSE_RANGE;
        if (mark_ < 0 || mark_ >= GetItemCount()) mark_ = row;
        SelectRange(mark_, row);
    } else if (modifiers & Qt::ControlModifier) {
        mouseMode_ = MOUSE_TOGGLE;
        snapshot_.assign(static_cast<std::size_t>(GetItemCount()), false);
        for (int r : GetSelectedRows())
            snapshot_[static_cast<std::size_t>(r)] = true;
        mark_ = row;
        toggleState_ = !snapshot_[static_cast<std::size_t>(row)];
        ApplyToggle(row);
    } else {
        mouseMode_ = MOUSE_SINGLE;
        mark_ = row;
        SelectRange(row, row);
    }
    SetFocusedRow(row);
    event->accept();
}

void CEditListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!multipleSelection_) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    if (!leftPressed_ || mouseMode_ == MOUSE_NONE || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    const int y = event->position().toPoint().y();
    int row = 0;
    if (y < 0) {
        SetTopIndex(GetTopIndex() - 1);
        row = GetTopIndex();
    } else if (y >= viewport()->height()) {
        SetTopIndex(GetTopIndex() + 1);
        row = std::min(GetItemCount() - 1, GetTopIndex() + std::max(0, GetCountPerPage() - 1));
    } else {
        row = RowFromY(y);
    }
    if (row < 0) return;
    if (mouseMode_ == MOUSE_TOGGLE)
        ApplyToggle(row);
    else
        SelectRange(mark_, row);
    SetFocusedRow(row);
    event->accept();
}

void CEditListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && leftPressed_) {
        if (!multipleSelection_) QTableView::mouseReleaseEvent(event);
        leftPressed_ = false;
        mouseMode_ = MOUSE_NONE;
        emit listClicked();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && rightPressed_) {
        rightPressed_ = false;
        emit listRightClicked();
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        leftPressed_ = true;
        if (index.isValid()) emit doubleClicked(index);
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        // A second right press acts like the first.
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers());
        mousePressEvent(&press);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CEditListCtrl::wheelEvent(QWheelEvent* event) {
    if (IsEditing()) EndEdit(false);
    QTableView::wheelEvent(event);
}

void CEditListCtrl::focusInEvent(QFocusEvent* event) {
    if (IsEditing() && active_) {
        active_->Window()->setFocus(event->reason());
        return;
    }
    QTableView::focusInEvent(event);
}

void CEditListCtrl::scrollContentsBy(int dx, int dy) {
    if (IsEditing() && !applying_) EndEdit(false);
    QTableView::scrollContentsBy(dx, dy);
}

void CEditListCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateRowHeight();
}

void CEditListCtrl::UpdateRowHeight() {
    const QFontMetrics metrics(font());
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

bool CEditListCtrl::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!IsEditing() || applying_ ||
        (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
         type != QEvent::NonClientAreaMouseButtonPress))
        return QTableView::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        return QTableView::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return QTableView::eventFilter(watched, event);

    // The same press travelling on to the parents of a widget it was already let through to.
    const QPoint global = mouse->globalPosition().toPoint();
    if (passedPressTime_ != 0 && mouse->timestamp() == passedPressTime_ && global == passedPressPos_)
        return false;

    bool onEditor = false;
    if (auto* combo = dynamic_cast<CPopupComboBox*>(active_);
        combo && combo->IsListOpen() && combo->view() && IsWidgetWithin(widget, combo->view()->window()))
        onEditor = true;
    for (EditorSlot& slot : editors_) {
        if (onEditor || !slot.widget) break;
        if (IsWidgetWithin(widget, slot.widget)) {
            if (slot.popup != active_) SetActiveEditor(slot.popup);
            onEditor = true;
        } else if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data());
                   spin && spin->Slider() && IsWidgetWithin(widget, spin->Slider())) {
            onEditor = true;
        }
    }
    if (onEditor) {
        passedPressTime_ = mouse->timestamp();
        passedPressPos_ = global;
        return false;
    }
    const bool commit = mouse->button() == Qt::LeftButton && active_ && active_->IsModified();
    if (!EndEdit(commit)) return true;  // a value failed validation: the press is swallowed
    return false;
}

}  // namespace GP
