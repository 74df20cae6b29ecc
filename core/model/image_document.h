#pragma once

#include "model/data.h"

// The patches a window shows plus the copy taken before the last undoable change.
class CImageDocument {
  public:
    virtual ~CImageDocument() = default;

    CData& GetCurrentData(int /*dataType*/ = 1) { return current_; }
    const CData& GetCurrentData(int /*dataType*/ = 1) const { return current_; }
    CPatchArray& Patches() { return current_.GetArray(); }
    const CPatchArray& Patches() const { return current_.GetArray(); }

    // Where new patches of the current list and of the undo copy take their content from.
    void SetInitialData(const std::shared_ptr<const IInitialData>& initial);

    // Mode 0 or 1 takes a deep copy of the current patches as the undo copy; any other mode leaves none.
    void TakeUndoCopy(int mode);
    // Whether Undo would change anything; only mode 1 offers undo.
    bool CanUndo(int mode) const { return mode == 1 && undoAvailable_; }
    // Exchanges the current patches and the undo copy; a second Undo restores the state before the first.
    void Undo();

  private:
    CData current_;
    CData backup_;
    bool undoAvailable_ = false;
};
