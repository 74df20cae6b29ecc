#include <gtest/gtest.h>

#include "import/convert_earlier_patch.h"
#include "import/tq2_dump_decoder.h"
#include "import/tq2_importer.h"
#include "import_test_support.h"
#include "temp_folder.h"

namespace {

// A TQ-2 data set: F0 41 dev 00 46 12, the address of patch n, block r, column c, the values, a checksum
// (not checked by the decoder) and F7.
Bytes Tq2Set(int n, int r, int c, const Bytes& values, std::uint8_t device = 0x10) {
    Bytes message{0xF0,
                  0x41,
                  device,
                  0x00,
                  0x46,
                  0x12,
                  static_cast<std::uint8_t>(6 + n / 128),
                  static_cast<std::uint8_t>(n % 128),
                  static_cast<std::uint8_t>(r),
                  static_cast<std::uint8_t>(c)};
    message.insert(message.end(), values.begin(), values.end());
    message.push_back(0x00);
    message.push_back(0xF7);
    return message;
}

Bytes Tq2Name(const std::string& text) {
    Bytes name(text.begin(), text.end());
    name.resize(16, ' ');
    return name;
}

class Tq2Test : public ImportTest {
  protected:
    Tq2DumpDecoder decoder;
    std::vector<std::uint8_t> images = std::vector<std::uint8_t>(Tq2DumpDecoder::kBufferSize);

    int Walk(const Bytes& file) { return decoder.WalkSmf(file, images); }
    int WalkMessages(const std::vector<Bytes>& messages) { return Walk(SmfWithSysEx(messages)); }
    std::span<const std::uint8_t> Image(int slot) const {
        return std::span<const std::uint8_t>(images).subspan(static_cast<std::size_t>(slot) * 880, 880);
    }
    std::string NameOf(int slot) const {
        const auto image = Image(slot);
        return std::string(image.begin() + 510, image.begin() + 526);
    }
};

}  // namespace

TEST_F(Tq2Test, EveryPatchNumberBelow140GetsASlotInOrderOfAppearance) {
    std::vector<Bytes> messages;
    for (int n = 139; n >= 0; --n)
        messages.push_back(Tq2Set(n, 11, 0, Tq2Name(std::string("P").append(std::to_string(n)))));
    messages.push_back(Tq2Set(140, 11, 0, Tq2Name("TOO HIGH")));
    messages.push_back(Tq2Set(0, 23, 0, {1}));  // no block 23
    ASSERT_EQ(WalkMessages(messages), 140);
    EXPECT_EQ(NameOf(0), "P139            ");
    EXPECT_EQ(NameOf(139), "P0              ");
    EXPECT_EQ(decoder.SlotNumbers()[1], 138);
}

TEST_F(Tq2Test, ValuesAreLimitedAndLandAtTheirTargets) {
    // Block 0: column 1 has no target, column 3 (max 100) lands at 133; block 9 column 5 (max 127) at 490.
    ASSERT_EQ(WalkMessages({Tq2Set(3, 0, 0, {5, 60, 9, 120, 40}), Tq2Set(3, 9, 5, {0x7F}),
                            Tq2Set(3, 12, 0, {1, 2, 3})}),
              1);
    const auto image = Image(0);
    const EarlierImage defaults = DefaultEarlierImage();
    EXPECT_EQ(image[0], 1);  // limited to 1
    EXPECT_EQ(image[1], defaults[1]);
    EXPECT_EQ(image[2], 14);     // column 2 limited to 8, then T156[8]
    EXPECT_EQ(image[133], 100);  // limited to 100
    EXPECT_EQ(image[134], 40);
    EXPECT_EQ(image[490], 0x7F);
    EXPECT_EQ(Bytes(image.begin() + 874, image.begin() + 877), (Bytes{1, 2, 3}));
}

