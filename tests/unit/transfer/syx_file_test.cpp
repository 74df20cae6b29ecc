// SysEx files: the reader on hand-made messages, the writer against the SMF export and a Write to the
// virtual processor, and both directions through the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>

#include "model/data.h"
#include "model/file_document.h"
#include "smf/smf_read.h"
#include "temp_folder.h"
#include "textout/message_catalog.h"
#include "transfer/syx_reader.h"
#include "transfer/syx_writer.h"
#include "transfer_rig.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

std::string Text(int id) {
    MessageCatalog catalog;
    AddStandardMessages(catalog);
    return catalog.Text(id);
}

// A data set built here by hand: F0 41 dev 00 00 60 12, four address bytes, data, checksum, F7.
Bytes HandSet(std::uint8_t device, std::int32_t address, const Bytes& data) {
    const Bytes a{
        static_cast<std::uint8_t>((address >> 21) & 0x7F), static_cast<std::uint8_t>((address >> 14) & 0x7F),
        static_cast<std::uint8_t>((address >> 7) & 0x7F), static_cast<std::uint8_t>(address & 0x7F)};
    // Sized once and filled by index: GCC 12 at -O3 reports a false bounds error for inserts into a
    // vector that started from a short initializer list.
    Bytes m(7 + a.size() + data.size());
    const std::uint8_t head[] = {0xF0, 0x41, device, 0x00, 0x00, 0x60, 0x12};
    std::copy(std::begin(head), std::end(head), m.begin());
    std::copy(a.begin(), a.end(), m.begin() + 7);
    std::copy(data.begin(), data.end(), m.begin() + 7 + static_cast<std::ptrdiff_t>(a.size()));
    unsigned sum = std::accumulate(a.begin(), a.end(), 0u) + std::accumulate(data.begin(), data.end(), 0u);
    m.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
    m.push_back(0xF7);
    return m;
}

constexpr std::int32_t UserBase(int n) {
    return 0x02000000 + n * 0x4000;
}
constexpr std::int32_t kTemporaryBase = 0x0C000000;

// The 2178 bytes of a patch named name whose other bytes follow seed.
Bytes PatchBytes(const std::string& name, int seed) {
    Bytes bytes(PATCH_BLOCK_SIZE);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = i < 16 ? static_cast<std::uint8_t>(i < name.size() ? name[i] : ' ')
                          : static_cast<std::uint8_t>((i * 3 + static_cast<std::size_t>(seed)) & 0x7F);
    return bytes;
}

// The patch cut into data sets of size bytes (the last one shorter) at its slot's address.
std::vector<Bytes> Chunked(const Bytes& patch, std::int32_t base, std::size_t size, std::uint8_t device = 0) {
    std::vector<Bytes> sets;
    for (std::size_t at = 0; at < patch.size(); at += size) {
        const std::size_t n = std::min(size, patch.size() - at);
        sets.push_back(HandSet(device, base + static_cast<std::int32_t>(at),
                               Bytes(patch.begin() + static_cast<std::ptrdiff_t>(at),
                                     patch.begin() + static_cast<std::ptrdiff_t>(at + n))));
    }
    return sets;
}

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes ImageBytes(const CPatch& patch) {
    const PatchImage image = patch.GetImage();
    return Bytes(image.begin(), image.end());
}

// The patches every new patch copies: a patch named INITIAL whose bytes are all 5, with a memo.
std::shared_ptr<IInitialData> MakeInitial() {
    struct Initial : IInitialData {
        CPatch patch;
        const CParameter* InitialElement() const override { return &patch; }
    };
    auto initial = std::make_shared<Initial>();
    initial->patch.PatchBlock().assign(PATCH_BLOCK_SIZE, 5);
    initial->patch.SetName("INITIAL");
    initial->patch.SetMemo(0, "initial memo");
    return initial;
}

// One data set of a whole patch at base whose first bytes are first.
Bytes WholeSet(std::uint8_t device, std::int32_t base, const Bytes& first) {
    Bytes data = PatchBytes("WHOLE", 1);
    std::copy(first.begin(), first.end(), data.begin());
    return HandSet(device, base, data);
}

