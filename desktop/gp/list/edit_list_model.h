#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <utility>
#include <vector>

namespace GP {

class CEditListCtrl;

// The model behind a CEditListCtrl's view. Its rows are the list's rows in their shown order: row r shows
// the data of item r (CEditListCtrl::GetItemData), its columns are the list's columns with their headers.
//
// Without a source model the list sets its rows itself (SetItemCount) and supplies every cell. With one, the
// rows follow the source: a source row is an item, and what the source reports is passed on in the list's
// order, so that the view keeps its place, selection and focus through every change. Inserted source rows
// appear where the row that was at their place is shown (at the end when they are appended); removed ones
// disappear wherever they are shown; changed ones are repainted where they are; a reset of the source resets
// the list to the source's order. The list puts its rows into another order (a sort) with SetItemOrder.
class CEditListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit CEditListModel(CEditListCtrl& control);

    void SetSource(QAbstractItemModel* source);
    QAbstractItemModel* Source() const { return source_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // What the list itself changes.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsertColumn(int index) { beginInsertColumns(QModelIndex(), index, index); }
    void EndInsertColumn() { endInsertColumns(); }
    void BeginRemoveColumn(int index) { beginRemoveColumns(QModelIndex(), index, index); }
    void EndRemoveColumn() { endRemoveColumns(); }
    void HeaderChanged();
    void RowsChanged(int first, int last);
    void LayoutAboutToChange() { emit layoutAboutToBeChanged(); }
    void LayoutChanged() { emit layoutChanged(); }

  private:
    void ResetFromSource();
    void OnSourceRowsInserted(int first, int last);
    void OnSourceRowsAboutToBeRemoved(int first, int last);
    void OnSourceRowsRemoved(int first, int last);
    void OnSourceDataChanged(int first, int last);
    // The shown rows whose item data lies in [first, last], as spans of consecutive rows.
    std::vector<std::pair<int, int>> RowSpansOf(qint64 first, qint64 last) const;

    CEditListCtrl& control_;
    QPointer<QAbstractItemModel> source_;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace GP
