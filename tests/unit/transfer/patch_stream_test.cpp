#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "device/message_builders.h"
#include "model/data.h"
#include "ports/midi_environment.h"
#include "smf/smf_write.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

// A reader and a writer on an environment without ports, as files need them.
struct FileTransfer {
    TextOutHub messages;
    MidiEnvironment environment{messages};
    AReader reader{environment};
    CWriter writer{environment};
};

class PatchStreamTest : public ::testing::Test {
  protected:
    // 200 initial patches; patch n carries the byte pattern of seed n and a memo.
    static CPatchArray MarkedPatches(std::initializer_list<int> marked) {
        CPatchArray patches;
        patches.Resize(USER_PATCH_COUNT);
        for (int n : marked) {
            Block& block = patches[static_cast<std::size_t>(n)].PatchBlock();
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<std::uint8_t>((i * 7 + n) & 0x7F);
            patches[static_cast<std::size_t>(n)].SetMemo(0, "memo " + std::to_string(n));
        }
        return patches;
    }

    static bool ImportInto(CPatchArray& target, const Bytes& file) {
        std::istringstream stream(std::string(file.begin(), file.end()));
        FileTransfer files;
        AReader& reader = files.reader;
        return reader.ReadPatchesFromSmf(stream, target);
    }
};

// A one-track file holding the given System Exclusive events (complete bytes, or F7 continuations).
class EventFile : public CKivSmfWrite {
  public:
    Bytes bytes;

    Bytes Make(const std::vector<Bytes>& events) {
        BeginFile();
        BeginTrack();
        for (const Bytes& e : events) {
            if (e.front() == 0xF0) {
                WriteSysEx(0, e);
            } else {
                Bytes raw{0x00, 0xF7};
                CKivSmfWrite::AppendVariableLength(static_cast<std::int64_t>(e.size()), raw);
                raw.insert(raw.end(), e.begin(), e.end());
                PutBytes(Position(), raw);
                position_ += raw.size();
            }
        }
        EndTrack(0);
        FinishFile();
        return bytes;
    }

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> data) override {
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return data.size();
    }
};

// The data-set message for 242 bytes of image at the given address bytes, built here by hand.
Bytes HandMadeDataSet(std::uint8_t a0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3, const Bytes& image,
                      std::size_t offset) {
    Bytes m{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, a0, a1, a2, a3};
    unsigned sum = a0 + a1 + a2 + a3;
    for (std::size_t i = 0; i < 242; ++i) {
        m.push_back(image[offset + i]);
        sum += image[offset + i];
    }
    m.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
    m.push_back(0xF7);
    return m;
}

Bytes ImageBytes(const CPatch& patch) {
    const PatchImage image = patch.GetImage();
    return Bytes(image.begin(), image.end());
}

}  // namespace

