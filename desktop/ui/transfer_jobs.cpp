#include "ui/transfer_jobs.h"

#include <QApplication>
#include <QMetaObject>

#include "device/progress_sink.h"
#include "midi/midi_out.h"
#include "ports/midi_environment.h"
#include "transfer/writer.h"
#include "ui/progress_bar.h"

JobOutcome OutcomeOf(bool ok, bool cancelled) {
    if (ok) return JobOutcome::Done;
    return cancelled ? JobOutcome::Cancelled : JobOutcome::Failed;
}

void CheckProcessorPort(const CWriter& writer) {
    CKivMidiOut* output = writer.SenderOutput();
    if (auto* port = output ? dynamic_cast<CMidiOut*>(output->GetDevice()) : nullptr) port->CheckConnection();
}

// The progress sink a job's transfer reports to, on the worker: each report goes to the progress dialog by a
// queued call (none for a background job), and the cancel flag is the job's.
class CTransferJobs::CJobProgress : public CKivProgressBar {
  public:
    CJobProgress(QPointer<CProgressBar> dialog, std::shared_ptr<std::atomic<bool>> cancel)
        : dialog_(std::move(dialog)), cancel_(std::move(cancel)) {}

    void Begin(int range, const std::string& caption, bool cancellable) override {
        range_ = range;
        cancellable_ = cancellable;
        Post([range, caption, cancellable](CProgressBar& dialog) {
            dialog.Begin(range, caption, cancellable);
        });
    }
    void End() override {
        Post([](CProgressBar& dialog) { dialog.End(); });
    }
    void SetPosition(int position) override {
        position_ = position;
        Post([position](CProgressBar& dialog) { dialog.SetPosition(position); });
    }
    void SetPatch(int area, int number) override {
        CKivProgressBar::SetPatch(area, number);
        Post([area, number](CProgressBar& dialog) { dialog.SetPatch(area, number); });
    }
    bool IsCancelled() override { return cancel_->load(); }
    void SetRange(int range) override {
        range_ = range;
        Post([range](CProgressBar& dialog) { dialog.SetRange(range); });
    }

  private:
    template <class F>
    void Post(F call) {
        // The guard is read on the dialog's thread, where it is kept.
        QPointer<CProgressBar> dialog = dialog_;
        if (!dialog_) return;
        QMetaObject::invokeMethod(
            dialog_.data(),
            [dialog, call] {
                if (dialog) call(*dialog);
            },
            Qt::QueuedConnection);
    }

    QPointer<CProgressBar> dialog_;
    std::shared_ptr<std::atomic<bool>> cancel_;
};

CTransferJobs::CTransferJobs(MidiEnvironment& environment, CProgressBar* progress, QObject* parent)
    : QObject(parent), environment_(environment), progress_(progress) {
    if (progress_) connect(progress_, &CProgressBar::cancelRequested, this, &CTransferJobs::Cancel);
}

CTransferJobs::~CTransferJobs() {
    CancelAndWait();
}

bool CTransferJobs::Start(Kind kind, std::function<JobOutcome()> work,
                          std::function<void(JobOutcome)> apply) {
    if (!work) return false;
    if (running_ && kind == Kind::Foreground && kind_ == Kind::Background) CancelAndWait();
    if (running_) return false;
    running_ = true;
    kind_ = kind;
    const int serial = ++serial_;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    jobProgress_ = std::make_shared<CJobProgress>(kind == Kind::Foreground ? progress_ : nullptr, cancel_);
    // The transfer reports through the environment's sink: this job's, until it has ended.
    environment_.SetProgressBar(jobProgress_);
    apply_ = std::move(apply);
    if (kind == Kind::Foreground) QApplication::setOverrideCursor(Qt::WaitCursor);
    emit stateChanged();
    worker_ = std::thread([this, serial, work = std::move(work)] {
        outcome_ = work();
        QMetaObject::invokeMethod(
            this, [this, serial] { Finish(serial); }, Qt::QueuedConnection);
    });
    return true;
}

void CTransferJobs::Cancel() {
    if (running_ && cancel_) cancel_->store(true);
}

void CTransferJobs::CancelAndWait() {
    if (!running_) return;
    Cancel();
    Finish(serial_);
}

void CTransferJobs::Finish(int serial) {
    // A job finished early by CancelAndWait leaves its queued end behind.
    if (!running_ || serial != serial_) return;
    if (worker_.joinable()) worker_.join();
    environment_.SetProgressBar(nullptr);
    jobProgress_.reset();
    running_ = false;
    last_ = outcome_;
    if (kind_ == Kind::Foreground) QApplication::restoreOverrideCursor();
    std::function<void(JobOutcome)> apply = std::move(apply_);
    apply_ = nullptr;
    if (apply) apply(last_);
    emit stateChanged();
}
