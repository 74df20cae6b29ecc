#include "gp/list/edit_list_model.h"

#include <algorithm>

#include "gp/list/edit_list_ctrl.h"

namespace GP {

CEditListModel::CEditListModel(CEditListCtrl& control) : QAbstractTableModel(&control), control_(control) {}

int CEditListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : control_.GetItemCount();
}

int CEditListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : control_.GetColumnCount();
}

QVariant CEditListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return control_.GetCellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const auto* record = control_.GetColumnRecord(index.column());
        return record ? QVariant(static_cast<int>(record->Alignment() | Qt::AlignVCenter)) : QVariant();
    }
    return QVariant();
}

QVariant CEditListModel::headerData(int section, Qt::Orientation orientation, int role) const {
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

Qt::ItemFlags CEditListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CEditListModel::HeaderChanged() {
    if (control_.GetColumnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, control_.GetColumnCount() - 1);
}

void CEditListModel::RowsChanged(int first, int last) {
    if (control_.GetColumnCount() > 0 && first <= last)
        emit dataChanged(index(first, 0), index(last, control_.GetColumnCount() - 1));
}

// ---- the source -------------------------------------------------------------------------------------

void CEditListModel::SetSource(QAbstractItemModel* source) {
    for (const QMetaObject::Connection& connection : connections_)
        disconnect(connection);
    connections_.clear();
    source_ = source;
    if (source) {
        connections_ = {
            connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); }),
            connect(source, &QAbstractItemModel::modelReset, this,
                    [this] {
                        control_.itemData_.clear();
                        ResetFromSource();
                        endResetModel();
                    }),
            connect(source, &QAbstractItemModel::rowsInserted, this,
                    [this](const QModelIndex& parent, int first, int last) {
                        if (!parent.isValid()) OnSourceRowsInserted(first, last);
                    }),
            connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                    [this](const QModelIndex& parent, int first, int last) {
                        if (!parent.isValid()) OnSourceRowsAboutToBeRemoved(first, last);
                    }),
            connect(source, &QAbstractItemModel::rowsRemoved, this,
                    [this](const QModelIndex& parent, int first, int last) {
                        if (!parent.isValid()) OnSourceRowsRemoved(first, last);
                    }),
            connect(source, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                        OnSourceDataChanged(topLeft.row(), bottomRight.row());
                    }),
        };
    }
    beginResetModel();
    control_.itemData_.clear();
    ResetFromSource();
    endResetModel();
}

void CEditListModel::ResetFromSource() {
    const int count = source_ ? source_->rowCount() : 0;
    control_.itemData_.resize(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        control_.itemData_[static_cast<std::size_t>(row)] = row;
}

std::vector<std::pair<int, int>> CEditListModel::RowSpansOf(qint64 first, qint64 last) const {
    std::vector<std::pair<int, int>> spans;
    const std::vector<qint64>& items = control_.itemData_;
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        const qint64 item = items[static_cast<std::size_t>(row)];
        if (item < first || item > last) continue;
        if (!spans.empty() && spans.back().second == row - 1)
            spans.back().second = row;
        else
            spans.emplace_back(row, row);
    }
    return spans;
}

void CEditListModel::OnSourceRowsInserted(int first, int last) {
    std::vector<qint64>& items = control_.itemData_;
    const qint64 count = last - first + 1;
    // Where the row now pushed down was shown; at the end when the rows were appended.
    const auto at = std::find(items.begin(), items.end(), static_cast<qint64>(first));
    const int row = static_cast<int>(at - items.begin());
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(count) - 1);
    for (qint64& item : items)
        if (item >= first) item += count;
    std::vector<qint64> inserted(static_cast<std::size_t>(count));
    for (qint64 i = 0; i < count; ++i)
        inserted[static_cast<std::size_t>(i)] = first + i;
    items.insert(items.begin() + row, inserted.begin(), inserted.end());
    endInsertRows();
}

void CEditListModel::OnSourceRowsAboutToBeRemoved(int first, int last) {
    // The rows go while the source still has them, last span first, so that the rows left keep valid data.
    const std::vector<std::pair<int, int>> spans = RowSpansOf(first, last);
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        beginRemoveRows(QModelIndex(), span->first, span->second);
        control_.itemData_.erase(control_.itemData_.begin() + span->first,
                                 control_.itemData_.begin() + span->second + 1);
        endRemoveRows();
    }
}

void CEditListModel::OnSourceRowsRemoved(int first, int last) {
    const qint64 count = last - first + 1;
    for (qint64& item : control_.itemData_)
        if (item > last) item -= count;
}

void CEditListModel::OnSourceDataChanged(int first, int last) {
    const std::vector<std::pair<int, int>> spans = RowSpansOf(first, last);
    if (!spans.empty()) RowsChanged(spans.front().first, spans.back().second);
}

}  // namespace GP
