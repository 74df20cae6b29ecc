// TQ-2 bulk dumps: CTQ2Importer::ImportBytes (the decoder's walk, the finishing of each patch and the
// conversion into TQ-550 patches) on any bytes.
//
// An import succeeds exactly when it decoded a patch; it gives at most 140 whole patches with empty memos;
// the same bytes decode to the same patches again (nothing is kept from one walk to the next); a buffer
// with room for fewer patches keeps the first ones met; and the result survives a library round trip.

#include <algorithm>
#include <vector>

#include "import/tq2_dump_decoder.h"
#include "import/tq2_importer.h"
#include "library_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CTQ2Importer importer(nullptr);
    const std::span<const std::uint8_t> bytes(data, size);

    const bool imported = importer.ImportBytes(bytes);
    const CPatchArray first = importer.GetDestination().Patches();
    FUZZ_CHECK(imported == !first.IsEmpty());
    FUZZ_CHECK(first.GetSize() <= static_cast<std::size_t>(Tq2DumpDecoder::kPatchCount));
    for (std::size_t i = 0; i < first.GetSize(); ++i) {
        FUZZ_CHECK(first[i].PatchBlockIfAny() &&
                   first[i].PatchBlockIfAny()->size() == static_cast<std::size_t>(PATCH_BLOCK_SIZE));
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            FUZZ_CHECK(first[i].GetMemo(m).empty());
    }

    FUZZ_CHECK(importer.ImportBytes(bytes) == imported);
    FUZZ_CHECK(SamePatches(importer.GetDestination().Patches(), first));

    Tq2DumpDecoder decoder;
    std::vector<std::uint8_t> images(Tq2DumpDecoder::kBufferSize);
    const int count = decoder.WalkSmf(bytes, images);
    FUZZ_CHECK(count == static_cast<int>(first.GetSize()));
    const std::vector<int> numbers(decoder.SlotNumbers().begin(), decoder.SlotNumbers().end());
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    for (int n : numbers)
        FUZZ_CHECK(n >= 0 && n < Tq2DumpDecoder::kPatchCount);

    std::vector<std::uint8_t> small(2 * 880);
    const int smallCount = decoder.WalkSmf(bytes, small);
    FUZZ_CHECK(smallCount == std::min(count, 2));
    for (int i = 0; i < smallCount; ++i)
        FUZZ_CHECK(decoder.SlotNumbers()[static_cast<std::size_t>(i)] ==
                   numbers[static_cast<std::size_t>(i)]);

    if (imported) CheckLibraryRoundTrip(first);
    return 0;
}
