#include <gtest/gtest.h>

#include "import/convert_earlier_patch.h"
#include "import/parameter_address.h"
#include "import/reader.h"
#include "import/tq4_importer.h"
#include "import_test_support.h"
#include "ports/midi_environment.h"
#include "support/earlier_dump_bytes.h"
#include "temp_folder.h"

namespace {

Bytes Name(const std::string& text) {
    Bytes name(text.begin(), text.end());
    name.resize(16, ' ');
    return name;
}

class Tq4DumpTest : public ImportTest {
  protected:
    MidiEnvironment environment{hub_};
    TQML::CReader reader{environment};
    TQML::CPatchArray patches;

    bool Read(const std::vector<Bytes>& messages) {
        return reader.ReadSmfBytes(SmfWithSysEx(messages), patches);
    }
};

}  // namespace

TEST_F(Tq4DumpTest, PatchesAppearInTheOrderTheirNumbersFirstOccur) {
    ASSERT_TRUE(
        Read({DataSet(PatchAddress(5, 2304), Name("FIVE")), DataSet(PatchAddress(2, 2304), Name("TWO")),
              DataSet(PatchAddress(5, 0), Bytes(130, 3))}));
    ASSERT_EQ(patches.GetSize(), 2u);
    EXPECT_EQ(patches[0].GetName(), "FIVE            ");
    EXPECT_EQ(patches[1].GetName(), "TWO             ");
    EXPECT_EQ(reader.PatchNumbers(), (std::vector<int>{5, 2}));
    EXPECT_EQ(patches[0].GetImageBytes()[129], 3);
    EXPECT_EQ(patches[1].GetImageBytes()[0], DefaultEarlierImage()[0]);  // untouched blocks stay reset
    // A second read starts a fresh list of numbers.
    TQML::CPatchArray second;
    ASSERT_TRUE(reader.ReadSmfBytes(SmfWithSysEx({DataSet(PatchAddress(2, 2304), Name("X"))}), second));
    EXPECT_EQ(reader.PatchNumbers(), (std::vector<int>{2}));
}

TEST_F(Tq4DumpTest, NameBytes7Eand7FAreReplaced) {
    Bytes name = Name("AB~DE\x7F");
    ASSERT_TRUE(Read({DataSet({0x08, 0x01, 0x12, 0x00}, name)}));
    ASSERT_EQ(patches.GetSize(), 1u);
    EXPECT_EQ(reader.PatchNumbers(), std::vector<int>{1});
    EXPECT_EQ(patches[0].GetName(), "AB}DE{          ");
}

TEST_F(Tq4DumpTest, DataGoesToTheStartOfTheBlockTheOffsetFallsIn) {
    TQML::CParameterAddress address;
    EXPECT_EQ(address.GetBlock(255), 0);
    EXPECT_EQ(address.GetBlock(256), 1);
    EXPECT_EQ(address.GetBlock(1407), 8);
    EXPECT_EQ(address.GetBlock(2816 + 128 * 7 + 5), 27);
    EXPECT_EQ(address.GetBlock(3840), 28);
    EXPECT_EQ(address.GetBlock(4096 + 128 * 11), 40);
    EXPECT_EQ(address.GetBlock(5632), 41);
    EXPECT_EQ(address.GetBlock(16383), 42);
    ASSERT_TRUE(Read({DataSet(PatchAddress(0, 4096 + 128 * 3 + 9), Bytes(17, 9)),  // block 32 at 721
                      DataSet(PatchAddress(0, 3840), Bytes(20, 5)),                // block 28: one byte
                      DataSet(PatchAddress(0, 5760), Bytes(3, 6))}));              // block 42
    const auto& image = patches[0].GetImageBytes();
    EXPECT_EQ(Bytes(image.begin() + 721, image.begin() + 738), Bytes(17, 9));
    EXPECT_EQ(image[669], 5);
    EXPECT_EQ(image[670], DefaultEarlierImage()[670]);  // the longer data set was cut at its block end
    EXPECT_EQ(Bytes(image.begin() + 877, image.end()), Bytes(3, 6));
}