TEST_F(Tq2Test, NameBytes7Eand7FAreReplacedOnlyInTheFirstTwelveCharacters) {
    Bytes name = Tq2Name("AB~D");
    name[13] = 0x7E;
    name[4] = 0x7F;
    ASSERT_EQ(WalkMessages({Tq2Set(0, 11, 0, name)}), 1);
    EXPECT_EQ(NameOf(0), "AB}D{        \x7E  ");
    // The TQ-550 name takes a blank for the remaining 7E.
    Bytes dst(2178, 0);
    ConvertEarlierPatch(Image(0).first<880>(), dst);
    EXPECT_EQ(std::string(dst.begin(), dst.begin() + 16), "AB}D{           ");
}

TEST_F(Tq2Test, SpecialColumnsFollowTheirRules) {
    ASSERT_EQ(WalkMessages({
                  Tq2Set(0, 2, 0, {1, 3, 17, 44, 0, 0, 55}),  // g 61 = 17 sets flag 8; g 62, g 65 copy
                  Tq2Set(0, 3, 2, {22}),                      // g 68: T0[22] = 34 at 172
                  Tq2Set(0, 3, 4, {9}),                       // g 70 lands at 174 (172 is not 24 to 26)
                  Tq2Set(0, 3, 11, {1, 2}),                   // g 77, g 78: T132[2] at 183
                  Tq2Set(0, 5, 2, {3}),                       // g 95: T264[3] = 23
                  Tq2Set(0, 5, 8, {0, 6}),                    // g 101 = 0: g 102 is not written
                  Tq2Set(0, 6, 3, {95, 10}),                  // g 220, g 221: 95 + 1710
                  Tq2Set(0, 10, 0, {10}),                     // g 250: T380[10] at 496
                  Tq2Set(1, 6, 4, {10}),                      // g 221 without 220: nothing
                  Tq2Set(1, 6, 3, {10, 50}),                  // 50 is limited to 20: min(20 + 200, 1800)
                  Tq2Set(1, 8, 2, {4, 3, 0, 7}),              // g 236: T360[4] at 476; g 239: v + 1
              }),
              2);
    const auto a = Image(0);
    EXPECT_EQ(a[160], 1);
    EXPECT_EQ(a[144], 1);  // byte 158 (the column 0 value 1) copied before it is cleared
    EXPECT_EQ(a[158], 0);
    EXPECT_EQ(a[146], 0);
    EXPECT_EQ(a[155], 3);
    EXPECT_EQ(a[156], 2);
    EXPECT_EQ(a[161], 44);
    EXPECT_EQ(a[147], 44);
    EXPECT_EQ(a[150], 44);
    EXPECT_EQ(a[164], 55);
    EXPECT_EQ(a[148], 55);
    EXPECT_EQ(a[151], 55);
    EXPECT_EQ(a[172], 34);
    EXPECT_EQ(a[174], 9);
    EXPECT_EQ(a[183], 5);
    EXPECT_EQ(a[221], 23);
    EXPECT_EQ(a[350], DefaultEarlierImage()[350]);
    EXPECT_EQ(Get14(a, 442), 1805);
    EXPECT_EQ(a[496], 12);
    const auto b = Image(1);
    EXPECT_EQ(Get14(b, 442), 220);
    EXPECT_EQ(b[476], 4);
    EXPECT_EQ(b[479], 8);
}

TEST_F(Tq2Test, BlockOneSettingsAreAppliedWhenThePatchIsFinished) {
    // Patch 0: mode 0 with T328; patch 1: mode 1 on the first large block (switched off by g 0 = 0).
    ASSERT_EQ(WalkMessages({Tq2Set(0, 1, 0, {1, 0, 0, 5, 40, 50}), Tq2Set(1, 0, 0, {0}),
                            Tq2Set(1, 1, 0, {1, 0, 1, 0, 0, 0, 11, 12, 30, 13, 14, 0, 20, 15})}),
              2);
    const auto a = Image(0);
    EXPECT_EQ(a[139], 1);
    EXPECT_EQ(a[141], 6);
    EXPECT_EQ(a[142], 40);
    EXPECT_EQ(a[143], 50);
    const auto b = Image(1);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[2], 2);                                                           // B12 = 20 is below B8 = 30
    EXPECT_EQ(Bytes(b.begin() + 14, b.begin() + 19), (Bytes{1, 1, 30, 13, 14}));  // B6, B7 limited to 1
    EXPECT_EQ(b[20], 15);
    // Flag 1 places chain entry 0 just after entry 2.
    EXPECT_EQ(Bytes(b.begin() + 496, b.begin() + 510), (Bytes{1, 2, 0, 3, 4, 5, 6, 11, 12, 7, 8, 9, 10, 13}));
    for (auto image : {a, b}) {
        EXPECT_EQ(image[865], 1);
        EXPECT_EQ(image[868], 100);
        EXPECT_EQ(image[848], 2);
        EXPECT_EQ(image[851], 100);
    }
}

