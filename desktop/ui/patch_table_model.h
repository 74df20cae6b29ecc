#pragma once

#include <QAbstractTableModel>
#include <cstdint>

#include "model/data.h"

class CDeviceSlotKnowledge;
class CMemoCodec;

// The patches of one window as a table: one row per patch and, in a library, one more last row, "End of
// Line", the place after the last patch. Six columns: number, patch name and four memos. Cells are made on
// demand from the patch array; nothing is copied.
//
// The document that owns the patches changes them and announces every change here, around it: rows inserted
// and removed, cells changed, or everything anew (a reset) where everything changed. The number column of the
// rows that moved is announced as changed too.
//
// The Main window's table also tells, in the role kSlotStateRole of its number cells, whether the processor
// is known to hold each row's patch in its slot (what Write Changed leaves out); its document announces the
// number cells whose answer changed when what the processor holds is learnt or forgotten.
class CPatchTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum ColumnId { kNumberColumn = 0, kNameColumn = 5 };
    static constexpr int kColumnCount = 6;
    // Whether the processor holds a row's patch in the row's slot: yes, unknown, or it holds another.
    enum SlotState { kSlotHeld = 0, kSlotUnknown = 1, kSlotChanged = 2 };
    static constexpr int kSlotStateRole = Qt::UserRole + 1;

    // The column table: header (the same in both languages), identifier (0 number, 5 name, 1 to 4 memos),
    // and whether the column is edited in place as text.
    struct Column {
        const char* header;
        int id;
        bool editable;
    };
    static const Column& ColumnAt(int position);
    static int ColumnIdAt(int position);
    static int PositionOfColumnId(int id);

    CPatchTableModel(const CPatchArray& patches, bool library, const CMemoCodec* codec,
                     QObject* parent = nullptr);

    bool IsLibrary() const { return library_; }
    const CPatchArray& Patches() const { return patches_; }
    int PatchCount() const { return static_cast<int>(patches_.GetSize()); }
    // How the Main list numbers patch index: "U01-1" to "U50-4".
    static QString MainNumber(int index);
    // The text of patch index in the column of identifier id; the number column of index = patch count in a
    // library reads "End of Line".
    QString CellText(int index, int id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The announcements of the document, each around its change of the patch array.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsert(int first, int count) { beginInsertRows(QModelIndex(), first, first + count - 1); }
    void EndInsert(int first, int count);
    void BeginRemove(int first, int last) { beginRemoveRows(QModelIndex(), first, last); }
    void EndRemove(int first);
    // The cells of patches first to last changed.
    void PatchesChanged(int first, int last);

    // What the processor holds, slot by slot (none: every row reads kSlotHeld, as in a library).
    void SetSlotKnowledge(const CDeviceSlotKnowledge* knowledge) { knowledge_ = knowledge; }
    SlotState SlotStateOf(int index) const;
    // What the processor is known to hold changed for the slots first to last.
    void SlotStatesChanged(int first, int last);

  private:
    // Rows from first on show other numbers now.
    void NumbersChanged(int first);

    const CPatchArray& patches_;
    bool library_;
    const CMemoCodec* codec_;
    const CDeviceSlotKnowledge* knowledge_ = nullptr;
};
