#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "collection/collector.h"
#include "collection/sound_index.h"
#include "model/file_document.h"
#include "sqlite/open_collection.h"
#include "temp_folder.h"

namespace {
SeenPatch Patch(const std::string& name, int fill, int position, const std::string& memo = {},
                int slot = kNoSlot) {
    SeenPatch patch;
    for (std::size_t i = 0; i < patch.data.size(); ++i)
        patch.data[i] =
            static_cast<std::uint8_t>(i < 16 ? (i < name.size() ? name[i] : ' ') : (fill + i * 7) & 0x7F);
    patch.memos[0] = memo;
    patch.position = position;
    patch.slot = slot;
    return patch;
}

SightingSource File(const std::string& path, CollectionTime time) {
    return {SightingKind::LibraryFile, path, "tql", time};
}

AddOutcome Add(ICollectionStore& store, const SightingSource& source, std::vector<SeenPatch> patches) {
    AddOutcome outcome;
    EXPECT_TRUE(store.AddSightings(source, patches, outcome)) << store.LastError();
    return outcome;
}

void RunSql(const std::filesystem::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.string().c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

std::vector<std::string> Names(ICollectionStore& store, const SoundFilter& filter = {}) {
    std::vector<SoundSummary> summaries;
    EXPECT_TRUE(store.ReadSummaries(summaries));
    CSoundIndex index;
    index.Reset(std::move(summaries));
    std::vector<std::string> names;
    for (std::size_t row : index.Search(filter))
        names.push_back(index.At(row).name.substr(0, index.At(row).name.find(' ')));
    return names;
}
}  // namespace

TEST(CollectionStore, SoundsAreTheirBytesAndSightingsOfAFileAreRefreshed) {
    TempFolder folder;
    auto store = OpenCollectionStore(folder / "sub" / "collection.sqlite");
    ASSERT_EQ(store->State(), StoreState::Ready) << store->LastError();

    // The same bytes at two positions are one sound; memos are not part of it.
    AddOutcome first =
        Add(*store, File("/x.tql", 1000), {Patch("A", 1, 0), Patch("B", 2, 1), Patch("A", 1, 2, "m")});
    EXPECT_EQ(first.newSounds, 2);
    EXPECT_EQ(first.sounds[0], first.sounds[2]);
    const SoundId a = first.sounds[0];
    const SoundId b = first.sounds[1];
    // One byte more is another sound; a read from the processor a second later is seen last.
    AddOutcome read =
        Add(*store, {SightingKind::DeviceRead, "", "", 1001}, {Patch("A", 1, 0, "", 5), Patch("A", 3, 1)});
    EXPECT_EQ(read.newSounds, 1);
    EXPECT_EQ(read.sounds[0], a);
    EXPECT_EQ(store->SoundCount(), 3u);
    EXPECT_EQ(Names(*store), (std::vector<std::string>{"A", "A", "B"}));

    // The file again, changed: A stays at 0 (first seen kept), C replaces B at 1, A at 2 is gone.
    AddOutcome again = Add(*store, File("/x.tql", 2000), {Patch("A", 1, 0), Patch("C", 4, 1)});
    EXPECT_EQ(again.newSounds, 1);
    EXPECT_EQ(again.droppedFrom.size(), 2u);
    std::vector<Sighting> sightings;
    ASSERT_TRUE(store->ReadSightings(a, sightings));
    ASSERT_EQ(sightings.size(), 2u);
    EXPECT_EQ(sightings[0].path, "/x.tql");
    EXPECT_EQ(sightings[0].position, 0);
    EXPECT_EQ(sightings[0].firstSeen, 1000);
    EXPECT_EQ(sightings[0].lastSeen, 2000);
    EXPECT_EQ(sightings[1].kind, SightingKind::DeviceRead);
    EXPECT_EQ(sightings[1].slot, 5);
    ASSERT_TRUE(store->ReadSightings(b, sightings));
    EXPECT_TRUE(sightings.empty());
    // A sound keeps its bytes and stays in the collection without sightings.
    const std::optional<SoundData> data = store->ReadSoundData(b);
    ASSERT_TRUE(data);
    EXPECT_EQ(*data, Patch("B", 2, 0).data);
    // An older history entry does not make a sound more recent.
    Add(*store, {SightingKind::HistoryEntry, "/h/2020.tql", "tql", 10}, {Patch("B", 2, 0)});
    EXPECT_EQ(Names(*store), (std::vector<std::string>{"A", "C", "A", "B"}));
    EXPECT_EQ(store->SoundCount(), 4u);
}

TEST(CollectionStore, FavouritesAndTagsAreKeptAndSearched) {
    TempFolder folder;
    auto store = OpenCollectionStore(folder / "collection.sqlite");
    AddOutcome added =
        Add(*store, File("/t.tql", 5), {Patch("LEAD", 1, 0, "Grosse F\xfc\xdf"), Patch("PAD", 2, 1)});
    const SoundId lead = added.sounds[0];
    EXPECT_TRUE(store->SetTags(lead, {" Solo ", "solo", "", "Live \xe6\x97\xa5\xe6\x9c\xac"}));
    EXPECT_TRUE(store->SetFavourite(lead, true));
    EXPECT_FALSE(store->SetFavourite(999, true));
    std::vector<SoundSummary> summaries;
    ASSERT_TRUE(store->ReadSummaries(std::vector<SoundId>{lead}, summaries));
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_TRUE(summaries[0].favourite);
    EXPECT_EQ(summaries[0].tags, (std::vector<std::string>{"Live \xe6\x97\xa5\xe6\x9c\xac", "Solo", "solo"}));

    EXPECT_EQ(Names(*store, {"", true, ""}), std::vector<std::string>{"LEAD"});
    EXPECT_EQ(Names(*store, {"", false, "SOLO"}), std::vector<std::string>{"LEAD"});
    EXPECT_EQ(Names(*store, {"\xe6\x97\xa5", false, ""}), std::vector<std::string>{"LEAD"});
    // A Windows-1252 memo is found by its letters, in any case.
    EXPECT_EQ(Names(*store, {"GROSSE F\xc3\x9c\xc3\x9f", false, ""}), std::vector<std::string>{"LEAD"});
    EXPECT_EQ(Names(*store, {"\xef\xbd\x90\xef\xbc\xa1", false, ""}),
              std::vector<std::string>{"PAD"});  // ｐＡ
    EXPECT_TRUE(store->SetTags(lead, {}));
    EXPECT_TRUE(Names(*store, {"", false, "solo"}).empty());
}

TEST(CollectionStore, AFileOfTheFirstLayoutIsMigrated) {
    TempFolder folder;
    const auto path = folder / "old.sqlite";
    std::ifstream sql(TQ_COLLECTION_V1_SQL);
    std::stringstream text;
    text << sql.rdbuf();
    RunSql(path, text.str());

    auto store = OpenCollectionStore(path);
    ASSERT_EQ(store->State(), StoreState::Ready) << store->LastError();
    std::vector<SoundSummary> summaries;
    ASSERT_TRUE(store->ReadSummaries(summaries));
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(Names(*store, {"old memo", false, ""}), std::vector<std::string>{"KEPT"});
    EXPECT_TRUE(store->SetTags(1, {"kept"}));
    EXPECT_TRUE(store->SetFavourite(2, true));
    // The sounds are found by their bytes as before: the same patches add no sound.
    const AddOutcome again = Add(*store, File("/new.tql", 1800000000),
                                 {Patch("KEPT SOUND ONE", 1, 0), Patch("KEPT SOUND TWO", 2, 1)});
    EXPECT_EQ(again.newSounds, 0);
    EXPECT_EQ(again.sounds, (std::vector<SoundId>{1, 2}));
    store.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.string().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* version = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &version, nullptr);
    ASSERT_EQ(sqlite3_step(version), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(version, 0), 2);
    sqlite3_finalize(version);
    sqlite3_close(db);
}

