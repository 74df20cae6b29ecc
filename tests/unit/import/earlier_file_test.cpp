#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "import/file_document.h"
#include "import/tqm_importer.h"
#include "import_test_support.h"
#include "temp_folder.h"
#include "textout/message_catalog.h"

namespace {

const std::string kTqMaxMagic = "TQMLibrarianFile0000TQM         ";
const std::string kTq4Magic = "TQMLibrarianFile0000TQ4         ";
const std::string kLoadFailed = "This file could not be loaded.";
const std::string kUnknownType = "Cannot read files of this type.";

Bytes RecordBody(const EarlierImage& image, const std::vector<std::string>& memos = {"", "", "", ""}) {
    Bytes body;
    for (int b = 0; b < earlier::kBlockCount; ++b) {
        const auto size = static_cast<std::size_t>(earlier::kBlockSizes[static_cast<std::size_t>(b)]);
        const auto at = static_cast<std::size_t>(earlier::kBlockOffsets[static_cast<std::size_t>(b)]);
        AppendU32(body, static_cast<std::uint32_t>(size));
        body.insert(body.end(), image.begin() + static_cast<std::ptrdiff_t>(at),
                    image.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    for (const std::string& memo : memos) {
        body.insert(body.end(), memo.begin(), memo.end());
        body.push_back(0);
    }
    return body;
}

// The size (big-endian, 4 bytes), then the body. Written into a vector of its final size: appending the
// body after the size makes GCC 12 at -O3 report a false read beyond the 4 bytes.
Bytes Record(const Bytes& body) {
    Bytes record(4 + body.size());
    const auto size = static_cast<std::uint32_t>(body.size());
    for (int i = 0; i < 4; ++i)
        record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    std::copy(body.begin(), body.end(), record.begin() + 4);
    return record;
}

Bytes EarlierFile(const std::string& magic, std::uint32_t count, const std::vector<Bytes>& records) {
    Bytes file(magic.begin(), magic.end());
    AppendU32(file, count);
    file.resize(160, 0xAB);  // the trailing header bytes are not checked
    for (const Bytes& record : records)
        file.insert(file.end(), record.begin(), record.end());
    return file;
}

// An earlier image with recognisable content at offsets the conversion maps.
EarlierImage KnownImage(const std::string& name) {
    EarlierImage image = DefaultEarlierImage();
    for (std::size_t i = 3; i < 27; ++i)
        image[i] = static_cast<std::uint8_t>(i);
    image[2] = 13;  // type 13 → 9
    std::fill(image.begin() + 510, image.begin() + 526, ' ');
    std::copy(name.begin(), name.end(), image.begin() + 510);
    image[669] = 42;
    return image;
}

class EarlierFileTest : public ImportTest {
  protected:
    TempFolder folder;

    bool Import(const Bytes& file, CTQMImporter& importer) {
        WriteFileBytes(folder / "in.tqx", file);
        return importer.Import(folder / "in.tqx");
    }
};

}  // namespace

TEST_F(EarlierFileTest, KnownPatchesConvertAtTheMappedOffsetsAndKeepTheirMemos) {
    const std::vector<std::string> memos = {"first memo", "", std::string("caf\xe9\x01", 5), "4"};
    const Bytes file = EarlierFile(kTqMaxMagic, 2,
                                   {Record(RecordBody(KnownImage("ALPHA"), memos)),
                                    Record(RecordBody(KnownImage("BETA~"), {"", "", "", ""}))});
    CTQMImporter importer(&hub_, nullptr);
    ASSERT_TRUE(Import(file, importer));
    const CPatchArray& patches = importer.GetDestination().Patches();
    ASSERT_EQ(patches.GetSize(), 2u);
    EXPECT_EQ(patches[0].GetName(), "ALPHA           ");
    EXPECT_EQ(patches[1].GetName(), "BETA            ");
    const PatchImage bytes = patches[0].GetImage();
    EXPECT_EQ(bytes[257], 9);
    for (std::size_t i = 3; i < 27; ++i)
        EXPECT_EQ(bytes[255 + i], i) << i;  // 3–27 → 258–282
    EXPECT_EQ(bytes[1568], 42);
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(patches[0].GetMemo(m), memos[static_cast<std::size_t>(m)]);
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(patches[1].GetMemo(m), "");
    EXPECT_TRUE(importer.GetSource().Patches().GetSize() == 0);
    EXPECT_TRUE(Reported().empty());
}

TEST_F(EarlierFileTest, ATq4FileGivesTheSamePatchAsItsTqMaxCounterpart) {
    EarlierImage tq4 = KnownImage("SAME");
    tq4[533] = 1;
    Put14(tq4, 535, 142);
    tq4[533 + 8] = 2;
    tq4[526] = 1;
    tq4[527] = 7;
    EarlierImage tqMax{};
    ConvertTq4Image(tq4, tqMax);
    CTQMImporter fromTq4(&hub_, nullptr);
    CTQMImporter fromTqMax(&hub_, nullptr);
    ASSERT_TRUE(Import(EarlierFile(kTq4Magic, 1, {Record(RecordBody(tq4))}), fromTq4));
    ASSERT_TRUE(Import(EarlierFile(kTqMaxMagic, 1, {Record(RecordBody(tqMax))}), fromTqMax));
    EXPECT_EQ(fromTq4.GetDestination().Patches()[0].GetImage(),
              fromTqMax.GetDestination().Patches()[0].GetImage());
    // Read as a TQ-MAX file, the same bytes would not have been moved.
    CTQMImporter unconverted(&hub_, nullptr);
    ASSERT_TRUE(Import(EarlierFile(kTqMaxMagic, 1, {Record(RecordBody(tq4))}), unconverted));
    EXPECT_NE(unconverted.GetDestination().Patches()[0].GetImage(),
              fromTq4.GetDestination().Patches()[0].GetImage());
}

TEST_F(EarlierFileTest, NoRecordsIsAnEmptyLibraryAndNewPatchesComeFromTheInitialData) {
    CTQMImporter importer(&hub_, nullptr);
    ASSERT_TRUE(Import(EarlierFile(kTqMaxMagic, 0, {}), importer));
    EXPECT_EQ(importer.GetDestination().Patches().GetSize(), 0u);
}

TEST_F(EarlierFileTest, EveryMagicCharacterCounts) {
    for (std::size_t i : {std::size_t{0}, std::size_t{22}, std::size_t{23}, std::size_t{31}}) {
        std::string magic = kTqMaxMagic;
        magic[i] = magic[i] == ' ' ? '\0' : 'x';
        CTQMImporter importer(&hub_, nullptr);
        EXPECT_FALSE(Import(EarlierFile(magic, 0, {}), importer)) << i;
    }
    EXPECT_EQ(Reported(), std::vector<std::string>(4, kLoadFailed));
}

TEST_F(EarlierFileTest, ShortOrMissingFilesFail) {
    CTQMImporter importer(&hub_, nullptr);
    EXPECT_FALSE(importer.Import(folder / "absent.tqx"));
    EXPECT_TRUE(Reported().empty());
    EXPECT_FALSE(Import(Bytes(100, ' '), importer));
    EXPECT_EQ(Reported(), std::vector<std::string>{kLoadFailed});
}

TEST_F(EarlierFileTest, BadRecordsFailWithTheirMessages) {
    const Bytes good = RecordBody(KnownImage("A"));
    struct Case {
        const char* what;
        Bytes file;
        std::string message;
    };
    Bytes wrongBlockLength = good;
    wrongBlockLength[3] = 131;  // block 0 claims 131 bytes
    Bytes noTerminator = good;
    noTerminator.back() = 'x';
    Bytes cutBlocks(good.begin(), good.begin() + 500);
    Bytes zeroLength;
    AppendU32(zeroLength, 0);
    Bytes lyingLength;
    AppendU32(lyingLength, 0x7FFFFFFF);
    lyingLength.insert(lyingLength.end(), good.begin(), good.end());
    const Case cases[] = {
        {"record length 0", EarlierFile(kTqMaxMagic, 1, {zeroLength}), kUnknownType},
        {"count larger than the records", EarlierFile(kTqMaxMagic, 0xFFFFFFFF, {Record(good)}), kUnknownType},
        {"body shorter than its length", EarlierFile(kTqMaxMagic, 1, {lyingLength}), kLoadFailed},
        {"block length not the block size", EarlierFile(kTqMaxMagic, 1, {Record(wrongBlockLength)}),
         kUnknownType},
        {"blocks run past the record", EarlierFile(kTqMaxMagic, 1, {Record(cutBlocks)}), kUnknownType},
        {"memo runs past the record", EarlierFile(kTqMaxMagic, 1, {Record(noTerminator)}), kUnknownType},
    };
    for (const Case& c : cases) {
        CTQMImporter importer(&hub_, nullptr);
        const std::size_t before = Reported().size();
        EXPECT_FALSE(Import(c.file, importer)) << c.what;
        EXPECT_EQ(importer.GetDestination().Patches().GetSize(), 0u) << c.what;
        ASSERT_EQ(Reported().size(), before + 1) << c.what;
        EXPECT_EQ(Reported().back(), c.message) << c.what;
    }
}

TEST_F(EarlierFileTest, AFailedReadLeavesTheEarlierPatchesAsTheyWere) {
    TQML::CFileDocument document(&hub_);
    document.Patches().Resize(2);
    document.Patches()[1].SetName("KEEP");
    // Two good records, then the count asks for a third.
    const Bytes file = EarlierFile(
        kTqMaxMagic, 3, {Record(RecordBody(KnownImage("A"))), Record(RecordBody(KnownImage("B")))});
    std::istringstream stream(std::string(file.begin(), file.end()));
    bool isTq4 = true;
    EXPECT_FALSE(document.ReadHeader(stream, isTq4));
    ASSERT_EQ(document.Patches().GetSize(), 2u);
    EXPECT_EQ(document.Patches()[0].GetName(), "INIT PATCH      ");
    EXPECT_EQ(document.Patches()[1].GetName(), "KEEP            ");
    EXPECT_EQ(Reported(), std::vector<std::string>{kUnknownType});
}

TEST_F(EarlierFileTest, BytesBehindTheFourthMemoAreIgnored) {
    Bytes body = RecordBody(KnownImage("TAIL"), {"a", "b", "c", "d"});
    body.insert(body.end(), {1, 2, 3});
    TQML::CPatch patch;
    ASSERT_TRUE(TQML::CFileDocument::ParseRecord(body, patch));
    EXPECT_EQ(patch.GetMemo(3), "d");
    EXPECT_EQ(patch.GetName(), "TAIL            ");
}

TEST(EarlierPatch, ResetNameAndCompare) {
    TQML::CPatch a;
    EXPECT_EQ(a.GetName(), "INIT PATCH      ");
    a.SetName(std::string("ab\tc\xe9") + "0123456789ABCDEF");
    EXPECT_EQ(a.GetName(), "ab c 0123456789A");
    a.SetMemo(1, "memo");
    EXPECT_EQ(a.StreamSize(), 4u + 4u + 43u * 4u + 880u);
    TQML::CPatch b;
    b.SetName("AB C");
    EXPECT_EQ(a.Compare(0, b, 1, 0), 1);
    EXPECT_EQ(a.Compare(1, b, 0, 1), 1);  // "AB C 0..." after "AB C    " ignoring case
    EXPECT_EQ(a.Compare(3, b, 0, 1), 1);
    EXPECT_EQ(b.Compare(3, a, 0, 1), -1);
    EXPECT_EQ(a.Compare(2, b, 0, 1), -1);  // both memo 1 empty: positions decide
    auto clone = a.ClonePatch();
    EXPECT_EQ(clone->GetImageBytes(), a.GetImageBytes());
    EXPECT_EQ(clone->GetMemo(1), "memo");
    a.Reset();
    EXPECT_EQ(a.GetMemo(1), "");
    EXPECT_EQ(a.GetImageBytes(), TQML::CPatch().GetImageBytes());

    TQML::CPatchArray patches;
    patches.Resize(3);
    EXPECT_EQ(patches.GetSize(), 3u);
    EXPECT_EQ(patches[2].GetName(), "INIT PATCH      ");
    patches.Resize(1);
    EXPECT_EQ(patches.GetSize(), 1u);
}
