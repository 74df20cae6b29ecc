#include "app/app_services.h"

#include "app/app.h"
#include "gp/util/settings_catalog.h"
#include "sqlite/open_collection.h"
#include "ui/doc.h"

namespace {

std::unique_ptr<CDeviceHistory> MakeHistory(const CAppOptions& options, ISettingsStore& settings,
                                            const TextOutHub& textOut) {
    if (options.historyFolder.isEmpty()) return nullptr;
    return std::make_unique<CDeviceHistory>(ToFilePath(options.historyFolder),
                                            Profile::kHistoryCount.Read(&settings), &textOut);
}

std::filesystem::path CollectionPath(const CAppOptions& options) {
    return options.collectionFile.isEmpty() ? std::filesystem::path() : ToFilePath(options.collectionFile);
}

std::unique_ptr<ICollectionStore> OpenStore(const std::filesystem::path& path) {
    return OpenCollectionStore(path);
}

}  // namespace

CAppServices::CAppServices(ISettingsStore& settings, const CAppOptions& options)
    : history(MakeHistory(options, settings, textOut)),
      environment(textOut),
      reader(environment),
      writer(environment),
      jobs(environment, &progress),
      temporary(settings, environment, reader, writer, jobs),
      pedal(environment, settings),
      collection(CollectionPath(options), &OpenStore, initial, settings),
      context_({.settings = settings,
                .textOut = textOut,
                .environment = environment,
                .reader = reader,
                .writer = writer,
                .jobs = jobs,
                .temporary = temporary,
                .initial = initial,
                .memoCodec = memoCodec,
                .clipboard = clipboard,
                .appearance = appearance,
                .recovery = recovery,
                .history = history.get(),
                .collection = collection}) {
    environment.BuildStandardPorts();
    reader.Attach(&environment.InPort(MidiEnvironment::kTq550Pair),
                  &environment.OutPort(MidiEnvironment::kTq550Pair));
    writer.SetOutput(&environment.OutPort(MidiEnvironment::kTq550Pair));
    recovery.FollowTransfers(&jobs);
}

CAppServices::~CAppServices() {
    // A job still running ends before anything it uses goes.
    jobs.CancelAndWait();
}
