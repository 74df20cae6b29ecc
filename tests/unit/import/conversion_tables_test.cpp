#include <gtest/gtest.h>

#include <set>

#include "import/convert_earlier_patch.h"
#include "import/tables/assignment_tables.h"
#include "import/tables/offset_map.h"
#include "import/tables/tq2_target_table.h"
#include "import/tables/tq550_defaults.h"
#include "import_test_support.h"

using namespace earlier;

TEST(Tq550Defaults, HaveTheKindCountsAndTellingRows) {
    int counts[3] = {};
    for (const tq550::DefaultEntry& entry : tq550::kDefaults)
        ++counts[entry.kind];
    EXPECT_EQ(counts[tq550::kDefaultByte], 1623);
    EXPECT_EQ(counts[tq550::kDefaultWord], 39);
    EXPECT_EQ(counts[tq550::kDefaultNone], 39);

    Bytes dst(2178, 0xEE);
    WriteTq550Defaults(dst);
    EXPECT_EQ(std::string(dst.begin(), dst.begin() + 16), std::string(16, ' '));
    for (int at : {423, 935, 1282, 1292})
        EXPECT_EQ(Get14(dst, static_cast<std::size_t>(at)), 400) << at;
    EXPECT_EQ(Get14(dst, 1287), 100);
    EXPECT_EQ(Get14(dst, 1382), 120);
    for (std::size_t n = 0; n < 8; ++n) {
        const std::size_t block = 1440 + 16 * n;
        EXPECT_EQ(Get14(dst, block + 1), 0);
        EXPECT_EQ(Get14(dst, block + 3), 0);
        EXPECT_EQ(Get14(dst, block + 5), 1);
    }
    // Offsets from 1701 on are not defaults.
    EXPECT_EQ(dst[1701], 0xEE);
    EXPECT_EQ(dst[2177], 0xEE);
}

TEST(DefaultEarlierImage, ResplitsItsStoredPairsIntoSevenBitBytes) {
    const EarlierImage image = DefaultEarlierImage();
    // 400 is stored as 01 90 and filled as 03 10.
    EXPECT_EQ(image[435], 3);
    EXPECT_EQ(image[436], 0x10);
    EXPECT_EQ(Get14(image, 442), 400);
    EXPECT_EQ(Get14(image, 489), 80);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](std::uint8_t b) { return b < 0x80; }));
    EXPECT_EQ(std::string(image.begin() + 510, image.begin() + 526), "INIT PATCH      ");
    const Bytes chain(image.begin() + 496, image.begin() + 510);
    EXPECT_EQ(chain, (Bytes{0, 1, 2, 3, 4, 5, 6, 11, 12, 7, 8, 9, 10, 13}));
}

TEST(DefaultEarlierImage, ConvertsToTheTq550Defaults) {
    // The chain, the 14-bit values and the block switches agree, so an untouched earlier patch gives an
    // untouched TQ-550 patch apart from its name.
    Bytes defaults(2178, 0);
    WriteTq550Defaults(defaults);
    Bytes converted(2178, 0);
    ConvertEarlierPatch(DefaultEarlierImage(), converted);
    EXPECT_EQ(std::string(converted.begin(), converted.begin() + 16), "INIT PATCH      ");
    for (std::size_t i = 16; i < 1701; ++i)
        ASSERT_EQ(converted[i], defaults[i]) << "offset " << i;
}

TEST(ConversionTables, CoverTheirIndexRangesWithoutOverlap) {
    EXPECT_EQ(CoveredCount(kAssignTargetRanges), 493);
    EXPECT_EQ(CoveredCount(tq2::kTargetRanges), 237);
    EXPECT_EQ(CoveredCount(kAssignSourceRanges), 74);
    EXPECT_EQ(CoveredCount(kAssignPlus12Ranges), 72);
    // Each source offset has at most one target, and no two sources share a target.
    std::set<int> sources;
    std::set<int> targets;
    for (const RangeRow& row : kOffsetMap) {
        for (int i = row.from; i <= row.to; ++i) {
            EXPECT_TRUE(sources.insert(i).second) << i;
            EXPECT_TRUE(targets.insert(row.newStart + i - row.from).second) << i;
        }
    }
    EXPECT_EQ(*sources.rbegin(), 669);
}

TEST(ConversionTables, TranslateByTheFirstRowAndKnowNoCounterpart) {
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 0), 68);
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 136), 7);
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 137), std::nullopt);
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 150), std::nullopt);
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 492), 618);
    EXPECT_EQ(TranslateByRanges(kAssignTargetRanges, 493), std::nullopt);
    EXPECT_EQ(TranslateByRanges(kAssignSettingRanges, 481), 26);
    EXPECT_EQ(TranslateByRanges(kAssignSettingRanges, 1), std::nullopt);
    EXPECT_EQ(TranslateByRanges(kAssignSourceRanges, 5), 6);
    EXPECT_EQ(TranslateByRanges(kAssignSourceRanges, 7), std::nullopt);
    EXPECT_EQ(TranslateByRanges(kAssignSourceRanges, 73), 72);
    EXPECT_EQ(TranslateByRanges(kAssignSourceRanges, 74), std::nullopt);
    EXPECT_EQ(TranslateByRanges(tq2::kTargetRanges, 42), std::nullopt);
    EXPECT_EQ(TranslateByRanges(tq2::kTargetRanges, 236), 485);
    EXPECT_EQ(TranslateByRanges(tq2::kTargetRanges, 237), std::nullopt);
}
