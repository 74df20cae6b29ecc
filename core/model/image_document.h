#pragma once

#include "model/data.h"

// The undo mode: whether a change keeps the state before it, and whether Undo is offered. Kept and Offered
// both take the undo copy; only under Offered is Undo offered. None takes no copy. The program's "Mode"
// setting gives them as 0, 1 and any other value (UndoModeOf).
enum class UndoMode { Kept = 0, Offered = 1, None = 2 };

inline UndoMode UndoModeOf(int mode) {
    return mode == 0 ? UndoMode::Kept : mode == 1 ? UndoMode::Offered : UndoMode::None;
}

// The patches a window shows plus the copy taken before the last undoable change.
class CImageDocument {
  public:
    virtual ~CImageDocument() = default;

    CPatchArray& Patches() { return current_.GetArray(); }
    const CPatchArray& Patches() const { return current_.GetArray(); }

    // Where new patches of the current list and of the undo copy take their content from.
    void SetInitialData(const std::shared_ptr<const IInitialData>& initial);

    // Kept and Offered take a deep copy of the current patches as the undo copy; None leaves none.
    void TakeUndoCopy(UndoMode mode);
    // Whether Undo is offered under mode (the program's): only under Offered, and only with an undo copy.
    bool CanUndo(UndoMode mode) const { return mode == UndoMode::Offered && undoAvailable_; }
    // Exchanges the current patches and the undo copy; a second Undo restores the state before the first.
    void Undo();

  private:
    CData current_;
    CData backup_;
    bool undoAvailable_ = false;
};