TEST_F(Tq2Test, AssignmentBlocksGetEarlierTargetsAndSources) {
    ASSERT_EQ(WalkMessages({
                  Tq2Set(0, 15, 0, {1, 0, 0, 10, 0, 0, 0, 50, 1}),   // t 10 → 34, source 1 → 2
                  Tq2Set(0, 16, 0, {1, 0, 0, 42}),                   // t 42: no counterpart
                  Tq2Set(0, 17, 0, {1, 0, 0, 77, 0, 5, 0, 120, 7}),  // t 77: +7, → 202; source 7 → 12
                  Tq2Set(0, 18, 0, {1, 0, 1, 73, 0, 10, 0, 127}),    // t 201: 400 + low, at most 1800
                  Tq2Set(0, 19, 0, {1, 0, 1, 72, 0, 91, 0, 5}),      // t 200: 91 + 1710, 20 · 5
                  Tq2Set(0, 13, 0, {1, 0, 0, 10}),                   // block 10 at 840: no source mapping
              }),
              1);
    const auto image = Image(0);
    EXPECT_EQ(Get14(image, 672), 34);
    EXPECT_EQ(image[678], 2);
    EXPECT_EQ(Get14(image, 676), 50);
    EXPECT_EQ(image[687], 0);
    EXPECT_EQ(Get14(image, 706), 202);
    EXPECT_EQ(Get14(image, 708), 12);
    EXPECT_EQ(Get14(image, 710), 127);
    EXPECT_EQ(image[712], 12);
    EXPECT_EQ(Get14(image, 723), 427);
    EXPECT_EQ(Get14(image, 725), 410);
    EXPECT_EQ(Get14(image, 727), 527);
    EXPECT_EQ(Get14(image, 740), 427);
    EXPECT_EQ(Get14(image, 742), 1801);
    EXPECT_EQ(Get14(image, 744), 100);
    EXPECT_EQ(Get14(image, 842), 34);
    EXPECT_EQ(image[848], 2);
}

