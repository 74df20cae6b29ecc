#include "model/parameter_address.h"

#include <gtest/gtest.h>

namespace {
const CParameterAddress kAddress;

struct Located {
    int area, number, block, offset;
};

// The receiving path: area, number, then the place inside the patch.
Located LocateBytes(std::vector<std::uint8_t> bytes) {
    const PackedAddress a = PackAddress(bytes);
    const int area = kAddress.GetArea(a);
    const int number = kAddress.GetPatchNumber(a, area);
    const BlockLocation where = kAddress.Locate(a, area, number);
    return {area, number, where.block, where.offset};
}
}  // namespace

TEST(ParameterAddress, PacksAndUnpacksAcrossSevenBitGroups) {
    EXPECT_EQ(PackAddress(std::vector<std::uint8_t>{0x10, 0x00, 0x00, 0x00}), 0x02000000);
    EXPECT_EQ(UnpackAddress(0x02000000 + 242), (std::vector<std::uint8_t>{0x10, 0x00, 0x01, 0x72}));
    EXPECT_EQ(UnpackAddress(0x02000000 + 128 * 0x4000), (std::vector<std::uint8_t>{0x11, 0x00, 0x00, 0x00}));
    EXPECT_EQ(UnpackAddress(0x0C000000), (std::vector<std::uint8_t>{0x60, 0x00, 0x00, 0x00}));
    EXPECT_EQ(UnpackAddress(0x3FFF, 2), (std::vector<std::uint8_t>{0x7F, 0x7F}));
}

TEST(ParameterAddress, UserPatchBasesFollowTheBankLayout) {
    EXPECT_EQ(UnpackAddress(kAddress.GetPatchBase(AREA_USER_PATCH, 127)),
              (std::vector<std::uint8_t>{0x10, 0x7F, 0x00, 0x00}));
    EXPECT_EQ(UnpackAddress(kAddress.GetPatchBase(AREA_USER_PATCH, 199)),
              (std::vector<std::uint8_t>{0x11, 0x47, 0x00, 0x00}));
    EXPECT_EQ(kAddress.GetPatchBase(AREA_TEMPORARY_PATCH, 5), 0x0C000000);
    EXPECT_EQ(kAddress.GetAreaBase(0x31), 0);
}

TEST(ParameterAddress, ChunkAddressesMoveOnlyForChunkIds) {
    const std::vector<std::vector<std::uint8_t>> tails = {{0x00, 0x00}, {0x01, 0x72}, {0x03, 0x64},
                                                          {0x05, 0x56}, {0x07, 0x48}, {0x09, 0x3A},
                                                          {0x0B, 0x2C}, {0x0D, 0x1E}, {0x0F, 0x10}};
    for (int k = 0; k < PATCH_CHUNK_COUNT; ++k) {
        const int id = BLOCK_PATCH + k * 0x100;
        EXPECT_EQ(kAddress.GetChunkNumber(id), k);
        const auto bytes = UnpackAddress(kAddress.GetAddress(AREA_USER_PATCH, 1, id, 0));
        EXPECT_EQ(bytes[1], 0x01) << k;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 2, bytes.end()),
                  tails[static_cast<std::size_t>(k)]);
        EXPECT_EQ(kAddress.GetChunkOffset(k), k * 242);
    }
    EXPECT_EQ(kAddress.GetChunkNumber(0x102), -1);
    EXPECT_EQ(kAddress.GetAddress(AREA_USER_PATCH, 0, 0x211, 0), 0x02000000);
    EXPECT_EQ(kAddress.GetAddress(0x30, 0, 0x201, 0), 0);
    EXPECT_EQ(kAddress.GetBlockSize(AREA_USER_PATCH, BLOCK_PATCH, true), 242);
    EXPECT_EQ(kAddress.GetBlockSize(AREA_TEMPORARY_PATCH, BLOCK_PATCH, false), 2178);
    EXPECT_EQ(kAddress.GetBlockSize(0, BLOCK_PATCH, false), 0);
    EXPECT_EQ(kAddress.GetSection(BLOCK_PATCH), 0);
    EXPECT_EQ(kAddress.GetSection(0x100), -1);
}

TEST(ParameterAddress, ReceivedAddressesLocateInsidePatchesOrAreDropped) {
    EXPECT_EQ(kAddress.GetArea(0x01FFFFFF), AREA_NONE);
    Located first = LocateBytes({0x10, 0x00, 0x00, 0x00});
    EXPECT_EQ(first.area, AREA_USER_PATCH);
    EXPECT_EQ(first.number, 0);
    EXPECT_EQ(first.block, BLOCK_PATCH);
    EXPECT_EQ(first.offset, 0);

    Located last = LocateBytes({0x10, 0x00, 0x11, 0x01});
    EXPECT_EQ(last.block, BLOCK_PATCH);
    EXPECT_EQ(last.offset, 2177);
    EXPECT_EQ(LocateBytes({0x10, 0x00, 0x11, 0x02}).block, 0);

    Located chunk8 = LocateBytes({0x11, 0x47, 0x0F, 0x10});
    EXPECT_EQ(chunk8.number, 199);
    EXPECT_EQ(chunk8.offset, 1936);

    Located temporary = LocateBytes({0x60, 0x00, 0x1F, 0x7F});
    EXPECT_EQ(temporary.area, AREA_TEMPORARY_PATCH);
    EXPECT_EQ(temporary.block, 0);
    EXPECT_EQ(LocateBytes({0x60, 0x00, 0x11, 0x01}).offset, 2177);
    EXPECT_EQ(kAddress.GetArea(0x0C001000), AREA_NONE);

    EXPECT_EQ(kAddress.GetPatchNumber(0x03FFFFFF, AREA_USER_PATCH), 2047);
    EXPECT_EQ(kAddress.Locate(0x03FFFFFF, AREA_USER_PATCH, 2047).block, 0);
    EXPECT_EQ(kAddress.GetPatchNumber(0x03FFFFFF, AREA_NONE), -1);
}

TEST(ParameterAddress, SlotNamesNameBankAndNumber) {
    EXPECT_EQ(kAddress.GetSlotName(AREA_USER_PATCH, 0), "User Patch U01-1");
    EXPECT_EQ(kAddress.GetSlotName(AREA_USER_PATCH, 199), "User Patch U50-4");
    EXPECT_EQ(kAddress.GetSlotName(AREA_USER_PATCH, 6), "User Patch U02-3");
    EXPECT_EQ(kAddress.GetSlotName(AREA_TEMPORARY_PATCH, 0), "Temporary Patch");
    EXPECT_EQ(kAddress.GetSlotName(0x31, 0), "");
}
