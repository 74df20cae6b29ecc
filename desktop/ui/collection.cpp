#include "ui/collection.h"
#include <functional>

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <system_error>

#include "exchange/patch_file.h"
#include "gp/util/settings_catalog.h"
#include "platform/utf8_path.h"
#include "textout/text_out_hub.h"

namespace fs = std::filesystem;

namespace {

// How often Add Folder's progress reaches the dialog at most.
constexpr std::chrono::milliseconds kProgressInterval{100};

// The sounds an addition touched, each once.
std::vector<SoundId> TouchedSounds(const AddOutcome& outcome) {
    std::vector<SoundId> ids = outcome.sounds;
    ids.insert(ids.end(), outcome.droppedFrom.begin(), outcome.droppedFrom.end());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// The size and modification time of a file, when it can be asked.
void StampOf(const fs::path& path, SightingSource& source) {
    std::error_code sizeError;
    std::error_code timeError;
    const std::uintmax_t size = fs::file_size(path, sizeError);
    const fs::file_time_type modified = fs::last_write_time(path, timeError);
    if (sizeError || timeError) return;
    source.fileSize = static_cast<std::int64_t>(size);
    source.fileTime = static_cast<std::int64_t>(modified.time_since_epoch().count());
}

fs::path Absolute(const fs::path& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal();
}

}  // namespace

CCollection::CCollection(fs::path path, StoreOpener open, std::shared_ptr<const IInitialData> initial,
                         ISettingsStore& settings, QObject* parent)
    : QObject(parent),
      path_(std::move(path)),
      open_(std::move(open)),
      initial_(std::move(initial)),
      settings_(settings) {}

CCollection::~CCollection() {
    cancel_ = true;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    store_.reset();
}

// ---- the worker -----------------------------------------------------------------------------------------

void CCollection::StartWorker() {
    if (worker_.joinable() || path_.empty()) return;
    worker_ = std::thread([this] { RunWorker(); });
}

void CCollection::Post(std::function<void()> work, bool front) {
    ++outstanding_;
    auto item = [this, work = std::move(work)] {
        work();
        // After everything the work handed over: the queued calls keep their order.
        Deliver([this] { --outstanding_; });
    };
    {
        std::lock_guard lock(mutex_);
        if (front)
            queue_.emplace_front(std::move(item));
        else
            queue_.emplace_back(std::move(item));
    }
    wake_.notify_one();
}

void CCollection::Deliver(std::function<void()> apply) {
    QMetaObject::invokeMethod(this, std::move(apply), Qt::QueuedConnection);
}

void CCollection::RunWorker() {
    while (true) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            // At the end the additions still queued are done: what the windows handed over is not lost.
            if (queue_.empty()) break;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
    workerStore_.reset();
}

void CCollection::Open() {
    if (path_.empty() || worker_.joinable()) return;
    Post([this] { OpenOnWorker({}); }, true);
    StartWorker();
}

void CCollection::OpenOnWorker(const fs::path& setAside) {
    workerStore_ = open_(path_);
    auto store = std::make_shared<std::unique_ptr<ICollectionStore>>(open_(path_));
    auto index = std::make_shared<CSoundIndex>();
    std::vector<SoundSummary> summaries;
    if (workerStore_->CanRead() && workerStore_->ReadSummaries(summaries)) index->Reset(std::move(summaries));
    const bool damaged = workerStore_->State() == StoreState::Damaged;
    Deliver([this, store, index, damaged, setAside] {
        store_ = std::move(*store);
        index_ = std::move(*index);
        damaged_ = damaged;
        setAside_ = setAside;
        opened_ = true;
        emit opened();
        emit indexChanged();
    });
}

void CCollection::ReportWorkerState() {
    if (workerStore_ && workerStore_->State() == StoreState::Damaged) Deliver([this] { NoteStoreFailure(); });
}

void CCollection::AfterAddition(bool stored, const AddOutcome& outcome) {
    if (!stored) {
        ReportWorkerState();
        return;
    }
    const std::vector<SoundId> ids = TouchedSounds(outcome);
    if (ids.empty()) return;
    auto summaries = std::make_shared<std::vector<SoundSummary>>();
    if (!workerStore_->ReadSummaries(ids, *summaries)) {
        ReportWorkerState();
        return;
    }
    Deliver([this, summaries] { ApplySummaries(std::move(*summaries)); });
}

// ---- this thread ----------------------------------------------------------------------------------------

StoreState CCollection::State() const {
    if (!opened_ || !store_) return StoreState::CannotOpen;
    if (damaged_) return StoreState::Damaged;
    return store_->State();
}

void CCollection::NoteStoreFailure() {
    if (damaged_ || !opened_) return;
    damaged_ = true;
    emit stateChanged();
}

void CCollection::ApplySummaries(std::vector<SoundSummary> summaries) {
    if (!opened_ || summaries.empty()) return;
    index_.Update(std::move(summaries));
    emit indexChanged();
}

bool CCollection::Collects() const {
    return Profile::kCollect.Read(&settings_) != 0;
}

void CCollection::SetCollects(bool on) {
    Profile::kCollect.Write(&settings_, on ? 1 : 0);
}

bool CCollection::TakesAdditions() const {
    if (path_.empty() || !Collects()) return false;
    return !opened_ || CanWrite();
}

void CCollection::AddFile(const fs::path& path, FileKind kind, const PatchFileOptions& options,
                          std::optional<SightingKind> as) {
    if (!TakesAdditions()) return;
    Post([this, path = Absolute(path), kind, options, as] {
        if (!workerStore_ || !workerStore_->CanWrite()) return;
        CCollector collector(*workerStore_, initial_, options);
        AddOutcome outcome;
        std::string message;
        bool storeFailed = false;
        const bool added = collector.AddFile(path, kind, outcome, message, storeFailed, as);
        // A file that cannot be read was reported by the window that opened it; nothing is added.
        if (added || storeFailed) AfterAddition(added, outcome);
    });
}

void CCollection::AddPatches(const SightingSource& source, std::vector<SeenPatch> patches) {
    if (!TakesAdditions() || patches.empty()) return;
    auto seen = std::make_shared<std::vector<SeenPatch>>(std::move(patches));
    Post([this, source, seen] {
        if (!workerStore_ || !workerStore_->CanWrite()) return;
        AddOutcome outcome;
        const bool stored = workerStore_->AddSightings(source, *seen, outcome);
        AfterAddition(stored, outcome);
    });
}

void CCollection::AddRead(const CPatchArray& patches, const std::vector<int>& slotNumbers) {
    if (!TakesAdditions()) return;
    std::vector<SeenPatch> seen;
    seen.reserve(slotNumbers.size());
    for (int slot : slotNumbers) {
        if (slot < 0 || static_cast<std::size_t>(slot) >= patches.GetSize()) continue;
        const CPatch& patch = patches[static_cast<std::size_t>(slot)];
        SeenPatch one;
        one.data = patch.GetImage();
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            one.memos[static_cast<std::size_t>(m)] = patch.GetMemo(m);
        one.position = slot;
        one.slot = slot;
        seen.push_back(std::move(one));
    }
    SightingSource source;
    source.kind = SightingKind::DeviceRead;
    source.time = CollectionNow();
    AddPatches(source, std::move(seen));
}

void CCollection::AddHistoryEntry(const fs::path& path, CollectionTime time) {
    if (!TakesAdditions()) return;
    Post([this, path = Absolute(path), time] {
        if (!workerStore_ || !workerStore_->CanWrite()) return;
        SightingSource source;
        source.kind = SightingKind::HistoryEntry;
        source.path = PathToUtf8(path);
        source.format = FileKindName(FileKind::Library);
        source.time = time;
        StampOf(path, source);
        TextOutHub quiet;
        CPatchArray patches;
        patches.SetInitialData(initial_);
        std::vector<CarriedPatch> carried;
        if (!ReadPatchFile(FileKind::Library, path, patches, quiet, {}, &carried)) return;
        AddOutcome outcome;
        const bool stored = workerStore_->AddSightings(source, SeenPatchesOf(patches, carried), outcome);
        AfterAddition(stored, outcome);
    });
}

bool CCollection::StartAdding(std::vector<fs::path> paths, const PatchFileOptions& options) {
    if (adding_ || !worker_.joinable() || (opened_ && !CanWrite())) return false;
    adding_ = true;
    cancel_ = false;
    Post([this, paths = std::move(paths), options] {
        AddSummary summary;
        if (workerStore_ && workerStore_->CanWrite()) {
            CCollector collector(*workerStore_, initial_, options);
            auto last = std::chrono::steady_clock::now() - kProgressInterval;
            summary = collector.AddPaths(paths, &cancel_, [&](const AddProgress& progress) {
                const auto now = std::chrono::steady_clock::now();
                if (now - last < kProgressInterval && !(progress.walkDone && progress.filesDone == 0)) return;
                last = now;
                Deliver([this, progress] { emit addProgress(progress); });
            });
        } else {
            summary.storeFailed = true;
        }
        // The index anew: an addition of many files touches too many sounds to follow one by one.
        auto index = std::make_shared<std::optional<CSoundIndex>>();
        std::vector<SoundSummary> summaries;
        if (summary.patches > 0 && workerStore_ && workerStore_->ReadSummaries(summaries)) {
            index->emplace();
            (*index)->Reset(std::move(summaries));
        }
        ReportWorkerState();
        Deliver([this, index, summary] {
            if (index->has_value() && opened_) {
                index_ = std::move(**index);
                emit indexChanged();
            }
            adding_ = false;
            emit addFinished(summary);
        });
    });
    return true;
}

void CCollection::CancelAdding() {
    if (adding_) cancel_ = true;
}

bool CCollection::MarkSound(SoundId id, const std::function<bool(ICollectionStore&)>& change) {
    if (!store_ || !CanWrite()) return false;
    if (!change(*store_)) {
        if (store_->State() == StoreState::Damaged) NoteStoreFailure();
        return false;
    }
    std::vector<SoundSummary> summaries;
    const SoundId ids[] = {id};
    if (store_->ReadSummaries(ids, summaries)) ApplySummaries(std::move(summaries));
    return true;
}

bool CCollection::SetFavourite(SoundId id, bool favourite) {
    return MarkSound(id, [&](ICollectionStore& store) { return store.SetFavourite(id, favourite); });
}

bool CCollection::SetTags(SoundId id, const std::vector<std::string>& tags) {
    return MarkSound(id, [&](ICollectionStore& store) { return store.SetTags(id, tags); });
}

bool CCollection::ReadPatch(SoundId id, CPatch& patch) {
    if (!store_ || !CanRead()) return false;
    const std::optional<SoundData> data = store_->ReadSoundData(id);
    if (!data) {
        if (store_->State() == StoreState::Damaged) NoteStoreFailure();
        return false;
    }
    patch.PatchBlock().assign(data->begin(), data->end());
    const std::ptrdiff_t row = index_.RowOf(id);
    for (int m = 0; m < CParameter::kMemoCount; ++m) {
        std::string memo;
        if (row >= 0 && index_.At(static_cast<std::size_t>(row)).hasRecent)
            memo = index_.At(static_cast<std::size_t>(row)).recent.memos[static_cast<std::size_t>(m)];
        patch.SetMemo(m, std::move(memo));
    }
    return true;
}

void CCollection::StartOver() {
    if (!opened_ || adding_) return;
    // This thread's store closes first; the worker closes its own, moves the file and opens a new one.
    store_.reset();
    index_ = CSoundIndex();
    opened_ = false;
    damaged_ = false;
    emit indexChanged();
    Post([this] {
        workerStore_.reset();
        std::error_code error;
        const fs::path aside = SetCollectionAside(path_, error);
        OpenOnWorker(aside);
    });
}