// A reader whose reports are recorded, and a list with initial data that holds one patch before the read.
struct ReadRig {
    ReadRig() {
        hub.SetTextOut(TextOutHub::kBufferSlot, reported);
        patches.SetInitialData(MakeInitial());
        patches.Resize(1);
        patches[0].SetName("BEFORE");
    }
    bool Read(const Bytes& file) { return reader.Read(file, patches); }

    TextOutHub hub;
    std::shared_ptr<RecordingTextOut> reported = std::make_shared<RecordingTextOut>();
    CSyxReader reader{&hub};
    CPatchArray patches;
};

// Collects the System Exclusive events of a Standard MIDI File.
class SysExCollector : public CKivSmfRead {
  public:
    explicit SysExCollector(const Bytes& file) : file_(file) {}
    Bytes events;
    void OnSysEx(std::int32_t, std::span<const std::uint8_t> message) override {
        events.insert(events.end(), message.begin(), message.end());
    }

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override {
        if (offset >= file_.size()) return 0;
        const std::size_t n = std::min(buffer.size(), file_.size() - offset);
        std::copy_n(file_.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer.begin());
        return n;
    }

  private:
    const Bytes& file_;
};

// 200 patches, patch n named and filled after n, with a memo (which no data set carries).
CPatchArray NumberedPatches() {
    CPatchArray patches;
    patches.Resize(USER_PATCH_COUNT);
    for (std::size_t n = 0; n < patches.GetSize(); ++n) {
        patches[n].PatchBlock() = PatchBytes("NUMBER " + std::to_string(n), static_cast<int>(n));
        patches[n].SetMemo(1, "memo");
    }
    return patches;
}

}  // namespace

TEST(SyxReader, TakesPatchesInAnyChunkingInSlotOrderWithTheTemporaryPatchLast) {
    const Bytes five = PatchBytes("FIVE", 5);
    const Bytes seven = PatchBytes("SEVEN", 7);
    const Bytes temporary = PatchBytes("TEMP", 9);
    const Bytes last = PatchBytes("LAST", 11);
    // Slot order is not file order; one patch in one data set, one in 242-byte chunks, one in 1-byte data
    // sets, the temporary patch in 1000-byte ones.
    std::vector<Bytes> parts = Chunked(temporary, kTemporaryBase, 1000);
    for (const Bytes& b : Chunked(last, UserBase(199), 1))
        parts.push_back(b);
    for (const Bytes& b : Chunked(seven, UserBase(7), 242))
        parts.push_back(b);
    parts.push_back(HandSet(0, UserBase(5), five));

    ReadRig rig;
    ASSERT_TRUE(rig.Read(Join(parts)));
    EXPECT_EQ(rig.reader.Result(), SyxReadResult::Read);
    const std::vector<PatchSlot> slots{
        {AREA_USER_PATCH, 5}, {AREA_USER_PATCH, 7}, {AREA_USER_PATCH, 199}, {AREA_TEMPORARY_PATCH, 0}};
    EXPECT_EQ(rig.reader.Slots(), slots);
    ASSERT_EQ(rig.patches.GetSize(), 4u);
    EXPECT_EQ(ImageBytes(rig.patches[0]), five);
    EXPECT_EQ(ImageBytes(rig.patches[1]), seven);
    EXPECT_EQ(ImageBytes(rig.patches[2]), last);
    EXPECT_EQ(ImageBytes(rig.patches[3]), temporary);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(rig.patches[i].GetMemo(0), "") << i;  // data from the device carry no memos
    EXPECT_TRUE(rig.reported->texts.empty());
}

