#pragma once

#include <QObject>

#include "gp/util/font_ex.h"

class ISettingsStore;

// How every patch list looks and behaves, the same in all windows: the list font and its colour, the grid
// lines, and the program's Mode (1: undo offered, the temporary-area buttons, user-area transfers). Lists
// follow it: a change is announced once (fontChanged, gridChanged) and each list applies it.
class CListAppearance : public QObject {
    Q_OBJECT

  public:
    // From the settings ("Option": the list font, "GridSw", "Mode").
    void Load(const ISettingsStore& settings);
    void Save(ISettingsStore& settings) const;

    const GP::CFontEx& Font() const { return font_; }
    void SetFont(const QFont& font);
    bool Grid() const { return grid_ != 0; }
    // The stored switch: 0 without grid lines, 1 with them.
    int GridSwitch() const { return grid_; }
    void SetGridSwitch(int grid);
    int Mode() const { return mode_; }

  signals:
    void fontChanged();
    void gridChanged();

  private:
    GP::CFontEx font_;
    int grid_ = 0;
    int mode_ = 1;
};
