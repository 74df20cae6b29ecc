#include "collection/memo_text.h"

#include <gtest/gtest.h>

#include "collection/sound_index.h"

TEST(MemoText, LegacyBytesAreReadAndEveryReadingIsFoundInAnyCaseAndWidth) {
    // "ギター音" in Shift_JIS; half-width katakana "ｶﾞ"; a pair that code page 932 leaves unused.
    const std::string shiftJis = "\x83\x4d\x83\x5e\x81\x5b\x89\xb9";
    std::string text;
    ASSERT_TRUE(ShiftJisToUtf8(shiftJis, text));
    EXPECT_EQ(text, "\xe3\x82\xae\xe3\x82\xbf\xe3\x83\xbc\xe9\x9f\xb3");
    ASSERT_TRUE(ShiftJisToUtf8("\xb6\xde", text));
    EXPECT_EQ(text, "\xef\xbd\xb6\xef\xbe\x9e");
    EXPECT_FALSE(ShiftJisToUtf8("\x85\x40", text));
    EXPECT_FALSE(ShiftJisToUtf8("\x83", text));

    EXPECT_EQ(MemoToUtf8(shiftJis, LegacyCodePage::ShiftJis),
              "\xe3\x82\xae\xe3\x82\xbf\xe3\x83\xbc\xe9\x9f\xb3");
    EXPECT_EQ(MemoToUtf8(shiftJis, LegacyCodePage::Windows1252).substr(0, 3), "\xc6\x92M");
    EXPECT_EQ(MemoToUtf8("caf\xe9 \x80", LegacyCodePage::ShiftJis), "caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(MemoToUtf8("caf\xc3\xa9", LegacyCodePage::ShiftJis), "caf\xc3\xa9");

    // Full-width Latin, Latin-1, Greek and Cyrillic capitals fold with ASCII.
    EXPECT_EQ(FoldForSearch("\xef\xbc\xa1\xef\xbd\x82 \xc3\x89 \xce\xa9 \xd0\x96 \xc5\xb8 Xy"),
              "ab \xc3\xa9 \xcf\x89 \xd0\xb6 \xc3\xbf xy");
    // Bytes that are not UTF-8 are searched in both legacy readings.
    const std::string both = SearchTextOfBytes(shiftJis);
    EXPECT_NE(both.find("\xe3\x82\xbf\xe3\x83\xbc"), std::string::npos);
    EXPECT_NE(both.find(FoldForSearch(Windows1252ToUtf8(shiftJis))), std::string::npos);

    SoundSummary sound;
    sound.id = 1;
    sound.name = "CLEAN           ";
    sound.memosSeen = {shiftJis};
    SoundSummary other;
    other.id = 2;
    other.name = "Crunch          ";
    other.lastSeen = 5;
    CSoundIndex index;
    index.Reset({sound, other});
    EXPECT_EQ(index.At(0).id, 2);
    EXPECT_EQ(index.Search({"\xe3\x82\xae\xe3\x82\xbf", false, ""}), std::vector<std::size_t>{1});
    EXPECT_EQ(index.Search({"c", false, ""}), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(index.Search({"\xef\xbc\xa3\xef\xbc\xac", false, ""}), std::vector<std::size_t>{1});  // ＣＬ
    sound.lastSeen = 9;
    sound.favourite = true;
    index.Update({sound});
    EXPECT_EQ(index.At(0).id, 1);
    EXPECT_EQ(index.Search({"", true, ""}), std::vector<std::size_t>{0});
}
