#pragma once

#include <QLineEdit>
#include <QPoint>
#include <QTimer>
#include <functional>

namespace GP {

class CSpinEditButton;
class CSpinEditSlider;

// An edit field holding a number, with a spin button inside its right edge and a slider shown while
// the button is dragged.
//
// A step changes the value by base^(exponent + coarse), base 10 or 16, up or down. Every new value is
// first offered as a delta (OfferDelta: old value, change); a refused one changes nothing. Otherwise it
// is limited to [minimum, maximum] (whole numbers: [ceil(minimum), floor(maximum)], rounded half away
// from zero), stored and shown.
//
// Up and Down (not key repetitions) start auto-repeat: one step at once, another after the initial
// delay, then one per repeat interval; the other arrow pressed meanwhile makes the steps one power
// coarser until it is released; releasing the first arrow stops. Pressing the button does the same with
// the mouse; dragging out of the button switches to the slider (range 0 to 32767 mapped linearly onto
// [minimum, maximum]). A refused step ends auto-repeat. Ctrl+Home sets the minimum, Ctrl+End the
// maximum, then NotifyParent(0x302).
//
// Timing: initial delay 500 ms (the desktop's default delay: Qt offers no delay setting); repeat
// interval 1000 / rate / factor ms, with the rate from the desktop's key repeat rate (Qt style hints,
// 2.5 to 30 per second) and the factor from the first line of "SpinEdit.ini" in the program's
// configuration folder (1 when missing or not above 0); never below 10 ms.
class CSpinEdit : public QLineEdit {
    Q_OBJECT

  public:
    enum SpinMode : int { SPIN_IDLE = 0, SPIN_REPEAT = 1, SPIN_SLIDER = 2 };
    static constexpr int kSliderMaximum = 32767;

    explicit CSpinEdit(QWidget* parent = nullptr);
    ~CSpinEdit() override;

    void SetRange(double minimum, double maximum);
    // Whole numbers (true) or real numbers.
    void SetWholeNumbers(bool whole);
    void SetStepBase(int base) { base_ = base == 16 ? 16 : 10; }
    int StepBase() const { return base_; }
    void SetStepExponent(int exponent) { exponent_ = exponent; }
    // Real numbers are shown as printf "%*.*f" with these: field width and digits after the point.
    void SetPrecision(int width, int decimals);

    double Value() const { return value_; }
    // Limits, stores and shows value (no delta is offered).
    void SetValue(double value);
    // The value as it would be stored: limited and, for whole numbers, rounded.
    double Limit(double value) const;
    QString Format(double value) const;
    // Reads text as a number; false when it is not one.
    bool Parse(const QString& text, double& value) const;

    // One step up or down; false when it was refused.
    bool Step(bool up);
    double StepSize() const;
    int Mode() const { return mode_; }
    bool IsCoarse() const { return coarse_; }
    // Spinning or sliding, or in the middle of a step: text changes then come from the editor itself.
    bool IsSpinning() const { return mode_ != SPIN_IDLE || stepping_; }
    void StopSpinning();

    // A handler for OfferDelta in stand-alone use; true accepts.
    void SetDeltaHandler(std::function<bool(double oldValue, double delta)> handler) {
        deltaHandler_ = std::move(handler);
    }

    CSpinEditButton* Button() const { return button_; }
    CSpinEditSlider* Slider() const { return slider_; }

    static int InitialDelayMs();
    static int RepeatIntervalMs();
    // The repeat factor, read once per process from SpinEdit.ini.
    static double RepeatFactor();
    // The number on the first line of the file, or 1 when it is missing or not above 0.
    static double ReadRepeatFactor(const QString& path);

    // Mouse on the button (called by CSpinEditButton).
    void ButtonPressed(bool up, const QPoint& globalPos);
    void ButtonDragged(const QPoint& globalPos, bool outsideButton);
    void ButtonReleased();

  signals:
    // Sent for notification codes: 0x300 text change, 0x302 Ctrl+Home/Ctrl+End.
    void notify(int code);

  protected:
    // Offers a change; true accepts. The base asks the delta handler, or accepts.
    virtual bool OfferDelta(double oldValue, double delta);
    // Tells the parent about code; the base emits notify.
    virtual void NotifyParent(int code);
    // Applies value (already limited) after an accepted change.
    void ApplyValue(double value);

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void StartRepeat(bool up);
    void OnRepeatTimer();
    void StartSlider(const QPoint& globalPos);
    void SlideTo(const QPoint& globalPos);
    void OnTextChanged(const QString& text);
    void PlaceButton();

    double minimum_ = 0;
    double maximum_ = 100;
    bool whole_ = true;
    int base_ = 10;
    int exponent_ = 0;
    int width_ = 0;
    int decimals_ = 2;
    double value_ = 0;
    int mode_ = SPIN_IDLE;
    bool up_ = true;
    bool coarse_ = false;
    bool stepping_ = false;
    bool updating_ = false;
    bool mouseRepeat_ = false;
    QPoint pressPos_;
    QTimer repeatTimer_;
    CSpinEditButton* button_;
    CSpinEditSlider* slider_ = nullptr;
    std::function<bool(double, double)> deltaHandler_;
};

}  // namespace GP
