#include "ui/temporary_area.h"

#include <QPointer>
#include <algorithm>

#include "gp/util/settings_catalog.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/transfer_jobs.h"

namespace {

// Keeps the first text a background send would have shown; questions are answered with Cancel.
class CFirstText : public CKivTextOut {
  public:
    explicit CFirstText(std::string& text) : text_(text) {}
    int Ask(int, const std::string& text, int) override {
        Keep(text);
        return ANSWER_CANCEL;
    }

  protected:
    void Output(const std::string& text) override { Keep(text); }

  private:
    void Keep(const std::string& text) {
        if (text_.empty()) text_ = text;
    }
    std::string& text_;
};

bool SamePatch(const CTemporaryPatch& a, const CTemporaryPatch& b) {
    if (a.label != b.label || a.patch.GetSize() != 1 || b.patch.GetSize() != 1) return false;
    return std::ranges::equal(a.patch[0].FirstBlockBytes(), b.patch[0].FirstBlockBytes());
}

}  // namespace

CTemporaryArea::CTemporaryArea(ISettingsStore& settings, MidiEnvironment& environment, AReader& reader,
                               CWriter& writer, CTransferJobs& jobs, QObject* parent)
    : QObject(parent),
      settings_(settings),
      environment_(environment),
      reader_(reader),
      writer_(writer),
      jobs_(jobs),
      on_(Profile::kAudition.Read(&settings) != 0) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &CTemporaryArea::SendPending);
    // Queued: a job that ends may be followed at once by the user's next one, which goes first.
    connect(&jobs_, &CTransferJobs::stateChanged, this, &CTemporaryArea::SendPending, Qt::QueuedConnection);
}

CTemporaryArea::~CTemporaryArea() = default;

void CTemporaryArea::SetAuditioning(bool on) {
    if (on == on_) return;
    on_ = on;
    Profile::kAudition.Write(&settings_, on ? 1 : 0);
    settle_.stop();
    pending_.reset();
    failureTold_ = false;
    UpdateField();
    emit auditioningChanged(on);
}

void CTemporaryArea::Select(CTemporaryPatch patch) {
    if (!on_ || patch.patch.GetSize() != 1) return;
    // Already on its way, or already there: nothing more to send.
    if ((inFlight_ && SamePatch(*inFlight_, patch)) ||
        (!inFlight_ && lastSent_ && SamePatch(*lastSent_, patch))) {
        pending_.reset();
        settle_.stop();
        UpdateField();
        return;
    }
    pending_ = std::move(patch);
    // The first selection after a rest goes at once; while selections follow each other quickly, the last
    // one goes once they rest.
    const bool rested = !sinceSelected_.isValid() || sinceSelected_.elapsed() >= kSettleMs;
    sinceSelected_.start();
    if (rested && !inFlight_ && !settle_.isActive()) {
        SendPending();
    } else {
        // The patch being sent is outdated: it stops between two messages, and this one follows.
        if (inFlight_ && jobs_.IsRunning() && !jobs_.IsForegroundRunning()) jobs_.Cancel();
        settle_.start();
    }
    UpdateField();
}

void CTemporaryArea::SendPending() {
    if (!on_ || !pending_ || settle_.isActive() || jobs_.IsRunning()) return;
    CTemporaryPatch patch = std::move(*pending_);
    pending_.reset();
    if (StartJob(patch, true, {})) inFlight_ = std::move(patch);
    UpdateField();
}

bool CTemporaryArea::WriteNow(CTemporaryPatch patch, std::function<void(JobOutcome)> done) {
    if (patch.patch.GetSize() != 1 || jobs_.IsForegroundRunning()) return false;
    if (!StartJob(patch, false, std::move(done))) return false;
    // The user's own choice for the area: an audition waiting, or cut short by it, does not follow it.
    settle_.stop();
    pending_.reset();
    UpdateField();
    return true;
}

bool CTemporaryArea::StartJob(const CTemporaryPatch& patch, bool background,
                              std::function<void(JobOutcome)> done) {
    auto source = std::make_shared<CTemporaryPatch>(patch);
    auto message = std::make_shared<std::string>();
    auto work = [&reader = reader_, &writer = writer_, source, message, background] {
        // A background send tells nobody on its own: what it would have said is kept for its end.
        CFirstText keep(*message);
        std::optional<TextOutHub::CThreadRedirect> quiet;
        if (background) quiet.emplace(keep);
        const int numbers[] = {0};
        const bool ok = writer.WritePatchesToDevice(reader, AREA_TEMPORARY_PATCH, numbers, source->patch);
        if (!ok && !writer.WasCancelled()) CheckProcessorPort(writer);
        return OutcomeOf(ok, writer.WasCancelled());
    };
    auto apply = [area = QPointer<CTemporaryArea>(this), source, message, background,
                  done = std::move(done)](JobOutcome outcome) {
        if (area) {
            if (background)
                area->AuditionEnded(outcome, *message);
            else if (outcome == JobOutcome::Done)
                area->Remember(*source);
            else
                area->Forget();
        }
        if (done) done(outcome);
    };
    return jobs_.Start(background ? CTransferJobs::Kind::Background : CTransferJobs::Kind::Foreground, work,
                       apply);
}

void CTemporaryArea::AuditionEnded(JobOutcome outcome, const std::string& message) {
    std::optional<CTemporaryPatch> sent = std::move(inFlight_);
    inFlight_.reset();
    switch (outcome) {
        case JobOutcome::Done:
            failureTold_ = false;
            if (sent) Remember(*sent);
            break;
        case JobOutcome::Cancelled:
            // Cut short: the area holds part of it. Unless a newer selection replaced it, it goes again
            // once the transfer that took precedence has ended.
            Forget();
            if (on_ && !pending_ && sent) pending_ = std::move(sent);
            break;
        case JobOutcome::Failed:
            Forget();
            if (!failureTold_ && !message.empty())
                if (CKivTextOut* notices = environment_.GetNoticeSink()) notices->Write(message);
            failureTold_ = true;
            break;
    }
    UpdateField();
}

void CTemporaryArea::Remember(const CTemporaryPatch& patch) {
    lastSent_ = patch;
    known_ = patch.label;
    UpdateField();
}

void CTemporaryArea::Forget() {
    lastSent_.reset();
    known_.clear();
    UpdateField();
}

QString CTemporaryArea::FieldText() const {
    if (inFlight_ || (on_ && pending_)) return tr("Temporary: sending...");
    if (known_.isEmpty()) return {};
    return tr("Temporary: %1").arg(known_);
}

void CTemporaryArea::UpdateField() {
    const QString text = FieldText();
    if (text == field_) return;
    field_ = text;
    emit fieldChanged(text);
}
