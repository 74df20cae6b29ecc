#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

#include "ui/wait_cursor.h"

class CProgressBar;
class QWidget;

// Everything that happens while transfers with the processor run, in one place: the wait cursor, the progress
// dialog with the pumping of events while a transfer waits, cancelling, and the work that must not run in the
// middle of a transfer (closing the program, files handed over by another copy, messages collected
// meanwhile), which waits in a queue and runs, in order, when the session ends.
//
// A session runs from the first CScope until the last one has ended and the progress dialog has gone (it
// stays a second after a transfer so that its last state can be read). stateChanged() tells when a transfer
// begins or ends and when the session ends.
class CTransferSession : public QObject {
    Q_OBJECT

  public:
    // One transfer: the session runs (and the wait cursor shows) while it lives.
    class CScope {
      public:
        explicit CScope(CTransferSession& session);
        ~CScope();
        CScope(const CScope&) = delete;
        CScope& operator=(const CScope&) = delete;

      private:
        CTransferSession& session_;
        CWaitCursor cursor_;
    };

    // The progress dialog is centred over owner.
    explicit CTransferSession(QWidget* owner);
    ~CTransferSession() override;

    // The progress dialog, which the MIDI environment reports every transfer's progress to.
    CProgressBar& Progress() const { return *progress_; }
    std::shared_ptr<CProgressBar> ProgressSink() const { return progress_; }

    // Whether the session runs: transfers, or the progress dialog still up after them.
    bool IsRunning() const;
    // Whether a transfer runs now (another one may begin while the dialog is still up).
    bool IsTransferring() const;
    // Runs work at once when no session runs; otherwise when it has ended.
    void WhenIdle(std::function<void()> work);
    // The transfer under way, and any that begins before the session ends, reads as cancelled, and the
    // progress dialog goes as soon as the last transfer has stopped.
    void Stop();
    bool IsStopping() const { return stopping_; }
    // What the program does while a transfer waits for the processor (called every millisecond or two):
    // painting, timers and MIDI input go on; while the progress dialog is up, its Cancel too (it is the
    // only window that takes input then). Never inside itself.
    void Pump();

  signals:
    void stateChanged();

  private:
    void Enter();
    void Leave();
    void Finish();
    void RunPending();

    std::shared_ptr<CProgressBar> progress_;
    int scopes_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    bool pumping_ = false;
    std::deque<std::function<void()>> pending_;
};
