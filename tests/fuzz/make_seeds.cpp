// Writes the seed corpora of the fuzz targets: small valid files made by the program's own writers, and
// broken variants of them.
//   fuzz_make_seeds DIR     (DIR is tests/fuzz/corpus; one folder per target)
//
// The seeds take the fuzzers straight to the deep paths: a full event ring, a System Exclusive message
// over 2048 bytes, the TQ-2 level above 1800 and the alternative target table.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <tuple>

#include "device/device_ids.h"
#include "device/message_builders.h"
#include "fuzz_support.h"
#include "import/tables/earlier_layout.h"
#include "model/data.h"
#include "model/document_header.h"
#include "model/file_document.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "smf/smf_write.h"
#include "support/earlier_dump_bytes.h"
#include "textout/text_out_hub.h"
#include "transfer/syx_writer.h"
#include "transfer/writer.h"

namespace fs = std::filesystem;

namespace {

fs::path root;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path folder = root / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "cannot write " << (folder / name) << "\n";
        std::exit(1);
    }
}

Bytes Cut(Bytes bytes, std::size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

// ---- library files ----

Bytes LibraryOf(const CPatchArray& patches) {
    CFileDocument document;
    document.Patches() = patches;
    std::ostringstream out;
    CDocumentHeader header;
    header.SetMagic();
    header.SetCount(static_cast<std::uint32_t>(patches.GetSize()));
    out.write(reinterpret_cast<const char*>(header.Bytes().data()), CDocumentHeader::kSize);
    document.WriteRecords(out);
    return AsBytes(out.str());
}

void LibrarySeeds() {
    CPatchArray patches;
    Write("library_file", "empty.tql", LibraryOf(patches));
    patches.Resize(1);
    const Bytes one = LibraryOf(patches);
    Write("library_file", "one.tql", one);
    Write("library_file", "one-cut.tql", Cut(one, one.size() - 7));
    Bytes lying = one;
    lying[35] = 3;  // the count claims three patches
    Write("library_file", "count-above-records.tql", lying);
    Bytes zero = one;
    std::fill(zero.begin() + 160, zero.begin() + 164, 0);  // record length 0
    Write("library_file", "zero-length.tql", zero);

    CPatchArray varied;
    varied.Resize(3);
    varied[0].SetName("MEMOS");
    varied[0].SetMemo(0, "caf\xe9 \x80\xff");
    varied[0].SetMemo(3, "fourth");
    varied[1].PatchBlock().assign(40, 0x41);  // a short block
    varied[2].Sections()[0].clear();          // no block at all
    Write("library_file", "varied.tql", LibraryOf(varied));
}

// ---- earlier librarian files ----

// An earlier librarian file of one patch holding image (TQ-MAX layout), with empty memos.
Bytes EarlierFileOf(const std::array<std::uint8_t, earlier::kImageSize>& image) {
    const std::string magic = "TQMLibrarianFile0000TQM         ";
    Bytes file(magic.begin(), magic.end());
    AppendU32(file, 1);
    file.resize(160, 0);
    Bytes body;
    for (int b = 0; b < earlier::kBlockCount; ++b) {
        const auto at = static_cast<std::size_t>(earlier::kBlockOffsets[static_cast<std::size_t>(b)]);
        const auto size = static_cast<std::size_t>(earlier::kBlockSizes[static_cast<std::size_t>(b)]);
        AppendU32(body, static_cast<std::uint32_t>(size));
        body.insert(body.end(), image.begin() + static_cast<std::ptrdiff_t>(at),
                    image.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    body.insert(body.end(), 4, 0);
    AppendU32(file, static_cast<std::uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes EarlierFile(const std::string& layout, const std::vector<std::vector<std::string>>& memos) {
    const std::string magic = "TQMLibrarianFile0000" + layout + "         ";
    Bytes file(magic.begin(), magic.end());
    AppendU32(file, static_cast<std::uint32_t>(memos.size()));
    file.resize(160, 0);
    for (std::size_t p = 0; p < memos.size(); ++p) {
        Bytes body;
        for (int b = 0; b < earlier::kBlockCount; ++b) {
            const auto size = static_cast<std::size_t>(earlier::kBlockSizes[static_cast<std::size_t>(b)]);
            AppendU32(body, static_cast<std::uint32_t>(size));
            for (std::size_t i = 0; i < size; ++i)
                body.push_back(static_cast<std::uint8_t>((i * 3 + p + static_cast<std::size_t>(b)) % 100));
        }
        for (const std::string& memo : memos[p]) {
            body.insert(body.end(), memo.begin(), memo.end());
            body.push_back(0);
        }
        AppendU32(file, static_cast<std::uint32_t>(body.size()));
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

void EarlierSeeds() {
    const Bytes tqMax = EarlierFile("TQM", {{"one", "", "caf\xe9", "4"}});
    Write("earlier_file", "tqmax-one.tqx", tqMax);
    Write("earlier_file", "tq4-two.tqx", EarlierFile("TQ4", {{"", "", "", ""}, {"a", "b", "c", "d"}}));
    Write("earlier_file", "empty.tqx", EarlierFile("TQM", {}));
    Write("earlier_file", "cut.tqx", Cut(tqMax, 600));

    // Assignments to the targets that set the special setting (139, and 365 and 211 with second type 24).
    std::array<std::uint8_t, earlier::kImageSize> image{};
    image[earlier::kSecondType] = 24;
    const int targets[] = {139, 365, 211, 20};
    for (std::size_t k = 0; k < std::size(targets); ++k) {
        const std::size_t block = earlier::kAssignments + earlier::kAssignmentSize * k;
        image[block + earlier::kAssignSwitch] = 1;
        image[block + earlier::kAssignTarget] = static_cast<std::uint8_t>(targets[k] >> 7);
        image[block + earlier::kAssignTarget + 1] = static_cast<std::uint8_t>(targets[k] & 0x7F);
        image[block + earlier::kAssignSource] = 1;
        image[block + 9] = 1;
    }
    Write("earlier_file", "assignment-settings.tqx", EarlierFileOf(image));
}

// ---- Standard MIDI Files ----

class MemorySmfWrite : public CKivSmfWrite {
  public:
    Bytes bytes;

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> data) override {
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return data.size();
    }
};

struct Export {
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CWriter writer{environment};

    // The file Export SMF writes for the listed patch numbers of area.
    Bytes Of(int area, std::vector<int> numbers, std::uint8_t deviceId = 0) {
        CPatchArray patches;
        patches.Resize(USER_PATCH_COUNT);
        for (std::size_t i = 0; i < patches.GetSize(); ++i) {
            patches[i].SetName("SEED " + std::to_string(i));
            Block& block = patches[i].PatchBlock();
            for (std::size_t b = 16; b < block.size(); ++b)
                block[b] = static_cast<std::uint8_t>((b * 5 + i) & 0x7F);
        }
        writer.SetProfile(Tq550DeviceIds(deviceId));
        writer.BuildSmf(area, numbers, patches);
        return writer.FileBytes();
    }
};

void SmfSeeds() {
    Export exporter;
    const Bytes patch0 = exporter.Of(AREA_USER_PATCH, {0});
    Write("smf_read", "export.mid", patch0);
    Write("smf_read", "export-cut.mid", Cut(patch0, 700));

    MemorySmfWrite empty;
    empty.BeginFile();
    empty.BeginTrack();
    empty.EndTrack(0);
    empty.FinishFile();
    Write("smf_read", "empty.mid", empty.bytes);

    // Two tracks of channel messages with running status, meta events, and F0 and F7 events.
    Bytes track1 = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo
                    0x00, 0x90, 0x3C, 0x64, 0x60, 0x3C, 0x00,  // note on, then running status
                    0x00, 0xC0, 0x05, 0x00, 0x06,              // program change, running status
                    0x81, 0x00, 0xE0, 0x00, 0x40,              // pitch bend after a two-byte delta
                    0x00, 0xFF, 0x2F, 0x00};
    Bytes track2 = {0x00, 0xF0, 0x05, 0x41, 0x10, 0x42, 0x12, 0xF7,  // System Exclusive
                    0x00, 0xF7, 0x02, 0x01, 0xF7,                    // a continuation event
                    0x00, 0xFF, 0x01, 0x02, 'h',  'i',               // text
                    0x00, 0xFF, 0x2F, 0x00};
    Bytes mixed = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96};
    for (const Bytes* track : {&track1, &track2}) {
        mixed.insert(mixed.end(), {'M', 'T', 'r', 'k'});
        AppendU32(mixed, static_cast<std::uint32_t>(track->size()));
        mixed.insert(mixed.end(), track->begin(), track->end());
    }
    Write("smf_read", "mixed.mid", mixed);

    Write("smf_patches", "export-0.mid", patch0);
    Write("smf_patches", "export-199-device-17.mid", exporter.Of(AREA_USER_PATCH, {199}, 16));
    Write("smf_patches", "temporary.mid", exporter.Of(AREA_TEMPORARY_PATCH, {0}));
    // One data set into the middle of patch 5, and one whose checksum is wrong.
    const CParameterAddress addresses;
    const PackedAddress middle = addresses.GetAddress(AREA_USER_PATCH, 5, BLOCK_PATCH, 0) + 1000;
    const Bytes values(20, 0x33);
    Bytes bad = MakeDataSetMessage(Tq550DeviceIds(), middle, values).Bytes();
    bad[bad.size() - 2] ^= 1;
    Write("smf_patches", "part.mid",
          SmfWithSysEx({MakeDataSetMessage(Tq550DeviceIds(), middle, values).Bytes(), bad}));
}

// ---- SysEx files ----

void SyxSeeds() {
    CPatchArray patches;
    patches.Resize(1);
    patches[0].SetName("SEED SYX");
    Block& block = patches[0].PatchBlock();
    for (std::size_t b = 16; b < block.size(); ++b)
        block[b] = static_cast<std::uint8_t>((b * 3) & 0x7F);
    CSyxWriter writer;
    const int first[] = {0};
    const int last[] = {199};
    writer.SetProfile(Tq550DeviceIds(5));
    writer.Build(patches, first, last);
    const Bytes written = writer.Bytes();
    Write("syx_file", "write-199-device-5.syx", written);
    Write("syx_file", "cut.syx", Cut(written, 600));
    Bytes bad = written;
    bad[253] ^= 1;  // the checksum of the first data set, before its F7
    Write("syx_file", "bad-checksum.syx", bad);

    // Odd chunks of two ids into patch 3 and the temporary patch, between other messages and loose bytes,
    // with a clock byte inside a data set and data past the end of a patch.
    const CParameterAddress addresses;
    const PackedAddress patch3 = addresses.GetAddress(AREA_USER_PATCH, 3, BLOCK_PATCH, 0);
    const PackedAddress temporary = addresses.GetAddress(AREA_TEMPORARY_PATCH, 0, BLOCK_PATCH, 0);
    Bytes mixed{0x90, 0x3C, 0x64, 0x12};
    const Bytes identity = MakeIdentityRequest(0).Bytes();
    mixed.insert(mixed.end(), identity.begin(), identity.end());
    for (const auto& [ids, address, count] :
         {std::tuple{Tq550DeviceIds(0), patch3, 300}, std::tuple{Tq550DeviceIds(31), patch3 + 2100, 100},
          std::tuple{Tq550DeviceIds(0), temporary + 10, 7}}) {
        Bytes set = MakeDataSetMessage(ids, address, Bytes(static_cast<std::size_t>(count), 0x2A)).Bytes();
        if (count == 7) set.insert(set.begin() + 12, 0xF8);
        mixed.insert(mixed.end(), set.begin(), set.end());
    }
    const Bytes request = MakeRequestMessage(Tq550DeviceIds(), patch3, PATCH_BLOCK_SIZE).Bytes();
    mixed.insert(mixed.end(), request.begin(), request.end());
    Write("syx_file", "mixed.syx", mixed);
}

// ---- TQ-4/TQ-MAX dumps ----

Bytes Name(const std::string& text) {
    Bytes name(text.begin(), text.end());
    name.resize(16, ' ');
    return name;
}

void Tq4Seeds() {
    Write("tq4_dump", "two-patches.mid",
          SmfWithSysEx({Tq4Set(5, 2304, Name("FIVE~")), Tq4Set(2, 2304, Name("TWO\x7F")),
                        Tq4Set(5, 0, Bytes(130, 3)), Tq4Set(5, 4096, Bytes(17, 9)),
                        Tq4Set(300, 0, Bytes(4, 1)), Tq4Set(7, 0, Bytes(4, 1), 0x10)}));
    // Every block of patch 200, at the first offset of each row of the block table.
    std::vector<Bytes> blocks;
    for (int offset : {0,    256,  384,  512,  640,  768,  896,  1024, 1152, 1408, 1536, 1664, 1792,
                       1920, 2048, 2176, 2304, 2432, 2560, 2688, 2816, 3840, 4096, 5632, 5760})
        blocks.push_back(Tq4Set(200, offset, Bytes(20, static_cast<std::uint8_t>(offset % 100))));
    Write("tq4_dump", "every-block.mid", SmfWithSysEx(blocks));
}

// ---- TQ-2 dumps ----

Bytes Tq2Set(int number, int block, int column, const Bytes& values) {
    Bytes message{0xF0,
                  0x41,
                  0x10,
                  0x00,
                  0x46,
                  0x12,
                  static_cast<std::uint8_t>(6 + number / 128),
                  static_cast<std::uint8_t>(number % 128),
                  static_cast<std::uint8_t>(block),
                  static_cast<std::uint8_t>(column)};
    message.insert(message.end(), values.begin(), values.end());
    message.push_back(0x00);
    message.push_back(0xF7);
    return message;
}

void Tq2Seeds() {
    Write("tq2_dump", "names.mid",
          SmfWithSysEx({Tq2Set(9, 11, 0, Name("NINE")), Tq2Set(4, 11, 0, Name("FOUR\x7E\x7F")),
                        Tq2Set(139, 0, 0, {1, 3, 2, 50})}));
    // A level above 1800 (220 = 95 gives 95 + 1710) switches off an assignment to target 201.
    Write("tq2_dump", "level-over-1800.mid",
          SmfWithSysEx({Tq2Set(0, 6, 3, {95, 10}), Tq2Set(0, 15, 0, {1, 0, 1, 73, 0, 10, 0, 127, 3}),
                        Tq2Set(1, 6, 3, {10, 50}), Tq2Set(1, 16, 0, {1, 0, 1, 73, 0, 10, 0, 127, 3})}));
    // Mode 1 with B8 above B12 takes targets 43 to 50 through the alternative table.
    Write("tq2_dump", "alternative-targets.mid",
          SmfWithSysEx({Tq2Set(0, 0, 0, {0}),
                        Tq2Set(0, 1, 0, {1, 0, 1, 0, 0, 0, 11, 12, 30, 13, 14, 0, 20, 15}),
                        Tq2Set(0, 15, 0, {1, 0, 0, 45, 0, 0, 0, 50, 7}),
                        Tq2Set(0, 16, 0, {1, 0, 0, 50, 0, 0, 0, 50, 70})}));
    // Every block once, with values at and above the maxima.
    std::vector<Bytes> blocks;
    for (int block = 0; block < 23; ++block)
        blocks.push_back(Tq2Set(2, block, 0, Bytes(12, static_cast<std::uint8_t>(block * 5 + 17))));
    blocks.push_back(Tq2Set(3, 0, 0, {1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9}));
    blocks.push_back(Tq2Set(3, 2, 0, {1, 0, 17, 5, 0, 0, 6}));
    blocks.push_back(Tq2Set(3, 5, 8, {1, 6}));
    Write("tq2_dump", "every-block.mid", SmfWithSysEx(blocks));
    // The last event states more than 511 bytes and is cut by the end of the file.
    Bytes cut = SmfWithSysEx({Tq2Set(5, 11, 0, Name("KEPT"))});
    cut.resize(cut.size() - 4);
    const Bytes set = Tq2Set(6, 11, 0, Name("CUT"));
    cut.insert(cut.end(), {0x00, 0xF0});
    AppendVariableLength(cut, 600);
    cut.insert(cut.end(), set.begin() + 1, set.end());
    Write("tq2_dump", "stated-long-cut.mid", cut);
}

// ---- System Exclusive messages ----

void MessageSeeds() {
    const DeviceIds ids = Tq550DeviceIds();
    Write("marlin_message", "data-set.syx", MakeDataSetMessage(ids, 0x02000000, Bytes{1, 2, 3}).Bytes());
    Write("marlin_message", "data-set-device-5.syx",
          MakeDataSetMessage(Tq550DeviceIds(5), 0x02000000, Bytes(242, 0x11)).Bytes());
    Write("marlin_message", "request.syx", MakeRequestMessage(ids, 0x02000000, 2178).Bytes());
    Write("marlin_message", "identity-request.syx", MakeIdentityRequest(0).Bytes());
    Write("marlin_message", "identity-reply.syx",
          {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7});
    Write("marlin_message", "identity-reply-other-model.syx",
          {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x61, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7});
    Write("marlin_message", "long-model-id.syx",
          {0xF0, 0x41, 0x00, 0x00, 0x00, 0x00, 0x60, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7});
    Write("marlin_message", "no-address.syx", {0xF0, 0x41, 0x7F, 0x42, 0x12, 0xF7});
}

// ---- MIDI input ----

void Append(Bytes& out, const Bytes& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void MidiInputSeeds() {
    const Bytes dataSet = MakeDataSetMessage(Tq550DeviceIds(), 0x02000000, Bytes(30, 0x22)).Bytes();
    const Bytes reply = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02,
                         0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7};

    // A MIDI byte stream (mode 0, device id 00H).
    Bytes stream{0x00};
    Append(stream, dataSet);
    Append(stream, {0xF8, 0x90, 0x3C, 0x64, 0xC0, 0x05, 0xFE, 0x3C, 0x40, 0xF7, 0xF2, 0x01, 0x02});
    Append(stream, reply);
    Append(stream, MakeIdentityRequest(0).Bytes());
    Append(stream, MakeRequestMessage(Tq550DeviceIds(), 0x02000000, 2178).Bytes());
    Write("midi_input", "stream.bin", stream);

    // Device id 5 (mode 5 << 1) and one of its data sets.
    Bytes device5{5 << 1};
    Append(device5, MakeDataSetMessage(Tq550DeviceIds(5), 0x02004000, Bytes(8, 0x01)).Bytes());
    Append(device5, dataSet);
    Write("midi_input", "device-5.bin", device5);

    // More one-byte events than the event ring holds.
    Bytes clocks{0x00};
    clocks.insert(clocks.end(), 2100, 0xF8);
    Append(clocks, dataSet);
    Write("midi_input", "full-event-ring.bin", clocks);

    // More System Exclusive messages than there are packets.
    Bytes packets{0x00};
    for (int i = 0; i < 130; ++i)
        Append(packets, {0xF0, 0x7E, 0x00, 0x09, 0x01, 0xF7});
    Write("midi_input", "full-packet-ring.bin", packets);

    // A System Exclusive message over 2048 bytes between two that fit.
    Bytes longMessage{0x00};
    Append(longMessage, dataSet);
    longMessage.push_back(0xF0);
    longMessage.insert(longMessage.end(), 2100, 0x41);
    longMessage.push_back(0xF7);
    Append(longMessage, dataSet);
    Write("midi_input", "long-sysex.bin", longMessage);

    // Chunks of any bytes (mode 1): a data set with a byte above 7FH, nothing, a lone F0, F8 with data; then
    // the driver events "port opened" (FFFDH = -3) and "buffer came back" (FFFEH = -2) between data sets.
    Bytes chunks{0x01};
    Bytes broken = dataSet;
    broken[10] = 0x80;
    for (const Bytes& chunk : {broken, Bytes{}, Bytes{0xF0}, Bytes{0xF8, 0x01, 0x02}, dataSet}) {
        chunks.push_back(static_cast<std::uint8_t>(chunk.size() >> 8));
        chunks.push_back(static_cast<std::uint8_t>(chunk.size()));
        Append(chunks, chunk);
    }
    Append(chunks, {0xFF, 0xFD, 0xFF, 0xFE});
    chunks.push_back(static_cast<std::uint8_t>(dataSet.size() >> 8));
    chunks.push_back(static_cast<std::uint8_t>(dataSet.size()));
    Append(chunks, dataSet);
    Write("midi_input", "chunks.bin", chunks);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds DIR\n";
        return 2;
    }
    root = argv[1];
    LibrarySeeds();
    EarlierSeeds();
    SmfSeeds();
    SyxSeeds();
    Tq4Seeds();
    Tq2Seeds();
    MessageSeeds();
    MidiInputSeeds();
    return 0;
}
