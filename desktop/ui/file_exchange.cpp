#include "ui/file_exchange.h"

#include "exchange/patch_file.h"
#include "gp/docview/doc_template.h"
#include "ports/midi_environment.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
#include "ui/collection.h"
#include "ui/doc.h"
#include "ui/wait_cursor.h"

namespace {

// The ids of the MIDI setup: the TQ-550's data sets as a Write sends them, the TQ-MAX's for its dumps.
PatchFileOptions OptionsOf(const CAppContext& context) {
    PatchFileOptions options;
    options.deviceId = context.Writer().Profile().deviceId;
    options.earlierDeviceId = context.Environment().OutPort(MidiEnvironment::kTqMaxPair).GetDeviceId();
    return options;
}

}  // namespace

CFileDoc* CFileExchange::OpenAsLibrary(GP::CDocTemplate* library, FileKind kind, const QString& path) const {
    if (!library) return nullptr;
    CPatchArray patches;
    patches.SetInitialData(context_.Initial());
    {
        CWaitCursor wait;
        if (!ReadPatchFile(kind, ToFilePath(path), patches, context_.TextOut(), ReadOptions()))
            return nullptr;
    }
    context_.Collection().AddFile(ToFilePath(path), kind, ReadOptions());
    auto* doc = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
    if (!doc) return nullptr;
    // An untitled library like any new one: saving it asks for a name.
    doc->SetPatches(std::move(patches));
    doc->SetModifiedFlag(true);
    return doc;
}

bool CFileExchange::ReadSmfInto(const QString& path, CPatchArray& patches) const {
    CWaitCursor wait;
    PatchFileOptions options = OptionsOf(context_);
    options.applyOntoPatches = true;
    if (!ReadPatchFile(FileKind::Smf, ToFilePath(path), patches, context_.TextOut(), options)) return false;
    context_.Collection().AddFile(ToFilePath(path), FileKind::Smf, ReadOptions());
    return true;
}

PatchFileOptions CFileExchange::ReadOptions() const {
    PatchFileOptions options = OptionsOf(context_);
    // A SysEx file is taken whatever device id its data sets carry.
    options.deviceIdGiven = false;
    return options;
}

bool CFileExchange::Write(FileKind kind, const QString& path, const CPatchArray& patches,
                          const std::vector<int>& positions, const std::vector<int>& slotNumbers) const {
    if (positions.size() != slotNumbers.size()) return false;
    // Each patch goes as the user patch whose number is its index: a list with each in its slot.
    CPatchArray slotted;
    slotted.SetInitialData(patches.GetInitialData());
    std::vector<int> selection;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const int slot = slotNumbers[i];
        const auto position = static_cast<std::size_t>(positions[i]);
        if (slot < 0 || slot >= USER_PATCH_COUNT || position >= patches.GetSize()) return false;
        if (slotted.GetSize() <= static_cast<std::size_t>(slot))
            slotted.Resize(static_cast<std::size_t>(slot) + 1);
        slotted[static_cast<std::size_t>(slot)].Assign(patches[position]);
        selection.push_back(slot);
    }
    CWaitCursor wait;
    return WritePatchFile(kind, slotted, selection, ToFilePath(path), context_.TextOut(),
                          OptionsOf(context_));
}
