// Patches loaded from a library file share the bytes that were read instead of copying them. They must
// behave as patches with bytes of their own, whatever becomes of the stream, the document and their copies.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "library_bytes.h"
#include "model/file_document.h"
#include "model_test_support.h"
#include "support/pipe_stream.h"

namespace {
class LoadedPatchTest : public ReportingModelTest {
  protected:
    // The bytes of a library file of patches, as Save writes them.
    std::string FileOf(const CPatchArray& patches) {
        CFileDocument document;
        document.Patches() = patches;
        EXPECT_TRUE(document.Save(folder_ / "saved.tql"));
        const auto bytes = ReadFileBytes(folder_ / "saved.tql");
        return std::string(bytes.begin(), bytes.end());
    }

    // What loading bytes from stream gives: the patches' file bytes, or the message reported.
    std::string LoadFrom(std::istream& stream) {
        buffer_->FlushTo(nullptr);
        CFileDocument document(&hub_);
        return document.Load(stream) ? FileOf(document.Patches()) : Reported();
    }
};

void ExpectSamePatch(const CPatch& actual, const CPatch& expected) {
    // The memos as views first, while a loaded patch still shares its bytes.
    const std::array<std::string_view, CParameter::kMemoCount> views = actual.MemoViews();
    for (int m = 0; m < CParameter::kMemoCount; ++m)
        EXPECT_EQ(views[static_cast<std::size_t>(m)], expected.GetMemo(m)) << "memo " << m;
    EXPECT_EQ(actual.GetName(), expected.GetName());
    EXPECT_EQ(actual.Sections(), expected.Sections());
    for (int m = 0; m < CParameter::kMemoCount; ++m)
        EXPECT_EQ(actual.GetMemo(m), expected.GetMemo(m)) << "memo " << m;
}
}  // namespace

