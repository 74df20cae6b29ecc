#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <memory>

#include "../temp_folder.h"
#include "library_bytes.h"
#include "model/file_document.h"
#include "model_test_support.h"
#include "textout/text_out_hub.h"

using LibraryFileTest = ReportingModelTest;

TEST_F(LibraryFileTest, AnEmptyLibraryIsTheBareHeader) {
    CFileDocument document(&hub_);
    ASSERT_TRUE(document.Save(folder_ / "empty.tql"));
    const auto bytes = ReadFileBytes(folder_ / "empty.tql");
    EXPECT_EQ(bytes, LibraryBytes(0).Get());

    CFileDocument loaded(&hub_);
    loaded.Patches() = MakeList({"STALE"});
    ASSERT_TRUE(loaded.Load(folder_ / "empty.tql"));
    EXPECT_EQ(loaded.Patches().GetSize(), 0u);
}

TEST_F(LibraryFileTest, OnePatchWithEmptyMemosIs2354BytesLaidOutAsRecords) {
    CFileDocument document(&hub_);
    document.Patches().Resize(1);
    ASSERT_TRUE(document.Save(folder_ / "one.tql"));
    const auto bytes = ReadFileBytes(folder_ / "one.tql");
    ASSERT_EQ(bytes.size(), 2354u);
    LibraryBytes expected(1);
    expected.U32(2190).U32(1).U32(2178).Text("INIT PATCH      ").Bytes(2162, 0).Bytes(4, 0);
    EXPECT_EQ(bytes, expected.Get());
}

TEST_F(LibraryFileTest, PatchesAndMemosSurviveARoundTripByteForByte) {
    CFileDocument document(&hub_);
    document.Patches() = MakeList({"FIRST", "SECOND", "THIRD"});
    document.Patches()[1].SetMemo(0, "caf\xE9 \x80\xFF and \xE3\x81\x82");
    document.Patches()[2].SetMemo(3, std::string(5000, 'm'));
    ASSERT_TRUE(document.Save(folder_ / "lib.tql"));

    CFileDocument loaded(&hub_);
    ASSERT_TRUE(loaded.Load(folder_ / "lib.tql"));
    ASSERT_EQ(loaded.Patches().GetSize(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.Patches()[i].Sections(), document.Patches()[i].Sections());
        for (int m = 0; m < 4; ++m)
            EXPECT_EQ(loaded.Patches()[i].GetMemo(m), document.Patches()[i].GetMemo(m));
    }
    // Saving what was loaded gives the same file.
    ASSERT_TRUE(loaded.Save(folder_ / "again.tql"));
    EXPECT_EQ(ReadFileBytes(folder_ / "again.tql"), ReadFileBytes(folder_ / "lib.tql"));
}

TEST_F(LibraryFileTest, ABlockOfAnotherLengthIsKeptAsStored) {
    WriteFileBytes(folder_ / "odd.tql", LibraryBytes(2).Record(100, 0x41, "x").Record(3000, 0x42).Get());
    CFileDocument loaded(&hub_);
    ASSERT_TRUE(loaded.Load(folder_ / "odd.tql"));
    EXPECT_EQ(loaded.Patches()[0].PatchBlock().size(), 100u);
    EXPECT_EQ(loaded.Patches()[1].PatchBlock().size(), 3000u);
    EXPECT_EQ(loaded.Patches()[0].GetImage()[99], 0x41);
    EXPECT_EQ(loaded.Patches()[0].GetImage()[100], 0);
    ASSERT_TRUE(loaded.Save(folder_ / "odd-again.tql"));
    EXPECT_EQ(ReadFileBytes(folder_ / "odd-again.tql"), ReadFileBytes(folder_ / "odd.tql"));
}

