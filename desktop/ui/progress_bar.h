#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>

#include "device/progress_sink.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The progress dialog of transfers with the processor (dialog 3075): a caption, a bar and Cancel, the
// program's one progress sink. Begin opens it over its owner (the main frame), End closes it one second
// later so that the final state stays readable. While it is open it is the only window that takes input
// (it is application modal, though shown without a loop of its own), so no second transfer can start from
// the owner; the owner keeps painting.
//
// Begin/End pairs nest: an inner pair shares the outer dialog, and its SetPosition and SetCaption calls do
// nothing. A Begin during the second after End takes the dialog over again without closing it.
//
// Cancel never closes the dialog: it sets the cancel flag, which the transfer polls through IsCancelled
// and stops by itself. Escape and the window's close button mean Cancel.
class CProgressBar : public QDialog, public CKivProgressBar {
    Q_OBJECT

  public:
    static constexpr int kLingerMs = 1000;

    explicit CProgressBar(QWidget* owner = nullptr);
    ~CProgressBar() override;

    // The window the dialog is centred over and keeps in front of.
    void SetOwner(QWidget* owner);
    QWidget* Owner() const { return owner_; }

    void Begin(int range, const std::string& caption, bool cancellable) override;
    void End() override;
    void SetPosition(int position) override;
    // The caption of the patch a transfer is at, in the interface language ("User Patch U01-2",
    // "Temporary Patch").
    static QString PatchCaption(int area, int number);
    void SetPatch(int area, int number) override;
    // Processes pending events (so that a Cancel click is seen), then gives the cancel flag.
    bool IsCancelled() override;
    void SetRange(int range) override;

    // The nesting count: 0 while no transfer runs.
    int Nesting() const { return nesting_; }
    // True from Begin until the dialog has gone after End.
    bool IsOpen() const { return nesting_ > 0 || linger_.isActive(); }
    bool IsLingering() const { return nesting_ == 0 && linger_.isActive(); }
    // What the Cancel button does: sets the cancel flag when the transfer can be cancelled.
    void Cancel();
    // While set, every transfer reads as cancelled, also one that begins later (the program is ending).
    void SetStopping(bool stopping) { stopping_ = stopping; }
    bool IsStopping() const { return stopping_; }
    // Ends the second after End at once.
    void Dismiss();

    QLabel* CaptionLabel() const { return label_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    // What processes the program's pending events while the dialog shows and a transfer waits (the transfer
    // session's pump); without one, the dialog processes them itself.
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

  signals:
    // The dialog has gone after its last End.
    void dismissed();

  public slots:
    // Escape, the close button: Cancel. The dialog stays.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Place();
    void Finish();
    void Pump();

    QPointer<QWidget> owner_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    QTimer linger_;
    int nesting_ = 0;
    bool cancelFlag_ = false;
    bool stopping_ = false;
    std::function<void()> pump_;
};
