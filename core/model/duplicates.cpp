#include "model/duplicates.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <unordered_map>

namespace {

// The patch's 2178 bytes: its block when that is exactly the device's size, else a padded or cut copy.
std::span<const std::uint8_t> ImageOf(const CPatch& patch, PatchImage& scratch) {
    const Block* block = patch.PatchBlockIfAny();
    if (block && block->size() == static_cast<std::size_t>(PATCH_BLOCK_SIZE)) return *block;
    scratch = patch.GetImage();
    return scratch;
}

// A 64-bit hash of the bytes, taken eight at a time (only equal bytes must give equal hashes; a collision
// costs one comparison).
std::uint64_t HashOf(std::span<const std::uint8_t> bytes) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = bytes.size();
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= bytes.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    for (; i < bytes.size(); ++i)
        hash = (hash ^ bytes[i]) * kMultiplier;
    return hash;
}

}  // namespace

std::vector<int> FindDuplicates(const CPatchArray& patches) {
    // For each hash, the positions of the distinct patches seen so far with it (almost always one).
    std::unordered_map<std::uint64_t, std::vector<int>> seen;
    seen.reserve(patches.GetSize());
    std::vector<int> duplicates;
    PatchImage scratch{};
    PatchImage other{};
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        const std::span<const std::uint8_t> image = ImageOf(patches[i], scratch);
        std::vector<int>& group = seen[HashOf(image)];
        const bool repeated = std::any_of(group.begin(), group.end(), [&](int earlier) {
            const std::span<const std::uint8_t> e =
                ImageOf(patches[static_cast<std::size_t>(earlier)], other);
            return std::equal(image.begin(), image.end(), e.begin(), e.end());
        });
        if (repeated)
            duplicates.push_back(static_cast<int>(i));
        else
            group.push_back(static_cast<int>(i));
    }
    return duplicates;
}
