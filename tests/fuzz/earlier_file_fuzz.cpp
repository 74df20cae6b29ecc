// Earlier librarian files (.tqx, TQ-MAX and TQ-4 layouts): TQML::CFileDocument::ReadHeader on any bytes,
// then the conversion of what it read into TQ-550 patches.
//
// A read that fails reports one message and leaves the earlier patches as they were. A read that succeeds
// reports nothing; its patches, written again as a TQ-MAX file, read back unchanged; and their TQ-550
// conversions keep the memos and survive a library round trip.

#include <memory>
#include <sstream>

#include "import/convert_earlier_patches.h"
#include "import/file_document.h"
#include "import/tables/earlier_layout.h"
#include "library_support.h"
#include "textout/text_out_hub.h"

namespace {

class CCountingText : public CKivTextOut {
  public:
    int count = 0;

  protected:
    void Output(const std::string&) override { ++count; }
};

// An earlier librarian file in the TQ-MAX layout holding patches.
Bytes EarlierFileOf(const TQML::CPatchArray& patches) {
    const std::string magic = "TQMLibrarianFile0000TQM         ";
    Bytes file(magic.begin(), magic.end());
    AppendU32(file, static_cast<std::uint32_t>(patches.GetSize()));
    file.resize(160, 0);
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        Bytes body;
        for (int b = 0; b < earlier::kBlockCount; ++b) {
            const auto block = patches[i].Block(b);
            AppendU32(body, static_cast<std::uint32_t>(block.size()));
            body.insert(body.end(), block.begin(), block.end());
        }
        for (int m = 0; m < TQML::CParameter::kMemoCount; ++m) {
            const std::string& memo = patches[i].GetMemo(m);
            body.insert(body.end(), memo.begin(), memo.end());
            body.push_back(0);
        }
        AppendU32(file, static_cast<std::uint32_t>(body.size()));
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

bool SameEarlierPatches(const TQML::CPatchArray& a, const TQML::CPatchArray& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (std::size_t i = 0; i < a.GetSize(); ++i) {
        if (a[i].GetImageBytes() != b[i].GetImageBytes()) return false;
        for (int m = 0; m < TQML::CParameter::kMemoCount; ++m)
            if (a[i].GetMemo(m) != b[i].GetMemo(m)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    auto text = std::make_shared<CCountingText>();
    TextOutHub hub;
    hub.SetTextOut(TextOutHub::kBufferSlot, text);

    TQML::CFileDocument document(&hub);
    document.Patches().Resize(1);
    document.Patches()[0].SetName("BEFORE");
    document.Patches()[0].SetMemo(1, "kept");
    const TQML::CPatch before = document.Patches()[0];

    std::istringstream stream(AsString(bytes));
    bool isTq4 = false;
    if (!document.ReadHeader(stream, isTq4)) {
        FUZZ_CHECK(text->count == 1);
        FUZZ_CHECK(document.Patches().GetSize() == 1);
        FUZZ_CHECK(document.Patches()[0].GetImageBytes() == before.GetImageBytes());
        FUZZ_CHECK(document.Patches()[0].GetMemo(1) == "kept");
        return 0;
    }
    FUZZ_CHECK(text->count == 0);
    const TQML::CPatchArray& read = document.Patches();

    // Written again (in the TQ-MAX layout, which a TQ-4 file was turned into), the patches read back as
    // they are.
    const Bytes again = EarlierFileOf(read);
    std::istringstream againStream(AsString(again));
    TQML::CFileDocument reread(&hub);
    bool rereadTq4 = true;
    FUZZ_CHECK(reread.ReadHeader(againStream, rereadTq4));
    FUZZ_CHECK(!rereadTq4);
    FUZZ_CHECK(SameEarlierPatches(reread.Patches(), read));

    // The conversion makes one whole TQ-550 patch per earlier patch and keeps its memos.
    CPatchArray converted;
    ConvertEarlierPatches(read, converted);
    FUZZ_CHECK(converted.GetSize() == read.GetSize());
    for (std::size_t i = 0; i < converted.GetSize(); ++i) {
        FUZZ_CHECK(converted[i].PatchBlock().size() == static_cast<std::size_t>(PATCH_BLOCK_SIZE));
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            FUZZ_CHECK(converted[i].GetMemo(m) == read[i].GetMemo(m));
    }
    CheckLibraryRoundTrip(converted);
    return 0;
}
