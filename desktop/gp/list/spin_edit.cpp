#include "gp/list/spin_edit.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleHints>
#include <algorithm>
#include <cmath>

#include "gp/list/spin_edit_button.h"

namespace GP {

namespace {
constexpr int kMinimumIntervalMs = 10;
}

CSpinEdit::CSpinEdit(QWidget* parent) : QLineEdit(parent), button_(new CSpinEditButton(*this)) {
    repeatTimer_.setSingleShot(false);
    connect(&repeatTimer_, &QTimer::timeout, this, &CSpinEdit::OnRepeatTimer);
    connect(this, &QLineEdit::textChanged, this, &CSpinEdit::OnTextChanged);
    setTextMargins(0, 0, button_->width(), 0);
    PlaceButton();
    SetValue(0);
}

CSpinEdit::~CSpinEdit() = default;

void CSpinEdit::SetRange(double minimum, double maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
}

void CSpinEdit::SetWholeNumbers(bool whole) {
    whole_ = whole;
}

void CSpinEdit::SetPrecision(int width, int decimals) {
    width_ = std::clamp(width, 0, 64);
    decimals_ = std::clamp(decimals, 0, 15);
}

double CSpinEdit::Limit(double value) const {
    if (std::isnan(value)) value = minimum_;
    if (whole_) {
        double low = std::ceil(minimum_);
        double high = std::floor(maximum_);
        if (low > high) high = low;
        return std::clamp(std::round(value), low, high);
    }
    return std::clamp(value, minimum_, maximum_);
}

QString CSpinEdit::Format(double value) const {
    if (whole_) return QString::number(static_cast<qlonglong>(std::llround(value)));
    return QStringLiteral("%1").arg(value, width_, 'f', decimals_);
}

bool CSpinEdit::Parse(const QString& text, double& value) const {
    bool ok = false;
    const QString trimmed = text.trimmed();
    double parsed = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) parsed = QLocale().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

void CSpinEdit::SetValue(double value) {
    ApplyValue(Limit(value));
}

void CSpinEdit::ApplyValue(double value) {
    value_ = value;
    updating_ = true;
    setText(Format(value_));
    updating_ = false;
}

double CSpinEdit::StepSize() const {
    return std::pow(static_cast<double>(base_), exponent_ + (coarse_ ? 1 : 0));
}

bool CSpinEdit::Step(bool up) {
    const double delta = up ? StepSize() : -StepSize();
    const double old = value_;
    if (!OfferDelta(old, delta)) return false;
    stepping_ = true;
    SetValue(old + delta);
    stepping_ = false;
    return true;
}

void CSpinEdit::StopSpinning() {
    repeatTimer_.stop();
    if (slider_) {
        slider_->hide();
        slider_->deleteLater();
        slider_ = nullptr;
    }
    mode_ = SPIN_IDLE;
    coarse_ = false;
    mouseRepeat_ = false;
    button_->update();
}

int CSpinEdit::InitialDelayMs() {
    const double delaySetting = 1;  // the desktop default of 0 (short) to 3 (long)
    return static_cast<int>(delaySetting / 3 * 750 + 250);
}

int CSpinEdit::RepeatIntervalMs() {
    double rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    rate = std::clamp(rate, 2.5, 30.0);
    const int interval = static_cast<int>(1000.0 / rate / RepeatFactor());
    return std::max(interval, kMinimumIntervalMs);
}

double CSpinEdit::RepeatFactor() {
    static const double factor = [] {
        const QString path =
            QStandardPaths::locate(QStandardPaths::AppConfigLocation, QStringLiteral("SpinEdit.ini"));
        return path.isEmpty() ? 1.0 : ReadRepeatFactor(path);
    }();
    return factor;
}

double CSpinEdit::ReadRepeatFactor(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return 1.0;
    const QByteArray line = file.readLine(256).trimmed();
    bool ok = false;
    const double factor = QString::fromLatin1(line).toDouble(&ok);
    return ok && std::isfinite(factor) && factor > 0 ? factor : 1.0;
}

void CSpinEdit::ButtonPressed(bool up, const QPoint& globalPos) {
    setFocus();
    pressPos_ = globalPos;
    if (mode_ != SPIN_IDLE) return;
    mouseRepeat_ = true;
    StartRepeat(up);
}

void CSpinEdit::ButtonDragged(const QPoint& globalPos, bool outsideButton) {
    if (mode_ == SPIN_SLIDER) {
        SlideTo(globalPos);
    } else if (mouseRepeat_ && outsideButton) {
        StartSlider(globalPos);
    }
}

void CSpinEdit::ButtonReleased() {
    if (mouseRepeat_ || mode_ == SPIN_SLIDER) StopSpinning();
}

bool CSpinEdit::OfferDelta(double oldValue, double delta) {
    return !deltaHandler_ || deltaHandler_(oldValue, delta);
}

void CSpinEdit::NotifyParent(int code) {
    emit notify(code);
}

void CSpinEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && (key == Qt::Key_Home || key == Qt::Key_End)) {
        SetValue(key == Qt::Key_Home ? minimum_ : maximum_);
        selectAll();
        NotifyParent(0x302);
        event->accept();
        return;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        event->accept();
        if (event->isAutoRepeat()) return;
        const bool up = key == Qt::Key_Up;
        if (mode_ == SPIN_IDLE) {
            StartRepeat(up);
        } else if (mode_ == SPIN_REPEAT && up != up_) {
            coarse_ = true;
        }
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CSpinEdit::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && !event->isAutoRepeat()) {
        event->accept();
        if (mode_ == SPIN_REPEAT) {
            if ((key == Qt::Key_Up) == up_) {
                if (!mouseRepeat_) StopSpinning();
            } else {
                coarse_ = false;
            }
        }
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void CSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceButton();
}

