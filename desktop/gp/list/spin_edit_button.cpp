#include "gp/list/spin_edit_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionSlider>

#include "gp/list/spin_edit.h"

namespace GP {

CSpinEditButton::CSpinEditButton(CSpinEdit& edit) : QWidget(&edit), edit_(edit) {
    setCursor(Qt::ArrowCursor);
    setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

void CSpinEditButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect upper(0, 0, width(), height() / 2);
    const QRect lower(0, height() / 2, width(), height() - height() / 2);
    const bool enabled = isEnabled();
    const struct {
        QRect rect;
        QStyle::PrimitiveElement arrow;
        bool down;
    } parts[] = {{upper, QStyle::PE_IndicatorArrowUp, pressed_ == 1},
                 {lower, QStyle::PE_IndicatorArrowDown, pressed_ == 2}};
    for (const auto& part : parts) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = part.rect;
        button.state = (enabled ? QStyle::State_Enabled : QStyle::State_None) |
                       (part.down ? QStyle::State_Sunken : QStyle::State_Raised);
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = part.rect.adjusted(2, 1, -2, -1);
        if (part.down) arrow.rect.translate(1, 1);
        arrow.state = enabled ? QStyle::State_Enabled : QStyle::State_None;
        style()->drawPrimitive(part.arrow, &arrow, &painter, this);
    }
}

void CSpinEditButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const bool up = event->position().y() < height() / 2.0;
    pressed_ = up ? 1 : 2;
    update();
    edit_.ButtonPressed(up, event->globalPosition().toPoint());
}

void CSpinEditButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (pressed_ == 0) return;
    edit_.ButtonDragged(event->globalPosition().toPoint(), !rect().contains(event->position().toPoint()));
}

void CSpinEditButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || pressed_ == 0) return;
    pressed_ = 0;
    update();
    edit_.ButtonReleased();
}

namespace {

QStyleOptionSlider SliderOption(const QWidget* widget, Qt::Orientation orientation, int value) {
    QStyleOptionSlider option;
    option.initFrom(widget);
    option.orientation = orientation;
    option.minimum = 0;
    option.maximum = CSpinEdit::kSliderMaximum;
    option.sliderPosition = value;
    option.sliderValue = value;
    option.singleStep = 1;
    option.pageStep = CSpinEdit::kSliderMaximum / 10;
    option.upsideDown = orientation == Qt::Vertical;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (orientation == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return option;
}

}  // namespace

CSpinEditSlider::CSpinEditSlider(Qt::Orientation orientation, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), orientation_(orientation) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (orientation == Qt::Horizontal)
        resize(10 * bar, 2 * bar);
    else
        resize(2 * bar, 10 * bar);
}

void CSpinEditSlider::SetValue(int value) {
    value_ = std::clamp(value, 0, CSpinEdit::kSliderMaximum);
    update();
}

int CSpinEditSlider::ValueAt(const QPoint& globalPos) const {
    const QStyleOptionSlider option = SliderOption(this, orientation_, value_);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const QPoint local = mapFromGlobal(globalPos);
    int position = 0, span = 0;
    if (orientation_ == Qt::Horizontal) {
        position = local.x() - handle.width() / 2 - groove.x();
        span = groove.width() - handle.width();
    } else {
        position = local.y() - handle.height() / 2 - groove.y();
        span = groove.height() - handle.height();
    }
    return QStyle::sliderValueFromPosition(0, CSpinEdit::kSliderMaximum, position, std::max(1, span),
                                           option.upsideDown);
}

void CSpinEditSlider::PlaceAt(const QPoint& globalPos, const QRect& avoid) {
    const QStyleOptionSlider option = SliderOption(this, orientation_, value_);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QRect placed(globalPos - handle.center(), size());
    if (placed.intersects(avoid)) {
        const QScreen* screen = this->screen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        if (orientation_ == Qt::Horizontal) {
            placed.moveTop(avoid.bottom() + 1);
            if (available.isValid() && placed.bottom() > available.bottom())
                placed.moveBottom(avoid.top() - 1);
        } else {
            placed.moveLeft(avoid.right() + 1);
            if (available.isValid() && placed.right() > available.right()) placed.moveRight(avoid.left() - 1);
        }
    }
    move(placed.topLeft());
}

void CSpinEditSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QStyleOptionSlider option = SliderOption(this, orientation_, value_);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace GP
