#include "collection/collector.h"

#include <algorithm>
#include <chrono>

#include "platform/utf8_path.h"
#include "textout/message_catalog.h"
#include "textout/text_out.h"
#include "textout/text_out_hub.h"

namespace fs = std::filesystem;

namespace {
constexpr std::chrono::milliseconds kBatchTime{200};
}  // namespace

namespace {
// Keeps the first line of every message reported while a file is read.
class CFirstLines : public CKivTextOut {
  public:
    std::vector<std::string> lines;

  protected:
    void Output(const std::string& text) override {
        std::string line = text.substr(0, text.find('\n'));
        if (!line.empty()) lines.push_back(std::move(line));
    }
};

// The message of a refused file: the most specific one the reader reported, else the generic one.
std::string RefusalMessage(const CFirstLines& reported) {
    const std::string generic = GetMessageCatalog().Text(MSG_LOAD_FAILED);
    for (const std::string& line : reported.lines)
        if (line != generic) return line;
    return generic;
}

fs::path Absolute(const fs::path& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal();
}

// Read from the patch as it was loaded, without copying its record first.
void AddSeenPatch(std::vector<SeenPatch>& seen, const CPatch& patch, int position, int slot) {
    SeenPatch& added = seen.emplace_back();
    const std::span<const std::uint8_t> block = patch.FirstBlockBytes();
    std::copy_n(block.begin(), std::min(block.size(), added.data.size()), added.data.begin());
    const std::array<std::string_view, CParameter::kMemoCount> memos = patch.MemoViews();
    std::copy(memos.begin(), memos.end(), added.memos.begin());
    added.position = position;
    added.slot = slot;
}

int SlotOf(const std::optional<PatchSlot>& slot) {
    if (!slot) return kNoSlot;
    if (slot->area == AREA_TEMPORARY_PATCH) return kTemporarySlot;
    return slot->number;
}
}  // namespace

std::vector<SeenPatch> SeenPatchesOf(const CPatchArray& patches, std::span<const CarriedPatch> carried) {
    std::vector<SeenPatch> seen;
    seen.reserve(carried.size());
    for (const CarriedPatch& patch : carried)
        if (patch.position < patches.GetSize())
            AddSeenPatch(seen, patches[patch.position], static_cast<int>(patch.position), SlotOf(patch.slot));
    return seen;
}

std::vector<SeenPatch> SeenPatchesOf(const CPatchArray& patches, std::span<const int> slots) {
    std::vector<SeenPatch> seen;
    seen.reserve(patches.GetSize());
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        AddSeenPatch(seen, patches[i], static_cast<int>(i), i < slots.size() ? slots[i] : kNoSlot);
    return seen;
}

CCollector::CCollector(ICollectionStore& store, std::shared_ptr<const IInitialData> initial,
                       PatchFileOptions options)
    : store_(store), initial_(std::move(initial)), options_(options) {}

bool CCollector::AddFile(const fs::path& path, FileKind kind, AddOutcome& outcome, std::string& message,
                         bool& storeFailed, std::optional<SightingKind> as) {
    storeFailed = false;
    SightingSource source;
    source.kind = as ? *as : kind == FileKind::Library ? SightingKind::LibraryFile : SightingKind::Import;
    source.path = PathToUtf8(Absolute(path));
    source.format = FileKindName(kind);
    source.time = CollectionNow();
    std::error_code sizeError;
    std::error_code timeError;
    const std::uintmax_t size = fs::file_size(path, sizeError);
    const fs::file_time_type modified = fs::last_write_time(path, timeError);
    if (!sizeError && !timeError) {
        source.fileSize = static_cast<std::int64_t>(size);
        source.fileTime = static_cast<std::int64_t>(modified.time_since_epoch().count());
        bool refreshed = false;
        if (!store_.RefreshUnchanged(source, outcome, refreshed)) {
            storeFailed = true;
            message = GetMessageCatalog().Text(MSG_COLLECTION_NOT_CHANGED);
            return false;
        }
        if (refreshed) return true;
    }

    TextOutHub messages;
    auto reported = std::make_shared<CFirstLines>();
    messages.SetTextOut(TextOutHub::kBufferSlot, reported);
    CPatchArray patches;
    patches.SetInitialData(initial_);
    std::vector<CarriedPatch> carried;
    if (!ReadPatchFile(kind, path, patches, messages, options_, &carried)) {
        message = RefusalMessage(*reported);
        return false;
    }
    const std::vector<SeenPatch> seen = SeenPatchesOf(patches, carried);
    if (!store_.AddSightings(source, seen, outcome)) {
        storeFailed = true;
        message = GetMessageCatalog().Text(MSG_COLLECTION_NOT_CHANGED);
        return false;
    }
    return true;
}

