#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#ifdef __linux__
#include <sys/resource.h>
#endif

#include "model/device_history.h"
#include "model/file_document.h"
#include "model_test_support.h"
#include "textout/message_catalog.h"

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

namespace {

// Noon on a summer day, in whole seconds, so that names and times agree in any time zone.
const Clock::time_point kNoon = [] {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 6;
    local.tm_mday = 14;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return Clock::from_time_t(std::mktime(&local));
}();

// 200 patches as a read gives them, patch 0 named after version.
CPatchArray ReadPatches(int version) {
    CPatchArray patches;
    patches.Resize(USER_PATCH_COUNT);
    patches[0].SetName("VERSION " + std::to_string(version));
    return patches;
}

std::vector<std::string> FileNames(const std::vector<HistoryEntry>& entries) {
    std::vector<std::string> names;
    for (const HistoryEntry& entry : entries)
        names.push_back(entry.path.filename().string());
    return names;
}

class DeviceHistoryTest : public ReportingModelTest {
  protected:
    fs::path Folder() const { return folder_ / "History"; }
    std::string NotKept() const {
        MessageCatalog catalog;
        AddStandardMessages(catalog);
        return catalog.Text(MSG_HISTORY_NOT_KEPT);
    }
};

}  // namespace

TEST_F(DeviceHistoryTest, KeepsAReadNamedByItsDateAndTimeButNotTheSameReadAgain) {
    CDeviceHistory history(Folder(), 100, &hub_);
    EXPECT_TRUE(history.Entries().empty());  // no folder yet
    ASSERT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Kept);
    EXPECT_EQ(CDeviceHistory::FileNameFor(kNoon), "2026-07-14 12-00-00.tql");
    EXPECT_EQ(FileNames(history.Entries()), std::vector<std::string>{"2026-07-14 12-00-00.tql"});

    CFileDocument kept;
    ASSERT_TRUE(kept.Load(Folder() / "2026-07-14 12-00-00.tql"));
    EXPECT_EQ(Names(kept.Patches()).front(), "VERSION 1");
    EXPECT_EQ(kept.Patches().GetSize(), 200u);

    EXPECT_EQ(history.Keep(ReadPatches(1), kNoon + std::chrono::minutes(5)), HistoryKeep::SameAsNewest);
    EXPECT_EQ(history.Entries().size(), 1u);

    // A change of one byte, or of one memo, is a new read.
    CPatchArray changed = ReadPatches(1);
    changed[199].PatchBlock()[2177] = 1;
    ASSERT_EQ(history.Keep(changed, kNoon + std::chrono::minutes(10)), HistoryKeep::Kept);
    CPatchArray memo = changed;
    memo[3].SetMemo(1, "x");
    ASSERT_EQ(history.Keep(memo, kNoon + std::chrono::hours(25)), HistoryKeep::Kept);

    const std::vector<HistoryEntry> entries = history.Entries();
    EXPECT_EQ(FileNames(entries),
              (std::vector<std::string>{"2026-07-15 13-00-00.tql", "2026-07-14 12-10-00.tql",
                                        "2026-07-14 12-00-00.tql"}));
    EXPECT_EQ(entries[0].time, kNoon + std::chrono::hours(25));
    EXPECT_EQ(entries[1].time, kNoon + std::chrono::minutes(10));
    EXPECT_EQ(entries[2].time, kNoon);
    EXPECT_EQ(Reported(), "");
    EXPECT_EQ(history.LastError(), "");
}