TEST(SyxReader, APatchMustBeCoveredWholeAndDataPastItsBlockAreDropped) {
    // Overlapping data sets in any order, one running past the end of the 2178-byte block.
    Bytes data = PatchBytes("COVERED", 2);
    const Bytes head(data.begin(), data.begin() + 1000);
    const Bytes middle(data.begin() + 900, data.begin() + 2170);
    Bytes tail(data.begin() + 2170, data.end());
    tail.resize(20, 0x44);
    ReadRig rig;
    ASSERT_TRUE(rig.Read(Join({HandSet(0, UserBase(3) + 2170, tail), HandSet(0, UserBase(3), head),
                               HandSet(0, UserBase(3) + 900, middle)})));
    ASSERT_EQ(rig.patches.GetSize(), 1u);
    EXPECT_EQ(ImageBytes(rig.patches[0]), data);
    EXPECT_EQ(rig.patches[0].GetMemo(0), "");
    EXPECT_EQ(rig.reader.Slots(), (std::vector<PatchSlot>{{AREA_USER_PATCH, 3}}));

    // One byte missing anywhere, in a user patch or the temporary patch, and nothing is read: the rest
    // would be initial data that a later Write sends to the processor.
    ReadRig gap;
    const Bytes whole = HandSet(0, UserBase(0), data);
    EXPECT_FALSE(gap.Read(Join({whole, HandSet(0, UserBase(9), head),
                                HandSet(0, UserBase(9) + 1001, Bytes(data.begin() + 1001, data.end()))})));
    EXPECT_EQ(gap.reader.Result(), SyxReadResult::Incomplete);
    EXPECT_EQ(gap.reported->texts,
              std::vector<std::string>{"This file does not hold all the data of patch U03-2."});
    ASSERT_EQ(gap.patches.GetSize(), 1u);
    EXPECT_EQ(gap.patches[0].GetName(), "BEFORE          ");

    ReadRig temporary;
    EXPECT_FALSE(
        temporary.Read(Join({whole, HandSet(0, kTemporaryBase + 1, Bytes(data.begin() + 1, data.end()))})));
    EXPECT_EQ(temporary.reported->texts,
              std::vector<std::string>{"This file does not hold all the data of patch Temporary."});
}

TEST(SyxReader, TakesEveryDeviceIdOrOnlyTheChosenOne) {
    const Bytes file = Join({WholeSet(0, UserBase(0), Bytes{1}), WholeSet(4, UserBase(1), Bytes{2}),
                             WholeSet(31, UserBase(2), Bytes{3}), WholeSet(0x7F, UserBase(3), Bytes{4})});
    ReadRig any;
    ASSERT_TRUE(any.Read(file));
    EXPECT_EQ(any.patches.GetSize(), 4u);

    ReadRig chosen;
    chosen.reader.SetDeviceId(4);
    ASSERT_TRUE(chosen.Read(file));
    ASSERT_EQ(chosen.patches.GetSize(), 1u);
    EXPECT_EQ(chosen.reader.Slots(), (std::vector<PatchSlot>{{AREA_USER_PATCH, 1}}));
    EXPECT_EQ(chosen.patches[0].GetImage()[0], 2);

    // A chosen id that no data set carries leaves no patch; so does a bad checksum of another id.
    ReadRig none;
    none.reader.SetDeviceId(5);
    Bytes otherBad = HandSet(6, UserBase(0), Bytes{1});
    otherBad[otherBad.size() - 2] ^= 1;
    otherBad.insert(otherBad.end(), file.begin(), file.end());
    EXPECT_FALSE(none.Read(otherBad));
    EXPECT_EQ(none.reader.Result(), SyxReadResult::NoPatch);
}

