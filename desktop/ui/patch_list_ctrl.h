#pragma once

#include <QPoint>
#include <QPointer>

#include "model/data.h"
#include "ui/doc.h"
#include "ui/parameter_list_ctrl.h"

// The patch list of the Main and library windows: the patches of its window's document, with the program's
// shared clipboard. Edits made in place (names, memos, Replace String) are one edit of the document each.
//
// Selected patches can be dragged to another patch list (of this or another window): a library list inserts
// copies before the row they are dropped on (End of Line: at the end), the Main list replaces patches from
// that row on and keeps its 200. The source is unchanged; the target's document takes one undo copy.
class CPatchListCtrl : public CParameterListCtrl {
    Q_OBJECT

  public:
    // The drag-and-drop format: the patches as library-file records.
    static const char* const kPatchMimeType;

    explicit CPatchListCtrl(int listKind, QWidget* parent = nullptr);

    // The document whose patches the list shows and changes.
    void SetDocument(CDoc* doc);
    CDoc* Document() const { return doc_; }
    // Whether the program's clipboard holds at least one patch.
    bool HasClipboard() const;

    // Selects every patch whose name or memo holds text (letter case ignored) and scrolls to the first; the
    // number of patches found.
    int FindText(const QString& text);

    // The patches of a drag as library-file records, and back; an empty list when the bytes are not that.
    static QByteArray EncodePatches(const CPatchArray& patches, const std::vector<int>& indexes);
    static bool DecodePatches(const QByteArray& bytes, CPatchArray& patches);
    // Puts dropped patches into the document at row (-1: after the last patch), as a drop does, and selects
    // them; the indexes now holding them.
    std::vector<int> DropPatches(const CPatchArray& dropped, int row);

    void SetCellValue(int row, int column, const QVariant& value) override;
    // One edit of the document for all rows: their patches as the rows showed them when the edit began.
    void SetCellValues(const std::vector<int>& rows, int column,
                       const std::vector<QVariant>& values) override;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void StartDrag();

    QPointer<CDoc> doc_;
    // A left press on a selected row may begin a drag; until the mouse moves it is held back.
    QPoint pressPos_;
    bool pressHeld_ = false;
};
