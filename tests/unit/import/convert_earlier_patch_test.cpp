#include <gtest/gtest.h>

#include "import/convert_earlier_patch.h"
#include "import_test_support.h"

namespace {

// An earlier image with every assignment switched off and a plain chain, and a converter that returns
// the TQ-550 bytes.
class ConvertTest : public ::testing::Test {
  protected:
    EarlierImage src = DefaultEarlierImage();

    Bytes Convert(std::uint8_t fill = 0x55) const {
        Bytes dst(2178, fill);
        ConvertEarlierPatch(src, dst);
        return dst;
    }

    // Switches on assignment block k with target, minimum, maximum, source and the byte at +9.
    void Assign(int k, int target, int minimum = 0, int maximum = 100, int source = 3, int plus9 = 0) {
        const std::size_t block = 670 + 17 * static_cast<std::size_t>(k);
        src[block] = 1;
        Put14(src, block + 2, target);
        Put14(src, block + 4, minimum);
        Put14(src, block + 6, maximum);
        src[block + 8] = static_cast<std::uint8_t>(source);
        src[block + 9] = static_cast<std::uint8_t>(plus9);
    }
};

std::size_t TqBlock(int n) {
    return 1440 + 16 * static_cast<std::size_t>(n);
}

}  // namespace

TEST_F(ConvertTest, NameBytes7Eand7FLeaveTheDefaultBlank) {
    const std::string name = "AB~DEFGHIJKLMN\x7Fz";
    std::copy(name.begin(), name.end(), src.begin() + 510);
    const Bytes dst = Convert();
    EXPECT_EQ(std::string(dst.begin(), dst.begin() + 16), "AB DEFGHIJKLMN z");
}

TEST_F(ConvertTest, BytesBehindTheConvertedRangeKeepTheirValues) {
    const Bytes dst = Convert(0x55);
    for (std::size_t i = 1702; i < 2178; ++i)
        ASSERT_EQ(dst[i], 0x55) << i;
    Bytes shortBuffer(100, 0x55);
    ConvertEarlierPatch(src, shortBuffer);
    EXPECT_EQ(shortBuffer, Bytes(100, 0x55));
}

TEST_F(ConvertTest, TypesWithoutCounterpartSwitchTheBlockOff) {
    src[2] = 24;
    src[221] = 36;  // beyond the table
    Bytes dst = Convert();
    EXPECT_EQ(dst[256], 0);
    EXPECT_EQ(dst[257], 0);  // the default type stays
    EXPECT_EQ(dst[768], 0);
    src[2] = 9;
    src[221] = 25;
    dst = Convert();
    EXPECT_EQ(dst[256], 1);
    EXPECT_EQ(dst[257], 27);
    EXPECT_EQ(dst[768], 1);
    EXPECT_EQ(dst[769], 14);
}

TEST_F(ConvertTest, GatedOffsetsWriteOnlyValuesInsideTheirTables) {
    src[160] = 29;
    src[172] = 45;
    src[189] = 46;
    src[183] = 8;
    src[200] = 9;
    src[350] = 28;
    src[355] = 29;
    src[399] = 29;
    Bytes dst = Convert();
    EXPECT_EQ(dst[113], 24);  // T30[29]
    EXPECT_EQ(dst[144], 37);  // T46[45]
    EXPECT_EQ(dst[176], 0);   // 46 is outside T46: the default stays
    EXPECT_EQ(dst[155], 8);
    EXPECT_EQ(dst[187], 0);
    EXPECT_EQ(dst[868], 28);
    EXPECT_EQ(dst[872], 0);
    EXPECT_EQ(dst[980], 29);
    src[160] = 30;
    dst = Convert();
    EXPECT_EQ(dst[113], 0);
}

TEST_F(ConvertTest, FourteenBitValuesMoveUpAboveTheirThresholds) {
    Put14(src, 435, 401);
    Put14(src, 442, 1800);
    Put14(src, 447, 901);
    Put14(src, 452, 900);
    Bytes dst = Convert();
    EXPECT_EQ(Get14(dst, 935), 1001);
    EXPECT_EQ(Get14(dst, 1282), 1800);
    EXPECT_EQ(Get14(dst, 1287), 1701);
    EXPECT_EQ(Get14(dst, 1292), 900);
    Put14(src, 435, 400);
    Put14(src, 442, 1801);
    dst = Convert();
    EXPECT_EQ(Get14(dst, 935), 400);
    EXPECT_EQ(Get14(dst, 1282), 3401);
    // A hostile value cannot overflow the two 7-bit bytes.
    src[435] = 0x7F;
    src[436] = 0x7F;
    dst = Convert();
    EXPECT_EQ(Get14(dst, 935), 0x3FFF);
}

TEST_F(ConvertTest, OffsetsWithTheirOwnPlacement) {
    src[478] = 77;
    Put14(src, 489, 300);
    src[28] = 11;
    src[31] = 12;
    src[669] = 9;
    const Bytes dst = Convert();
    EXPECT_EQ(dst[1338], 0);
    EXPECT_EQ(dst[1339], 77);
    EXPECT_EQ(Get14(dst, 1382), 340);
    EXPECT_EQ(dst[671], 11);
    EXPECT_EQ(dst[672], 12);
    EXPECT_EQ(dst[1568], 9);
}