TEST(SyxReader, SkipsOtherMessagesBytesAndAddressesAsADeviceReadDoes) {
    Bytes file{0x90, 0x3C, 0x64, 0x12, 0xF7, 0xC0, 0x05};                  // a note, loose bytes, a stray F7
    const Bytes universal{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02,  // an identity reply
                          0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7};
    const Bytes otherMaker{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    Bytes request = HandSet(0, UserBase(9), Bytes{0, 0, 0x11, 0x02});
    request[6] = 0x11;  // a data request (its checksum covers the same bytes)
    Bytes otherModel = HandSet(0, UserBase(9), Bytes{1});
    otherModel[5] = 0x61;
    const Bytes noSlot = HandSet(0, UserBase(200), Bytes{1});  // user number 200
    const Bytes pastBlock = HandSet(0, UserBase(9) + PATCH_BLOCK_SIZE, Bytes{1});
    const Bytes pastTemporary = HandSet(0, kTemporaryBase + PATCH_BLOCK_SIZE, Bytes{1});
    const Bytes system = HandSet(0, 0x00000000, Bytes{1});
    for (const Bytes& part :
         {universal, otherMaker, request, otherModel, noSlot, pastBlock, pastTemporary, system})
        file.insert(file.end(), part.begin(), part.end());
    // Clock and active sensing inside the one data set that counts are left out, as on the wire.
    Bytes kept = WholeSet(0, UserBase(8), Bytes{0x21, 0x22});
    kept.insert(kept.begin() + 9, 0xF8);
    kept.insert(kept.begin() + 13, 0xFE);
    file.insert(file.end(), kept.begin(), kept.end());
    file.insert(file.end(), {0x01, 0x02});

    ReadRig rig;
    ASSERT_TRUE(rig.Read(file));
    EXPECT_EQ(rig.reader.Slots(), (std::vector<PatchSlot>{{AREA_USER_PATCH, 8}}));
    EXPECT_EQ(rig.patches[0].GetImage()[0], 0x21);
    EXPECT_EQ(rig.patches[0].GetImage()[1], 0x22);
}

TEST(SyxReader, FailuresSayWhyAndLeaveTheListAsItWas) {
    const Bytes good = HandSet(0, UserBase(0), Bytes(10, 1));
    Bytes badSum = HandSet(3, UserBase(1), Bytes(10, 1));
    badSum[badSum.size() - 2] ^= 0x40;
    Bytes cutByEnd(good.begin(), good.end() - 1);
    Bytes cutByStatus = good;
    cutByStatus.insert(cutByStatus.end() - 3, 0x90);
    Bytes cutByStart = good;
    cutByStart.insert(cutByStart.end() - 1, 0xF0);

    const struct {
        const char* what;
        Bytes file;
        SyxReadResult result;
        int message;
    } cases[] = {
        {"empty", {}, SyxReadResult::NoPatch, MSG_SYX_NO_PATCH},
        {"other messages only",
         {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7, 0x90, 0x40},
         SyxReadResult::NoPatch,
         MSG_SYX_NO_PATCH},
        {"no slot", HandSet(0, UserBase(300), Bytes{1}), SyxReadResult::NoPatch, MSG_SYX_NO_PATCH},
        {"bad checksum", Join({good, badSum}), SyxReadResult::BadChecksum, MSG_SYX_BAD_CHECKSUM},
        {"cut by the end", Join({good, cutByEnd}), SyxReadResult::Truncated, MSG_SYX_TRUNCATED},
        {"cut by a status byte", cutByStatus, SyxReadResult::Truncated, MSG_SYX_TRUNCATED},
        {"cut by another start", cutByStart, SyxReadResult::Truncated, MSG_SYX_TRUNCATED},
        {"lone start", Join({good, Bytes{0xF0}}), SyxReadResult::Truncated, MSG_SYX_TRUNCATED},
    };
    for (const auto& c : cases) {
        ReadRig rig;
        EXPECT_FALSE(rig.Read(c.file)) << c.what;
        EXPECT_EQ(rig.reader.Result(), c.result) << c.what;
        EXPECT_EQ(rig.reported->texts, std::vector<std::string>{Text(c.message)}) << c.what;
        ASSERT_EQ(rig.patches.GetSize(), 1u) << c.what;
        EXPECT_EQ(rig.patches[0].GetName(), "BEFORE          ") << c.what;
        EXPECT_TRUE(rig.reader.Slots().empty()) << c.what;
    }
}

TEST(SyxReader, ReadsFilesAndReportsThoseItCannotRead) {
    TempFolder folder;
    const Bytes file = WholeSet(2, UserBase(4), Bytes{0x33});
    WriteFileBytes(folder / "one.syx", file);
    ReadRig rig;
    ASSERT_TRUE(rig.reader.Read(folder / "one.syx", rig.patches));
    EXPECT_EQ(rig.reader.Slots(), (std::vector<PatchSlot>{{AREA_USER_PATCH, 4}}));

    for (const auto& path : {folder / "missing.syx", folder.Path()}) {
        ReadRig failing;
        EXPECT_FALSE(failing.reader.Read(path, failing.patches));
        EXPECT_EQ(failing.reader.Result(), SyxReadResult::CannotOpen);
        EXPECT_EQ(failing.reported->texts, std::vector<std::string>{Text(MSG_LOAD_FAILED)});
        EXPECT_EQ(failing.patches.GetSize(), 1u);
    }
}

TEST(SyxWriter, WritesTheDataSetsOfAWriteByteForByteAsTheSmfExportDoes) {
    const CPatchArray patches = NumberedPatches();
    const int numbers[] = {0, 199, 128};
    CSyxWriter writer;
    writer.SetProfile(Tq550DeviceIds(9));
    ASSERT_TRUE(writer.Build(patches, numbers, numbers));

    // Nine 255-byte data sets per patch, built here by hand, slot by slot.
    std::vector<Bytes> expected;
    for (int n : numbers)
        for (const Bytes& set :
             Chunked(ImageBytes(patches[static_cast<std::size_t>(n)]), UserBase(n), 242, 9))
            expected.push_back(set);
    ASSERT_EQ(expected.size(), 27u);
    EXPECT_EQ(expected[9][7], 0x11);  // slot 199 is 11 47 00 00
    EXPECT_EQ(expected[9][8], 0x47);
    EXPECT_EQ(writer.Bytes(), Join(expected));

    // The SMF export of the same slots holds the same data sets.
    TextOutHub hub;
    MidiEnvironment environment(hub);
    CWriter smf(environment);
    smf.SetProfile(Tq550DeviceIds(9));
    ASSERT_TRUE(smf.BuildSmf(AREA_USER_PATCH, numbers, patches));
    SysExCollector events(smf.FileBytes());
    ASSERT_TRUE(events.Parse());
    EXPECT_EQ(events.events, writer.Bytes());
}

TEST(SyxWriter, PlacesAListInConsecutiveSlotsOrInTheSlotsGivenAndReadsBackTheSame) {
    const CPatchArray patches = NumberedPatches();
    const int positions[] = {50, 3, 7};
    CSyxWriter writer;
    ASSERT_TRUE(writer.Build(patches, positions));
    ReadRig rig;
    ASSERT_TRUE(rig.Read(writer.Bytes()));
    EXPECT_EQ(rig.reader.Slots(),
              (std::vector<PatchSlot>{{AREA_USER_PATCH, 0}, {AREA_USER_PATCH, 1}, {AREA_USER_PATCH, 2}}));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(rig.patches[i].GetImage(), patches[static_cast<std::size_t>(positions[i])].GetImage()) << i;

    const int slots[] = {120, 4, 199};
    ASSERT_TRUE(writer.Build(patches, positions, slots));
    ASSERT_TRUE(rig.Read(writer.Bytes()));
    EXPECT_EQ(rig.reader.Slots(),
              (std::vector<PatchSlot>{{AREA_USER_PATCH, 4}, {AREA_USER_PATCH, 120}, {AREA_USER_PATCH, 199}}));
    EXPECT_EQ(rig.patches[0].GetImage(), patches[3].GetImage());
    EXPECT_EQ(rig.patches[1].GetImage(), patches[50].GetImage());
    EXPECT_EQ(rig.patches[2].GetImage(), patches[7].GetImage());

    // A short block is written padded with zeros, as a Write sends it.
    CPatchArray shortOne;
    shortOne.Resize(1);
    shortOne[0].PatchBlock().assign(20, 0x55);
    const int first[] = {0};
    ASSERT_TRUE(writer.Build(shortOne, first));
    ASSERT_TRUE(rig.Read(writer.Bytes()));
    Bytes padded(PATCH_BLOCK_SIZE, 0);
    std::fill_n(padded.begin(), 20, 0x55);
    EXPECT_EQ(ImageBytes(rig.patches[0]), padded);
}

TEST(SyxWriter, RefusesMoreThan200PatchesAndWrongSlotsWithoutTouchingTheFile) {
    TempFolder folder;
    const auto path = folder / "out.syx";
    WriteFileBytes(path, Bytes{1, 2, 3});
    TextOutHub hub;
    auto reported = std::make_shared<RecordingTextOut>();
    hub.SetTextOut(TextOutHub::kBufferSlot, reported);
    CSyxWriter writer(&hub);

    CPatchArray many;
    many.Resize(201);
    std::vector<int> all(201);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_FALSE(writer.Save(path, many, all));
    EXPECT_EQ(reported->texts, std::vector<std::string>{Text(MSG_SYX_TOO_MANY)});
    EXPECT_TRUE(writer.Bytes().empty());
    all.pop_back();
    EXPECT_TRUE(writer.Build(many, all));  // 200 fit
    EXPECT_EQ(writer.Bytes().size(), 200u * 9u * 255u);

    reported->texts.clear();
    CPatchArray one;
    one.Resize(1);
    const int position[] = {0};
    const int past[] = {200};
    const int negative[] = {-1};
    const int two[] = {0, 1};
    EXPECT_FALSE(writer.Save(path, one, position, past));
    EXPECT_FALSE(writer.Save(path, one, position, negative));
    EXPECT_FALSE(writer.Save(path, one, position, two));
    EXPECT_FALSE(writer.Save(path, one, past, position));  // the list holds no patch 200
    EXPECT_FALSE(writer.Save(folder.Path(), one, position));
    EXPECT_EQ(reported->texts, std::vector<std::string>(5, Text(MSG_SAVE_FAILED)));
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));

    ASSERT_TRUE(writer.Save(path, one, position));
    EXPECT_EQ(ReadFileBytes(path), writer.Bytes());
}