TEST_F(LoadedPatchTest, CopiesKeepTheirContentAfterTheStreamAndTheDocumentAreGone) {
    const CPatchArray original = MakeList({"FIRST", "SECOND", "THIRD"});
    CPatchArray clipboard;
    CPatchArray list;
    std::unique_ptr<CPatch> clone;
    CPatch assigned;
    {
        CFileDocument document;
        {
            std::istringstream stream(FileOf(original));
            ASSERT_TRUE(document.Load(stream));
        }
        const int selection[] = {2, 0};
        document.Patches().CopySelection(selection, clipboard);
        list = document.Patches();
        clone = document.Patches()[1].ClonePatch();
        assigned.Assign(document.Patches()[1]);
    }
    ExpectSamePatch(clipboard[0], original[2]);
    ExpectSamePatch(clipboard[1], original[0]);
    ASSERT_EQ(list.GetSize(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        ExpectSamePatch(list[i], original[i]);
    ExpectSamePatch(*clone, original[1]);
    ExpectSamePatch(assigned, original[1]);
}

TEST_F(LoadedPatchTest, ChangingALoadedPatchOrACopyOfItLeavesTheOtherAsItWas) {
    const CPatchArray original = MakeList({"FIRST", "SECOND", "THIRD"});
    const std::string file = FileOf(original);
    CFileDocument document;
    CPatchArray& loaded = document.Patches();
    std::istringstream stream(file);
    ASSERT_TRUE(document.Load(stream));

    // Each change is the first touch of its patch.
    CPatchArray copy = loaded;
    copy[0].SetMemo(1, "changed");
    copy[0].PatchBlock()[20] = 0x55;
    copy[1].SetName("RENAMED");
    copy[2].SetFlatData(std::vector<std::uint8_t>(40, 0x11));
    EXPECT_EQ(copy[0].GetMemo(1), "changed");
    EXPECT_EQ(copy[0].GetMemo(0), original[0].GetMemo(0));
    EXPECT_EQ(copy[0].PatchBlock()[20], 0x55);
    EXPECT_EQ(copy[1].GetName(), "RENAMED         ");
    EXPECT_EQ(copy[2].GetImage()[39], 0x11);
    EXPECT_EQ(copy[2].GetImage()[40], original[2].GetImage()[40]);
    for (std::size_t i = 0; i < 3; ++i)
        ExpectSamePatch(loaded[i], original[i]);

    std::istringstream again(file);
    ASSERT_TRUE(document.Load(again));
    copy = loaded;
    loaded[0].ClearMemos();
    loaded[1].PatchBlock().resize(100);
    loaded[2].Initialize();
    EXPECT_EQ(loaded[0].GetMemo(3), "");
    EXPECT_EQ(loaded[0].Sections(), original[0].Sections());
    EXPECT_EQ(loaded[1].GetName(), original[1].GetName());
    EXPECT_EQ(loaded[1].GetSerializedSize(), original[1].GetSerializedSize() - 2078);
    EXPECT_EQ(loaded[2].GetName(), "INIT PATCH      ");
    EXPECT_EQ(loaded[2].GetMemo(0), "");
    for (std::size_t i = 0; i < 3; ++i)
        ExpectSamePatch(copy[i], original[i]);

    // The undo copy taken before a change gives the loaded patch back.
    std::istringstream third(file);
    ASSERT_TRUE(document.Load(third));
    document.TakeUndoCopy(UndoMode::Offered);
    loaded[1].PatchBlock()[30] = 0x66;
    document.Undo();
    ExpectSamePatch(loaded[1], original[1]);
}

TEST_F(LoadedPatchTest, AnUntouchedLoadedLibrarySavesItsRecordsWithoutTheirTrailingBytes) {
    // Two blocks; no block at all; bytes after the fourth memo; a short block with memos.
    LibraryBytes file(4);
    file.U32(4 + 4 + 3 + 4 + 2 + 4).U32(2).U32(3).Text("ABC").U32(2).Text("DE").Bytes(4, 0);
    file.U32(4 + 4).U32(0).Bytes(4, 0);
    file.U32(4 + 4 + 5 + 4 + 3).U32(1).U32(5).Text("NAMED").Bytes(4, 0).Text("xyz");
    file.Record(20, 0x41, "memo");
    LibraryBytes canonical(4);
    canonical.U32(4 + 4 + 3 + 4 + 2 + 4).U32(2).U32(3).Text("ABC").U32(2).Text("DE").Bytes(4, 0);
    canonical.U32(4 + 4).U32(0).Bytes(4, 0);
    canonical.U32(4 + 4 + 5 + 4).U32(1).U32(5).Text("NAMED").Bytes(4, 0);
    canonical.Record(20, 0x41, "memo");
    WriteFileBytes(folder_ / "odd.tql", file.Get());

    CFileDocument loaded;
    ASSERT_TRUE(loaded.Load(folder_ / "odd.tql"));
    const CPatchArray& patches = loaded.Patches();
    EXPECT_EQ(patches[0].GetName(), std::string("ABC") + std::string(13, '\0'));
    EXPECT_EQ(patches[1].GetName(), std::string(16, '\0'));
    EXPECT_EQ(patches[2].GetImage()[4], 'D');
    EXPECT_EQ(patches[2].GetImage()[5], 0);
    EXPECT_EQ(patches[3].GetSerializedSize(), 4 + 4 + 20 + 4 * 5u);
    ASSERT_TRUE(loaded.Save(folder_ / "again.tql"));
    EXPECT_EQ(ReadFileBytes(folder_ / "again.tql"), canonical.Get());

    // Once unpacked, the patches answer and save the same.
    EXPECT_EQ(patches[0].Sections()[0].size(), 2u);
    EXPECT_EQ(patches[2].GetMemo(0), "");
    EXPECT_EQ(patches[3].GetMemo(3), "memo");
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        EXPECT_EQ(patches[i].Sections().size(), 1u);
    EXPECT_EQ(patches[0].GetName(), std::string("ABC") + std::string(13, '\0'));
    EXPECT_EQ(patches[3].GetSerializedSize(), 4 + 4 + 20 + 4 * 5u);
    ASSERT_TRUE(loaded.Save(folder_ / "unpacked.tql"));
    EXPECT_EQ(ReadFileBytes(folder_ / "unpacked.tql"), canonical.Get());
}

TEST_F(LoadedPatchTest, AStreamThatCannotSeekLoadsAsAFileDoes) {
    // Enough records, and one large block, to be read in several steps.
    CPatchArray many = MakeList(std::vector<std::string>(200, "MANY"));
    many[7].PatchBlock().assign(600000, 0x5A);
    many[7].SetMemo(2, "after the large block");
    const std::string good = FileOf(many);
    const std::string cutInBlock = good.substr(0, 160 + 7 * 2300 + 300000);
    const std::string cutInLength = good.substr(0, good.size() - many[199].GetSerializedSize() - 2);
    std::string moreCounted = good;
    moreCounted[35] = static_cast<char>(201);  // the count says 201 of the 200 records

    for (const std::string& bytes : {good, cutInBlock, cutInLength, moreCounted}) {
        std::istringstream file(bytes);
        PipeStream pipe(bytes);
        EXPECT_EQ(LoadFrom(pipe), LoadFrom(file));
    }
    std::istringstream file(good);
    EXPECT_EQ(LoadFrom(file), good);
    std::istringstream cut(cutInBlock);
    EXPECT_EQ(LoadFrom(cut), "This file could not be loaded.");
    std::istringstream shortLength(cutInLength);
    EXPECT_EQ(LoadFrom(shortLength), "Cannot read files of this type.");
    std::istringstream counted(moreCounted);
    EXPECT_EQ(LoadFrom(counted), "Cannot read files of this type.");
}

TEST_F(LoadedPatchTest, ShareRecordRefusesBodiesOutsideItsBytesOrMalformedAndKeepsThePatch) {
    LibraryBytes body(0);
    body.U32(1).U32(3).Text("XYZ").Text("a").Bytes(1, 0).Bytes(3, 0);
    const auto store = std::make_shared<const std::vector<std::uint8_t>>(body.Get());
    const std::size_t at = 160;
    const std::size_t length = store->size() - at;

    const auto keep = MakePatch("KEEP");
    CPatch patch(*keep);
    EXPECT_FALSE(patch.ShareRecord(nullptr, 0, 0));
    EXPECT_FALSE(patch.ShareRecord(store, at + 1, length));
    EXPECT_FALSE(patch.ShareRecord(store, store->size() + 1, 0));
    EXPECT_FALSE(patch.ShareRecord(store, at, length - 1));  // the last memo's zero left out
    ExpectSamePatch(patch, *keep);

    ASSERT_TRUE(patch.ShareRecord(store, at, length));
    EXPECT_EQ(patch.GetName(), std::string("XYZ") + std::string(13, '\0'));
    EXPECT_EQ(patch.GetMemo(0), "a");
    EXPECT_EQ(patch.Sections(), std::vector<Section>({{Block{'X', 'Y', 'Z'}}}));
}