TEST_F(PatchStreamTest, ExportOfPatches0And199IsTheDocumentedFile) {
    const CPatchArray source = MarkedPatches({0, 199});
    FileTransfer files;
    CWriter& writer = files.writer;
    std::ostringstream out;
    const std::vector<int> numbers{0, 199};
    ASSERT_TRUE(writer.WritePatchesToSmf(out, AREA_USER_PATCH, numbers, source));
    const std::string written = out.str();

    Bytes track{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    int index = 0;
    for (int n : numbers) {
        const Bytes image = ImageBytes(source[static_cast<std::size_t>(n)]);
        const std::uint8_t a0 = n < 128 ? 0x10 : 0x11;
        const auto a1 = static_cast<std::uint8_t>(n < 128 ? n : n - 128);
        for (int k = 0; k < 9; ++k) {
            const int offset = k * 242;
            const Bytes m = HandMadeDataSet(a0, a1, static_cast<std::uint8_t>(offset >> 7),
                                            static_cast<std::uint8_t>(offset & 0x7F), image,
                                            static_cast<std::size_t>(offset));
            ASSERT_EQ(m.size(), 255u);
            track.push_back(index++ == 0 ? 0x00 : 0x14);
            track.insert(track.end(), {0xF0, 0x81, 0x7E});
            track.insert(track.end(), m.begin() + 1, m.end());
        }
    }
    track.insert(track.end(), {0x14, 0xFF, 0x2F, 0x00});
    Bytes expected{'M',
                   'T',
                   'h',
                   'd',
                   0,
                   0,
                   0,
                   6,
                   0,
                   0,
                   0,
                   1,
                   0,
                   0x60,
                   'M',
                   'T',
                   'r',
                   'k',
                   0,
                   0,
                   static_cast<std::uint8_t>(track.size() >> 8),
                   static_cast<std::uint8_t>(track.size())};
    expected.insert(expected.end(), track.begin(), track.end());

    EXPECT_EQ(track.size(), 7u + 18u * 258u + 4u);
    EXPECT_EQ(Bytes(written.begin(), written.end()), expected);
    // Spot-check the addresses of the first and the last message.
    EXPECT_EQ(Bytes(expected.begin() + 39, expected.begin() + 43), (Bytes{0x10, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(expected.end() - 4 - 255 + 7, expected.end() - 4 - 255 + 11),
              (Bytes{0x11, 0x47, 0x0F, 0x10}));
}

TEST_F(PatchStreamTest, ImportOfAnExportRestoresTheDataAndClearsOnlyTheirMemos) {
    const CPatchArray source = MarkedPatches({0, 127, 128, 199});
    FileTransfer files;
    CWriter& writer = files.writer;
    const std::vector<int> numbers{0, 127, 128, 199};
    ASSERT_TRUE(writer.BuildSmf(AREA_USER_PATCH, numbers, source));

    CPatchArray target = MarkedPatches({5});
    target[0].SetMemo(3, "will go");
    const bool ok = ImportInto(target, writer.FileBytes());
    ASSERT_TRUE(ok);
    for (int n : numbers) {
        const CPatch& patch = target[static_cast<std::size_t>(n)];
        EXPECT_EQ(ImageBytes(patch), ImageBytes(source[static_cast<std::size_t>(n)])) << n;
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            EXPECT_TRUE(patch.GetMemo(m).empty()) << n;
    }
    const CPatchArray untouched = MarkedPatches({5});
    EXPECT_EQ(ImageBytes(target[5]), ImageBytes(untouched[5]));
    EXPECT_EQ(target[5].GetMemo(0), "memo 5");
    EXPECT_EQ(ImageBytes(target[1]), ImageBytes(untouched[1]));
}

TEST_F(PatchStreamTest, ImportSkipsEverythingButAcceptedUserDataSets) {
    const Bytes data(10, 0x55);
    const DeviceIds ids = Tq550DeviceIds(0x00);
    Bytes badChecksum = MakeDataSetMessage(ids, 0x02000000, data).Bytes();
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    const Bytes split = MakeDataSetMessage(ids, 0x02000000 + 3 * 0x4000, data).Bytes();
    const std::vector<Bytes> events{
        MakeDataSetMessage(ids, 0x0C000000, data).Bytes(),                      // temporary patch
        badChecksum,                                                            // patch 0
        MakeDataSetMessage(Tq550DeviceIds(0x01), 0x02004000, data).Bytes(),     // patch 1, other device id
        MakeRequestMessage(ids, 0x02008000, 10).Bytes(),                        // patch 2, a request
        Bytes(split.begin(), split.begin() + 8),                                // patch 3, split over
        Bytes(split.begin() + 8, split.end()),                                  // an F7 continuation
        MakeDataSetMessage(ids, 0x02000000 + 200 * 0x4000, data).Bytes(),       // no such slot
        MakeDataSetMessage(ids, 0x02000000 + 4 * 0x4000 + 2178, data).Bytes(),  // past the block
        MakeDataSetMessage(ids, 0x02000000 + 9 * 0x4000 + 100, data).Bytes(),   // accepted
    };
    EventFile file;
    const Bytes bytes = file.Make(events);

    CPatchArray target = MarkedPatches({0, 1, 2, 3, 4});
    const CPatchArray before = target;
    const bool ok = ImportInto(target, bytes);
    ASSERT_TRUE(ok);
    for (std::size_t n = 0; n < 9; ++n) {
        EXPECT_EQ(ImageBytes(target[n]), ImageBytes(before[n])) << n;
        EXPECT_EQ(target[n].GetMemo(0), before[n].GetMemo(0)) << n;
    }
    Bytes expected = ImageBytes(before[9]);
    std::fill_n(expected.begin() + 100, 10, 0x55);
    EXPECT_EQ(ImageBytes(target[9]), expected);
}

TEST_F(PatchStreamTest, StoreDataSetKeepsInsideTheBlockAndTheList) {
    CPatchArray target = MarkedPatches({});
    target.Resize(8);
    FileTransfer files;
    AReader& reader = files.reader;
    reader.SetTarget(&target, {7});
    reader.SetSmfMode(false);

    // 300 bytes at offset 2000 store 178.
    reader.StoreDataSet(0x02000000 + 2000, Bytes(300, 0x22));
    const Block& block = target[0].PatchBlock();
    ASSERT_EQ(block.size(), 2178u);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0x22), 178);

    // Temporary-patch data goes to the temporary target while not in SMF mode.
    reader.StoreDataSet(0x0C000000 + 16, Bytes{0x31, 0x32});
    EXPECT_EQ(target[7].PatchBlock()[16], 0x31);
    reader.SetSmfMode(true);
    reader.StoreDataSet(0x0C000000 + 16, Bytes{0x41});
    EXPECT_EQ(target[7].PatchBlock()[16], 0x31);

    // User patch 8 has no position in an eight-patch list; addresses outside both areas are not ours.
    const CPatchArray before = target;
    reader.StoreDataSet(0x02000000 + 8 * 0x4000, Bytes{0x01});
    reader.StoreDataSet(0x01FFFFFF, Bytes{0x01});
    reader.StoreDataSet(0x0C000000 + 0x0880 + 2, Bytes{0x01});
    for (std::size_t n = 0; n < target.GetSize(); ++n)
        EXPECT_EQ(ImageBytes(target[n]), ImageBytes(before[n]));

    // A patch whose block is short is filled up to a whole block before it takes data.
    target[3].PatchBlock().resize(20);
    reader.StoreDataSet(0x02000000 + 3 * 0x4000 + 2170, Bytes(8, 0x66));
    EXPECT_EQ(target[3].PatchBlock().size(), 2178u);
    EXPECT_EQ(target[3].PatchBlock()[2177], 0x66);
}

TEST_F(PatchStreamTest, ExportWritesThePatchImagePaddedOrCut) {
    CPatchArray source = MarkedPatches({0, 1});
    source[0].PatchBlock().resize(100);
    source[1].PatchBlock().resize(3000, 0x7F);
    FileTransfer files;
    CWriter& writer = files.writer;
    const std::vector<int> numbers{0, 1};
    ASSERT_TRUE(writer.BuildSmf(AREA_USER_PATCH, numbers, source));
    EXPECT_EQ(writer.FileBytes().size(), 22u + 7u + 18u * 258u + 4u);

    CPatchArray target = MarkedPatches({});
    const bool ok = ImportInto(target, writer.FileBytes());
    ASSERT_TRUE(ok);
    EXPECT_EQ(ImageBytes(target[0]), ImageBytes(source[0]));
    EXPECT_EQ(target[0].PatchBlock()[100], 0x00);
    EXPECT_EQ(ImageBytes(target[1]), ImageBytes(source[1]));
    EXPECT_EQ(target[1].PatchBlock().size(), 2178u);
}

TEST_F(PatchStreamTest, ExportOfANonPatchAreaHoldsOnlyTempoAndEndOfTrack) {
    const CPatchArray source = MarkedPatches({0});
    FileTransfer files;
    CWriter& writer = files.writer;
    const std::vector<int> numbers{0, 1};
    ASSERT_TRUE(writer.BuildSmf(-1, numbers, source));
    EXPECT_EQ(writer.FileBytes(), (Bytes{0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00,
                                         0x01, 0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x0B,
                                         0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST_F(PatchStreamTest, ExportFailsForMissingPatchesAndFailedStreams) {
    const CPatchArray source = MarkedPatches({});
    FileTransfer files;
    CWriter& writer = files.writer;
    const std::vector<int> outside{0, 200};
    std::ostringstream out;
    EXPECT_FALSE(writer.WritePatchesToSmf(out, AREA_USER_PATCH, outside, source));
    EXPECT_TRUE(out.str().empty());

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    const std::vector<int> one{0};
    EXPECT_FALSE(writer.WritePatchesToSmf(broken, AREA_USER_PATCH, one, source));
    EXPECT_EQ(CWriter::DeltaAfter(255), 20);
    EXPECT_EQ(CWriter::DeltaAfter(17), 5);
}

TEST_F(PatchStreamTest, ImportFailsForUnreadableAndMalformedFiles) {
    CPatchArray target = MarkedPatches({});
    bool ok = true;

    std::istringstream unreadable("MThd");
    unreadable.setstate(std::ios::badbit);
    FileTransfer files;
    AReader& reader = files.reader;
    EXPECT_FALSE(reader.ReadPatchesFromSmf(unreadable, target));

    ok = ImportInto(target, Bytes{'R', 'I', 'F', 'F'});
    EXPECT_FALSE(ok);

    // A stream that never ends (a device named as the file) is refused after the most a file of patches
    // holds, instead of filling the memory.
    struct Endless : std::streambuf {
        char zeros[4096] = {};
        int_type underflow() override {
            setg(zeros, zeros, zeros + sizeof zeros);
            return 0;
        }
    } endless;
    std::istream device(&endless);
    EXPECT_FALSE(reader.ReadPatchesFromSmf(device, target));

    // A file whose only event claims 2^28 - 1 bytes.
    ok = ImportInto(
        target, Bytes{'M', 'T', 'h', 'd',  0,    0,    0,    6,    0,    0,    0,    1,    0,    0x60, 'M',
                      'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x41});
    EXPECT_FALSE(ok);

    // Data sets before the failure stay stored.
    EventFile file;
    Bytes cut = file.Make({MakeDataSetMessage(Tq550DeviceIds(), 0x02000000, Bytes{0x12}).Bytes()});
    cut.resize(cut.size() - 2);
    ok = ImportInto(target, cut);
    EXPECT_FALSE(ok);
    EXPECT_EQ(target[0].PatchBlock()[0], 0x12);
}
