#pragma once

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

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
    bool ReadSightingRows(CSqliteStatement& query, std::vector<Sighting>& sightings,
                          std::vector<SoundId>* sounds, std::vector<std::int64_t>* ranks);

    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    StoreState state_ = StoreState::CannotOpen;
    std::string error_;

    CSqliteStatement nextSerial_, readSerial_, findSource_, updateSource_, insertSource_, oldSightings_;
    CSqliteStatement soundsByHash_, soundData_, insertSound_, insertSoundData_, touchSound_;
    CSqliteStatement insertSighting_, updateSighting_, deleteSighting_;
    CSqliteStatement allSounds_, allSightings_, allTags_, oneSound_, soundSightings_, soundTags_;
    CSqliteStatement setFavourite_, deleteTags_, insertTag_, countSounds_;
};
