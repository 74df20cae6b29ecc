// Library files (.tql): CFileDocument::Load and ReadRecords on any bytes.
//
// A load that fails reports one message and leaves the document's patches as they were; a load that
// succeeds reports nothing, and its patches save and load back unchanged.

#include <memory>
#include <sstream>

#include "library_support.h"
#include "support/pipe_stream.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {

// What the document holds before each load: two patches a load must not touch when it fails.
CPatchArray MakeBefore() {
    CPatchArray patches;
    patches.Resize(2);
    patches[0].SetName("BEFORE ONE");
    patches[0].SetMemo(2, "memo \x80\xff");
    patches[1].PatchBlock().assign(10, 0x55);
    return patches;
}

// Counts the messages reported and keeps the last.
class CCountingText : public CKivTextOut {
  public:
    int count = 0;
    std::string last;

  protected:
    void Output(const std::string& text) override {
        ++count;
        last = text;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CPatchArray before = MakeBefore();
    static const std::string loadFailed = GetMessageCatalog().Text(MSG_LOAD_FAILED);
    static const std::string unknownType = GetMessageCatalog().Text(MSG_UNKNOWN_FILE_TYPE);
    const std::span<const std::uint8_t> bytes(data, size);

    auto text = std::make_shared<CCountingText>();
    TextOutHub hub;
    hub.SetTextOut(TextOutHub::kBufferSlot, text);
    CFileDocument document(&hub);
    document.Patches() = before;
    std::istringstream stream(AsString(bytes));
    const bool loaded = document.Load(stream);

    if (!loaded) {
        FUZZ_CHECK(SamePatches(document.Patches(), before));
        FUZZ_CHECK(text->count == 1);
        FUZZ_CHECK(text->last.rfind(loadFailed, 0) == 0 || text->last.rfind(unknownType, 0) == 0);
        return 0;
    }
    FUZZ_CHECK(text->count == 0);
    // Every record was a whole record: the file holds at least 12 bytes per patch after the header (the
    // length, a block count of 0 and four empty memos).
    FUZZ_CHECK(size >= CDocumentHeader::kSize + 12 * document.Patches().GetSize());
    for (std::size_t i = 0; i < document.Patches().GetSize(); ++i) {
        const CPatch& patch = document.Patches()[i];
        FUZZ_CHECK(patch.Sections().size() == 1);
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            FUZZ_CHECK(patch.GetMemo(m).find('\0') == std::string::npos);
    }
    CheckLibraryRoundTrip(document.Patches());

    // Loading the same bytes into a document that held nothing, from a stream that cannot tell its length
    // and so is read record by record, gives the same patches.
    PipeStream again(AsString(bytes));
    CFileDocument fresh;
    FUZZ_CHECK(fresh.Load(again));
    FUZZ_CHECK(SamePatches(fresh.Patches(), document.Patches()));
    return 0;
}
