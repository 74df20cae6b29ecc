#include "ui/parameter_list_ctrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

#include "gp/util/settings_catalog.h"
#include "model/image_document.h"
#include "model/parameter_address.h"
#include "model/parameter_array.h"
#include "settings/settings_store.h"

CParameterListCtrl::CParameterListCtrl(int listKind, QWidget* parent)
    : CEditListCtrl(parent), listKind_(listKind) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int position) { SortByColumnPosition(position); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { emit visibleRowsChanged(); });
}

CParameterListCtrl::~CParameterListCtrl() {
    if (GetColumnCount() == kColumnCount) SaveColumnWidths();
}

void CParameterListCtrl::SetTableModel(CPatchTableModel* table) {
    table_ = table;
    SetSourceModel(table);
}

int CParameterListCtrl::PatchCount() const {
    return table_ ? table_->PatchCount() : 0;
}

bool CParameterListCtrl::IsEndOfLineRow(int row) const {
    return row >= 0 && GetItemData(row) >= PatchCount();
}

// ---- selection --------------------------------------------------------------------------------------

int CParameterListCtrl::FirstSelectedRow() const {
    const std::vector<int> rows = GetSelectedRows();
    return rows.empty() ? -1 : rows.front();
}

int CParameterListCtrl::LastSelectedRow() const {
    const std::vector<int> rows = GetSelectedRows();
    return rows.empty() ? -1 : rows.back();
}

std::vector<int> CParameterListCtrl::SelectedIndexes() const {
    std::vector<int> indexes;
    const int count = PatchCount();
    for (int row : GetSelectedRows()) {
        const qint64 data = GetItemData(row);
        if (data >= 0 && data < count) indexes.push_back(static_cast<int>(data));
    }
    return indexes;
}

bool CParameterListCtrl::HasRealSelection() const {
    const int first = FirstSelectedRow();
    return first >= 0 && !IsEndOfLineRow(first);
}

int CParameterListCtrl::FirstSelectedPosition() const {
    const int first = FirstSelectedRow();
    return first < 0 ? -1 : static_cast<int>(std::min<qint64>(GetItemData(first), PatchCount()));
}

std::vector<int> CParameterListCtrl::AllIndexes() const {
    std::vector<int> indexes(static_cast<std::size_t>(PatchCount()));
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = static_cast<int>(i);
    return indexes;
}

void CParameterListCtrl::SelectAll() {
    ClearAllSelection();
    const int count = PatchCount();
    if (count == 0 || GetColumnCount() == 0) return;
    if (listKind_ == kMainList || GetItemCount() == count) {
        SelectAllItems();
        return;
    }
    // Every row but End of Line, wherever the sort has put it.
    SelectRowRuns([this](int row) { return !IsEndOfLineRow(row); });
}

int CParameterListCtrl::RowOfIndex(int index) const {
    if (index < 0 || index >= GetItemCount()) return -1;
    if (GetItemData(index) == index) return index;
    for (int row = 0; row < GetItemCount(); ++row)
        if (GetItemData(row) == index) return row;
    return -1;
}

void CParameterListCtrl::SelectIndexes(const std::vector<int>& indexes, bool scrollToFirst) {
    ClearAllSelection();
    if (GetColumnCount() == 0) return;
    const std::set<int> wanted(indexes.begin(), indexes.end());
    const int first =
        SelectRowRuns([&](int row) { return wanted.count(static_cast<int>(GetItemData(row))) > 0; });
    if (first >= 0 && scrollToFirst) {
        SetFocusedRow(first);
        EnsureVisible(first);
    }
}

// ---- rows and columns -------------------------------------------------------------------------------

