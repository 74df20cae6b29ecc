// Saving replaces a library file in one step or not at all, whatever its name, on every platform.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>

#include "model/file_document.h"
#include "model_test_support.h"
#include "platform/utf8_path.h"

namespace fs = std::filesystem;

namespace {
class SafeSaveTest : public ReportingModelTest {
  protected:
    void SetUp() override {
        ReportingModelTest::SetUp();
        // A folder and a file named with spaces, accented letters and Japanese.
        folder = folder_.Path() / PathFromUtf8("Sicherung f\xC3\xBCr die B\xC3\xBChne");
        fs::create_directory(folder);
        target = folder / PathFromUtf8("Bibliot\xC3\xA8que \xE6\x97\xA5\xE6\x9C\xAC.tql");
        CFileDocument original(&hub_);
        original.Patches() = MakeList({"OLD ONE", "OLD TWO"});
        ASSERT_TRUE(original.Save(target));
        before = ReadFileBytes(target);
    }
    // The names in the folder, as UTF-8.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(PathToUtf8(entry.path().filename()));
        return names;
    }

    fs::path folder;
    fs::path target;
    std::vector<std::uint8_t> before;
};
}  // namespace

TEST_F(SafeSaveTest, SavingReplacesTheFileUnderItsNameAndLeavesNothingElse) {
    CFileDocument document(&hub_);
    document.Patches() = MakeList({"NEW"});
    ASSERT_TRUE(document.Save(target));
    EXPECT_EQ(Listing(), std::vector<std::string>{"Bibliot\xC3\xA8que \xE6\x97\xA5\xE6\x9C\xAC.tql"});
    CFileDocument loaded(&hub_);
    ASSERT_TRUE(loaded.Load(target));
    EXPECT_EQ(Names(loaded.Patches()), std::vector<std::string>{"NEW"});
    EXPECT_TRUE(Reported().empty());
}

#ifdef _WIN32
// Windows takes slashes for backslashes, and a path from the root of the current drive: so does the save,
// given such a path (as programs given POSIX-style paths see them).
TEST_F(SafeSaveTest, OnWindowsARootedPathWrittenWithSlashesIsReplacedToo) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const std::wstring rooted = target.generic_wstring().substr(target.root_name().native().size());
    ASSERT_EQ(rooted.front(), L'/');
    CFileDocument document(&hub_);
    document.Patches() = MakeList({"NEW"});
    const bool saved = document.Save(fs::path(rooted));
    fs::current_path(previous);
    ASSERT_TRUE(saved);
    CFileDocument loaded(&hub_);
    ASSERT_TRUE(loaded.Load(target));
    EXPECT_EQ(Names(loaded.Patches()), std::vector<std::string>{"NEW"});
    EXPECT_EQ(Listing(), std::vector<std::string>{"Bibliot\xC3\xA8que \xE6\x97\xA5\xE6\x9C\xAC.tql"});
}

// Another program holds the file open without letting it be deleted (as editors and virus scanners do): the
// file cannot be replaced, and stays as it was.
TEST_F(SafeSaveTest, OnWindowsAFileHeldOpenByAnotherProgramIsKeptWhenItCannotBeReplaced) {
    const HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CFileDocument document(&hub_);
    document.Patches() = MakeList({"NEW"});
    const bool saved = document.Save(target);
    ::CloseHandle(held);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Reported(), "This file could not be saved.");
    EXPECT_EQ(ReadFileBytes(target), before);
    // The written copy is gone. (Wine's ReplaceFileW leaves a file of its own, rf*.tmp, when it fails.)
    for (const std::string& name : Listing())
        EXPECT_EQ(name.find(".saving-"), std::string::npos) << name;
}

#endif