void CSpinEdit::focusOutEvent(QFocusEvent* event) {
    // Keys no longer arrive: a keyboard repeat would never see its release.
    if (mode_ == SPIN_REPEAT && !mouseRepeat_) StopSpinning();
    QLineEdit::focusOutEvent(event);
}

void CSpinEdit::StartRepeat(bool up) {
    mode_ = SPIN_REPEAT;
    up_ = up;
    coarse_ = false;
    button_->update();
    if (!Step(up)) {
        StopSpinning();
        return;
    }
    selectAll();
    repeatTimer_.start(InitialDelayMs());
}

void CSpinEdit::OnRepeatTimer() {
    if (mode_ != SPIN_REPEAT) {
        repeatTimer_.stop();
        return;
    }
    if (!Step(up_)) {
        StopSpinning();
        return;
    }
    selectAll();
    const int interval = RepeatIntervalMs();
    if (repeatTimer_.interval() != interval) repeatTimer_.setInterval(interval);
}

void CSpinEdit::StartSlider(const QPoint& globalPos) {
    repeatTimer_.stop();
    mode_ = SPIN_SLIDER;
    coarse_ = false;
    const QPoint drag = globalPos - pressPos_;
    const Qt::Orientation orientation =
        std::abs(drag.x()) > std::abs(drag.y()) ? Qt::Horizontal : Qt::Vertical;
    slider_ = new CSpinEditSlider(orientation, this);
    const double span = maximum_ - minimum_;
    slider_->SetValue(span > 0 ? static_cast<int>(std::lround((value_ - minimum_) / span * kSliderMaximum))
                               : 0);
    slider_->PlaceAt(globalPos, QRect(mapToGlobal(QPoint(0, 0)), size()));
    slider_->show();
    slider_->raise();
}

void CSpinEdit::SlideTo(const QPoint& globalPos) {
    if (!slider_) return;
    const int position = slider_->ValueAt(globalPos);
    const double target = Limit(minimum_ + (maximum_ - minimum_) * position / kSliderMaximum);
    const double delta = target - value_;
    if (delta == 0) {
        slider_->SetValue(position);
        return;
    }
    if (!OfferDelta(value_, delta)) return;
    stepping_ = true;
    ApplyValue(target);
    stepping_ = false;
    selectAll();
    slider_->SetValue(position);
}

void CSpinEdit::OnTextChanged(const QString& text) {
    if (!updating_) {
        double parsed = 0;
        if (Parse(text, parsed)) value_ = parsed;
    }
    NotifyParent(0x300);
}

void CSpinEdit::PlaceButton() {
    const int width = button_->width();
    button_->setGeometry(this->width() - width - 2, 2, width, std::max(1, height() - 4));
}

}  // namespace GP