void CParameterListCtrl::SetupColumns() {
    using SELVColumn = GP::CEditListCtrl::SELVColumn;
    const int top = GetTopIndex();
    const int current = GetCurrentColumn();
    DeleteAllColumns();
    for (int position = 0; position < kColumnCount; ++position) {
        const CPatchTableModel::Column& column = CPatchTableModel::ColumnAt(position);
        SELVColumn record;
        if (column.editable) {
            record.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_TEXT;
        } else {
            // The number: whole numbers from 0 to 127 in steps of one, right-aligned, never edited.
            record.flags = SELVColumn::ALIGN_RIGHT | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_WHOLE |
                           SELVColumn::STEP_BASE10;
            record.minimum = 0;
            record.maximum = 127;
        }
        InsertColumn(position, {QString::fromLatin1(column.header), -1}, record);
    }
    LoadColumnWidths();
    SetTopIndex(top);
    if (current >= 0) SetCurrentColumn(current);
}

// ---- sorting ----------------------------------------------------------------------------------------

void CParameterListCtrl::SortByColumnPosition(int position) {
    const int id = ColumnIdAt(position);
    if (id < 0) return;
    ascending_ = id == sortColumn_ ? !ascending_ : true;
    sortColumn_ = id;
    ApplySort();
}

void CParameterListCtrl::ApplySort() {
    if (!table_) return;
    const qint64 count = PatchCount();
    // Patch order first, so that equal patches keep it; End of Line stays last either way.
    bool ordered = true;
    for (int row = 0; row < GetItemCount() && ordered; ++row)
        ordered = GetItemData(row) == row;
    if (!ordered) SortItems([](qint64 a, qint64 b) { return a < b; });
    if (sortColumn_ < 0 || sortColumn_ == kNumberColumn) {
        if (sortColumn_ == kNumberColumn && !ascending_)
            SortItems([count](qint64 a, qint64 b) { return a < count && (b >= count || a > b); });
        return;
    }
    // The texts are taken and folded to upper case once, into one block of memory, not in every comparison.
    // The order is that of CParameter::Compare: letter case ignored first, then the bytes, then the patches'
    // own order.
    std::string rawText;
    std::string foldedText;
    std::vector<std::size_t> offsets(static_cast<std::size_t>(count) + 1, 0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        rawText += SortText(static_cast<int>(i), sortColumn_);
        offsets[i + 1] = rawText.size();
    }
    foldedText = rawText;
    for (char& c : foldedText)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto text = [&offsets](const std::string& block, qint64 index) {
        const auto i = static_cast<std::size_t>(index);
        return std::string_view(block.data() + offsets[i], offsets[i + 1] - offsets[i]);
    };
    const auto order = [&](qint64 a, qint64 b) {
        const int byFold = text(foldedText, a).compare(text(foldedText, b));
        if (byFold != 0) return byFold < 0 ? -1 : 1;
        const int byBytes = text(rawText, a).compare(text(rawText, b));
        if (byBytes != 0) return byBytes < 0 ? -1 : 1;
        return a < b ? -1 : (a == b ? 0 : 1);
    };
    // Every pair of patches has an order (their own order breaks ties), so an unstable sort is enough.
    std::vector<qint64> rows(static_cast<std::size_t>(GetItemCount()));
    for (std::size_t row = 0; row < rows.size(); ++row)
        rows[row] = static_cast<qint64>(row);
    const bool ascending = ascending_;
    std::sort(rows.begin(), rows.end(), [&](qint64 a, qint64 b) {
        if (a >= count || b >= count) return a < count && b >= count;
        const int result = order(a, b);
        return ascending ? result < 0 : result > 0;
    });
    SetItemOrder(std::move(rows));
}

std::string CParameterListCtrl::SortText(int index, int id) const {
    const CPatch& patch = table_->Patches()[static_cast<std::size_t>(index)];
    if (id == kNameColumn) return patch.GetName();
    return id >= 1 && id <= 4 ? patch.GetMemo(id - 1) : std::string();
}

// ---- column widths ----------------------------------------------------------------------------------

QString CParameterListCtrl::ColumnWidthText() const {
    QStringList widths;
    for (int column = 0; column < GetColumnCount(); ++column)
        widths << QString::number(GetColumnWidth(column));
    return widths.join(QLatin1Char(','));
}

