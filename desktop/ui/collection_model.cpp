#include "ui/collection_model.h"

#include <QFileInfo>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <numeric>

#include "collection/memo_text.h"
#include "ui/collection.h"
#include "ui/memo_codec.h"
#include "ui/patch_list_ctrl.h"

namespace {

QString NameText(const std::string& bytes) {
    std::string name = bytes;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString TagsText(const std::vector<std::string>& tags) {
    QStringList texts;
    for (const std::string& tag : tags)
        texts << QString::fromStdString(tag);
    return texts.join(QStringLiteral(", "));
}

// "live, clean ,, Live" as tags: blanks around each dropped, empty ones left out (the store drops repeats).
std::vector<std::string> TagsOf(const QString& text) {
    std::vector<std::string> tags;
    for (const QString& part : text.split(QLatin1Char(',')))
        if (const QString tag = part.trimmed(); !tag.isEmpty()) tags.push_back(tag.toStdString());
    return tags;
}

}  // namespace

CCollectionModel::CCollectionModel(CCollection& collection, const CMemoCodec& codec, QObject* parent)
    : QAbstractTableModel(parent), collection_(collection), codec_(codec) {
    // The rows name rows of the index: they follow every change of it at once, but an edit in place (which
    // moves no row) only after the view has finished the edit.
    connect(&collection_, &CCollection::indexChanged, this, [this] {
        if (inSetData_)
            QTimer::singleShot(0, this, &CCollectionModel::Refresh);
        else
            Refresh();
    });
    Rebuild();
}

void CCollectionModel::SetFilter(const SoundFilter& filter) {
    filter_ = filter;
    emit rowsAboutToChange();
    beginResetModel();
    Rebuild();
    endResetModel();
    emit rowsChanged();
}

void CCollectionModel::Refresh() {
    rankValid_ = false;
    SetFilter(filter_);
}

void CCollectionModel::Rebuild() {
    rows_ = collection_.Index().Search(filter_);
    Order();
}

void CCollectionModel::Rank() {
    const CSoundIndex& index = collection_.Index();
    const std::size_t count = index.Size();
    std::vector<std::string> keys(count);
    for (std::size_t row = 0; row < count; ++row) {
        const SoundSummary& summary = index.At(row);
        switch (sortColumn_) {
            case kName:
                keys[row] = FoldForSearch(summary.name);
                break;
            case kFavourite:
                keys[row].assign(1, summary.favourite ? '0' : '1');
                break;
            default:
                keys[row] = FoldForSearch(CellText(summary, sortColumn_).toStdString());
                break;
        }
    }
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    // Equal keys keep the index's order: the most recent first.
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    rank_.assign(count, 0);
    for (std::uint32_t position = 0; position < order.size(); ++position)
        rank_[order[position]] = position;
    rankValid_ = true;
}

void CCollectionModel::Order() {
    if (sortColumn_ == kLastSeen || sortColumn_ < 0) {
        // The index's order is the most recent first.
        if (sortColumn_ == kLastSeen && sortOrder_ == Qt::AscendingOrder)
            std::reverse(rows_.begin(), rows_.end());
        return;
    }
    if (!rankValid_ || rank_.size() != collection_.Index().Size()) Rank();
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::sort(rows_.begin(), rows_.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? rank_[a] < rank_[b] : rank_[a] > rank_[b];
    });
}

void CCollectionModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) return;
    if (column != sortColumn_) rankValid_ = false;
    sortColumn_ = column;
    sortOrder_ = order;
    SetFilter(filter_);
}

SoundId CCollectionModel::IdAt(int row) const {
    return row >= 0 && row < rowCount() ? SummaryAt(row).id : 0;
}

const SoundSummary& CCollectionModel::SummaryAt(int row) const {
    return collection_.Index().At(rows_[static_cast<std::size_t>(row)]);
}

