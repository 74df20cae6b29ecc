#include "model/image_document.h"

void CImageDocument::TakeUndoCopy(UndoMode mode) {
    undoAvailable_ = false;
    if (mode == UndoMode::None) return;
    backup_.GetArray().Assign(current_.GetArray());
    undoAvailable_ = true;
}

void CImageDocument::Undo() {
    if (!undoAvailable_) return;
    current_.GetArray().Swap(backup_.GetArray());
}

void CImageDocument::SetInitialData(const std::shared_ptr<const IInitialData>& initial) {
    current_.GetArray().SetInitialData(initial);
    backup_.GetArray().SetInitialData(initial);
}