AddSummary CCollector::AddPaths(std::span<const fs::path> paths, const std::atomic<bool>* cancel,
                                const std::function<void(const AddProgress&)>& progress) {
    AddSummary summary;
    AddProgress state;
    const auto cancelled = [&] { return cancel && cancel->load(); };
    const auto report = [&] {
        if (progress) progress(state);
    };

    // The walk comes first, so that the progress can tell how many files there are.
    // A folder is walked from its absolute path, so that its files need not be made absolute one by one
    // (which asks for the working folder each time); refusals name them below the folder as given.
    struct Found {
        fs::path path;
        FileKind kind;
        std::size_t folder;  // the path given that it lies below, or kNoFolder
    };
    constexpr std::size_t kNoFolder = static_cast<std::size_t>(-1);
    std::vector<Found> found;
    std::vector<fs::path> absoluteFolders(paths.size());
    const auto consider = [&](const fs::path& file, std::size_t folder) {
        if (const std::optional<FileKind> kind = RecognizeFile(file)) {
            found.push_back({file, *kind, folder});
            ++state.filesFound;
        }
    };
    for (std::size_t given = 0; given < paths.size(); ++given) {
        const fs::path& path = paths[given];
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            // A path that names no file is refused when its name says what it would be.
            consider(path, kNoFolder);
            continue;
        }
        absoluteFolders[given] = Absolute(path);
        std::vector<fs::path> files;
        fs::recursive_directory_iterator walk(absoluteFolders[given],
                                              fs::directory_options::skip_permission_denied, ec);
        for (; !ec && walk != fs::recursive_directory_iterator(); walk.increment(ec)) {
            std::error_code typeError;
            if (walk->is_regular_file(typeError)) files.push_back(walk->path());
            if (cancelled()) break;
        }
        std::sort(files.begin(), files.end());
        const std::size_t before = state.filesFound;
        for (const fs::path& file : files) {
            if (cancelled()) break;
            consider(file, given);
            if (state.filesFound != before && (state.filesFound - before) % 64 == 0) report();
        }
        report();
    }
    state.walkDone = true;
    report();

    // Files are added in batches of about a fifth of a second: a transaction for each small file would cost
    // more than reading it.
    using Clock = std::chrono::steady_clock;
    bool batchOpen = false;
    Clock::time_point batchStart;
    const auto commit = [&] {
        if (batchOpen && !store_.CommitBatch()) summary.storeFailed = true;
        batchOpen = false;
    };
    for (const Found& file : found) {
        if (cancelled()) {
            summary.cancelled = true;
            break;
        }
        if (!batchOpen) {
            batchOpen = store_.BeginBatch();
            batchStart = Clock::now();
        }
        AddOutcome outcome;
        std::string message;
        bool storeFailed = false;
        ++summary.files;
        if (AddFile(file.path, file.kind, outcome, message, storeFailed)) {
            summary.patches += outcome.patches;
            summary.newSounds += outcome.newSounds;
        } else if (storeFailed) {
            --summary.files;
            summary.storeFailed = true;
            break;
        } else {
            summary.refused.push_back(
                {file.folder == kNoFolder
                     ? file.path
                     : paths[file.folder] / file.path.lexically_relative(absoluteFolders[file.folder]),
                 message});
        }
        if (Clock::now() - batchStart >= kBatchTime) commit();
        if (summary.storeFailed) break;
        ++state.filesDone;
        state.patches = summary.patches;
        state.newSounds = summary.newSounds;
        state.refused = static_cast<int>(summary.refused.size());
        report();
    }
    commit();
    if (cancelled()) summary.cancelled = true;
    return summary;
}
