#pragma once

#include <memory>

#include "model/device_history.h"
#include "model/initial_file_document.h"
#include "ports/midi_environment.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
#include "ui/audition_pedal.h"
#include "ui/collection.h"
#include "ui/list_appearance.h"
#include "ui/memo_codec.h"
#include "ui/progress_bar.h"
#include "ui/recovery_store.h"
#include "ui/temporary_area.h"
#include "ui/transfer_jobs.h"

class ISettingsStore;
struct CAppOptions;

// What the application makes for its windows before any window, each from what it needs, in the order they
// depend on each other; they go in the reverse order (the collection and the transfer jobs first, the text
// output last). The
// windows reach them through the context (Context()), which holds a reference to each.
class CAppServices {
  public:
    CAppServices(ISettingsStore& settings, const CAppOptions& options);
    ~CAppServices();
    CAppServices(const CAppServices&) = delete;
    CAppServices& operator=(const CAppServices&) = delete;

    CAppContext& Context() { return context_; }

    TextOutHub textOut;
    CMemoCodec memoCodec;
    CPatchClipboard clipboard;
    CListAppearance appearance;
    std::shared_ptr<CInitialFileDocument> initial = std::make_shared<CInitialFileDocument>();
    // Opened by the start-up (a later copy that hands over its file keeps nothing).
    CRecoveryStore recovery;
    // None without a history folder.
    std::unique_ptr<CDeviceHistory> history;
    // The three logical port pairs; the MIDI system is bound by the start-up.
    MidiEnvironment environment;
    AReader reader;
    CWriter writer;
    // The dialog of foreground transfer jobs; its owner, the main frame, is set by the start-up.
    CProgressBar progress;
    CTransferJobs jobs;
    CTemporaryArea temporary;
    // Audition's foot switch: its port is opened by the start-up, once the MIDI system is chosen.
    CAuditionPedal pedal;
    // The collection: its file is opened by the start-up (Open), on its worker.
    CCollection collection;

  private:
    CAppContext context_;
};