TEST_F(DeviceHistoryTest, ReadsInTheSameSecondAreNumberedAndOrdered) {
    CDeviceHistory history(Folder(), 100, &hub_);
    for (int version : {1, 2, 3, 1})
        ASSERT_EQ(history.Keep(ReadPatches(version), kNoon), HistoryKeep::Kept) << version;
    const std::vector<HistoryEntry> entries = history.Entries();
    EXPECT_EQ(FileNames(entries),
              (std::vector<std::string>{"2026-07-14 12-00-00 (4).tql", "2026-07-14 12-00-00 (3).tql",
                                        "2026-07-14 12-00-00 (2).tql", "2026-07-14 12-00-00.tql"}));
    EXPECT_EQ(entries[0].sequence, 4);
    EXPECT_EQ(entries[3].sequence, 1);
    // The newest of that second is the one compared with.
    EXPECT_EQ(history.Keep(ReadPatches(1), kNoon + std::chrono::seconds(1)), HistoryKeep::SameAsNewest);
    EXPECT_EQ(history.Keep(ReadPatches(3), kNoon + std::chrono::seconds(1)), HistoryKeep::Kept);
    EXPECT_EQ(FileNames(history.Entries()).front(), "2026-07-14 12-00-01.tql");
}

TEST_F(DeviceHistoryTest, KeepsTheNewestCountAndLeavesOtherFilesAlone) {
    fs::create_directories(Folder());
    for (const char* other :
         {"notes.txt", "mine.tql", "2026-07-14 12-00-00 (1).tql", "2026-13-01 00-00-00.tql",
          "2026-07-14 12-00-00 (02).tql", "2020-01-01 00-00-00.TQL"})
        std::ofstream(Folder() / other) << "x";
    // A folder named like an entry (not like the .TQL file above: Windows folds case in file names).
    fs::create_directories(Folder() / "2020-01-02 00-00-00.tql");

    CDeviceHistory history(Folder(), 3, &hub_);
    for (int version = 1; version <= 5; ++version)
        ASSERT_EQ(history.Keep(ReadPatches(version), kNoon + std::chrono::seconds(version)),
                  HistoryKeep::Kept);
    EXPECT_EQ(FileNames(history.Entries()),
              (std::vector<std::string>{"2026-07-14 12-00-05.tql", "2026-07-14 12-00-04.tql",
                                        "2026-07-14 12-00-03.tql"}));

    history.SetCount(1);
    EXPECT_TRUE(history.Trim());
    EXPECT_EQ(FileNames(history.Entries()), std::vector<std::string>{"2026-07-14 12-00-05.tql"});

    history.SetCount(0);
    EXPECT_EQ(history.Keep(ReadPatches(6), kNoon + std::chrono::seconds(6)), HistoryKeep::NotKept);
    EXPECT_TRUE(history.Entries().empty());
    std::size_t left = 0;
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(Folder()))
        ++left;
    EXPECT_EQ(left, 7u);  // the six other files and the folder
    EXPECT_EQ(Reported(), "");
}

TEST_F(DeviceHistoryTest, AReadAfterTheClockWasSetBackIsKeptAndCountsAsTheNewest) {
    CDeviceHistory history(Folder(), 2, &hub_);
    ASSERT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Kept);
    ASSERT_EQ(history.Keep(ReadPatches(2), kNoon + std::chrono::hours(1)), HistoryKeep::Kept);
    // A day earlier by the clock: its name sorts oldest, but it is the read just made.
    ASSERT_EQ(history.Keep(ReadPatches(3), kNoon - std::chrono::hours(24)), HistoryKeep::Kept);
    EXPECT_EQ(FileNames(history.Entries()),
              (std::vector<std::string>{"2026-07-13 12-00-00.tql", "2026-07-14 13-00-00.tql"}));
    // And the same read again is compared with it, not with the entry whose name is the latest.
    EXPECT_EQ(history.Keep(ReadPatches(3), kNoon - std::chrono::hours(23)), HistoryKeep::SameAsNewest);
    EXPECT_EQ(Reported(), "");
}

TEST_F(DeviceHistoryTest, AnUnreadableNewestEntryDoesNotStopANewOne) {
    CDeviceHistory history(Folder(), 100, &hub_);
    ASSERT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Kept);
    std::ofstream(Folder() / CDeviceHistory::FileNameFor(kNoon), std::ios::trunc) << "broken";
    EXPECT_EQ(history.Keep(ReadPatches(1), kNoon + std::chrono::seconds(1)), HistoryKeep::Kept);
    EXPECT_EQ(history.Entries().size(), 2u);
}

