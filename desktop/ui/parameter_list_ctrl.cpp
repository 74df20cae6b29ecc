#include "ui/parameter_list_ctrl.h"

#include <QHeaderView>
#include <QMouseEvent>
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

namespace {

struct ColumnEntry {
    const char* header;
    int id;
    std::uint32_t flags;
    double minimum;
    double maximum;
};

// Position, header (the same in both languages), identifier, editing style and value range.
constexpr ColumnEntry kColumns[CParameterListCtrl::kColumnCount] = {
    {"Number", CParameterListCtrl::kNumberColumn, 0x1141, 0, 127},
    {"PatchName    ", CParameterListCtrl::kNameColumn, 0x10010, 0, 0},
    {"Memo1", 1, 0x10010, 0, 0},
    {"Memo2", 2, 0x10010, 0, 0},
    {"Memo3", 3, 0x10010, 0, 0},
    {"Memo4", 4, 0x10010, 0, 0},
};

}  // namespace

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

void CParameterListCtrl::SetPatchArray(CParameterArray* array, CImageDocument* data) {
    array_ = array;
    data_ = data;
}

int CParameterListCtrl::PatchCount() const {
    return array_ ? static_cast<int>(array_->GetSize()) : 0;
}

bool CParameterListCtrl::IsEndOfLineRow(int row) const {
    return row >= 0 && GetItemData(row) >= PatchCount();
}

QString CParameterListCtrl::MainNumber(int index) {
    return QStringLiteral("U%1-%2").arg(index / 4 + 1, 2, 10, QLatin1Char('0')).arg(index % 4 + 1);
}

int CParameterListCtrl::ColumnIdAt(int position) {
    return position >= 0 && position < kColumnCount ? kColumns[position].id : -1;
}

