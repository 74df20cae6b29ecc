#pragma once

#include <QPoint>

#include "model/data.h"
#include "ui/parameter_list_ctrl.h"

class CMemoCodec;
class CPatchClipboard;

// The patch list of the Main and library windows: names and memos of CPatch objects, the program's shared
// clipboard, memos shown and edited through the memo codec of the interface language.
//
// Selected patches can be dragged to another patch list (of this or another window): a library list inserts
// copies before the row they are dropped on (End of Line: at the end), the Main list replaces patches from
// that row on and keeps its 200. The source is unchanged; the target takes one undo copy and emits
// patchesDropped.
class CPatchListCtrl : public CParameterListCtrl {
    Q_OBJECT

  public:
    static constexpr int kMainCapacity = 200;
    // The drag-and-drop format: the patches as library-file records.
    static const char* const kPatchMimeType;

    explicit CPatchListCtrl(int listKind, QWidget* parent = nullptr);

    void SetPatches(CPatchArray* patches, CImageDocument* data = nullptr);
    CPatchArray* Patches() const { return patches_; }
    void SetClipboard(CPatchClipboard* clipboard) { clipboard_ = clipboard; }
    const CParameterArray* Clipboard() const override;
    void CopyToClipboard(const std::vector<int>& indexes) override;
    void SetMemoCodec(const CMemoCodec* codec) { codec_ = codec; }
    // The undo mode of drops (the program's Mode).
    void SetUndoMode(int mode) { undoMode_ = mode; }

    // Selects every patch whose name or memo holds text (letter case ignored) and scrolls to the first; the
    // number of patches found.
    int FindText(const QString& text);

    // The patches of a drag as library-file records, and back; an empty list when the bytes are not that.
    static QByteArray EncodePatches(const CPatchArray& patches, const std::vector<int>& indexes);
    static bool DecodePatches(const QByteArray& bytes, CPatchArray& patches);
    // Puts dropped patches into this list at row (-1: after the last patch), as a drop does; the indexes now
    // holding them.
    std::vector<int> DropPatches(const CPatchArray& dropped, int row);

  signals:
    void patchesDropped();

  protected:
    QString CellText(int index, int id) const override;
    void StoreCellText(int index, int id, const QString& text) override;
    std::string SortText(int index, int id) const override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void StartDrag();

    CPatchArray* patches_ = nullptr;
    CImageDocument* data_ = nullptr;
    CPatchClipboard* clipboard_ = nullptr;
    const CMemoCodec* codec_ = nullptr;
    int undoMode_ = 1;
    // A left press on a selected row may begin a drag; until the mouse moves it is held back.
    QPoint pressPos_;
    bool pressHeld_ = false;
};