TEST_F(LibraryFileTest, AFailedLoadLeavesThePatchesAsTheyWere) {
    const CPatchArray mine = MakeList({"MINE", "OURS"});
    const auto expectUntouched = [&](const CFileDocument& document) {
        ASSERT_EQ(document.Patches().GetSize(), mine.GetSize());
        for (std::size_t i = 0; i < mine.GetSize(); ++i) {
            EXPECT_EQ(document.Patches()[i].Sections(), mine[i].Sections());
            EXPECT_EQ(document.Patches()[i].GetMemo(0), mine[i].GetMemo(0));
        }
    };
    CFileDocument loaded(&hub_);
    loaded.Patches() = mine;

    // The count promises three records, the file holds two: nothing of the two is taken.
    WriteFileBytes(folder_ / "short.tql", LibraryBytes(3).Record(2178, 1).Record(2178, 2).Get());
    EXPECT_FALSE(loaded.Load(folder_ / "short.tql"));
    EXPECT_EQ(Reported(), "Cannot read files of this type.");
    expectUntouched(loaded);

    // The last record's body breaks off.
    buffer_->FlushTo(nullptr);
    auto cut = LibraryBytes(2).Record(2178, 1).Record(2178, 2).Get();
    cut.resize(cut.size() - 10);
    WriteFileBytes(folder_ / "cut.tql", cut);
    EXPECT_FALSE(loaded.Load(folder_ / "cut.tql"));
    EXPECT_EQ(Reported(), "This file could not be loaded.");
    expectUntouched(loaded);

    // A file that loads replaces them.
    WriteFileBytes(folder_ / "good.tql", LibraryBytes(1).Record(2178, 3).Get());
    ASSERT_TRUE(loaded.Load(folder_ / "good.tql"));
    EXPECT_EQ(loaded.Patches().GetSize(), 1u);
}

TEST_F(LibraryFileTest, WrongMagicAndZeroLengthsAreNotLibraries) {
    WriteFileBytes(folder_ / "earlier.tqx",
                   LibraryBytes(1, "TQMLibrarianFile0001            ").Record(10, 0).Get());
    CFileDocument loaded(&hub_);
    EXPECT_FALSE(loaded.Load(folder_ / "earlier.tqx"));
    EXPECT_EQ(Reported(), "Cannot read files of this type.");

    buffer_->FlushTo(nullptr);
    WriteFileBytes(folder_ / "tiny.tql", {'T', 'Q', 'L'});
    EXPECT_FALSE(loaded.Load(folder_ / "tiny.tql"));
    EXPECT_EQ(Reported(), "Cannot read files of this type.");

    buffer_->FlushTo(nullptr);
    WriteFileBytes(folder_ / "zero.tql", LibraryBytes(1).U32(0).Get());
    EXPECT_FALSE(loaded.Load(folder_ / "zero.tql"));
    EXPECT_EQ(Reported(), "Cannot read files of this type.");
}

TEST_F(LibraryFileTest, AMissingFileCannotBeLoaded) {
    CFileDocument loaded(&hub_);
    EXPECT_FALSE(loaded.Load(folder_ / "absent.tql"));
    EXPECT_EQ(Reported(), "This file could not be loaded.");
}

// A file-size limit makes the write fail; Windows has none (the Windows tests hold the target open instead).
#ifndef _WIN32
TEST_F(LibraryFileTest, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    CFileDocument original(&hub_);
    original.Patches() = MakeList({"KEEP ME"});
    ASSERT_TRUE(original.Save(folder_ / "lib.tql"));
    const auto before = ReadFileBytes(folder_ / "lib.tql");

    CFileDocument bigger(&hub_);
    bigger.Patches() = MakeList({"A", "B", "C", "D", "E", "F", "G", "H"});
    // Save in a child process whose file-size limit is far below the new file.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = bigger.Save(folder_ / "lib.tql");
        _exit(!saved && Reported() == "This file could not be saved." ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(folder_ / "lib.tql"), before);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}
#endif

TEST_F(LibraryFileTest, SavingIntoAMissingFolderOrOverAFolderFails) {
    CFileDocument document(&hub_);
    document.Patches().Resize(1);
    EXPECT_FALSE(document.Save(folder_ / "no-such-folder" / "lib.tql"));
    EXPECT_EQ(Reported(), "This file could not be saved.");
    std::filesystem::create_directory(folder_ / "folder.tql");
    EXPECT_FALSE(document.Save(folder_ / "folder.tql"));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder.tql"));
}