TEST_F(Tq4DumpTest, MessagesFailingTheAcceptanceRulesAreIgnored) {
    const Bytes data = Name("BAD");
    reader.SetDeviceIds(Tq550DeviceIds(0x03));
    ASSERT_TRUE(Read({
        DataSet(PatchAddress(1, 2304), data, 0x00),                                // other device id
        DataSet(PatchAddress(2, 2304), data, 0x03, 0x11),                          // a request
        DataSet(PatchAddress(3, 2304), data, 0x03, 0x12, 1),                       // wrong checksum
        DataSet({0x0A, 0, 0x12, 0}, data, 0x03),                                   // not a user patch
        DataSet({0x07, 0x7F, 0x12, 0}, data, 0x03),                                // not a user patch
        {0xF0, 0x43, 0x03, 0x00, 0x3A, 0x12, 0x08, 0, 0x12, 0, 0x41, 0x25, 0xF7},  // other maker
        {0xF0, 0x41, 0x03, 0x12, 0xF7},                                            // does not parse
        DataSet(PatchAddress(255, 2304), Name("LAST"), 0x03),                      // 09 7F: accepted
    }));
    ASSERT_EQ(patches.GetSize(), 1u);
    EXPECT_EQ(reader.PatchNumbers(), std::vector<int>{255});
    EXPECT_EQ(patches[0].GetName(), "LAST            ");
}

TEST_F(Tq4DumpTest, ImportConvertsTheDumpIntoTq550Patches) {
    TempFolder folder;
    EarlierImage expected = DefaultEarlierImage();
    Bytes block0(130);
    for (std::size_t i = 0; i < block0.size(); ++i)
        block0[i] = static_cast<std::uint8_t>(i % 30);
    block0[2] = 13;
    std::copy(block0.begin(), block0.end(), expected.begin());
    const Bytes name = Name("DUMPED");
    std::copy(name.begin(), name.end(), expected.begin() + 510);
    WriteFileBytes(folder / "dump.mid",
                   SmfWithSysEx({DataSet(PatchAddress(7, 0), block0), DataSet(PatchAddress(7, 2304), name)}));
    CTQ4Importer importer(reader, nullptr);
    ASSERT_TRUE(importer.Import(folder / "dump.mid"));
    const CPatchArray& result = importer.GetDestination().Patches();
    ASSERT_EQ(result.GetSize(), 1u);
    Bytes want(2178, 0);
    ConvertEarlierPatch(expected, want);
    const PatchImage got = result[0].GetImage();
    EXPECT_EQ(Bytes(got.begin(), got.end()), want);
    EXPECT_EQ(got[257], 9);
    EXPECT_EQ(got[258], 3);
    EXPECT_EQ(result[0].GetName(), "DUMPED          ");
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(result[0].GetMemo(m), "");
}

TEST_F(Tq4DumpTest, FilesTheReaderRejectsFailTheImport) {
    TempFolder folder;
    CTQ4Importer importer(reader, nullptr);
    EXPECT_FALSE(importer.Import(folder / "absent.mid"));
    Bytes file = SmfWithSysEx({DataSet(PatchAddress(1, 2304), Name("CUT"))});
    file.resize(file.size() - 6);  // the track ends early
    WriteFileBytes(folder / "cut.mid", file);
    EXPECT_FALSE(importer.Import(folder / "cut.mid"));
    file = SmfWithSysEx({});
    file[7] = 7;  // header length 7
    WriteFileBytes(folder / "bad.mid", file);
    EXPECT_FALSE(importer.Import(folder / "bad.mid"));
    // A file without accepted messages is an empty library.
    WriteFileBytes(folder / "empty.mid", SmfWithSysEx({DataSet(PatchAddress(1, 2304), Name("X"), 0x10)}));
    EXPECT_TRUE(importer.Import(folder / "empty.mid"));
    EXPECT_EQ(importer.GetDestination().Patches().GetSize(), 0u);
}
