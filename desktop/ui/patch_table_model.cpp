#include "ui/patch_table_model.h"

#include <algorithm>

#include "model/device_slot_knowledge.h"
#include "model/parameter_address.h"
#include "ui/memo_codec.h"

namespace {

constexpr CPatchTableModel::Column kColumns[CPatchTableModel::kColumnCount] = {
    {"Number", CPatchTableModel::kNumberColumn, false},
    {"PatchName    ", CPatchTableModel::kNameColumn, true},
    {"Memo1", 1, true},
    {"Memo2", 2, true},
    {"Memo3", 3, true},
    {"Memo4", 4, true},
};

}  // namespace

const CPatchTableModel::Column& CPatchTableModel::ColumnAt(int position) {
    return kColumns[position >= 0 && position < kColumnCount ? position : 0];
}

int CPatchTableModel::ColumnIdAt(int position) {
    return position >= 0 && position < kColumnCount ? kColumns[position].id : -1;
}

int CPatchTableModel::PositionOfColumnId(int id) {
    for (int position = 0; position < kColumnCount; ++position)
        if (kColumns[position].id == id) return position;
    return -1;
}

CPatchTableModel::CPatchTableModel(const CPatchArray& patches, bool library, const CMemoCodec* codec,
                                   QObject* parent)
    : QAbstractTableModel(parent), patches_(patches), library_(library), codec_(codec) {}

QString CPatchTableModel::MainNumber(int index) {
    return QString::fromStdString(UserPatchLabel(index));
}

QString CPatchTableModel::CellText(int index, int id) const {
    if (index < 0 || index > PatchCount() || (index == PatchCount() && !library_)) return QString();
    if (index == PatchCount()) return id == kNumberColumn ? QStringLiteral("End of Line") : QString();
    const CPatch& patch = patches_[static_cast<std::size_t>(index)];
    if (id == kNumberColumn) return library_ ? QString::number(index + 1) : MainNumber(index);
    if (id == kNameColumn) {
        std::string name = patch.GetName();
        for (char& c : name)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    if (id >= 1 && id <= 4) {
        const std::string& memo = patch.GetMemo(id - 1);
        return codec_ ? codec_->Decode(memo) : QString::fromStdString(memo);
    }
    return QString();
}

int CPatchTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PatchCount() + (library_ ? 1 : 0);
}

int CPatchTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CPatchTableModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && role == kSlotStateRole)
        return ColumnIdAt(index.column()) == kNumberColumn ? QVariant(SlotStateOf(index.row())) : QVariant();
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
    return CellText(index.row(), ColumnIdAt(index.column()));
}

QVariant CPatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return QVariant();
    return QString::fromLatin1(kColumns[section].header);
}

Qt::ItemFlags CPatchTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CPatchTableModel::EndInsert(int first, int count) {
    endInsertRows();
    NumbersChanged(first + count);
}

void CPatchTableModel::EndRemove(int first) {
    endRemoveRows();
    NumbersChanged(first);
}

void CPatchTableModel::PatchesChanged(int first, int last) {
    if (first > last || first < 0) return;
    emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}

CPatchTableModel::SlotState CPatchTableModel::SlotStateOf(int index) const {
    if (!knowledge_ || index < 0 || index >= PatchCount()) return kSlotHeld;
    if (!knowledge_->IsKnown(index)) return kSlotUnknown;
    return knowledge_->Differs(index, patches_[static_cast<std::size_t>(index)]) ? kSlotChanged : kSlotHeld;
}

void CPatchTableModel::SlotStatesChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, PatchCount() - 1);
    if (first > last) return;
    const int number = PositionOfColumnId(kNumberColumn);
    emit dataChanged(index(first, number), index(last, number), {kSlotStateRole});
}

void CPatchTableModel::NumbersChanged(int first) {
    const int rows = rowCount();
    if (first >= rows) return;
    const int number = PositionOfColumnId(kNumberColumn);
    emit dataChanged(index(first, number), index(rows - 1, number));
}
