#include "collection/collection_store.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"
#include "textout/message_catalog.h"

namespace {
class CClosedStore : public ICollectionStore {
  public:
    CClosedStore(StoreState state, std::filesystem::path path, std::string error)
        : state_(state), path_(std::move(path)), error_(std::move(error)) {}

    StoreState State() const override { return state_; }
    const std::filesystem::path& Path() const override { return path_; }
    const std::string& LastError() const override { return error_; }
    bool AddSightings(const SightingSource&, std::span<const SeenPatch>, AddOutcome&) override {
        return false;
    }
    bool RefreshUnchanged(const SightingSource&, AddOutcome&, bool& refreshed) override {
        refreshed = false;
        return false;
    }
    bool BeginBatch() override { return false; }
    bool CommitBatch() override { return false; }
    bool ReadSummaries(std::vector<SoundSummary>&) override { return false; }
    bool ReadSummaries(std::span<const SoundId>, std::vector<SoundSummary>&) override { return false; }
    std::optional<SoundData> ReadSoundData(SoundId) override { return std::nullopt; }
    bool ReadSightings(SoundId, std::vector<Sighting>&) override { return false; }
    std::size_t SoundCount() override { return 0; }
    bool SetFavourite(SoundId, bool) override { return false; }
    bool SetTags(SoundId, const std::vector<std::string>&) override { return false; }
    bool CheckIntegrity() override { return false; }

  private:
    StoreState state_;
    std::filesystem::path path_;
    std::string error_;
};
}  // namespace

int StoreStateMessage(StoreState state) {
    switch (state) {
        case StoreState::Ready:
            return -1;
        case StoreState::ReadOnly:
            return MSG_COLLECTION_NEWER;
        case StoreState::Damaged:
            return MSG_COLLECTION_DAMAGED;
        case StoreState::Locked:
            return MSG_COLLECTION_LOCKED;
        case StoreState::CannotOpen:
            return MSG_COLLECTION_CANNOT_OPEN;
        case StoreState::Unavailable:
            return MSG_COLLECTION_UNAVAILABLE;
    }
    return MSG_COLLECTION_CANNOT_OPEN;
}

std::unique_ptr<ICollectionStore> MakeClosedStore(StoreState state, std::filesystem::path path,
                                                  std::string error) {
    return std::make_unique<CClosedStore>(state, std::move(path), std::move(error));
}

std::filesystem::path DefaultCollectionPath() {
    const std::filesystem::path folder = UserDataFolder("Marlin", "TQ-550 Librarian");
    return folder.empty() ? folder : folder / "collection.sqlite";
}

std::filesystem::path SetCollectionAside(const std::filesystem::path& path, std::error_code& error) {
    namespace fs = std::filesystem;
    const std::string stamp = LocalTimeText(CollectionNow(), '-');
    std::string base = PathToUtf8(path.filename()) + ".aside-" + stamp;
    for (char& c : base)
        if (c == ':') c = '-';
    fs::path target = path.parent_path() / PathFromUtf8(base);
    for (int n = 2; fs::exists(target, error) && n < 1000; ++n)
        target = path.parent_path() / PathFromUtf8(base + " (" + std::to_string(n) + ")");
    fs::rename(path, target, error);
    if (error) return {};
    // The write-ahead log holds changes not yet in the file: it goes with it. The shared-memory index is
    // made anew from the log.
    std::error_code ignored;
    fs::path wal = path;
    wal += "-wal";
    if (fs::exists(wal, ignored)) {
        fs::path movedWal = target;
        movedWal += "-wal";
        fs::rename(wal, movedWal, ignored);
    }
    fs::path shm = path;
    shm += "-shm";
    fs::remove(shm, ignored);
    return target;
}