TEST_F(ConvertTest, ChainEntriesExpandOrVanish) {
    const Bytes chain = {5, 11, 0, 13, 99, 1, 2, 3, 4, 6, 7, 8, 9, 10};
    std::copy(chain.begin(), chain.end(), src.begin() + 496);
    const Bytes dst = Convert();
    const Bytes expected = {16, 2, 12, 67, 77, 17, 5, 15, 0, 10, 14, 1, 4, 6, 7, 8, 9};
    EXPECT_EQ(Bytes(dst.begin() + 1408, dst.begin() + 1408 + 17), expected);
    // The places behind the last entry keep their defaults.
    EXPECT_EQ(dst[1425], 15);
    EXPECT_EQ(dst[1426], 127);
}

TEST_F(ConvertTest, AChainOfRepeatedExpansionsStaysInsideTheChainArea) {
    std::fill(src.begin() + 496, src.begin() + 510, 5);
    const Bytes dst = Convert();
    EXPECT_EQ(dst[1438], 16);  // 32 entries: five full expansions and two entries of the sixth
    EXPECT_EQ(dst[1439], 2);
    EXPECT_EQ(dst[1440], 0);  // the first assignment block is untouched
    EXPECT_EQ(Get14(dst, 1445), 1);
}

TEST_F(ConvertTest, AssignmentIsTranslatedWithItsTablesAndLimits) {
    // Earlier target 154 is TQ-550 target 9, whose minimum and maximum are limited to 29.
    Assign(0, 154, 40, 100, 8, 3);
    src[670 + 10] = 4;
    src[670 + 11] = 5;
    src[670 + 12] = 6;
    for (std::size_t j = 0; j < 4; ++j)
        src[670 + 13 + j] = static_cast<std::uint8_t>(20 + j);
    Assign(1, 20, 3, 90, 6);  // source 6 has no counterpart: +7 keeps its default
    src[687 + 12] = 5;
    const Bytes dst = Convert();
    const std::size_t b0 = TqBlock(0);
    EXPECT_EQ(dst[b0], 1);
    EXPECT_EQ(Get14(dst, b0 + 1), 9);
    EXPECT_EQ(Get14(dst, b0 + 3), 29);
    EXPECT_EQ(Get14(dst, b0 + 5), 29);
    EXPECT_EQ(dst[b0 + 7], 7);
    EXPECT_EQ(Bytes(dst.begin() + b0 + 8, dst.begin() + b0 + 16), (Bytes{3, 4, 5, 7, 20, 21, 22, 23}));
    const std::size_t b1 = TqBlock(1);
    EXPECT_EQ(Get14(dst, b1 + 1), 77);
    EXPECT_EQ(Get14(dst, b1 + 3), 3);
    EXPECT_EQ(Get14(dst, b1 + 5), 90);
    EXPECT_EQ(dst[b1 + 7], 0);
    EXPECT_EQ(dst[b1 + 11], 5);
    EXPECT_EQ(dst[TqBlock(2)], 0);
}

TEST_F(ConvertTest, AtMostEightAssignmentBlocksAreWritten) {
    for (int k = 0; k < 9; ++k)
        Assign(k, 2 + k);  // targets 2..10 → 90..98
    const Bytes dst = Convert();
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(Get14(dst, TqBlock(n) + 1), 90 + n) << n;
}

TEST_F(ConvertTest, UnmappableTargetsTakeNoBlock) {
    Assign(0, 137 + 5);  // 142: no counterpart
    Assign(1, 500);      // beyond the table
    Assign(2, 0);
    const Bytes dst = Convert();
    EXPECT_EQ(Get14(dst, TqBlock(0) + 1), 68);
    EXPECT_EQ(dst[TqBlock(1)], 0);
}

TEST_F(ConvertTest, SourceOneAndTwoSettingsAreTakenOnce) {
    Assign(0, 162, 0, 100, 1, 1);
    Assign(1, 474, 0, 100, 1, 1);
    Assign(2, 0, 0, 100, 2, 1);
    Assign(3, 129, 0, 100, 2, 1);
    Assign(4, 160, 0, 100, 1, 0);  // mode 0: an ordinary assignment
    const Bytes dst = Convert();
    EXPECT_EQ(dst[1351], 1);
    EXPECT_EQ(dst[1352], 9);
    EXPECT_EQ(Get14(dst, TqBlock(0) + 1), 572);  // the second source-1 block is ordinary
    EXPECT_EQ(dst[TqBlock(1)], 1);               // the second source-2 block is ordinary: 129 → 0
    EXPECT_EQ(Get14(dst, TqBlock(1) + 1), 0);
    EXPECT_EQ(Get14(dst, TqBlock(2) + 1), 17);  // 160 → 17
    EXPECT_EQ(dst[TqBlock(3)], 0);
}

TEST_F(ConvertTest, SpecialTargetsSetOneByte) {
    Assign(0, 139);
    Bytes dst = Convert();
    EXPECT_EQ(dst[1349], 5);
    EXPECT_EQ(dst[TqBlock(0)], 0);

    src = DefaultEarlierImage();
    Assign(0, 365);
    dst = Convert();
    EXPECT_EQ(dst[1349], 0);  // type of the second block is not 24: the block is still consumed
    EXPECT_EQ(dst[TqBlock(0)], 0);
    src[221] = 24;
    dst = Convert();
    EXPECT_EQ(dst[1349], 4);

    src = DefaultEarlierImage();
    Assign(0, 211);
    dst = Convert();
    EXPECT_EQ(Get14(dst, TqBlock(0) + 1), 296);  // an ordinary assignment unless the type is 24
}

TEST_F(ConvertTest, SpecialPassCopiesOneValueForTwoTypes) {
    src[359] = 33;
    src[403] = 44;
    src[221] = 22;
    EXPECT_EQ(Convert()[1384], 33);
    src[221] = 28;
    EXPECT_EQ(Convert()[1384], 44);
    src[219] = 0;
    EXPECT_EQ(Convert()[1384], 0);
}