void CParameterListCtrl::LoadColumnWidths() {
    const QString stored = Profile::kColumnWidths.Read(settings_);
    const QStringList widths = stored.split(QLatin1Char(','));
    for (int column = 0; column < GetColumnCount(); ++column) {
        bool ok = false;
        const int width = column < widths.size() ? widths[column].trimmed().toInt(&ok) : 0;
        SetColumnWidth(column, ok && width > 0 ? width : DefaultColumnWidth(column));
    }
}

int CParameterListCtrl::DefaultColumnWidth(int column) const {
    // The name column also fits a whole name of sixteen characters, the number column "End of Line".
    const int id = ColumnIdAt(column);
    QString widest;
    if (id == kNameColumn) widest = QString(PATCH_NAME_LENGTH, QLatin1Char('N'));
    if (id == kNumberColumn) widest = QStringLiteral("End of Line");
    if (widest.isEmpty()) return HeaderFitWidth(column);
    return std::max(HeaderFitWidth(column), fontMetrics().horizontalAdvance(widest) + 12);
}

void CParameterListCtrl::SaveColumnWidths() const {
    if (GetColumnCount() > 0) Profile::kColumnWidths.Write(settings_, ColumnWidthText());
}

// ---- cells ------------------------------------------------------------------------------------------

double CParameterListCtrl::GetCellNumber(int row, int) const {
    return static_cast<double>(GetItemData(row) + 1);
}

bool CParameterListCtrl::BeginEdit(int row, int column) {
    const int start = row >= 0 ? row : FirstSelectedRow();
    if (start < 0 || IsEndOfLineRow(start)) return false;
    return CEditListCtrl::BeginEdit(row, column);
}

void CParameterListCtrl::DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    CEditListCtrl::DrawItem(painter, option, index);
    if (!table_ || ColumnIdAt(index.column()) != kNumberColumn) return;
    const qint64 patch = GetItemData(index.row());
    const auto state = table_->SlotStateOf(static_cast<int>(patch));
    if (state == CPatchTableModel::kSlotHeld) return;
    // In the colour of the cell's text, at the left of the right-aligned number.
    const bool selected = isEnabled() && IsItemSelected(index.row());
    const QColor color =
        palette().color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    const int diameter = std::max(5, fontMetrics().height() / 2 - 1);
    const int blank = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const QRectF mark(option.rect.left() + blank, option.rect.center().y() - diameter / 2.0, diameter,
                      diameter);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(color, 1.2));
    painter->setBrush(state == CPatchTableModel::kSlotChanged ? QBrush(color) : Qt::NoBrush);
    painter->drawEllipse(mark.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

// ---- events -----------------------------------------------------------------------------------------

void CParameterListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0 && !IsEndOfLineRow(row)) emit patchDoubleClicked(static_cast<int>(GetItemData(row)));
    CEditListCtrl::mouseDoubleClickEvent(event);
}

void CParameterListCtrl::mousePressEvent(QMouseEvent* event) {
    // A right press reaches the list's editing only on a patch row.
    if (event->button() == Qt::RightButton) {
        const int row = rowAt(event->position().toPoint().y());
        if (row < 0 || IsEndOfLineRow(row)) {
            event->accept();
            return;
        }
    }
    CEditListCtrl::mousePressEvent(event);
}

void CParameterListCtrl::keyPressEvent(QKeyEvent* event) {
    CEditListCtrl::keyPressEvent(event);
    emit visibleRowsChanged();
}

void CParameterListCtrl::scrollContentsBy(int dx, int dy) {
    CEditListCtrl::scrollContentsBy(dx, dy);
    if (dy != 0) emit visibleRowsChanged();
}

void CParameterListCtrl::resizeEvent(QResizeEvent* event) {
    CEditListCtrl::resizeEvent(event);
    emit visibleRowsChanged();
}