TEST(CollectionStore, DamagedLockedAndNewerFilesAreNeverFatal) {
    TempFolder folder;
    // Not a database: damaged; set aside, a new collection takes its place.
    const auto garbage = folder / "collection.sqlite";
    WriteFileBytes(garbage, std::vector<std::uint8_t>(5000, 0x5A));
    EXPECT_EQ(OpenCollectionStore(garbage)->State(), StoreState::Damaged);
    std::error_code error;
    const auto aside = SetCollectionAside(garbage, error);
    ASSERT_FALSE(aside.empty()) << error.message();
    EXPECT_EQ(ReadFileBytes(aside).size(), 5000u);
    EXPECT_FALSE(std::filesystem::exists(garbage));
    auto fresh = OpenCollectionStore(garbage);
    ASSERT_EQ(fresh->State(), StoreState::Ready);
    EXPECT_EQ(fresh->SoundCount(), 0u);

    // A page damaged inside the file: the integrity check finds it.
    std::vector<SeenPatch> many;
    for (int i = 0; i < 200; ++i)
        many.push_back(Patch(std::string("P").append(std::to_string(i)), i, i));
    Add(*fresh, File("/many.tql", 1), many);
    fresh.reset();
    std::vector<std::uint8_t> bytes = ReadFileBytes(garbage);
    ASSERT_GT(bytes.size(), 200000u);
    for (std::size_t i = 100000; i < 150000; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    WriteFileBytes(garbage, bytes);
    auto damaged = OpenCollectionStore(garbage);
    ASSERT_EQ(damaged->State(), StoreState::Ready);
    EXPECT_FALSE(damaged->CheckIntegrity());
    EXPECT_EQ(damaged->State(), StoreState::Damaged);
    damaged.reset();

    // Held by another program: locked, after the wait.
    const auto held = folder / "held.sqlite";
    OpenCollectionStore(held).reset();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(held.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr),
        SQLITE_OK);
    EXPECT_EQ(OpenCollectionStore(held, std::chrono::milliseconds(50))->State(), StoreState::Locked);
    sqlite3_close(other);

    // Made by a newer program: read, never written.
    const auto newer = folder / "newer.sqlite";
    {
        auto store = OpenCollectionStore(newer);
        Add(*store, File("/n.tql", 3), {Patch("NEW", 1, 0)});
    }
    RunSql(newer, "PRAGMA user_version = 3");
    auto store = OpenCollectionStore(newer);
    ASSERT_EQ(store->State(), StoreState::ReadOnly);
    EXPECT_EQ(Names(*store), std::vector<std::string>{"NEW"});
    AddOutcome outcome;
    const std::vector<SeenPatch> one{Patch("OTHER", 2, 0)};
    EXPECT_FALSE(store->AddSightings(File("/o.tql", 4), one, outcome));
    EXPECT_FALSE(store->SetFavourite(1, true));
    EXPECT_EQ(store->SoundCount(), 1u);
}

