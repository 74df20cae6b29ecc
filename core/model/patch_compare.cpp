#include "model/patch_compare.h"

#include <algorithm>

bool PatchComparison::MemosDiffer() const {
    return std::any_of(memosDiffer.begin(), memosDiffer.end(), [](bool d) { return d; });
}

std::size_t PatchComparison::DifferingBytes() const {
    std::size_t count = 0;
    for (const DifferingRun& run : runs)
        count += run.Length();
    return count;
}

PatchComparison ComparePatches(const CPatch& first, const CPatch& second) {
    const PatchImage a = first.GetImage();
    const PatchImage b = second.GetImage();
    PatchComparison result;
    DifferingRun* open = nullptr;
    for (int i = 0; i < PATCH_BLOCK_SIZE; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const int chunk = i / PATCH_CHUNK_SIZE;
        if (a[at] == b[at]) {
            open = nullptr;
            continue;
        }
        if (open == nullptr || open->chunk != chunk) {
            result.runs.push_back({i, chunk, {}, {}});
            open = &result.runs.back();
        }
        open->first.push_back(a[at]);
        open->second.push_back(b[at]);
    }
    result.namesDiffer = !std::equal(a.begin(), a.begin() + PATCH_NAME_LENGTH, b.begin());
    for (int m = 0; m < CParameter::kMemoCount; ++m)
        result.memosDiffer[static_cast<std::size_t>(m)] = first.GetMemo(m) != second.GetMemo(m);
    return result;
}

std::size_t CountDifferingPatches(const CPatchArray& first, const CPatchArray& second) {
    const std::size_t common = std::min(first.GetSize(), second.GetSize());
    std::size_t count = std::max(first.GetSize(), second.GetSize()) - common;
    for (std::size_t i = 0; i < common; ++i)
        if (first[i].GetImage() != second[i].GetImage()) ++count;
    return count;
}

std::array<std::uint8_t, 2> OffsetAddressBytes(int offset) {
    return {static_cast<std::uint8_t>((offset >> 7) & 0x7F), static_cast<std::uint8_t>(offset & 0x7F)};
}
