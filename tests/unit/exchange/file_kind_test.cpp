#include "exchange/file_kind.h"

#include <gtest/gtest.h>

#include "support/earlier_dump_bytes.h"
#include "temp_folder.h"

namespace {
Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A TQ-550 data set (F0 41 device 00 00 60 12 address data checksum F7) for user patch 0.
Bytes Tq550Set() {
    return {0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, 0x10, 0x00, 0x00, 0x00, 0x41, 0x2F, 0xF7};
}

// A TQ-2 data set: F0 41 device 00 46 12 address data checksum F7.
Bytes Tq2Set() {
    return {0xF0, 0x41, 0x00, 0x00, 0x46, 0x12, 0x0C, 0x00, 0x00, 0x00, 0x01, 0x73, 0xF7};
}
}  // namespace

TEST(FileKind, ContentNamesTheKindBeforeTheFileName) {
    const Bytes library = Text("TQLLibrarianFile0001            ");
    const Bytes earlier = Text("TQMLibrarianFile0000TQ4         ");
    EXPECT_EQ(RecognizeContent(library), FileKind::Library);
    EXPECT_EQ(RecognizeContent(earlier), FileKind::EarlierLibrary);
    // A Standard MIDI File is told by the model of most of its data sets; without any it is smf.
    EXPECT_EQ(RecognizeContent(SmfWithSysEx({Tq550Set()})), FileKind::Smf);
    EXPECT_EQ(RecognizeContent(SmfWithSysEx({Tq4Set(0, 0, {1}), Tq4Set(1, 0, {2}), Tq550Set()})),
              FileKind::Tq4Dump);
    EXPECT_EQ(RecognizeContent(SmfWithSysEx({Tq2Set()})), FileKind::Tq2Dump);
    EXPECT_EQ(RecognizeContent(SmfWithSysEx({})), FileKind::Smf);
    EXPECT_EQ(RecognizeContent(Tq550Set()), FileKind::Syx);
    EXPECT_EQ(RecognizeContent(Text("PK\3\4 a zip file")), std::nullopt);
    EXPECT_EQ(RecognizeContent({}), std::nullopt);

    EXPECT_EQ(RecognizeExtension("a/B.TQL"), FileKind::Library);
    EXPECT_EQ(RecognizeExtension("b.Midi"), FileKind::Smf);
    EXPECT_EQ(RecognizeExtension("c.syx"), FileKind::Syx);
    EXPECT_EQ(RecognizeExtension("d.tqx"), FileKind::EarlierLibrary);
    EXPECT_EQ(RecognizeExtension("e.txt"), std::nullopt);

    TempFolder folder;
    WriteFileBytes(folder / "dump.bin", SmfWithSysEx({Tq4Set(3, 0, {1})}));
    WriteFileBytes(folder / "really a library.mid", library);
    WriteFileBytes(folder / "broken.tql", Text("garbage"));
    WriteFileBytes(folder / "notes.txt", Text("garbage"));
    EXPECT_EQ(RecognizeFile(folder / "dump.bin"), FileKind::Tq4Dump);
    EXPECT_EQ(RecognizeFile(folder / "really a library.mid"), FileKind::Library);
    EXPECT_EQ(RecognizeFile(folder / "broken.tql"), FileKind::Library);
    EXPECT_EQ(RecognizeFile(folder / "notes.txt"), std::nullopt);
    EXPECT_EQ(RecognizeFile(folder / "missing.syx"), FileKind::Syx);
    EXPECT_EQ(RecognizeFile(folder / "missing.txt"), std::nullopt);
}
