#include "model/image_document.h"

void CImageDocument::TakeUndoCopy(int mode) {
    undoAvailable_ = false;
    if (mode != 0 && mode != 1) return;
    backup_.GetArray().Assign(current_.GetArray());
    undoAvailable_ = true;
}

void CImageDocument::Undo() {
    if (!undoAvailable_) return;
    current_.GetArray().Swap(backup_.GetArray());
}
