#include "ui/patch_list_ctrl.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>

#include "model/file_document.h"
#include "ui/app_context.h"
#include "ui/doc.h"

const char* const CPatchListCtrl::kPatchMimeType = "application/x-tq550-patches";

namespace {

const QByteArray kDragMagic("TQ550PATCHES1");

void PutU32(QByteArray& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>(value >> shift & 0xFF));
}

bool GetU32(const QByteArray& bytes, qsizetype& offset, std::uint32_t& value) {
    if (offset + 4 > bytes.size()) return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    offset += 4;
    return true;
}

// The drop target list of a drag, if the drag carries patches from another list.
CPatchListCtrl* SourceList(const QDropEvent* event) {
    return qobject_cast<CPatchListCtrl*>(event->source());
}

}  // namespace

CPatchListCtrl::CPatchListCtrl(int listKind, QWidget* parent) : CParameterListCtrl(listKind, parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
}

void CPatchListCtrl::SetDocument(CDoc* doc) {
    if (doc_) disconnect(doc_, nullptr, this, nullptr);
    doc_ = doc;
    SetTableModel(doc ? &doc->Model() : nullptr);
    // The active sort holds after every change of the patches.
    if (doc) connect(doc, &CDoc::changed, this, [this] { ApplySort(); });
}

bool CPatchListCtrl::HasClipboard() const {
    return doc_ && !doc_->Context().Clipboard().IsEmpty();
}

void CPatchListCtrl::SetCellValue(int row, int column, const QVariant& value) {
    SetCellValues({row}, column, {value});
}

void CPatchListCtrl::SetCellValues(const std::vector<int>& rows, int column,
                                   const std::vector<QVariant>& values) {
    if (!doc_) return;
    std::vector<int> indexes;
    std::vector<QString> texts;
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i) {
        indexes.push_back(static_cast<int>(GetItemData(rows[i])));
        texts.push_back(values[i].toString());
    }
    doc_->EditCells(indexes, ColumnIdAt(column), texts);
}

int CPatchListCtrl::FindText(const QString& text) {
    std::vector<int> found;
    if (TableModel() && !text.isEmpty()) {
        for (int i = 0; i < PatchCount(); ++i) {
            for (int id : {static_cast<int>(kNameColumn), 1, 2, 3, 4}) {
                if (TableModel()->CellText(i, id).contains(text, Qt::CaseInsensitive)) {
                    found.push_back(i);
                    break;
                }
            }
        }
    }
    SelectIndexes(found, true);
    return static_cast<int>(found.size());
}

// ---- drag and drop ----------------------------------------------------------------------------------

QByteArray CPatchListCtrl::EncodePatches(const CPatchArray& patches, const std::vector<int>& indexes) {
    QByteArray bytes = kDragMagic;
    PutU32(bytes, static_cast<std::uint32_t>(indexes.size()));
    std::vector<std::uint8_t> body;
    for (int index : indexes) {
        const CPatch& patch = patches[static_cast<std::size_t>(index)];
        body.resize(patch.GetSerializedSize());
        SerializePatch(patch, body);
        PutU32(bytes, static_cast<std::uint32_t>(body.size()));
        bytes.append(reinterpret_cast<const char*>(body.data()), static_cast<qsizetype>(body.size()));
    }
    return bytes;
}

bool CPatchListCtrl::DecodePatches(const QByteArray& bytes, CPatchArray& patches) {
    patches.RemoveAll();
    if (!bytes.startsWith(kDragMagic)) return false;
    qsizetype offset = kDragMagic.size();
    std::uint32_t count = 0;
    if (!GetU32(bytes, offset, count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!GetU32(bytes, offset, length) || length > static_cast<std::uint64_t>(bytes.size() - offset)) {
            patches.RemoveAll();
            return false;
        }
        auto patch = std::make_unique<CPatch>();
        const auto* start = reinterpret_cast<const std::uint8_t*>(bytes.constData() + offset);
        if (!DeserializePatch(std::span<const std::uint8_t>(start, length), *patch)) {
            patches.RemoveAll();
            return false;
        }
        offset += length;
        patches.Add(std::move(patch));
    }
    return true;
}

std::vector<int> CPatchListCtrl::DropPatches(const CPatchArray& dropped, int row) {
    if (!doc_ || dropped.IsEmpty()) return {};
    const int position = row >= 0 && row < GetItemCount() ? static_cast<int>(GetItemData(row)) : PatchCount();
    const std::vector<int> placed = doc_->Drop(position, dropped, UndoModeOf(doc_->Context().Mode()));
    SelectIndexes(placed, true);
    return placed;
}

void CPatchListCtrl::StartDrag() {
    const std::vector<int> indexes = SelectedIndexes();
    if (!doc_ || indexes.empty()) return;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kPatchMimeType), EncodePatches(doc_->Patches(), indexes));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void CPatchListCtrl::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && row >= 0 &&
        IsItemSelected(row) && !IsEndOfLineRow(row) && !IsEditing()) {
        // Perhaps the start of a drag of the selection: the press takes effect on release.
        pressPos_ = event->position().toPoint();
        pressHeld_ = true;
        event->accept();
        return;
    }
    pressHeld_ = false;
    CParameterListCtrl::mousePressEvent(event);
}

void CPatchListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (pressHeld_) {
        if ((event->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance()) {
            pressHeld_ = false;
            StartDrag();
        }
        event->accept();
        return;
    }
    CParameterListCtrl::mouseMoveEvent(event);
}

void CPatchListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (pressHeld_) {
        pressHeld_ = false;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(pressPos_), event->globalPosition(),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        CParameterListCtrl::mousePressEvent(&press);
    }
    CParameterListCtrl::mouseReleaseEvent(event);
}

void CPatchListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    CPatchListCtrl* source = SourceList(event);
    if (source != this && event->mimeData()->hasFormat(QString::fromLatin1(kPatchMimeType))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void CPatchListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (SourceList(event) != this && event->mimeData()->hasFormat(QString::fromLatin1(kPatchMimeType))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void CPatchListCtrl::dropEvent(QDropEvent* event) {
    CPatchArray dropped;
    if (SourceList(event) == this ||
        !DecodePatches(event->mimeData()->data(QString::fromLatin1(kPatchMimeType)), dropped)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    DropPatches(dropped, rowAt(event->position().toPoint().y()));
}
