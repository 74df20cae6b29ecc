#include "sqlite/sqlite_collection_store.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>

#include "collection/sound_packing.h"
#include "platform/utf8_path.h"
#include "sqlite/collection_schema.h"
#include "sqlite/open_collection.h"

namespace fs = std::filesystem;

namespace {
// Positions inside one source take the low bits of a rank, the number of the addition the high ones.
constexpr int kPositionBits = 20;
constexpr std::int64_t kPositionLimit = std::int64_t{1} << kPositionBits;

std::int64_t RankOf(std::int64_t serial, int position) {
    const std::int64_t clamped = std::clamp<std::int64_t>(position, 0, kPositionLimit - 1);
    return serial * kPositionLimit + (kPositionLimit - 1 - clamped);
}

// A 64-bit hash of a sound's bytes (not for security: equal hashes are compared byte for byte). The hashes
// are stored: another function needs a migration that computes them anew.
std::int64_t HashOf(const SoundData& data) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull;
    std::size_t i = 0;
    for (; i + 8 <= data.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data.data() + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    for (; i < data.size(); ++i)
        hash = (hash ^ data[i]) * 0x100000001B3ull;
    hash ^= hash >> 29;
    std::int64_t stored;
    std::memcpy(&stored, &hash, sizeof stored);
    return stored;
}

Memos UnpackMemos(std::span<const std::uint8_t> packed) {
    Memos memos;
    const auto* begin = reinterpret_cast<const char*>(packed.data());
    const char* const end = begin + packed.size();
    for (std::string& memo : memos) {
        const char* stop = std::find(begin, end, '\0');
        memo.assign(begin, stop);
        if (stop == end) break;
        begin = stop + 1;
    }
    return memos;
}

// The statements that store sightings: of many rows, a few, one.
constexpr int kSightingColumnCount = 6;
constexpr int kSightingRowsMany = 16;
constexpr int kSightingRowsFew = 4;
std::string InsertSightingsSql(int rows) {
    std::string sql = "INSERT INTO sighting (source, position, slot, sound, memos, first_seen) VALUES ";
    for (int row = 0; row < rows; ++row)
        sql += row == 0 ? "(?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?)";
    return sql;
}
const std::string kInsertSightingsMany = InsertSightingsSql(kSightingRowsMany);
const std::string kInsertSightingsFew = InsertSightingsSql(kSightingRowsFew);
const std::string kInsertSighting = InsertSightingsSql(1);

constexpr int kLookasideSlot = 1200;
constexpr int kLookasideSlots = 500;

bool IsDamage(int result) {
    const int primary = result & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// The size and time of a source's file at index and index + 1, NULL when not known.
void BindStamp(CSqliteStatement& statement, int index, const SightingSource& source) {
    if (source.fileSize < 0) {
        statement.BindNull(index).BindNull(index + 1);
    } else {
        statement.Bind(index, source.fileSize).Bind(index + 1, source.fileTime);
    }
}

// A write transaction, rolled back unless committed.
class CTransaction {
  public:
    explicit CTransaction(sqlite3* db) : db_(db) {
        result_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~CTransaction() {
        if (result_ == SQLITE_OK && !committed_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;

    int BeginResult() const { return result_; }
    int Commit() {
        const int result = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        committed_ = result == SQLITE_OK;
        return result;
    }

  private:
    sqlite3* db_;
    int result_;
    bool committed_ = false;
};

// Where the row of each id lies in a list read from a table. Ids are handed out from 1 up and rows are seldom
// deleted, so a table indexed by id serves, unless the ids are far sparser than the rows.
class CRowsById {
  public:
    CRowsById(std::int64_t largestId, std::size_t rows)
        : dense_(largestId >= 0 && largestId <= static_cast<std::int64_t>(4 * rows + 4096)) {
        if (dense_) table_.assign(static_cast<std::size_t>(largestId) + 1, -1);
    }
    void Set(std::int64_t id, std::size_t row) {
        if (dense_ && id >= 0 && id < static_cast<std::int64_t>(table_.size())) {
            table_[static_cast<std::size_t>(id)] = static_cast<std::int64_t>(row);
        } else {
            sparse_[id] = static_cast<std::int64_t>(row);
        }
    }
    std::int64_t Find(std::int64_t id) const {
        if (dense_ && id >= 0 && id < static_cast<std::int64_t>(table_.size()))
            return table_[static_cast<std::size_t>(id)];
        const auto found = sparse_.find(id);
        return found == sparse_.end() ? -1 : found->second;
    }

  private:
    bool dense_;
    std::vector<std::int64_t> table_;
    std::unordered_map<std::int64_t, std::int64_t> sparse_;
};

// The best (most recent) of two sightings: by the source's last time, then by rank.
struct RecentKey {
    CollectionTime time = 0;
    std::int64_t rank = -1;
    bool operator>(const RecentKey& other) const {
        return time != other.time ? time > other.time : rank > other.rank;
    }
};
}  // namespace

std::unique_ptr<ICollectionStore> OpenCollectionStore(const fs::path& path,
                                                      std::chrono::milliseconds busyWait) {
    return std::make_unique<CSqliteCollectionStore>(path, busyWait);
}

bool CollectionStoreAvailable() {
    return true;
}

CSqliteCollectionStore::CSqliteCollectionStore(fs::path path, std::chrono::milliseconds busyWait)
    : path_(std::move(path)) {
    state_ = Open(busyWait);
    if (state_ != StoreState::Ready && state_ != StoreState::ReadOnly) Close();
}

CSqliteCollectionStore::~CSqliteCollectionStore() {
    Close();
}

void CSqliteCollectionStore::Close() {
    // Statements first: a connection with open statements does not close.
    for (CSqliteStatement* statement : prepared_)
        *statement = CSqliteStatement();
    prepared_.clear();
    // A statement left open by mistake keeps the connection until it is finalised, instead of leaking it.
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool CSqliteCollectionStore::Fail(int result) {
    error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
    if (IsDamage(result)) state_ = StoreState::Damaged;
    return false;
}

bool CSqliteCollectionStore::Execute(const char* sql) {
    char* message = nullptr;
    const int result = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        error_ = message ? message : sqlite3_errstr(result);
        if (IsDamage(result)) state_ = StoreState::Damaged;
    }
    sqlite3_free(message);
    return result == SQLITE_OK;
}

CSqliteStatement& CSqliteCollectionStore::Statement(CSqliteStatement& slot, const char* sql) {
    if (!slot.IsValid()) {
        slot = CSqliteStatement(db_, sql);
        if (slot.IsValid()) {
            prepared_.push_back(&slot);
        } else {
            Fail(slot.PrepareResult());
        }
    }
    return slot.Reset();
}

StoreState CSqliteCollectionStore::OpenConnection(int flags, std::chrono::milliseconds busyWait) {
    Close();
    // Without the library's count of its memory every allocation is cheaper; the setting is the process's
    // and only takes before the library's first use (else it is refused, and nothing changes).
    static const int noMemoryCount = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    static_cast<void>(noMemoryCount);
    const int result = sqlite3_open_v2(PathToUtf8(path_).c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        Fail(result);
        return IsDamage(result) ? StoreState::Damaged : StoreState::CannotOpen;
    }
    sqlite3_extended_result_codes(db_, 1);
    // Room for what each run of a statement needs (cursors, records), so that adding a patch does not go
    // to the heap for it.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_LOOKASIDE, nullptr, kLookasideSlot, kLookasideSlots);
    sqlite3_busy_timeout(db_, static_cast<int>(busyWait.count()));
    return StoreState::Ready;
}

StoreState CSqliteCollectionStore::Open(std::chrono::milliseconds busyWait) {
    std::error_code ec;
    if (path_.has_parent_path() && !fs::exists(path_.parent_path(), ec)) {
        fs::create_directories(path_.parent_path(), ec);
        if (ec) {
            error_ = ec.message();
            return StoreState::CannotOpen;
        }
    }
    StoreState state = OpenConnection(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, busyWait);
    if (state != StoreState::Ready) return state;
    if (sqlite3_db_readonly(db_, "main") == 1) {
        error_ = "the file cannot be written";
        return StoreState::CannotOpen;
    }
    return Prepare(false, busyWait);
}

StoreState CSqliteCollectionStore::Prepare(bool readOnly, std::chrono::milliseconds busyWait) {
    const auto failed = [&](int result) {
        Fail(result);
        if (IsDamage(result)) return StoreState::Damaged;
        if ((result & 0xFF) == SQLITE_BUSY || (result & 0xFF) == SQLITE_LOCKED) return StoreState::Locked;
        return StoreState::CannotOpen;
    };
    // Reading the header and the table list shows a file that is no database, or whose first pages are
    // damaged.
    CSqliteStatement version(db_, "PRAGMA user_version");
    if (!version.IsValid()) return failed(version.PrepareResult());
    int result = version.Step();
    if (result != SQLITE_ROW) return failed(result);
    const std::int64_t found = version.Integer(0);
    version = CSqliteStatement();
    CSqliteStatement tables(db_, "SELECT count(*) FROM sqlite_schema");
    if (!tables.IsValid()) return failed(tables.PrepareResult());
    result = tables.Step();
    if (result != SQLITE_ROW) return failed(result);
    const std::int64_t tableCount = tables.Integer(0);
    tables = CSqliteStatement();

    if (found > collection_schema::kVersion) {
        if (readOnly) return StoreState::ReadOnly;
        // A newer program's collection: read it, change nothing.
        const StoreState state = OpenConnection(SQLITE_OPEN_READONLY, busyWait);
        if (state != StoreState::Ready) return state;
        const StoreState prepared = Prepare(true, busyWait);
        return prepared == StoreState::Ready ? StoreState::ReadOnly : prepared;
    }
    if (found == 0 && tableCount > 0) {
        error_ = "the file is a database of another kind";
        return StoreState::Damaged;
    }
    if (found < 1 && readOnly) return StoreState::CannotOpen;

    if (found == 0) {
        // A new file: its page size can only be chosen before its first table and the log.
        const std::string pageSize =
            std::string("PRAGMA page_size = ").append(std::to_string(collection_schema::kPageSize));
        if (!Execute(pageSize.c_str())) return StoreState::CannotOpen;
    }
    // The copies of pages that a savepoint keeps (one for each file added in a batch) stay in memory rather
    // than going through a temporary file.
    if (!Execute("PRAGMA journal_mode = WAL") || !Execute("PRAGMA synchronous = NORMAL") ||
        !Execute("PRAGMA foreign_keys = ON") || !Execute("PRAGMA cache_size = -32768") ||
        !Execute("PRAGMA temp_store = MEMORY"))
        return state_ == StoreState::Damaged ? StoreState::Damaged : StoreState::Locked;

    if (found < collection_schema::kVersion) {
        CTransaction transaction(db_);
        if (transaction.BeginResult() != SQLITE_OK) return failed(transaction.BeginResult());
        // Another program may have made or migrated the file meanwhile.
        CSqliteStatement again(db_, "PRAGMA user_version");
        if (again.Step() != SQLITE_ROW) return failed(sqlite3_errcode(db_));
        std::int64_t current = again.Integer(0);
        again = CSqliteStatement();
        if (current == 0) {
            if (!Execute(collection_schema::kCreate)) return StoreState::CannotOpen;
            current = collection_schema::kVersion;
        }
        for (int i = 0; i < collection_schema::kMigrationCount; ++i) {
            const collection_schema::Migration& step = collection_schema::kMigrations[i];
            if (step.from != current) continue;
            if (!Execute(step.sql)) return StoreState::CannotOpen;
            current = step.from + 1;
        }
        if (current != collection_schema::kVersion) {
            error_ = std::string("no way from layout ").append(std::to_string(current));
            return StoreState::Damaged;
        }
        const std::string stamp = std::string("PRAGMA user_version = ").append(std::to_string(current));
        if (!Execute(stamp.c_str())) return StoreState::CannotOpen;
        if (const int committed = transaction.Commit(); committed != SQLITE_OK) return failed(committed);
    }
    return StoreState::Ready;
}

bool CSqliteCollectionStore::LoadKnownSounds() {
    // While a batch holds the file for writing no other connection changes it.
    if (inBatch_ && batchKnownChecked_ && knownValid_) return true;
    CSqliteStatement& version = Statement(dataVersion_, "PRAGMA data_version");
    if (!Check(version.Step(), SQLITE_ROW)) return false;
    const std::int64_t current = version.Integer(0);
    version.Reset();
    if (!knownValid_) {
        known_.clear();
        knownUpTo_ = 0;
    } else if (current == knownVersion_) {
        return true;
    }
    CSqliteStatement& sounds = Statement(knownSounds_, "SELECT id, hash FROM sound WHERE id > ? ORDER BY id");
    sounds.Bind(1, knownUpTo_);
    int result;
    while ((result = sounds.Step()) == SQLITE_ROW) {
        known_.emplace(sounds.Integer(1), sounds.Integer(0));
        knownUpTo_ = std::max(knownUpTo_, sounds.Integer(0));
    }
    sounds.Reset();
    if (!Check(result, SQLITE_DONE)) return false;
    knownVersion_ = current;
    knownValid_ = true;
    batchKnownChecked_ = inBatch_;
    return true;
}

std::optional<CSqliteCollectionStore::SoundMatch> CSqliteCollectionStore::FindOrAddSound(
    const SoundData& data, CollectionTime time, std::int64_t rank) {
    const std::int64_t hash = HashOf(data);
    const auto [first, last] = known_.equal_range(hash);
    for (auto candidate = first; candidate != last; ++candidate) {
        if (const auto cached = recentAt_.find(candidate->second); cached != recentAt_.end()) {
            if (recent_[cached->second].data == data) return SoundMatch{candidate->second, false};
            continue;
        }
        CSqliteStatement& bytes = Statement(soundData_, "SELECT packed FROM sound_data WHERE sound = ?");
        bytes.Bind(1, candidate->second);
        const int result = bytes.Step();
        if (result == SQLITE_ROW) {
            const bool same = UnpackSound(bytes.Blob(0), unpacked_) && unpacked_ == data;
            bytes.Reset();
            if (same) {
                RememberRecent(candidate->second, data);
                return SoundMatch{candidate->second, false};
            }
        } else {
            bytes.Reset();
            if (result != SQLITE_DONE) return Fail(result), std::nullopt;
        }
    }
    CSqliteStatement& sound =
        Statement(insertSound_,
                  "INSERT INTO sound (hash, name, last_seen, last_rank, favourite) VALUES (?, ?, ?, ?, 0)");
    sound.Bind(1, hash).BindBlob(2, std::span(data).first(16), true).Bind(3, time).Bind(4, rank);
    if (!Check(sound.Run(), SQLITE_DONE)) return std::nullopt;
    const SoundId id = sqlite3_last_insert_rowid(db_);
    PackSound(data, packed_);
    CSqliteStatement& bytes =
        Statement(insertSoundData_, "INSERT INTO sound_data (sound, packed) VALUES (?, ?)");
    bytes.Bind(1, id).BindBlob(2, packed_, true);
    if (!Check(bytes.Run(), SQLITE_DONE)) return std::nullopt;
    known_.emplace(hash, id);
    knownUpTo_ = std::max(knownUpTo_, id);
    RememberRecent(id, data);
    return SoundMatch{id, true};
}

void CSqliteCollectionStore::RememberRecent(SoundId id, const SoundData& data) {
    if (recent_.size() < kRecentSounds) {
        recent_.push_back({id, data});
        recentAt_.emplace(id, recent_.size() - 1);
        return;
    }
    // The oldest makes room.
    RecentSound& slot = recent_[recentNext_];
    recentAt_.erase(slot.id);
    slot.id = id;
    slot.data = data;
    recentAt_.emplace(id, recentNext_);
    recentNext_ = (recentNext_ + 1) % kRecentSounds;
}

void CSqliteCollectionStore::ForgetKnownSounds() {
    knownValid_ = false;
    recent_.clear();
    recentAt_.clear();
    recentNext_ = 0;
}

bool CSqliteCollectionStore::BeginBatch() {
    if (!CanWrite() || inBatch_) return false;
    if (!Execute("BEGIN IMMEDIATE")) return false;
    inBatch_ = true;
    batchKnownChecked_ = false;
    batchSerial_.reset();
    unknownPath_.clear();
    return true;
}

bool CSqliteCollectionStore::CommitBatch() {
    if (!inBatch_) return false;
    inBatch_ = false;
    unknownPath_.clear();
    bool stored = true;
    if (batchSerial_) {
        CSqliteStatement& store = Statement(storeSerial_, "UPDATE meta SET value = ? WHERE key = 'serial'");
        store.Bind(1, *batchSerial_);
        stored = Check(store.Run(), SQLITE_DONE);
        batchSerial_.reset();
    }
    if (stored && Execute("COMMIT")) return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    ForgetKnownSounds();  // they may hold sounds of the batch
    return false;
}

bool CSqliteCollectionStore::BeginChange() {
    CSqliteStatement& begin =
        inBatch_ ? Statement(savepoint_, "SAVEPOINT change") : Statement(beginChange_, "BEGIN IMMEDIATE");
    return Check(begin.Run(), SQLITE_DONE);
}

bool CSqliteCollectionStore::EndChange(bool done) {
    if (done) {
        CSqliteStatement& end =
            inBatch_ ? Statement(release_, "RELEASE change") : Statement(commit_, "COMMIT");
        if (Check(end.Run(), SQLITE_DONE)) return true;
    }
    if (inBatch_) {
        sqlite3_exec(db_, "ROLLBACK TO change; RELEASE change", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    ForgetKnownSounds();  // they may hold sounds that were undone
    return false;
}

std::optional<std::int64_t> CSqliteCollectionStore::NextSerial() {
    // A batch counts in memory and stores the count as it commits (a change it undoes leaves a gap).
    if (inBatch_ && batchSerial_) return ++*batchSerial_;
    CSqliteStatement& serialQuery =
        inBatch_ ? Statement(readSerial_, "SELECT value + 1 FROM meta WHERE key = 'serial'")
                 : Statement(nextSerial_,
                             "UPDATE meta SET value = value + 1 WHERE key = 'serial' RETURNING value");
    if (!Check(serialQuery.Step(), SQLITE_ROW)) return std::nullopt;
    const std::int64_t serial = serialQuery.Integer(0);
    serialQuery.Reset();
    if (inBatch_) batchSerial_ = serial;
    return serial;
}

bool CSqliteCollectionStore::AddSightings(const SightingSource& source, std::span<const SeenPatch> patches,
                                          AddOutcome& outcome) {
    outcome = {};
    if (!CanWrite() || !BeginChange()) return false;
    if (EndChange(AddSightingsInTransaction(source, patches, outcome))) return true;
    outcome = {};
    return false;
}

bool CSqliteCollectionStore::RefreshUnchanged(const SightingSource& source, AddOutcome& outcome,
                                              bool& refreshed) {
    outcome = {};
    refreshed = false;
    if (!CanWrite()) return false;
    if (source.path.empty() || source.fileSize < 0) return true;
    CSqliteStatement& find =
        Statement(findStamp_, "SELECT id, file_size, file_time FROM source WHERE path = ?");
    find.Bind(1, source.path);
    const int result = find.Step();
    const bool same = result == SQLITE_ROW && !find.IsNull(1) && find.Integer(1) == source.fileSize &&
                      !find.IsNull(2) && find.Integer(2) == source.fileTime;
    const std::int64_t sourceId = result == SQLITE_ROW ? find.Integer(0) : 0;
    find.Reset();
    if (result != SQLITE_ROW && result != SQLITE_DONE) return Fail(result);
    // A file not seen before is added next, in the same batch, which no other connection can change.
    if (result == SQLITE_DONE && inBatch_) unknownPath_ = source.path;
    if (!same) return true;

    if (!BeginChange()) return false;
    bool done = false;
    if (const std::optional<std::int64_t> serial = NextSerial()) {
        CSqliteStatement& update = Statement(
            touchSource_, "UPDATE source SET last_seen = max(last_seen, ?), serial = ? WHERE id = ?");
        update.Bind(1, source.time).Bind(2, *serial).Bind(3, sourceId);
        done = Check(update.Run(), SQLITE_DONE);
    }
    if (done) {
        CSqliteStatement& held =
            Statement(heldSounds_, "SELECT sound FROM sighting WHERE source = ? ORDER BY position");
        held.Bind(1, sourceId);
        int step;
        while ((step = held.Step()) == SQLITE_ROW)
            outcome.sounds.push_back(held.Integer(0));
        held.Reset();
        done = Check(step, SQLITE_DONE);
    }
    if (!EndChange(done)) {
        outcome = {};
        return false;
    }
    outcome.patches = static_cast<int>(outcome.sounds.size());
    refreshed = true;
    return true;
}

void CSqliteCollectionStore::PackMemosInto(const Memos& memos, MemoBytes& where) {
    where.offset = memoBytes_.size();
    bool any = false;
    for (const std::string& memo : memos) {
        const std::string_view text(memo.data(), std::min(memo.size(), memo.find('\0')));
        any = any || !text.empty();
        memoBytes_.insert(memoBytes_.end(), text.begin(), text.end());
        memoBytes_.push_back(0);
    }
    if (!any) memoBytes_.resize(where.offset);
    where.size = memoBytes_.size() - where.offset;
}

void CSqliteCollectionStore::BindSightingValues(CSqliteStatement& statement, int first, std::int64_t sourceId,
                                                const NewSighting& sighting, CollectionTime time) {
    statement.Bind(first, sourceId).Bind(first + 1, sighting.position);
    if (sighting.slot == kNoSlot) {
        statement.BindNull(first + 2);
    } else {
        statement.Bind(first + 2, sighting.slot);
    }
    statement.Bind(first + 3, sighting.sound);
    if (sighting.memos.size == 0) {
        statement.BindNull(first + 4);
    } else {
        statement.BindBlob(first + 4,
                           std::span(memoBytes_).subspan(sighting.memos.offset, sighting.memos.size), true);
    }
    statement.Bind(first + 5, time);
}

bool CSqliteCollectionStore::InsertSightings(std::int64_t sourceId, CollectionTime time) {
    // Several rows a statement: each statement costs about as much again as the rows it stores.
    std::size_t done = 0;
    while (done < newSightings_.size()) {
        const std::size_t rest = newSightings_.size() - done;
        const int rows = rest >= kSightingRowsMany  ? kSightingRowsMany
                         : rest >= kSightingRowsFew ? kSightingRowsFew
                                                    : 1;
        CSqliteStatement& insert =
            rows == kSightingRowsMany  ? Statement(insertSightingsMany_, kInsertSightingsMany.c_str())
            : rows == kSightingRowsFew ? Statement(insertSightingsFew_, kInsertSightingsFew.c_str())
                                       : Statement(insertSighting_, kInsertSighting.c_str());
        for (int row = 0; row < rows; ++row)
            BindSightingValues(insert, 1 + row * kSightingColumnCount, sourceId,
                               newSightings_[done + static_cast<std::size_t>(row)], time);
        if (!Check(insert.Run(), SQLITE_DONE)) return false;
        done += static_cast<std::size_t>(rows);
    }
    return true;
}

bool CSqliteCollectionStore::AddSightingsInTransaction(const SightingSource& source,
                                                       std::span<const SeenPatch> patches,
                                                       AddOutcome& outcome) {
    if (!LoadKnownSounds()) return false;
    const std::optional<std::int64_t> nextSerial = NextSerial();
    if (!nextSerial) return false;
    const std::int64_t serial = *nextSerial;

    // The source, and what it showed before when it is a file added again.
    struct Earlier {
        SoundId sound;
        int slot;
        std::vector<std::uint8_t> memos;
        bool handled = false;
    };
    std::unordered_map<int, Earlier> earlier;
    std::int64_t sourceId = 0;
    CollectionTime earlierTime = 0;
    std::int64_t earlierSerial = 0;
    const bool knownAbsent = inBatch_ && !source.path.empty() && source.path == unknownPath_;
    unknownPath_.clear();
    if (!source.path.empty() && !knownAbsent) {
        CSqliteStatement& find =
            Statement(findSource_, "SELECT id, last_seen, serial FROM source WHERE path = ?");
        find.Bind(1, source.path);
        const int result = find.Step();
        if (result == SQLITE_ROW) {
            sourceId = find.Integer(0);
            earlierTime = find.Integer(1);
            earlierSerial = find.Integer(2);
        }
        find.Reset();
        if (result != SQLITE_ROW && result != SQLITE_DONE) return Fail(result);
    }
    if (sourceId != 0) {
        CSqliteStatement& update = Statement(updateSource_,
                                             "UPDATE source SET kind = ?, format = ?, last_seen = "
                                             "max(last_seen, ?), serial = ?, file_size = ?, "
                                             "file_time = ? WHERE id = ?");
        update.Bind(1, static_cast<std::int64_t>(source.kind)).Bind(2, source.format).Bind(3, source.time);
        update.Bind(4, serial);
        BindStamp(update, 5, source);
        update.Bind(7, sourceId);
        if (!Check(update.Run(), SQLITE_DONE)) return false;
        CSqliteStatement& old =
            Statement(oldSightings_, "SELECT position, sound, slot, memos FROM sighting WHERE source = ?");
        old.Bind(1, sourceId);
        int result;
        while ((result = old.Step()) == SQLITE_ROW) {
            const std::span<const std::uint8_t> memos = old.Blob(3);
            earlier[static_cast<int>(old.Integer(0))] = {
                old.Integer(1), old.IsNull(2) ? kNoSlot : static_cast<int>(old.Integer(2)),
                std::vector<std::uint8_t>(memos.begin(), memos.end())};
        }
        old.Reset();
        if (result != SQLITE_DONE) return Fail(result);
    } else {
        CSqliteStatement& insert = Statement(insertSource_,
                                             "INSERT INTO source (kind, path, format, first_seen, last_seen, "
                                             "serial, file_size, file_time) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, static_cast<std::int64_t>(source.kind));
        if (source.path.empty()) {
            insert.BindNull(2);
        } else {
            insert.Bind(2, source.path);
        }
        insert.Bind(3, source.format).Bind(4, source.time).Bind(5, source.time).Bind(6, serial);
        BindStamp(insert, 7, source);
        if (!Check(insert.Run(), SQLITE_DONE)) return false;
        sourceId = sqlite3_last_insert_rowid(db_);
    }

    // A position is one sighting: given twice, its first patch is seen there.
    positions_.clear();
    for (std::size_t i = 0; i < patches.size(); ++i)
        positions_.emplace_back(patches[i].position, i);
    std::sort(positions_.begin(), positions_.end());
    repeated_.assign(patches.size(), false);
    for (std::size_t i = 1; i < positions_.size(); ++i)
        if (positions_[i].first == positions_[i - 1].first) repeated_[positions_[i].second] = true;

    newSightings_.clear();
    memoBytes_.clear();
    const auto dropped = [&](int position, SoundId sound) {
        // The sound keeps the time it was last seen there.
        CSqliteStatement& keep =
            Statement(keepDropped_,
                      "UPDATE sound SET last_seen = ?1, last_rank = ?2 WHERE id = ?3 AND "
                      "(last_seen < ?1 OR (last_seen = ?1 AND last_rank < ?2))");
        keep.Bind(1, earlierTime).Bind(2, RankOf(earlierSerial, position)).Bind(3, sound);
        if (!Check(keep.Run(), SQLITE_DONE)) return false;
        outcome.droppedFrom.push_back(sound);
        return true;
    };
    for (std::size_t i = 0; i < patches.size(); ++i) {
        const SeenPatch& patch = patches[i];
        const std::int64_t rank = RankOf(serial, patch.position);
        const std::optional<SoundMatch> sound = FindOrAddSound(patch.data, source.time, rank);
        if (!sound) return false;
        // A sound's own time is when it was first stored; the times of its sightings are read with it.
        if (sound->isNew) ++outcome.newSounds;
        outcome.sounds.push_back(sound->id);
        ++outcome.patches;
        if (repeated_[i]) continue;

        NewSighting sighting{patch.position, patch.slot, sound->id, {}};
        PackMemosInto(patch.memos, sighting.memos);
        const auto before = earlier.find(patch.position);
        if (before == earlier.end()) {
            newSightings_.push_back(sighting);
            continue;
        }
        Earlier& old = before->second;
        old.handled = true;
        const std::span<const std::uint8_t> memos =
            std::span(memoBytes_).subspan(sighting.memos.offset, sighting.memos.size);
        if (old.sound == sound->id) {
            // Seen there before: its first time stays.
            if (old.slot == patch.slot && std::ranges::equal(old.memos, memos)) continue;
            CSqliteStatement& update = Statement(
                updateSighting_, "UPDATE sighting SET slot = ?, memos = ? WHERE source = ? AND position = ?");
            if (patch.slot == kNoSlot) {
                update.BindNull(1);
            } else {
                update.Bind(1, patch.slot);
            }
            if (memos.empty()) {
                update.BindNull(2);
            } else {
                update.BindBlob(2, memos, true);
            }
            update.Bind(3, sourceId).Bind(4, patch.position);
            if (!Check(update.Run(), SQLITE_DONE)) return false;
            continue;
        }
        // Another sound in its place: a new sighting there.
        CSqliteStatement& replace = Statement(
            replaceSighting_,
            "UPDATE sighting SET slot = ?3, sound = ?4, memos = ?5, first_seen = ?6 WHERE source = ?1 "
            "AND position = ?2");
        BindSightingValues(replace, 1, sourceId, sighting, source.time);
        if (!Check(replace.Run(), SQLITE_DONE) || !dropped(patch.position, old.sound)) return false;
    }
    if (!InsertSightings(sourceId, source.time)) return false;
    for (const auto& [position, old] : earlier) {
        if (old.handled) continue;
        CSqliteStatement& remove =
            Statement(deleteSighting_, "DELETE FROM sighting WHERE source = ? AND position = ?");
        remove.Bind(1, sourceId).Bind(2, position);
        if (!Check(remove.Run(), SQLITE_DONE) || !dropped(position, old.sound)) return false;
    }
    return true;
}

namespace {
constexpr char kSightingColumns[] =
    "SELECT sighting.sound, source.kind, source.path, source.format, sighting.position, sighting.slot, "
    "sighting.memos, sighting.first_seen, source.last_seen, source.serial FROM sighting JOIN source ON "
    "source.id = "
    "sighting.source";
}  // namespace

bool CSqliteCollectionStore::ReadSightingRows(CSqliteStatement& query, std::vector<Sighting>& sightings,
                                              std::vector<SoundId>* sounds,
                                              std::vector<std::int64_t>* ranks) {
    int result;
    while ((result = query.Step()) == SQLITE_ROW) {
        Sighting sighting;
        sighting.kind = static_cast<SightingKind>(query.Integer(1));
        sighting.path = query.Text(2);
        sighting.format = query.Text(3);
        sighting.position = static_cast<int>(query.Integer(4));
        sighting.slot = query.IsNull(5) ? kNoSlot : static_cast<int>(query.Integer(5));
        sighting.memos = UnpackMemos(query.Blob(6));
        sighting.firstSeen = query.Integer(7);
        sighting.lastSeen = query.Integer(8);
        if (sounds) sounds->push_back(query.Integer(0));
        if (ranks) ranks->push_back(RankOf(query.Integer(9), sighting.position));
        sightings.push_back(std::move(sighting));
    }
    query.Reset();
    return Check(result, SQLITE_DONE);
}

bool CSqliteCollectionStore::ReadSummaries(std::vector<SoundSummary>& summaries) {
    summaries.clear();
    if (!CanRead()) return false;
    // One read transaction, so that the queries see the same state.
    // Inside a batch the batch's transaction serves.
    const bool ownRead = sqlite3_get_autocommit(db_) != 0;
    if (ownRead && !Execute("BEGIN")) return false;
    struct EndRead {
        sqlite3* db;
        bool own;
        ~EndRead() {
            if (own) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    } endRead{db_, ownRead};

    struct Source {
        SightingKind kind;
        std::string path;
        std::string format;
        CollectionTime lastSeen;
        std::int64_t serial;
    };
    // Row counts and largest ids, for the tables that find rows by id.
    CSqliteStatement& extent =
        Statement(extent_,
                  "SELECT (SELECT count(*) FROM source), (SELECT ifnull(max(id), 0) FROM source), "
                  "(SELECT count(*) FROM sound), (SELECT ifnull(max(id), 0) FROM sound)");
    int result = extent.Step();
    if (!Check(result, SQLITE_ROW)) return false;
    const auto sourceCount = static_cast<std::size_t>(extent.Integer(0));
    CRowsById sourceRows(extent.Integer(1), sourceCount);
    const auto soundCount = static_cast<std::size_t>(extent.Integer(2));
    CRowsById index(extent.Integer(3), soundCount);
    extent.Reset();

    std::vector<Source> sources;
    sources.reserve(sourceCount);
    CSqliteStatement& sourceQuery =
        Statement(allSources_, "SELECT id, kind, path, format, last_seen, serial FROM source");
    while ((result = sourceQuery.Step()) == SQLITE_ROW) {
        sourceRows.Set(sourceQuery.Integer(0), sources.size());
        sources.push_back(Source{static_cast<SightingKind>(sourceQuery.Integer(1)), sourceQuery.Text(2),
                                 sourceQuery.Text(3), sourceQuery.Integer(4), sourceQuery.Integer(5)});
    }
    sourceQuery.Reset();
    if (!Check(result, SQLITE_DONE)) return false;

    summaries.reserve(soundCount);
    CSqliteStatement& sounds =
        Statement(allSounds_, "SELECT id, name, favourite, last_seen, last_rank FROM sound ORDER BY id");
    while ((result = sounds.Step()) == SQLITE_ROW) {
        SoundSummary& summary = summaries.emplace_back();
        summary.id = sounds.Integer(0);
        const std::span<const std::uint8_t> name = sounds.Blob(1);
        summary.name.assign(name.begin(), name.end());
        summary.favourite = sounds.Integer(2) != 0;
        summary.lastSeen = sounds.Integer(3);
        summary.lastRank = sounds.Integer(4);
        index.Set(summary.id, summaries.size() - 1);
    }
    sounds.Reset();
    if (!Check(result, SQLITE_DONE)) return false;

    // The most recent sighting of each sound, and every memo.
    struct Best {
        RecentKey key;
        const Source* source = nullptr;
    };
    std::vector<Best> best(summaries.size());
    CSqliteStatement& sightings =
        Statement(allSightings_, "SELECT sound, source, position, slot, memos, first_seen FROM sighting");
    while ((result = sightings.Step()) == SQLITE_ROW) {
        const std::int64_t owner = index.Find(sightings.Integer(0));
        const std::int64_t sourceRow = sourceRows.Find(sightings.Integer(1));
        if (owner < 0 || sourceRow < 0) continue;
        const Source& source = sources[static_cast<std::size_t>(sourceRow)];
        SoundSummary& summary = summaries[static_cast<std::size_t>(owner)];
        const int position = static_cast<int>(sightings.Integer(2));
        const RecentKey key{source.lastSeen, RankOf(source.serial, position)};
        Memos unpacked;
        if (!sightings.IsNull(4)) {
            unpacked = UnpackMemos(sightings.Blob(4));
            for (const std::string& memo : unpacked)
                if (!memo.empty()) summary.memosSeen.push_back(memo);
        }
        Best& own = best[static_cast<std::size_t>(owner)];
        if (!own.source || key > own.key) {
            own = {key, &source};
            summary.recent.kind = source.kind;
            summary.recent.position = position;
            summary.recent.slot = sightings.IsNull(3) ? kNoSlot : static_cast<int>(sightings.Integer(3));
            summary.recent.memos = std::move(unpacked);
            summary.recent.firstSeen = sightings.Integer(5);
        }
    }
    sightings.Reset();
    if (!Check(result, SQLITE_DONE)) return false;
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        SoundSummary& summary = summaries[i];
        if (best[i].source) {
            summary.hasRecent = true;
            summary.recent.path = best[i].source->path;
            summary.recent.format = best[i].source->format;
            summary.recent.lastSeen = best[i].source->lastSeen;
            if (best[i].key > RecentKey{summary.lastSeen, summary.lastRank}) {
                summary.lastSeen = best[i].key.time;
                summary.lastRank = best[i].key.rank;
            }
        }
        std::vector<std::string>& memos = summary.memosSeen;
        if (memos.size() > 1) {
            std::sort(memos.begin(), memos.end());
            memos.erase(std::unique(memos.begin(), memos.end()), memos.end());
        }
    }

    CSqliteStatement& tags = Statement(allTags_, "SELECT sound, tag FROM tag ORDER BY sound, tag");
    while ((result = tags.Step()) == SQLITE_ROW) {
        const std::int64_t owner = index.Find(tags.Integer(0));
        if (owner >= 0) summaries[static_cast<std::size_t>(owner)].tags.push_back(tags.Text(1));
    }
    tags.Reset();
    return Check(result, SQLITE_DONE);
}

bool CSqliteCollectionStore::ReadSummaries(std::span<const SoundId> ids,
                                           std::vector<SoundSummary>& summaries) {
    summaries.clear();
    if (!CanRead()) return false;
    std::set<SoundId> distinct(ids.begin(), ids.end());
    for (SoundId id : distinct) {
        CSqliteStatement& sound =
            Statement(oneSound_, "SELECT name, favourite, last_seen, last_rank FROM sound WHERE id = ?");
        sound.Bind(1, id);
        const int result = sound.Step();
        if (result == SQLITE_DONE) {
            sound.Reset();
            continue;
        }
        if (!Check(result, SQLITE_ROW)) return false;
        SoundSummary summary;
        summary.id = id;
        const std::span<const std::uint8_t> name = sound.Blob(0);
        summary.name.assign(name.begin(), name.end());
        summary.favourite = sound.Integer(1) != 0;
        summary.lastSeen = sound.Integer(2);
        summary.lastRank = sound.Integer(3);
        sound.Reset();

        std::vector<Sighting> sightings;
        std::vector<std::int64_t> ranks;
        if (!ReadSightings(id, sightings, &ranks)) return false;
        for (const Sighting& sighting : sightings)
            for (const std::string& memo : sighting.memos)
                if (!memo.empty()) summary.memosSeen.push_back(memo);
        std::sort(summary.memosSeen.begin(), summary.memosSeen.end());
        summary.memosSeen.erase(std::unique(summary.memosSeen.begin(), summary.memosSeen.end()),
                                summary.memosSeen.end());
        if (!sightings.empty()) {
            summary.hasRecent = true;
            if (RecentKey{sightings[0].lastSeen, ranks[0]} > RecentKey{summary.lastSeen, summary.lastRank}) {
                summary.lastSeen = sightings[0].lastSeen;
                summary.lastRank = ranks[0];
            }
            summary.recent = std::move(sightings[0]);
        }

        CSqliteStatement& tags = Statement(soundTags_, "SELECT tag FROM tag WHERE sound = ? ORDER BY tag");
        tags.Bind(1, id);
        int tagResult;
        while ((tagResult = tags.Step()) == SQLITE_ROW)
            summary.tags.push_back(tags.Text(0));
        tags.Reset();
        if (!Check(tagResult, SQLITE_DONE)) return false;
        summaries.push_back(std::move(summary));
    }
    return true;
}

std::optional<SoundData> CSqliteCollectionStore::ReadSoundData(SoundId id) {
    if (!CanRead()) return std::nullopt;
    CSqliteStatement& bytes = Statement(soundData_, "SELECT packed FROM sound_data WHERE sound = ?");
    bytes.Bind(1, id);
    const int result = bytes.Step();
    std::optional<SoundData> data;
    if (result == SQLITE_ROW) {
        data.emplace();
        if (!UnpackSound(bytes.Blob(0), *data)) {
            data.reset();
            error_ = std::string("the bytes of sound ").append(std::to_string(id)).append(" are damaged");
            state_ = StoreState::Damaged;
        }
    } else if (result != SQLITE_DONE) {
        Fail(result);
    }
    bytes.Reset();
    return data;
}

bool CSqliteCollectionStore::ReadSightings(SoundId id, std::vector<Sighting>& sightings) {
    return ReadSightings(id, sightings, nullptr);
}

bool CSqliteCollectionStore::ReadSightings(SoundId id, std::vector<Sighting>& sightings,
                                           std::vector<std::int64_t>* ranks) {
    sightings.clear();
    if (!CanRead()) return false;
    static const std::string sql =
        std::string(kSightingColumns) +
        " WHERE sighting.sound = ? ORDER BY source.last_seen DESC, source.serial DESC, "
        "sighting.position ASC";
    CSqliteStatement& query = Statement(soundSightings_, sql.c_str());
    query.Bind(1, id);
    return ReadSightingRows(query, sightings, nullptr, ranks);
}

std::size_t CSqliteCollectionStore::SoundCount() {
    if (!CanRead()) return 0;
    CSqliteStatement& count = Statement(countSounds_, "SELECT count(*) FROM sound");
    const int result = count.Step();
    const std::size_t sounds = result == SQLITE_ROW ? static_cast<std::size_t>(count.Integer(0)) : 0;
    if (result != SQLITE_ROW) Fail(result);
    count.Reset();
    return sounds;
}

bool CSqliteCollectionStore::SetFavourite(SoundId id, bool favourite) {
    if (!CanWrite()) return false;
    CSqliteStatement& update = Statement(setFavourite_, "UPDATE sound SET favourite = ? WHERE id = ?");
    update.Bind(1, favourite ? 1 : 0).Bind(2, id);
    if (!Check(update.Run(), SQLITE_DONE)) return false;
    return sqlite3_changes(db_) == 1;
}

bool CSqliteCollectionStore::SetTags(SoundId id, const std::vector<std::string>& tags) {
    if (!CanWrite() || !BeginChange()) return false;
    const auto replace = [&] {
        CSqliteStatement& clear = Statement(deleteTags_, "DELETE FROM tag WHERE sound = ?");
        clear.Bind(1, id);
        if (!Check(clear.Run(), SQLITE_DONE)) return false;
        for (const std::string& tag : tags) {
            const std::size_t first = tag.find_first_not_of(" \t\r\n");
            if (first == std::string::npos) continue;
            const std::size_t last = tag.find_last_not_of(" \t\r\n");
            CSqliteStatement& insert =
                Statement(insertTag_, "INSERT OR IGNORE INTO tag (sound, tag) VALUES (?, ?)");
            insert.Bind(1, id).Bind(2, std::string_view(tag).substr(first, last + 1 - first));
            if (!Check(insert.Run(), SQLITE_DONE)) return false;
        }
        return true;
    };
    return EndChange(replace());
}

bool CSqliteCollectionStore::CheckIntegrity() {
    if (!CanRead()) return false;
    CSqliteStatement check(db_, "PRAGMA quick_check");
    if (!check.IsValid()) return Fail(check.PrepareResult());
    const int result = check.Step();
    if (result != SQLITE_ROW) return Fail(result);
    if (check.Text(0) == "ok") return true;
    error_ = check.Text(0);
    state_ = StoreState::Damaged;
    return false;
}
