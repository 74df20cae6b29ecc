// Library files whose lengths and counts lie: they must fail cleanly, read nothing outside the record and
// allocate nothing for what is not there.
#include <gtest/gtest.h>

#include <memory>

#include "../temp_folder.h"
#include "library_bytes.h"
#include "model/file_document.h"
#include "model_test_support.h"
#include "textout/text_out_hub.h"

namespace {
class HostileLibraryTest : public ReportingModelTest {
  protected:
    // Loads bytes as a file; returns the message reported, or "loaded" on success.
    std::string Load(const LibraryBytes& bytes, std::size_t* count = nullptr) {
        WriteFileBytes(folder_ / "hostile.tql", bytes.Get());
        CFileDocument document(&hub_);
        buffer_->FlushTo(nullptr);
        const bool ok = document.Load(folder_ / "hostile.tql");
        if (count) *count = document.Patches().GetSize();
        return ok ? "loaded" : Reported();
    }
};

const std::string kLoadFailed = "This file could not be loaded.";
}  // namespace

TEST_F(HostileLibraryTest, BodiesThatRunPastTheirLengthAreRejected) {
    // Block count far beyond what the body can hold.
    EXPECT_EQ(Load(LibraryBytes(1).U32(12).U32(0xFFFFFFFF).U32(4).Bytes(4, 0)), kLoadFailed);
    // Block length beyond the body, with more bytes following in the file.
    EXPECT_EQ(Load(LibraryBytes(1).U32(20).U32(1).U32(5000).Bytes(6000, 0)), kLoadFailed);
    // Memos without their zero inside the body although the next record has zeros.
    EXPECT_EQ(Load(LibraryBytes(2).U32(10).U32(1).U32(2).Bytes(2, 7).Text("ab").Record(10, 0)), kLoadFailed);
    // Only three of four memos.
    EXPECT_EQ(Load(LibraryBytes(1).U32(11).U32(1).U32(4).Bytes(4, 1).Bytes(3, 0)), kLoadFailed);
    // Body too short for its block count.
    EXPECT_EQ(Load(LibraryBytes(1).U32(2).Bytes(2, 0)), kLoadFailed);
}

TEST_F(HostileLibraryTest, LengthsAndCountsLargerThanTheFileFailWithoutAllocatingThem) {
    std::size_t count = 99;
    // A record claiming 4 GB in a file of a few bytes.
    EXPECT_EQ(Load(LibraryBytes(1).U32(0xFFFFFFF0).Bytes(100, 0), &count), kLoadFailed);
    EXPECT_EQ(count, 0u);
    // A header claiming four billion patches before one real record: the record read is not kept.
    EXPECT_EQ(Load(LibraryBytes(0xFFFFFFFF).Record(2178, 3), &count), "Cannot read files of this type.");
    EXPECT_EQ(count, 0u);
}

TEST_F(HostileLibraryTest, ABodyWithZeroBlocksOrTrailingBytesStillLoads) {
    std::size_t count = 0;
    // Zero blocks: the patch holds no data and shows zeros.
    EXPECT_EQ(Load(LibraryBytes(1).U32(8).U32(0).Bytes(4, 0), &count), "loaded");
    EXPECT_EQ(count, 1u);
    // Bytes after the fourth memo inside the body are ignored.
    EXPECT_EQ(Load(LibraryBytes(1).U32(15).U32(1).U32(3).Bytes(3, 9).Bytes(4, 0).Bytes(1, 0x55)), "loaded");
}