TEST(CollectionStore, AFolderWalkReportsProgressAndStopsWhenCancelledKeepingWhatWasAdded) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "walk" / "deeper");
    for (int f = 0; f < 30; ++f) {
        CFileDocument library;
        for (int i = 0; i < 3; ++i) {
            auto patch = std::make_unique<CPatch>();
            const SeenPatch seen = Patch("F" + std::to_string(f) + "-" + std::to_string(i), f * 3 + i, i);
            patch->PatchBlock().assign(seen.data.begin(), seen.data.end());
            library.Patches().Add(std::move(patch));
        }
        ASSERT_TRUE(
            library.Save(folder / "walk" / (f % 2 ? "deeper" : ".") / ("f" + std::to_string(f) + ".bin")));
    }
    WriteFileBytes(folder / "walk" / "notes.txt", {'h', 'i'});

    auto store = OpenCollectionStore(folder / "collection.sqlite");
    CCollector collector(*store, nullptr);
    std::atomic<bool> cancel{false};
    std::vector<AddProgress> seen;
    const std::vector<std::filesystem::path> paths{folder / "walk"};
    const AddSummary summary = collector.AddPaths(paths, &cancel, [&](const AddProgress& progress) {
        seen.push_back(progress);
        if (progress.filesDone == 7) cancel = true;
    });
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.files, 7);
    EXPECT_EQ(summary.newSounds, 21);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(seen.back().walkDone);
    EXPECT_EQ(seen.back().filesFound, 30u);
    EXPECT_EQ(seen.back().patches, 21);
    EXPECT_EQ(store->SoundCount(), 21u);

    // The rest, the next time; what was there already is not added twice.
    const AddSummary rest = collector.AddPaths(paths);
    EXPECT_FALSE(rest.cancelled);
    EXPECT_EQ(rest.files, 30);
    EXPECT_EQ(rest.newSounds, 69);
    EXPECT_EQ(store->SoundCount(), 90u);
}

TEST(CollectionStore, TwoConnectionsAddingToOneFileNeverMakeASoundTwice) {
    TempFolder folder;
    auto worker = OpenCollectionStore(folder / "collection.sqlite");
    auto other = OpenCollectionStore(folder / "collection.sqlite");
    EXPECT_EQ(Add(*worker, File("/a.tql", 1), {Patch("A", 1, 0)}).newSounds, 1);
    // The other connection adds sounds the worker has not seen; the worker then finds them.
    EXPECT_EQ(Add(*other, File("/b.tql", 2), {Patch("A", 1, 0), Patch("B", 2, 1)}).newSounds, 1);
    ASSERT_TRUE(worker->BeginBatch());
    EXPECT_EQ(Add(*worker, File("/c.tql", 3), {Patch("B", 2, 0), Patch("C", 3, 1)}).newSounds, 1);
    // While the batch is open the other connection reads what was committed before it, and its changes wait.
    EXPECT_EQ(other->SoundCount(), 2u);
    ASSERT_TRUE(worker->CommitBatch());
    EXPECT_TRUE(other->SetFavourite(3, true));
    EXPECT_EQ(other->SoundCount(), 3u);
    EXPECT_EQ(Names(*worker, {"", true, ""}), std::vector<std::string>{"C"});
}