TEST(SyxThroughTheDevice, AFileSentToTheProcessorReadsBackAsTheReaderReadsItAndAWriteStoresTheSame) {
    TransferRig rig;
    const CPatchArray patches = NumberedPatches();
    const int positions[] = {10, 11};
    const int slots[] = {3, 150};
    CSyxWriter writer;
    ASSERT_TRUE(writer.Build(patches, positions, slots));

    // A SysEx tool sends the file to the processor, message by message.
    const Bytes& file = writer.Bytes();
    for (std::size_t at = 0; at < file.size(); at += 255) {
        CKivLongMessage message;
        ASSERT_TRUE(message.Assign(std::span<const std::uint8_t>(file).subspan(at, 255)));
        rig.environment.OutPort(0).SendLong(message);
    }
    rig.device.WaitIdle();

    ReadRig fromFile;
    ASSERT_TRUE(fromFile.Read(file));
    CPatchArray fromDevice = NumberedPatches();
    ASSERT_TRUE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, slots, fromDevice));
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t slot = static_cast<std::size_t>(slots[i]);
        EXPECT_EQ(fromDevice[slot].GetImage(), fromFile.patches[i].GetImage()) << i;
        EXPECT_EQ(fromDevice[slot].GetImage(), patches[static_cast<std::size_t>(positions[i])].GetImage())
            << i;
    }

    // A Write of the read patches to other slots stores what the file of those slots holds.
    const int again[] = {0, 1};
    ASSERT_TRUE(rig.writer.WritePatchesToDevice(rig.reader, AREA_USER_PATCH, again, fromFile.patches));
    rig.device.WaitIdle();
    ASSERT_TRUE(writer.Build(fromFile.patches, again, again));
    ReadRig written;
    ASSERT_TRUE(written.Read(writer.Bytes()));
    for (int n : again)
        EXPECT_EQ(rig.device.WithEmulator([&](CTq550Emulator& e) { return e.UserPatch(n); }),
                  written.patches[static_cast<std::size_t>(n)].GetImage())
            << n;
}
