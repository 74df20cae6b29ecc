#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QFont;

namespace GP {

// One control of a dialog template: its id and its rectangle in dialog units.
struct CDialogItem {
    int id = 0;
    QRect rect;
};

// The geometry of a dialog or form: its client size and its controls, in dialog units. A horizontal
// dialog unit is a quarter of the font's average character width, a vertical one an eighth of its
// height; so a layout drawn once keeps its proportions for every font.
struct CDialogTemplate {
    int id = 0;
    QSize size;
    std::vector<CDialogItem> items;

    // The item with this id, or nullptr.
    const CDialogItem* Find(int itemId) const;
};

// The average character width and the character height of a font, in pixels: the base of the
// mapping of dialog units.
QSize DialogBaseUnits(const QFont& font);

// Maps a rectangle or size in dialog units to pixels for the given base units (rounded to nearest).
QRect MapDialogRect(const QRect& dialogUnits, const QSize& baseUnits);
QSize MapDialogSize(const QSize& dialogUnits, const QSize& baseUnits);

}  // namespace GP
