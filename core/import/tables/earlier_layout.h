#pragma once

#include <array>
#include <cstddef>

namespace earlier {

// The earlier patch image: the 43 fixed-size blocks of an earlier patch, one after the other.
inline constexpr std::size_t kImageSize = 880;
inline constexpr int kBlockCount = 43;

inline constexpr std::array<int, kBlockCount> kBlockSizes = {
    130, 9,  5,  13, 1,  8,  40, 13, 220, 26, 9,  10, 10, 1, 1, 14, 16, 2, 2, 3,  // blocks 0 to 19
    17,  17, 17, 17, 17, 17, 17, 17,                                              // blocks 20 to 27
    1,                                                                            // block 28
    17,  17, 17, 17, 17, 17, 17, 17, 17,  17, 17, 17,                             // blocks 29 to 40
    3,   3,                                                                       // blocks 41 and 42
};

constexpr std::array<int, kBlockCount> BlockOffsets() {
    std::array<int, kBlockCount> offsets{};
    int at = 0;
    for (int i = 0; i < kBlockCount; ++i) {
        offsets[static_cast<std::size_t>(i)] = at;
        at += kBlockSizes[static_cast<std::size_t>(i)];
    }
    return offsets;
}
inline constexpr std::array<int, kBlockCount> kBlockOffsets = BlockOffsets();

static_assert(kBlockOffsets[42] + kBlockSizes[42] == static_cast<int>(kImageSize));

// Offsets inside the image (TQ-MAX layout).
inline constexpr int kFirstSwitch = 0;     // switch of the first large block
inline constexpr int kFirstType = 2;       // its type
inline constexpr int kSecondSwitch = 219;  // switch of the second large block
inline constexpr int kSecondType = 221;    // its type
inline constexpr int kChain = 496;         // the effect chain
inline constexpr int kChainLength = 14;
inline constexpr int kNameBlock = 16;
inline constexpr int kName = 510;
inline constexpr int kNameLength = 16;
inline constexpr int kAssignments = 670;  // 12 assignment blocks of 17 bytes
inline constexpr int kAssignmentSize = 17;
inline constexpr int kAssignmentCount = 12;

// Fields of an assignment block.
inline constexpr int kAssignSwitch = 0;
inline constexpr int kAssignTarget = 2;   // 14-bit, high byte first
inline constexpr int kAssignMinimum = 4;  // 14-bit
inline constexpr int kAssignMaximum = 6;  // 14-bit
inline constexpr int kAssignSource = 8;

static_assert(kBlockOffsets[kNameBlock] == kName);
static_assert(kBlockOffsets[29] == kAssignments);
static_assert(kBlockOffsets[40] + 17 == kAssignments + kAssignmentCount * kAssignmentSize);

// The TQ-4 layout differs: 8 assignment blocks at 533, two short settings at 526 to 529 and a 3-byte
// block at 530.
inline constexpr int kTq4Assignments = 533;
inline constexpr int kTq4AssignmentCount = 8;

}  // namespace earlier
