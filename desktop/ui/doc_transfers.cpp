// The device work of the documents: reads and writes with the processor, each one transfer job (the
// transfer runs on the job's worker, on copies of the patches; what it brought is applied here when it has
// ended).

#include <chrono>
#include <memory>

#include "gp/util/settings_catalog.h"
#include "midi/midi_out.h"
#include "model/device_history.h"
#include "model/parameter_address.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
#include "ui/collection.h"
#include "ui/doc.h"
#include "ui/temporary_area.h"
#include "ui/transfer_jobs.h"

namespace {

// A list of the document's shape that new data can arrive in, or that a write sends from: a copy of
// patches, made on this thread before the job starts.
std::shared_ptr<CPatchArray> CopyOf(const CPatchArray& patches) {
    auto copy = std::make_shared<CPatchArray>();
    copy->SetInitialData(patches.GetInitialData());
    copy->Assign(patches);
    return copy;
}

}  // namespace

// ---- both window kinds: the temporary area ----------------------------------------------------------

bool CDoc::CanTransfer() const {
    return !context_.Jobs().IsForegroundRunning();
}

bool CDoc::StartReadTemporary(int index) {
    if (!CanTransfer() || index < 0 || static_cast<std::size_t>(index) >= Patches().GetSize()) return false;
    AReader& reader = context_.Reader();
    CWriter& writer = context_.Writer();
    // The patch arrives in a copy; the document takes it only when it did.
    std::shared_ptr<CPatchArray> incoming = CopyOf(Patches());
    auto work = [&reader, &writer, incoming, index] {
        const int numbers[] = {index};
        const bool ok = reader.ReadPatchesFromDevice(AREA_TEMPORARY_PATCH, numbers, *incoming);
        if (!ok && !reader.WasCancelled()) CheckProcessorPort(writer);
        return OutcomeOf(ok, reader.WasCancelled());
    };
    auto apply = [doc = QPointer<CDoc>(this), incoming, index](JobOutcome outcome) {
        if (doc && outcome == JobOutcome::Done) doc->TakePatches(*incoming, {index}, UndoMode::Offered, true);
    };
    return context_.Jobs().Start(CTransferJobs::Kind::Foreground, work, apply);
}

bool CDoc::StartWriteTemporary(int index) {
    if (!CanTransfer() || index < 0 || static_cast<std::size_t>(index) >= Patches().GetSize()) return false;
    return context_.Temporary().WriteNow(TemporaryPatch(index));
}

CTemporaryPatch CDoc::TemporaryPatch(int index) const {
    CTemporaryPatch patch;
    if (index < 0 || static_cast<std::size_t>(index) >= Patches().GetSize()) return patch;
    // Only the patch that goes: the job never looks at the window's list.
    patch.patch.SetInitialData(Patches().GetInitialData());
    patch.patch.Resize(1);
    patch.patch.GetAt(0).Assign(Patches()[static_cast<std::size_t>(index)]);
    const CPatchTableModel& model = model_;
    const QString name = model.CellText(index, CPatchTableModel::kNameColumn).trimmed();
    patch.label = IsLibrary()
                      ? tr("%1 (%2)").arg(name, GetTitle())
                      : model.CellText(index, CPatchTableModel::kNumberColumn) + QLatin1Char(' ') + name;
    return patch;
}

// ---- the Main window: the user patches ----------------------------------------------------------------

int CImageDoc::AreaCode() const {
    return context_.Mode() == 1 ? AREA_USER_PATCH : -1;
}

