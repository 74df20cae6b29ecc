#include "ui/patch_list_ctrl.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>

#include "model/file_document.h"
#include "ui/app_context.h"
#include "ui/memo_codec.h"

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

void CPatchListCtrl::SetPatches(CPatchArray* patches, CImageDocument* data) {
    patches_ = patches;
    data_ = data;
    SetPatchArray(patches, data);
}

const CParameterArray* CPatchListCtrl::Clipboard() const {
    return clipboard_ ? &clipboard_->Patches() : nullptr;
}

void CPatchListCtrl::CopyToClipboard(const std::vector<int>& indexes) {
    if (clipboard_ && patches_) clipboard_->CopyFrom(*patches_, indexes);
}

QString CPatchListCtrl::CellText(int index, int id) const {
    const CPatch& patch = (*patches_)[static_cast<std::size_t>(index)];
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
    return CParameterListCtrl::CellText(index, id);
}

void CPatchListCtrl::StoreCellText(int index, int id, const QString& text) {
    CPatch& patch = (*patches_)[static_cast<std::size_t>(index)];
    if (id == kNameColumn) {
        // One byte a character: ASCII stays, anything else becomes a byte SetName turns into a blank.
        std::string bytes;
        for (QChar c : text.left(static_cast<qsizetype>(PATCH_NAME_LENGTH)))
            bytes += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x80';
        patch.SetName(bytes);
    } else if (id >= 1 && id <= 4) {
        patch.SetMemo(id - 1, codec_ ? codec_->Encode(text) : text.toStdString());
    }
}

std::string CPatchListCtrl::SortText(int index, int id) const {
    if (id == kNameColumn) return (*patches_)[static_cast<std::size_t>(index)].GetName();
    return CParameterListCtrl::SortText(index, id);
}

int CPatchListCtrl::FindText(const QString& text) {
    std::vector<int> found;
    if (patches_ && !text.isEmpty()) {
        for (std::size_t i = 0; i < patches_->GetSize(); ++i) {
            for (int id : {static_cast<int>(kNameColumn), 1, 2, 3, 4}) {
                if (CellText(static_cast<int>(i), id).contains(text, Qt::CaseInsensitive)) {
                    found.push_back(static_cast<int>(i));
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
    std::vector<int> placed;
    if (!patches_ || dropped.IsEmpty()) return placed;
    const int count = static_cast<int>(patches_->GetSize());
    int position = row >= 0 && row < GetItemCount() ? static_cast<int>(GetItemData(row)) : count;
    if (data_) data_->TakeUndoCopy(undoMode_);
    if (ListKind() == kLibraryList) {
        position = std::min(position, count);
        const int inserted = patches_->InsertClipboard(position, dropped);
        for (int i = 0; i < inserted; ++i)
            placed.push_back(position + i);
    } else {
        // The Main list keeps its patches: the dropped ones replace from the drop row to the end.
        if (position >= count) return placed;
        for (std::size_t i = 0; i < dropped.GetSize() && position < count; ++i, ++position) {
            (*patches_)[static_cast<std::size_t>(position)].Assign(dropped[i]);
            placed.push_back(position);
        }
    }
    Refresh(false);
    SelectIndexes(placed, true);
    emit patchesDropped();
    return placed;
}

void CPatchListCtrl::StartDrag() {
    const std::vector<int> indexes = SelectedIndexes();
    if (!patches_ || indexes.empty()) return;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kPatchMimeType), EncodePatches(*patches_, indexes));
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
