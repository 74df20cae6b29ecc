#pragma once

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "collection/collection_store.h"
#include "sqlite/sqlite_statement.h"

// The collection in a SQLite database (the tables: collection_schema.h): write-ahead log, foreign keys on,
// one transaction per change. See ICollectionStore for its use from threads.
class CSqliteCollectionStore : public ICollectionStore {
  public:
    CSqliteCollectionStore(std::filesystem::path path, std::chrono::milliseconds busyWait);
    ~CSqliteCollectionStore() override;
    CSqliteCollectionStore(const CSqliteCollectionStore&) = delete;
    CSqliteCollectionStore& operator=(const CSqliteCollectionStore&) = delete;

    StoreState State() const override { return state_; }
    const std::filesystem::path& Path() const override { return path_; }
    const std::string& LastError() const override { return error_; }

    bool AddSightings(const SightingSource& source, std::span<const SeenPatch> patches,
                      AddOutcome& outcome) override;
    bool RefreshUnchanged(const SightingSource& source, AddOutcome& outcome, bool& refreshed) override;
    bool BeginBatch() override;
    bool CommitBatch() override;
    bool ReadSummaries(std::vector<SoundSummary>& summaries) override;
    bool ReadSummaries(std::span<const SoundId> ids, std::vector<SoundSummary>& summaries) override;
    std::optional<SoundData> ReadSoundData(SoundId id) override;
    bool ReadSightings(SoundId id, std::vector<Sighting>& sightings) override;
    std::size_t SoundCount() override;
    bool SetFavourite(SoundId id, bool favourite) override;
    bool SetTags(SoundId id, const std::vector<std::string>& tags) override;
    bool CheckIntegrity() override;

  private:
    // Opening: the state it comes to.
    StoreState Open(std::chrono::milliseconds busyWait);
    StoreState OpenConnection(int flags, std::chrono::milliseconds busyWait);
    StoreState Prepare(bool readOnly, std::chrono::milliseconds busyWait);
    void Close();
    // Records a failure of the database library; a result that shows the file damaged turns the state.
    bool Fail(int result);
    // Fails with the result unless it is one of the good ones.
    bool Check(int result, int good = SQLITE_OK) { return result == good || Fail(result); }
    bool Execute(const char* sql);
    CSqliteStatement& Statement(CSqliteStatement& slot, const char* sql);

    struct SoundMatch {
        SoundId id = 0;
        bool isNew = false;
    };
    std::optional<SoundMatch> FindOrAddSound(const SoundData& data, CollectionTime time, std::int64_t rank);
    // Keeps the bytes of a sound just stored or found among the recent ones, the oldest making room.
    void RememberRecent(SoundId id, const SoundData& data);
    // After a change was undone: the sounds in memory may name sounds no longer stored.
    void ForgetKnownSounds();
    // One change: a transaction of its own, or a savepoint inside the open batch; EndChange commits it when
    // done, else undoes it.
    bool BeginChange();
    bool EndChange(bool done);
    std::optional<std::int64_t> NextSerial();
    bool AddSightingsInTransaction(const SightingSource& source, std::span<const SeenPatch> patches,
                                   AddOutcome& outcome);
    // A sighting to store: its memos are memoBytes_ from offset (none: size 0, stored as NULL).
    struct MemoBytes {
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    struct NewSighting {
        int position;
        int slot;
        SoundId sound;
        MemoBytes memos;
    };
    // Appends the memos, each followed by a zero byte, to memoBytes_; nothing when all are empty.
    void PackMemosInto(const Memos& memos, MemoBytes& where);
    // Binds source, position, slot, sound, memos and first time from index first on.
    void BindSightingValues(CSqliteStatement& statement, int first, std::int64_t sourceId,
                            const NewSighting& sighting, CollectionTime time);
    // Stores newSightings_.
    bool InsertSightings(std::int64_t sourceId, CollectionTime time);
    // Brings the hashes of the stored sounds in memory up to date, inside a write transaction.
    bool LoadKnownSounds();
    bool ReadSightings(SoundId id, std::vector<Sighting>& sightings, std::vector<std::int64_t>* ranks);
    bool ReadSightingRows(CSqliteStatement& query, std::vector<Sighting>& sightings,
                          std::vector<SoundId>* sounds, std::vector<std::int64_t>* ranks);

    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    StoreState state_ = StoreState::CannotOpen;
    std::string error_;
    bool inBatch_ = false;
    // In a batch: whether the sounds in memory were brought up to date, and the last serial handed out.
    bool batchKnownChecked_ = false;
    std::optional<std::int64_t> batchSerial_;
    // In a batch: the path RefreshUnchanged last found in no source (the next change need not look again).
    std::string unknownPath_;

    // The hash and id of every stored sound, so that adding needs no index on the hashes in the file. Sounds
    // are never deleted and their ids grow: other connections' new sounds are those above knownUpTo_, read
    // when the file's data version shows a change by another connection.
    std::unordered_multimap<std::int64_t, SoundId> known_;
    SoundId knownUpTo_ = 0;
    std::int64_t knownVersion_ = -1;
    bool knownValid_ = false;
    // The bytes of the sounds last stored or found, so that a sound seen again soon (the same patch in
    // several files of a folder) is compared with them instead of being read from the file. Sounds never
    // change, so they stay right until a change that stored them is undone.
    static constexpr std::size_t kRecentSounds = 512;
    struct RecentSound {
        SoundId id;
        SoundData data;
    };
    std::vector<RecentSound> recent_;
    std::unordered_map<SoundId, std::size_t> recentAt_;
    std::size_t recentNext_ = 0;
    // Room for the sound being added, packed and unpacked, and for the sightings of a source being added,
    // kept between calls.
    std::vector<std::uint8_t> packed_;
    SoundData unpacked_{};
    std::vector<std::pair<int, std::size_t>> positions_;
    std::vector<bool> repeated_;
    std::vector<NewSighting> newSightings_;
    std::vector<std::uint8_t> memoBytes_;

    // The statements of the connection, each prepared on first use (Statement) and listed in prepared_, which
    // Close finalises before the connection.
    std::vector<CSqliteStatement*> prepared_;
    CSqliteStatement savepoint_, release_, beginChange_, commit_, findStamp_, touchSource_, heldSounds_;
    CSqliteStatement dataVersion_, knownSounds_, keepDropped_;
    CSqliteStatement nextSerial_, readSerial_, storeSerial_, findSource_, updateSource_, insertSource_,
        oldSightings_;
    CSqliteStatement soundData_, insertSound_, insertSoundData_;
    CSqliteStatement insertSighting_, insertSightingsFew_, insertSightingsMany_, updateSighting_,
        replaceSighting_, deleteSighting_;
    CSqliteStatement extent_, allSources_, allSounds_, allSightings_, allTags_, oneSound_, soundSightings_,
        soundTags_;
    CSqliteStatement setFavourite_, deleteTags_, insertTag_, countSounds_;
};
