#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "model/data.h"

class AReader;
class CTransferJobs;
class CWriter;
class ISettingsStore;
class MidiEnvironment;
enum class JobOutcome;

// One patch for the processor's temporary area, and how the status bar names it ("U03-2 CLEAN LEAD",
// "CLEAN LEAD (Live Set)").
struct CTemporaryPatch {
    // The patch alone (index 0), with the initial data of the window it came from.
    CPatchArray patch;
    QString label;
};

// A patch list that Audition follows: the Main and library windows' and the collection window's.
class IAuditionList {
  public:
    virtual ~IAuditionList() = default;
    // Hands the selected patch to Audition, when exactly one patch row is selected (never End of Line) and
    // the list is in the active window.
    virtual void AuditionSelection() = 0;
    // Moves the selection one patch row down (+1) or up (-1), stopping at the ends, never onto End of Line
    // (a foot switch); the new selection is auditioned as any other.
    virtual void StepSelection(int direction) = 0;
};

// The processor's temporary area: every write to it, and Audition (MIDI > Audition, the switch
// "Option"/"Audition"), which plays the patch the user selects.
//
// While Audition is on, Select hands over the patch of each new selection, which is written in the
// background: at once after a rest, and while selections follow each other quicker than kSettleMs, only the
// latest, once they rest: the ones in between are never sent. At most one
// audition send is in flight; a newer selection cancels it (the writer stops between two messages) and is
// sent next, so that the processor plays the patch on the screen within one patch's wire time. Any other
// transfer takes precedence: an audition waits for it, and one that it cancelled is sent again after it.
// Turning Audition off drops what is pending.
//
// The area's content as far as the program knows is Known(): set by every write that completed (an
// audition or the temporary write buttons), unknown after one that failed or was cut short, and after the
// MIDI setup or the processor's ports changed. A failed audition tells the user once (in the notice
// window), not once per selection, until a send succeeds again.
class CTemporaryArea : public QObject {
    Q_OBJECT

  public:
    static constexpr int kSettleMs = 80;

    CTemporaryArea(ISettingsStore& settings, MidiEnvironment& environment, AReader& reader, CWriter& writer,
                   CTransferJobs& jobs, QObject* parent = nullptr);
    ~CTemporaryArea() override;

    // Audition: on or off as the settings keep it.
    bool IsAuditioning() const { return on_; }
    void SetAuditioning(bool on);
    // The patch of a new selection (while Audition is off: ignored).
    void Select(CTemporaryPatch patch);
    // Whether an audition send is in flight, or one waits.
    bool IsSending() const { return inFlight_.has_value(); }
    bool HasPending() const { return pending_.has_value(); }

    // Writes patch with the progress dialog (the temporary write buttons); false when it did not start.
    // done gets the outcome. An audition under way or waiting is dropped: the user chose what the area
    // holds.
    bool WriteNow(CTemporaryPatch patch, std::function<void(JobOutcome)> done = {});

    // What the area holds as far as the program knows (empty: unknown).
    const QString& Known() const { return known_; }
    void Forget();
    // The status bar's field: "Temporary: " and the known patch, "Temporary: sending..." while an audition
    // is under way, empty when unknown.
    QString FieldText() const;

  signals:
    // The field's text changed.
    void fieldChanged(const QString& text);
    void auditioningChanged(bool on);

  private:
    // Starts the pending audition when nothing stands in its way.
    void SendPending();
    // The job that writes patch: with the progress dialog and the messages of any transfer, or in the
    // background, where the first message it would have shown is kept for AuditionEnded.
    bool StartJob(const CTemporaryPatch& patch, bool background, std::function<void(JobOutcome)> done);
    void AuditionEnded(JobOutcome outcome, const std::string& message);
    void Remember(const CTemporaryPatch& patch);
    void UpdateField();

    ISettingsStore& settings_;
    MidiEnvironment& environment_;
    AReader& reader_;
    CWriter& writer_;
    CTransferJobs& jobs_;
    QTimer settle_;
    QElapsedTimer sinceSelected_;
    std::optional<CTemporaryPatch> pending_;
    std::optional<CTemporaryPatch> inFlight_;
    // The last patch written whole, while the area is known to hold it.
    std::optional<CTemporaryPatch> lastSent_;
    QString known_;
    QString field_;
    bool on_ = false;
    bool failureTold_ = false;
};