TEST_F(Tq2Test, WalkHandlesTheEventStream) {
    Bytes track = {0x00, 0x90, 0x3C, 0x40, 0x00, 0x3E, 0x40,  // note with running status
                   0x00, 0xC0, 0x05, 0x00, 0x06,              // program change, then a running data byte
                   0x00, 0xFF, 0x01, 0x02, 'h',  'i',         // text meta clears the running status
                   0x00, 0x33,                                // a data byte without status: skipped
                   0x00, 0xF7, 0x01, 0xF7};
    const Bytes set = Tq2Set(4, 11, 0, Tq2Name("WALKED"));
    track.push_back(0x00);
    track.push_back(0xF0);
    AppendVariableLength(track, static_cast<std::uint32_t>(set.size() - 1));
    track.insert(track.end(), set.begin() + 1, set.end());
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    AppendU32(file, static_cast<std::uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    ASSERT_EQ(Walk(file), 1);
    EXPECT_EQ(NameOf(0), "WALKED          ");

    // A second track is read after End of Track; anything else there ends the walk with no patch.
    Bytes twoTracks = file;
    twoTracks.insert(twoTracks.end(), file.begin() + 14, file.end());
    EXPECT_EQ(Walk(twoTracks), 1);
    Bytes badChunk = file;
    badChunk.insert(badChunk.end(), {'M', 'T', 'r', 'x', 0, 0, 0, 0});
    EXPECT_EQ(Walk(badChunk), 0);
    Bytes badHeader = file;
    badHeader[0] = 'X';
    EXPECT_EQ(Walk(badHeader), 0);
}

TEST_F(Tq2Test, LongMessagesAreSkippedWhole) {
    Bytes values(499, 0);  // 11 + 499 = 510 bytes after F0
    EXPECT_EQ(WalkMessages({Tq2Set(0, 0, 0, values)}), 1);
    values.push_back(0);  // 511 bytes after F0
    EXPECT_EQ(WalkMessages({Tq2Set(0, 0, 0, values)}), 0);

    // The last event states 600 bytes, and the file ends after the 26 of a good data set: the stated
    // length decides, so it is skipped too.
    const Bytes set = Tq2Set(0, 11, 0, Tq2Name("CUT"));
    Bytes file = SmfWithSysEx({});
    file.resize(file.size() - 4);  // no End of Track
    file.insert(file.end(), {0x00, 0xF0});
    AppendVariableLength(file, 600);
    file.insert(file.end(), set.begin() + 1, set.end());
    EXPECT_EQ(Walk(file), 0);
    // Stating its true length, the same event is decoded.
    file = SmfWithSysEx({});
    file.resize(file.size() - 4);
    file.insert(file.end(), {0x00, 0xF0});
    AppendVariableLength(file, static_cast<std::uint32_t>(set.size() - 1));
    file.insert(file.end(), set.begin() + 1, set.end());
    EXPECT_EQ(Walk(file), 1);
}

TEST_F(Tq2Test, HostileFilesEndCleanly) {
    const Bytes good = SmfWithSysEx({Tq2Set(2, 11, 0, Tq2Name("KEPT"))});
    // A System Exclusive length running past the end is cut there.
    Bytes lying = good;
    lying.resize(lying.size() - 4);  // drop End of Track
    lying.insert(lying.end(), {0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x41, 0x10});
    EXPECT_EQ(Walk(lying), 1);
    EXPECT_EQ(NameOf(0), "KEPT            ");
    // Every prefix of a good file walks without reading past its end.
    for (std::size_t n = 0; n <= good.size(); ++n)
        Walk(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
    // Messages that are not TQ-2 data sets are ignored.
    Bytes other = Tq2Set(0, 11, 0, Tq2Name("OTHER"));
    other[4] = 0x47;
    EXPECT_EQ(WalkMessages({other, {0xF0, 0x41, 0x10, 0x00, 0x46, 0x12, 0x06, 0xF7}}), 0);
    // A buffer with room for fewer slots keeps the patches that fit.
    std::vector<std::uint8_t> small(880 * 2);
    std::vector<Bytes> messages;
    for (int n = 0; n < 5; ++n)
        messages.push_back(Tq2Set(n, 11, 0, Tq2Name("S")));
    EXPECT_EQ(decoder.WalkSmf(SmfWithSysEx(messages), small), 2);
}

TEST_F(Tq2Test, ImportConvertsTheDecodedImages) {
    TempFolder folder;
    WriteFileBytes(folder / "tq2.mid", SmfWithSysEx({Tq2Set(9, 11, 0, Tq2Name("NINE")), Tq2Set(9, 0, 3, {77}),
                                                     Tq2Set(4, 11, 0, Tq2Name("FOUR"))}));
    CTQ2Importer importer(nullptr);
    ASSERT_TRUE(importer.Import(folder / "tq2.mid"));
    const CPatchArray& patches = importer.GetDestination().Patches();
    ASSERT_EQ(patches.GetSize(), 2u);
    EXPECT_EQ(patches[0].GetName(), "NINE            ");
    EXPECT_EQ(patches[1].GetName(), "FOUR            ");
    EXPECT_EQ(patches[0].GetImage()[66], 77);  // TQ-2 block 0 column 3 → 133 → 66
    EXPECT_EQ(patches[0].GetMemo(0), "");
    EXPECT_FALSE(importer.Import(folder / "absent.mid"));
    WriteFileBytes(folder / "none.mid", SmfWithSysEx({}));
    EXPECT_FALSE(importer.Import(folder / "none.mid"));
    EXPECT_EQ(importer.GetDestination().Patches().GetSize(), 0u);
}