int CParameterListCtrl::PositionOfColumnId(int id) {
    for (int position = 0; position < kColumnCount; ++position)
        if (kColumns[position].id == id) return position;
    return -1;
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
    QItemSelection selection;
    int from = -1;
    for (int row = 0; row <= GetItemCount(); ++row) {
        const bool patchRow = row < GetItemCount() && !IsEndOfLineRow(row);
        if (patchRow && from < 0) from = row;
        if (!patchRow && from >= 0) {
            selection.select(model()->index(from, 0), model()->index(row - 1, GetColumnCount() - 1));
            from = -1;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
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
    QItemSelection selection;
    int first = -1;
    int from = -1;
    for (int row = 0; row <= GetItemCount(); ++row) {
        const bool in = row < GetItemCount() && wanted.count(static_cast<int>(GetItemData(row)));
        if (in && first < 0) first = row;
        if (in && from < 0) from = row;
        if (!in && from >= 0) {
            selection.select(model()->index(from, 0), model()->index(row - 1, GetColumnCount() - 1));
            from = -1;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::Select);
    if (first >= 0 && scrollToFirst) {
        SetFocusedRow(first);
        EnsureVisible(first);
    }
}

// ---- rows and columns -------------------------------------------------------------------------------

void CParameterListCtrl::SetRowCount() {
    SetItemCount(PatchCount() + (listKind_ == kLibraryList ? 1 : 0));
}

void CParameterListCtrl::SetupColumns() {
    DeleteAllColumns();
    for (int position = 0; position < kColumnCount; ++position) {
        const ColumnEntry& entry = kColumns[position];
        SELVColumn record;
        record.flags = entry.flags;
        record.minimum = entry.minimum;
        record.maximum = entry.maximum;
        InsertColumn(position, {QString::fromLatin1(entry.header), -1}, record);
    }
    LoadColumnWidths();
}

void CParameterListCtrl::Rebuild() {
    const int top = GetTopIndex();
    const int focus = GetFocusedRow();
    const int current = GetCurrentColumn();
    setUpdatesEnabled(false);
    DeleteAllItems();
    SetupColumns();
    SetRowCount();
    SetTopIndex(top);
    SetFocusedRow(std::min(focus, GetItemCount() - 1));
    SetCurrentColumn(current);
    setUpdatesEnabled(true);
}

void CParameterListCtrl::Refresh(bool select, int count) {
    const int top = GetTopIndex();
    const int focus = GetFocusedRow();
    const int current = GetCurrentColumn();
    const int scrollX = horizontalScrollBar()->value();

    std::vector<int> keep;
    if (select && count > 0) {
        const int first = FirstSelectedRow();
        const int from = first >= 0 ? static_cast<int>(GetItemData(first)) : -1;
        if (from >= 0 && from + count <= PatchCount())
            for (int i = 0; i < count; ++i)
                keep.push_back(from + i);
    } else if (select) {
        keep = SelectedIndexes();
    }

    setUpdatesEnabled(false);
    DeleteAllItems();
    SetRowCount();
    if (scrollX != 0 && horizontalScrollBar()->value() == 0) horizontalScrollBar()->setValue(scrollX);
    SetTopIndex(top);
    SetFocusedRow(std::min(focus, GetItemCount() - 1));
    if (current >= 0) SetCurrentColumn(current);
    SelectIndexes(keep);
    ApplySort();
    setUpdatesEnabled(true);
    emit visibleRowsChanged();
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
    if (!array_) return;
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
    return id >= 1 && id <= 4 ? array_->GetAt(static_cast<std::size_t>(index)).GetMemo(id - 1)
                              : std::string();
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

// ---- editing primitives -----------------------------------------------------------------------------

bool CParameterListCtrl::HasClipboard() const {
    const CParameterArray* clipboard = Clipboard();
    return clipboard && !clipboard->IsEmpty();
}

void CParameterListCtrl::Resize(int n) {
    if (array_) array_->Resize(static_cast<std::size_t>(std::max(n, 0)));
}

void CParameterListCtrl::CopySelection() {
    if (array_) CopyToClipboard(SelectedIndexes());
}

void CParameterListCtrl::DeleteSelection() {
    if (array_) array_->DeleteSelection(SelectedIndexes());
}

int CParameterListCtrl::InsertClipboard() {
    const int first = FirstSelectedRow();
    if (!array_ || !Clipboard() || first < 0) return 0;
    return array_->InsertClipboard(static_cast<int>(GetItemData(first)), *Clipboard());
}

void CParameterListCtrl::ReplaceSelection() {
    if (array_ && Clipboard()) array_->ReplaceSelection(SelectedIndexes(), *Clipboard());
}

void CParameterListCtrl::ExchangeSelection() {
    if (array_) array_->ExchangeSelection(SelectedIndexes());
}

// ---- cells ------------------------------------------------------------------------------------------

QString CParameterListCtrl::GetCellText(int row, int column) const {
    const qint64 index = GetItemData(row);
    if (index < 0) return QString();
    const int id = ColumnIdAt(column);
    if (index >= PatchCount()) return id == kNumberColumn ? QStringLiteral("End of Line") : QString();
    return CellText(static_cast<int>(index), id);
}

QString CParameterListCtrl::CellText(int index, int id) const {
    if (id == kNumberColumn) {
        if (listKind_ == kMainList) return MainNumber(index);
        return QString::number(index + 1);
    }
    if (id >= 1 && id <= 4)
        return QString::fromStdString(array_->GetAt(static_cast<std::size_t>(index)).GetMemo(id - 1));
    return QString();
}

double CParameterListCtrl::GetCellNumber(int row, int) const {
    return static_cast<double>(GetItemData(row) + 1);
}

void CParameterListCtrl::StoreCellText(int index, int id, const QString& text) {
    if (id >= 1 && id <= 4)
        array_->GetAt(static_cast<std::size_t>(index)).SetMemo(id - 1, text.toStdString());
}

void CParameterListCtrl::SetCellValue(int row, int column, const QVariant& value) {
    SetCellValues({row}, column, {value});
}

void CParameterListCtrl::SetCellValues(const std::vector<int>& rows, int column,
                                       const std::vector<QVariant>& values) {
    // One edit, whichever way it came (in-place editors, Replace String): one undo copy before the first
    // row, every text stored against the patch its row showed when the edit began, one re-sort at the end.
    std::vector<std::pair<int, QString>> texts;
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i) {
        const qint64 index = GetItemData(rows[i]);
        if (array_ && index >= 0 && index < PatchCount())
            texts.emplace_back(static_cast<int>(index), values[i].toString());
    }
    if (texts.empty()) return;
    if (data_) data_->TakeUndoCopy(1);
    const int id = ColumnIdAt(column);
    for (const auto& [index, text] : texts)
        StoreCellText(index, id, text);
    ApplySort();
    viewport()->update();
    emit contentEdited();
}

bool CParameterListCtrl::BeginEdit(int row, int column) {
    const int start = row >= 0 ? row : FirstSelectedRow();
    if (start < 0 || IsEndOfLineRow(start)) return false;
    return CEditListCtrl::BeginEdit(row, column);
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
