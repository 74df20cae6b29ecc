#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CProgressBar;
class CKivProgressBar;
class CWriter;
class MidiEnvironment;

// What a transfer job came to.
enum class JobOutcome { Done, Failed, Cancelled };
JobOutcome OutcomeOf(bool ok, bool cancelled);

// After a transfer that failed, on the job's worker: looks at the processor's output port, so that an
// interface that was unplugged is reported at once (the notice "MIDI devices are disconnected."), not only
// at the next transfer.
void CheckProcessorPort(const CWriter& writer);

// The transfers with the processor, one at a time, each on a worker thread of its own.
//
// A job's work runs on the worker and owns, while it runs, the patch reader or writer it uses and the
// pumping of MIDI input (the user-interface thread pumps input only while no job runs). It works on copies
// of the patches it needs, taken before it starts, and touches no window or document. Its progress reaches
// the progress dialog by queued calls; Cancel sets a flag that the transfer checks between messages (through
// the environment's progress sink). When the work has ended, its apply step runs on the user-interface
// thread, from the event loop: that is where a document takes what was read, its undo copy, its slot
// knowledge and so on. stateChanged() tells when a job begins and when it has ended (after its apply step).
//
// A foreground job shows the progress dialog and the wait cursor; a background job (an audition) shows
// neither.
class CTransferJobs : public QObject {
    Q_OBJECT

  public:
    enum class Kind { Foreground, Background };

    // progress: the dialog of foreground jobs (none: no dialog).
    CTransferJobs(MidiEnvironment& environment, CProgressBar* progress, QObject* parent = nullptr);
    // Cancels a job that still runs and waits for its end.
    ~CTransferJobs() override;

    // Starts work on a worker; apply gets its outcome on this thread once it has ended. False, and nothing
    // runs, while another job runs; but a foreground job takes precedence over a background one, which is
    // cancelled and ended first (its apply sees Cancelled).
    bool Start(Kind kind, std::function<JobOutcome()> work, std::function<void(JobOutcome)> apply);
    bool IsRunning() const { return running_; }
    bool IsForegroundRunning() const { return running_ && kind_ == Kind::Foreground; }
    // The job that runs reads as cancelled from its next step on.
    void Cancel();
    // Cancels the job that runs, waits for its worker to end and applies its outcome at once (closing the
    // program). The worker never waits for this thread, so the wait is short.
    void CancelAndWait();
    // The outcome of the last job that ended.
    JobOutcome LastOutcome() const { return last_; }

  signals:
    void stateChanged();

  private:
    class CJobProgress;

    void Finish(int serial);

    MidiEnvironment& environment_;
    QPointer<CProgressBar> progress_;
    CKivProgressBar* environmentProgress_ = nullptr;
    std::shared_ptr<CJobProgress> jobProgress_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::thread worker_;
    std::function<void(JobOutcome)> apply_;
    JobOutcome outcome_ = JobOutcome::Done;  // written by the worker, read after it has ended
    JobOutcome last_ = JobOutcome::Done;
    Kind kind_ = Kind::Foreground;
    bool running_ = false;
    int serial_ = 0;
};