bool CImageDoc::StartRead(const std::vector<int>& indexes, bool all) {
    if (!CanTransfer() || indexes.empty()) return false;
    AReader& reader = context_.Reader();
    CWriter& writer = context_.Writer();
    const int area = AreaCode();
    const bool userArea = area == AREA_USER_PATCH;
    // A Read All that completes is kept in the device history, written by the job (a history that cannot
    // be written reports it and fails nothing).
    CDeviceHistory* history = userArea && all ? context_.History() : nullptr;
    if (history) history->SetCount(Profile::kHistoryCount.Read(&context_.Settings()));
    std::shared_ptr<CPatchArray> incoming = CopyOf(Patches());
    // The history entry the job wrote, if any: written by the job, read when it has ended.
    auto kept = std::make_shared<std::filesystem::path>();
    auto work = [&reader, &writer, history, incoming, kept, indexes, area] {
        const bool ok = reader.ReadPatchesFromDevice(area, indexes, *incoming);
        if (ok && history) history->Keep(*incoming, std::chrono::system_clock::now(), kept.get());
        if (!ok && !reader.WasCancelled()) CheckProcessorPort(writer);
        return OutcomeOf(ok, reader.WasCancelled());
    };
    const UndoMode undo = UndoModeOf(context_.Mode());
    auto apply = [doc = QPointer<CImageDoc>(this), incoming, kept, indexes, userArea,
                  undo](JobOutcome outcome) {
        if (!doc) return;
        if (outcome == JobOutcome::Done) {
            doc->TakePatches(*incoming, indexes, undo, false);
            if (userArea) doc->RememberSlots(*incoming, indexes);
            // What was read goes into the collection, and the history entry it made, once.
            if (userArea) doc->Context().Collection().AddRead(*incoming, indexes);
            if (!kept->empty()) doc->Context().Collection().AddHistoryEntry(*kept, CollectionNow());
        } else if (userArea) {
            // Whatever answers now, it is not known to be what was there.
            doc->ForgetSlots(indexes);
        }
    };
    return context_.Jobs().Start(CTransferJobs::Kind::Foreground, work, apply);
}

bool CImageDoc::StartWrite(const std::vector<int>& indexes, bool verify) {
    if (!CanTransfer() || indexes.empty()) return false;
    AReader& reader = context_.Reader();
    CWriter& writer = context_.Writer();
    const int area = AreaCode();
    const bool userArea = area == AREA_USER_PATCH;
    verify = verify && IsPatchArea(area);
    std::shared_ptr<CPatchArray> sent = CopyOf(Patches());
    // What a check reads back goes into a list of its own, never into the Main window.
    auto readBack = std::make_shared<CPatchArray>();
    readBack->SetInitialData(sent->GetInitialData());
    readBack->Resize(sent->GetSize());
    // How the check went: written by the job, read when it has ended.
    auto check = std::make_shared<JobOutcome>(JobOutcome::Cancelled);
    auto work = [&reader, &writer, sent, readBack, check, indexes, area, verify] {
        if (!writer.WritePatchesToDevice(reader, area, indexes, *sent)) {
            if (!writer.WasCancelled()) CheckProcessorPort(writer);
            return OutcomeOf(false, writer.WasCancelled());
        }
        if (verify) {
            const bool ok = reader.ReadPatchesFromDevice(area, indexes, *readBack);
            if (!ok && !reader.WasCancelled()) CheckProcessorPort(writer);
            *check = OutcomeOf(ok, reader.WasCancelled());
        }
        return JobOutcome::Done;
    };
    auto apply = [doc = QPointer<CImageDoc>(this), sent, readBack, check, indexes, userArea,
                  verify](JobOutcome outcome) {
        if (!doc) return;
        if (outcome != JobOutcome::Done) {
            // A patch may be half written, or another processor may answer now.
            if (userArea) doc->ForgetSlots(indexes);
            return;
        }
        if (userArea) doc->RememberSlots(*sent, indexes);
        if (verify) doc->ReportCheck(*sent, *readBack, indexes, *check);
    };
    return context_.Jobs().Start(CTransferJobs::Kind::Foreground, work, apply);
}

void CImageDoc::ReportCheck(const CPatchArray& written, const CPatchArray& readBack,
                            const std::vector<int>& indexes, JobOutcome readBackOutcome) {
    if (readBackOutcome == JobOutcome::Cancelled) return;
    if (readBackOutcome == JobOutcome::Failed) {
        context_.ShowText(tr("The written patches could not be read back for checking.").toStdString());
        return;
    }
    // What came back is what the processor holds, whether it matches or not.
    if (AreaCode() == AREA_USER_PATCH) RememberSlots(readBack, indexes);
    for (int index : indexes) {
        const auto position = static_cast<std::size_t>(index);
        if (position >= written.GetSize() || written[position].GetImage() != readBack[position].GetImage()) {
            context_.ShowText(tr("%1 differs from what was written.")
                                  .arg(CPatchTableModel::MainNumber(index))
                                  .toStdString());
            return;
        }
    }
    context_.ShowText(
        tr("The TQ-550 holds what was written: every patch read back unchanged.").toStdString());
}
