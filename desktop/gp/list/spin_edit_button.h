#pragma once

#include <QWidget>

namespace GP {

class CSpinEdit;

// The small up/down button inside the right edge of a CSpinEdit, as wide as a vertical scroll bar.
// The upper half steps up, the lower half down; dragging out of it starts the slider.
class CSpinEditButton : public QWidget {
    Q_OBJECT

  public:
    explicit CSpinEditButton(CSpinEdit& edit);

    // 0 none, 1 upper half held, 2 lower half held.
    int PressedPart() const { return pressed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    CSpinEdit& edit_;
    int pressed_ = 0;
};

// The track bar shown while the spin button is dragged: 10 × 2 scroll-bar widths, range 0 to 32767,
// placed with its thumb under the cursor and off the editor.
class CSpinEditSlider : public QWidget {
    Q_OBJECT

  public:
    CSpinEditSlider(Qt::Orientation orientation, QWidget* owner);

    Qt::Orientation Orientation() const { return orientation_; }
    int Value() const { return value_; }
    void SetValue(int value);
    // The slider position for a point in screen coordinates.
    int ValueAt(const QPoint& globalPos) const;
    // Moves the slider so that its thumb lies under globalPos, then off avoid (screen coordinates).
    void PlaceAt(const QPoint& globalPos, const QRect& avoid);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Qt::Orientation orientation_;
    int value_ = 0;
};

}  // namespace GP
