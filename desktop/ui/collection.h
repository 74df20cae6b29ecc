#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "collection/collection_store.h"
#include "collection/collector.h"
#include "collection/sound_index.h"
#include "exchange/file_kind.h"
#include "exchange/patch_file.h"
#include "model/data.h"

class ISettingsStore;

// The collection of every patch as the desktop program keeps it: the store of the windows (on this, the
// user-interface thread), the search index of the collection window, and a worker thread of the
// collection's own that adds (separate from the transfer jobs: an addition never waits for a transfer or
// holds one up).
//
// The worker owns a store of its own and takes its work from a queue, one item after the other; each item
// is one transaction of the store (Add Folder: batches of a fifth of a second, each file whole), so that
// what was committed stays when the program dies and the rest is added the next time. It opens the file
// when the program starts (Open), builds the search index there and hands it over, so that the collection
// window opens at once. What an item changed reaches the index on this thread by a queued call (the
// summaries of the sounds it touched, read on the worker), then indexChanged() tells the window.
//
// The windows hand their patches over as copies made on this thread (a loaded library's patches are not
// to be touched from two threads) or as the path of the file that holds them, which the worker reads. What
// goes in on its own (library files opened and saved, imports, reads from the processor, history entries)
// goes in only while the switch "Option"/"Collect" is on and the collection can be written.
class CCollection : public QObject {
    Q_OBJECT

  public:
    using StoreOpener = std::function<std::unique_ptr<ICollectionStore>(const std::filesystem::path&)>;

    // path: the collection file (empty: the program keeps no collection); open makes a store on it (the
    // SQLite backend's, or a test's); initial: where imported patches take their initial state from.
    CCollection(std::filesystem::path path, StoreOpener open, std::shared_ptr<const IInitialData> initial,
                ISettingsStore& settings, QObject* parent = nullptr);
    // Cancels Add Folder, lets the worker finish the additions queued and waits for it.
    ~CCollection() override;
    CCollection(const CCollection&) = delete;
    CCollection& operator=(const CCollection&) = delete;

    // Starts the worker, which opens the file and builds the index first; opened() tells when it has.
    // Additions handed over before wait for that.
    void Open();
    bool HasFile() const { return !path_.empty(); }
    const std::filesystem::path& Path() const { return path_; }
    // Whether the worker has opened the file (whatever came of it).
    bool IsOpen() const { return opened_; }
    // How far the file could be opened (Damaged also when a later call found it damaged); CannotOpen until
    // it is open, and without a file.
    StoreState State() const;
    bool CanRead() const { return State() == StoreState::Ready || State() == StoreState::ReadOnly; }
    bool CanWrite() const { return State() == StoreState::Ready; }
    // The catalogue message of the state (MSG_COLLECTION_...), -1 when Ready.
    int StateMessage() const { return StoreStateMessage(State()); }
    // The store of the windows (none until open); a call on it that fails may turn the state.
    ICollectionStore* Store() const { return store_.get(); }
    // Every sound as the collection window lists it (empty until open).
    const CSoundIndex& Index() const { return index_; }

    // The switch "Option"/"Collect".
    bool Collects() const;
    void SetCollects(bool on);
    // Whether what the windows open, save, import and read goes in now: the switch is on and the collection
    // can be written (or is still being opened).
    bool TakesAdditions() const;

    // What goes in on its own (nothing unless TakesAdditions()). A file of kind (a library file as such, a
    // history entry as one, other kinds as an import), read on the worker with options; a file stored
    // before and unchanged since only takes the time of this sighting.
    void AddFile(const std::filesystem::path& path, FileKind kind, const PatchFileOptions& options = {},
                 std::optional<SightingKind> as = std::nullopt);
    // Patches seen at source (copies).
    void AddPatches(const SightingSource& source, std::vector<SeenPatch> patches);
    // The patches at indexes of a list read from the processor (each index the user slot it came from).
    void AddRead(const CPatchArray& patches, const std::vector<int>& slotNumbers);
    // An entry of the device history, seen at time (the read's).
    void AddHistoryEntry(const std::filesystem::path& path, CollectionTime time);

    // Add Folder: every file below paths that the program can read (whatever the switch says). Progress and
    // the summary come by addProgress() and addFinished(); CancelAdding stops between two files and keeps
    // what was added. False when it cannot start (the collection cannot be written, or one runs).
    bool StartAdding(std::vector<std::filesystem::path> paths, const PatchFileOptions& options);
    void CancelAdding();
    bool IsAdding() const { return adding_; }

    // The user's marks, stored at once through the windows' store; the index follows. False when the store
    // refused (the state tells why).
    bool SetFavourite(SoundId id, bool favourite);
    bool SetTags(SoundId id, const std::vector<std::string>& tags);
    // A sound as a patch: its bytes and the memos of its most recent sighting; false when it cannot be read.
    bool ReadPatch(SoundId id, CPatch& patch);

    // Sets the file aside (collection.sqlite.aside-...) and opens a new, empty collection in its place; the
    // files, imports and history it was made from stay where they are. opened() tells when the new one is
    // open; SetAsidePath() then names where the old file went (empty: it could not be moved).
    void StartOver();
    const std::filesystem::path& SetAsidePath() const { return setAside_; }

    // True while nothing is queued, running or on its way to this thread (tests wait for it).
    bool IsIdle() const { return outstanding_ == 0; }

  signals:
    // The worker opened the file (State() tells how far) and, when it can be read, built the index.
    void opened();
    // State() changed after the file was open (a call found it damaged).
    void stateChanged();
    // Sounds came in or changed: the index holds them now.
    void indexChanged();
    void addProgress(const AddProgress& progress);
    void addFinished(const AddSummary& summary);

  private:
    // Changes a mark of one sound in the store and shows its new summary.
    bool MarkSound(SoundId id, const std::function<bool(ICollectionStore&)>& change);
    // Queues work for the worker; front: before everything queued.
    void Post(std::function<void()> work, bool front = false);
    // Runs on this thread, from its event loop.
    void Deliver(std::function<void()> apply);
    void RunWorker();
    void StartWorker();
    // On the worker: opens both stores and builds the index, then hands the windows' store and the index to
    // this thread.
    void OpenOnWorker(const std::filesystem::path& setAside);
    // On the worker: after outcome of an addition, the summaries of the sounds it touched go to the index;
    // a failure may have shown the file damaged.
    void AfterAddition(bool stored, const AddOutcome& outcome);
    void ReportWorkerState();
    // On this thread: the summaries of sounds that changed, into the index.
    void ApplySummaries(std::vector<SoundSummary> summaries);
    void NoteStoreFailure();

    std::filesystem::path path_;
    StoreOpener open_;
    std::shared_ptr<const IInitialData> initial_;
    ISettingsStore& settings_;

    // This thread's.
    std::unique_ptr<ICollectionStore> store_;
    CSoundIndex index_;
    bool opened_ = false;
    bool damaged_ = false;
    bool adding_ = false;
    int outstanding_ = 0;
    std::filesystem::path setAside_;

    // The worker's: its store is touched by its work only.
    std::unique_ptr<ICollectionStore> workerStore_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
};