int CCollectionModel::RowOf(SoundId id) const {
    const std::ptrdiff_t indexRow = collection_.Index().RowOf(id);
    if (indexRow < 0) return -1;
    const auto found = std::find(rows_.begin(), rows_.end(), static_cast<std::size_t>(indexRow));
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

std::vector<int> CCollectionModel::RowsOf(const std::vector<SoundId>& ids) const {
    std::vector<int> rows;
    if (ids.empty()) return rows;
    // The row of each index row, once for all ids.
    std::vector<int> rowOfIndexRow(collection_.Index().Size(), -1);
    for (std::size_t row = 0; row < rows_.size(); ++row)
        rowOfIndexRow[rows_[row]] = static_cast<int>(row);
    for (SoundId id : ids) {
        const std::ptrdiff_t indexRow = collection_.Index().RowOf(id);
        if (indexRow >= 0 && rowOfIndexRow[static_cast<std::size_t>(indexRow)] >= 0)
            rows.push_back(rowOfIndexRow[static_cast<std::size_t>(indexRow)]);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CCollectionModel::PatchesOf(const std::vector<int>& rows, CPatchArray& patches) const {
    patches.RemoveAll();
    for (int row : rows) {
        if (row < 0 || row >= rowCount()) continue;
        auto patch = std::make_unique<CPatch>();
        if (!collection_.ReadPatch(IdAt(row), *patch)) return false;
        patches.Add(std::move(patch));
    }
    return true;
}

QString CCollectionModel::WhereText(const Sighting& sighting) {
    const QString slot = QString::fromStdString(SlotText(sighting.slot));
    if (sighting.kind == SightingKind::DeviceRead) return tr("TQ-550, %1").arg(slot);
    const QString file = QFileInfo(QString::fromStdString(sighting.path)).fileName();
    if (sighting.slot != kNoSlot) return QStringLiteral("%1, %2").arg(file, slot);
    return QStringLiteral("%1, %2").arg(file).arg(sighting.position + 1);
}

QString CCollectionModel::CellText(const SoundSummary& summary, int column) const {
    switch (column) {
        case kName:
            return NameText(summary.name);
        case kMemo1:
        case kMemo2:
        case kMemo3:
        case kMemo4:
            return summary.hasRecent
                       ? codec_.Decode(summary.recent.memos[static_cast<std::size_t>(column - kMemo1)])
                       : QString();
        case kTags:
            return TagsText(summary.tags);
        case kLastSeen:
            return QString::fromStdString(LocalTimeText(summary.lastSeen));
        case kWhereSeen:
            return summary.hasRecent ? WhereText(summary.recent) : QString();
        default:
            return QString();
    }
}

int CCollectionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CCollectionModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CCollectionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const SoundSummary& summary = SummaryAt(index.row());
    if (index.column() == kFavourite) {
        if (role == Qt::CheckStateRole) return summary.favourite ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role == Qt::ToolTipRole && index.column() == kWhereSeen && summary.hasRecent &&
        summary.recent.kind != SightingKind::DeviceRead)
        return QString::fromStdString(summary.recent.path);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    return CellText(summary, index.column());
}

bool CCollectionModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount() || !collection_.CanWrite()) return false;
    const SoundId id = IdAt(index.row());
    const QScopedValueRollback<bool> editing(inSetData_, true);
    if (index.column() == kFavourite && role == Qt::CheckStateRole)
        return collection_.SetFavourite(id, value.toInt() == Qt::Checked);
    if (index.column() == kTags && role == Qt::EditRole)
        return collection_.SetTags(id, TagsOf(value.toString()));
    return false;
}

QVariant CCollectionModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
        case kName:
            return tr("Name");
        case kMemo1:
        case kMemo2:
        case kMemo3:
        case kMemo4:
            return tr("Memo %1").arg(section - kMemo1 + 1);
        case kTags:
            return tr("Tags");
        case kFavourite:
            return tr("Favourite");
        case kLastSeen:
            return tr("Last Seen");
        case kWhereSeen:
            return tr("Where Seen");
        default:
            return QVariant();
    }
}

Qt::ItemFlags CCollectionModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (collection_.CanWrite()) {
        if (index.column() == kTags) flags |= Qt::ItemIsEditable;
        if (index.column() == kFavourite) flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QStringList CCollectionModel::mimeTypes() const {
    return {QString::fromLatin1(CPatchListCtrl::kPatchMimeType)};
}

QMimeData* CCollectionModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    CPatchArray patches;
    if (rows.empty() || !PatchesOf(rows, patches)) return nullptr;
    std::vector<int> all(patches.GetSize());
    std::iota(all.begin(), all.end(), 0);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(CPatchListCtrl::kPatchMimeType),
                  CPatchListCtrl::EncodePatches(patches, all));
    return mime;
}
