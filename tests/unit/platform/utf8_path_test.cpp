#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../temp_folder.h"
#include "platform/utf8_path.h"

namespace fs = std::filesystem;

namespace {
// Spaces, letters of Western and Eastern European languages, Japanese, and a letter beyond 16 bits.
const std::vector<std::string> kNames = {
    "Bibliothek f\xC3\xBCr B\xC3\xBChne.tql",
    "\xC5\xBB\xC3\xB3\xC5\x82w \xC4\x8D\xC4\x9B\xC5\x88.tql",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE3\x83\x91\xE3\x83\x83\xE3\x83\x81.tql",
    "\xF0\x9F\x8E\xB8 riff.tql",
};
}  // namespace

TEST(Utf8Path, NamesReachTheFileSystemAsWrittenAndComeBackTheSame) {
    TempFolder folder;
    const fs::path subfolder = folder.Path() / PathFromUtf8("Ordner mit Leerzeichen \xC3\xA9\xE6\x97\xA5");
    ASSERT_TRUE(fs::create_directory(subfolder));
    for (const std::string& name : kNames) {
        std::ofstream(subfolder / PathFromUtf8(name), std::ios::binary) << name;
        ASSERT_TRUE(fs::is_regular_file(subfolder / PathFromUtf8(name))) << name;
    }
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(subfolder))
        listed.push_back(PathToUtf8(entry.path().filename()));
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = kNames;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(PathToUtf8(subfolder.filename()), "Ordner mit Leerzeichen \xC3\xA9\xE6\x97\xA5");
}

#ifdef _WIN32
TEST(Utf8Path, OnWindowsTheNamesAreTheUtf16OfTheText) {
    EXPECT_EQ(PathFromUtf8(kNames[0]).native(), L"Bibliothek f\u00fcr B\u00fchne.tql");
    EXPECT_EQ(PathFromUtf8(kNames[2]).native(), L"\u65e5\u672c\u8a9e \u30d1\u30c3\u30c1.tql");
    // A letter beyond 16 bits is a surrogate pair.
    EXPECT_EQ(PathFromUtf8(kNames[3]).native(), L"\xD83C\xDFB8 riff.tql");
    EXPECT_EQ(PathToUtf8(fs::path(L"\xD83C\xDFB8 riff.tql")), kNames[3]);
    // Malformed text still names a file: the bad byte becomes U+FFFD.
    EXPECT_EQ(PathFromUtf8("a\xFF"
                           "b")
                  .native(),
              L"a\uFFFDb");
}
#else
TEST(Utf8Path, ElsewhereNamesAreTheBytesEvenWhenTheyAreNotUtf8) {
    const std::string latin1 = "caf\xE9.tql";
    EXPECT_EQ(PathFromUtf8(latin1).native(), latin1);
    EXPECT_EQ(PathToUtf8(fs::path(latin1)), latin1);
}
#endif