TEST_F(DeviceHistoryTest, AFolderThatCannotBeMadeFailsWithTheMessage) {
    std::ofstream(folder_ / "file") << "x";
    CDeviceHistory history(folder_ / "file" / "History", 100, &hub_);
    EXPECT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Failed);
    EXPECT_EQ(Reported(), NotKept());
    EXPECT_NE(history.LastError().find("History"), std::string::npos);
    EXPECT_TRUE(history.Entries().empty());
    EXPECT_TRUE(history.Trim());
}

TEST_F(DeviceHistoryTest, AReadOnlyFolderFailsWithTheMessage) {
    fs::create_directories(Folder());
    CDeviceHistory history(Folder(), 100, &hub_);
    ASSERT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Kept);
    fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
    // Some users (root) may write to a read-only folder all the same.
    const bool writable = static_cast<bool>(std::ofstream(Folder() / "probe"));
    if (writable) {
        fs::remove(Folder() / "probe");
        fs::permissions(Folder(), fs::perms::owner_all);
        GTEST_SKIP() << "this user can write to a read-only folder";
    }
    EXPECT_EQ(history.Keep(ReadPatches(2), kNoon + std::chrono::seconds(1)), HistoryKeep::Failed);
    EXPECT_EQ(Reported(), NotKept());
    EXPECT_FALSE(history.LastError().empty());
    EXPECT_EQ(history.Entries().size(), 1u);
    fs::permissions(Folder(), fs::perms::owner_all);
}

#ifdef __linux__
TEST_F(DeviceHistoryTest, AFullDiskFailsWithTheMessageAndLeavesNoPartOfTheEntry) {
    CDeviceHistory history(Folder(), 100, &hub_);
    ASSERT_EQ(history.Keep(ReadPatches(1), kNoon), HistoryKeep::Kept);

    // Files may grow to 64 KiB only, and writing beyond fails instead of ending the process, as on a full
    // disk (a library of 200 patches is about 440 KiB).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const HistoryKeep result = history.Keep(ReadPatches(2), kNoon + std::chrono::seconds(1));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, HistoryKeep::Failed);
    EXPECT_EQ(Reported(), NotKept());
    std::vector<std::string> files;
    for (const auto& file : fs::directory_iterator(Folder()))
        files.push_back(file.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"2026-07-14 12-00-00.tql"});
}
#endif

TEST(DeviceHistoryNames, OnlyNamesOfEntriesAreEntries) {
    for (const char* name :
         {"2026-07-14 12-00-00.tql", "2026-07-14 12-00-00 (2).tql", "1999-12-31 23-59-59 (12).tql"})
        EXPECT_TRUE(CDeviceHistory::EntryFor(name).has_value()) << name;
    for (const char* name :
         {"2026-07-14 12-00-00", "2026-07-14 12-00-00.mid", "2026-07-14 12:00:00.tql",
          "2026-07-14 12-00-00 (1).tql", "2026-07-14 12-00-00 (x).tql", "2026-07-14 12-00-00(2).tql",
          "2026-07-14 24-00-00.tql", "2026-00-14 12-00-00.tql", "2026-7-14 12-00-00.tql",
          "x2026-07-14 12-00-00.tql", "2026-07-14 12-00-00 (2)x.tql"})
        EXPECT_FALSE(CDeviceHistory::EntryFor(name).has_value()) << name;
    EXPECT_EQ(CDeviceHistory::EntryFor("2026-07-14 12-00-00 (12).tql")->sequence, 12);
    EXPECT_EQ(CDeviceHistory::FileNameFor(kNoon, 3), "2026-07-14 12-00-00 (3).tql");
}
