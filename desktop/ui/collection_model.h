#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "collection/sound_index.h"
#include "model/data.h"

class CCollection;
class CMemoCodec;

// The sounds of the collection that a search finds, as the collection window's table: one row per sound,
// the columns name, the four memos of its most recent sighting, tags, favourite, last seen and where it was
// seen last. Cells are made on demand from the collection's index; nothing is copied.
//
// The rows are the index's rows that match the filter (SetFilter: text in name, memos or tags, favourites
// only, one tag), in the order of the sort column: by default last seen, the most recent first (the index's
// own order). Sorting by another column ranks every sound once by that column and then only orders the rows
// found by their ranks, so that a keystroke costs a search and an ordering of integers.
//
// Tags are edited in place ("live, clean": separated by commas) and the favourite mark is a check box, both
// stored at once through the collection while it can be written. Rows can be dragged: the patches, with
// the memos of their most recent sighting, in the format the patch lists take.
class CCollectionModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        kName,
        kMemo1,
        kMemo2,
        kMemo3,
        kMemo4,
        kTags,
        kFavourite,
        kLastSeen,
        kWhereSeen,
        kColumnCount
    };

    CCollectionModel(CCollection& collection, const CMemoCodec& codec, QObject* parent = nullptr);

    CCollection& Collection() const { return collection_; }
    // Searches anew with filter and shows what it finds.
    void SetFilter(const SoundFilter& filter);
    const SoundFilter& Filter() const { return filter_; }
    // Searches anew with the filter (the index changed).
    void Refresh();

    SoundId IdAt(int row) const;
    const SoundSummary& SummaryAt(int row) const;
    // The row of a sound, -1 when the search did not find it.
    int RowOf(SoundId id) const;
    // The rows of the sounds that the search found, ascending.
    std::vector<int> RowsOf(const std::vector<SoundId>& ids) const;
    // The patches of the sounds in rows (in that order), each with the memos of its most recent sighting;
    // false when one cannot be read.
    bool PatchesOf(const std::vector<int>& rows, CPatchArray& patches) const;
    // How a sighting is named in the list: "Live Set.tql, 3", "dump.syx, U01-2", "TQ-550, U03-2".
    static QString WhereText(const Sighting& sighting);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

  signals:
    // Around every change of the rows (a search, a sort, the index anew): the view keeps its selection.
    void rowsAboutToChange();
    void rowsChanged();

  private:
    QString CellText(const SoundSummary& summary, int column) const;
    // Ranks every sound of the index by the sort column (not for last seen, the index's own order).
    void Rank();
    void Order();
    void Rebuild();

    CCollection& collection_;
    const CMemoCodec& codec_;
    SoundFilter filter_;
    std::vector<std::size_t> rows_;  // rows of the index
    int sortColumn_ = kLastSeen;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    std::vector<std::uint32_t> rank_;  // the rank of each index row by the sort column
    bool rankValid_ = false;
    bool inSetData_ = false;
};
