#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>

#include "textout/text_out.h"

namespace UL {

// A text sink whose texts appear for a while in a window of their own: the display time and the margins
// around the text.
class ATimerTextOut : public CKivTextOut {
  public:
    static constexpr int kDefaultDisplayTime = 3000;

    void SetDisplayTime(int milliseconds) { displayTime_ = milliseconds; }
    int GetDisplayTime() const { return displayTime_; }
    void SetMargins(int left, int top, int right, int bottom) { margins_ = {left, top, right, bottom}; }
    std::array<int, 4> GetMargins() const { return margins_; }

  private:
    int displayTime_ = kDefaultDisplayTime;
    std::array<int, 4> margins_ = {20, 20, 20, 20};
};

// The timed notice window: a small captioned tool window in front of the main window that shows one notice
// ("MIDI devices are disconnected.") for the display time and then hides itself. A new notice replaces the
// one shown and restarts the full time. It never takes the focus and never blocks the work in progress.
class CTimerTextOutWindow : public ATimerTextOut {
  public:
    class CWindowX;

    // owner: the window the notice is centred over and stays in front of.
    explicit CTimerTextOutWindow(QWidget* owner = nullptr);
    ~CTimerTextOutWindow() override;
    void SetOwner(QWidget* owner);

    // The window, once a notice has made it (none before, and none once its owner has deleted it).
    CWindowX* Window() const { return window_.data(); }

  protected:
    void Output(const std::string& text) override;

  private:
    QPointer<QWidget> owner_;
    // A child of the owner when there is one, which then may delete it first.
    QPointer<CWindowX> window_;
};

// The window of the notice: draws the text as one line inside the margins.
class CTimerTextOutWindow::CWindowX : public QWidget {
    Q_OBJECT

  public:
    CWindowX(CTimerTextOutWindow& owner, QWidget* parent);

    const QString& Text() const { return text_; }
    int RemainingTime() const { return timer_.remainingTime(); }
    void Show(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Expire();
    QString OneLine() const;

    CTimerTextOutWindow& owner_;
    QString text_;
    QTimer timer_;
};

}  // namespace UL
