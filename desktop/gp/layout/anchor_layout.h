#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace GP {

// Anchor codes: how a control follows its container when the container is resized.
// Horizontal part (code & 0x13): 0 or 1 keeps the distance from the left and the width; 2 keeps the
// distance from the right and the width; 3 keeps both distances (stretches); 0x11 keeps the left
// distance and makes the right edge proportional; 0x12 makes the left edge proportional and keeps the
// right distance; 0x13 makes both edges proportional.
// Vertical part (code & 0x2C): 0 or 4 keeps the top distance and the height; 8 follows the bottom;
// 0x0C stretches; 0x24, 0x28 and 0x2C are the proportional forms in the same order.
// So 5 keeps a control where it is and 15 stretches it both ways.
enum AnchorCode : int {
    ANCHOR_LEFT = 0x01,
    ANCHOR_RIGHT = 0x02,
    ANCHOR_TOP = 0x04,
    ANCHOR_BOTTOM = 0x08,
    ANCHOR_PROPORTIONAL_X = 0x10,
    ANCHOR_PROPORTIONAL_Y = 0x20,
    ANCHOR_KEEP = ANCHOR_LEFT | ANCHOR_TOP,                                    // 5
    ANCHOR_STRETCH = ANCHOR_LEFT | ANCHOR_RIGHT | ANCHOR_TOP | ANCHOR_BOTTOM,  // 15
    ANCHOR_HORIZONTAL_MASK = 0x13,
    ANCHOR_VERTICAL_MASK = 0x2C,
};

// The layout of a container's controls by anchor codes. Each control is recorded with its rectangle
// in the container's original (template) size; Apply places every control for a new client size.
class CAnchorLayout {
  public:
    void SetTemplateSize(const QSize& size) { templateSize_ = size; }
    const QSize& TemplateSize() const { return templateSize_; }

    // Records a control with its original rectangle (pixels) and anchor code; a control recorded twice
    // keeps the last rectangle and code.
    void Add(int id, QWidget* control, const QRect& original, int anchor);
    // Changes the anchor code of a recorded control; false when the id is unknown.
    bool SetAnchor(int id, int anchor);
    int Anchor(int id) const;
    QWidget* Control(int id) const;

    // Places every live control for the client size.
    void Apply(const QSize& clientSize) const;

    // The rectangle of a control that had `original` in a container of `templateSize` once the
    // container has `clientSize`.
    static QRect Compute(const QRect& original, int anchor, const QSize& templateSize,
                         const QSize& clientSize);

  private:
    struct Entry {
        int id;
        QPointer<QWidget> control;
        QRect original;
        int anchor;
    };
    Entry* FindEntry(int id);
    const Entry* FindEntry(int id) const;

    QSize templateSize_;
    std::vector<Entry> entries_;
};

}  // namespace GP
