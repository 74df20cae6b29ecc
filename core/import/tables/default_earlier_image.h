#pragma once

#include <array>
#include <cstdint>
#include <iterator>

#include "import/tables/earlier_layout.h"

// The default earlier patch image (TQ-MAX layout). It is kept in its stored form: single bytes, and 69
// 14-bit values as two-byte pairs whose low byte holds 8 bits (high byte first). Filling an image re-splits
// every pair into 7-bit high and low bytes.
namespace earlier {

struct ImageRow {
    int first;
    int last;
    int value;
};

inline constexpr ImageRow kDefaultImageBytes[] = {
    {0, 0, 1},  // first large block on
    {1, 1, 0},
    {2, 2, 2},  // its type
    {3, 129, 0},
    {130, 130, 1},
    {131, 171, 0},
    {172, 172, 1},
    {173, 188, 0},
    {189, 189, 1},
    {190, 218, 0},
    {219, 219, 1},  // second large block on
    {220, 220, 0},
    {221, 221, 2},  // its type
    {222, 495, 0},
    // The chain: 0, 1, 2, 3, 4, 5, 6, 11, 12, 7, 8, 9, 10, 13.
    {496, 496, 0},
    {497, 497, 1},
    {498, 498, 2},
    {499, 499, 3},
    {500, 500, 4},
    {501, 501, 5},
    {502, 502, 6},
    {503, 503, 11},
    {504, 504, 12},
    {505, 505, 7},
    {506, 506, 8},
    {507, 507, 9},
    {508, 508, 10},
    {509, 509, 13},
    // The name "INIT PATCH" and six blanks.
    {510, 510, 'I'},
    {511, 511, 'N'},
    {512, 512, 'I'},
    {513, 513, 'T'},
    {514, 514, ' '},
    {515, 515, 'P'},
    {516, 516, 'A'},
    {517, 517, 'T'},
    {518, 518, 'C'},
    {519, 519, 'H'},
    {520, 525, ' '},
    {526, 879, 0},
};

// The 14-bit values: offset of the high byte and the value.
struct ImageWord {
    int offset;
    int value;
};

#define TQ_EARLIER_ASSIGNMENT_WORDS(base) \
    {base + 2, 0}, {base + 4, 0}, {       \
        base + 6, 100                     \
    }

inline constexpr ImageWord kDefaultImageWords[] = {
    {435, 400},
    {442, 400},
    {447, 100},
    {452, 400},
    {457, 0},
    {459, 0},
    {463, 0},
    {476, 0},
    {489, 80},
    // Blocks 20 to 27.
    TQ_EARLIER_ASSIGNMENT_WORDS(533),
    TQ_EARLIER_ASSIGNMENT_WORDS(550),
    TQ_EARLIER_ASSIGNMENT_WORDS(567),
    TQ_EARLIER_ASSIGNMENT_WORDS(584),
    TQ_EARLIER_ASSIGNMENT_WORDS(601),
    TQ_EARLIER_ASSIGNMENT_WORDS(618),
    TQ_EARLIER_ASSIGNMENT_WORDS(635),
    TQ_EARLIER_ASSIGNMENT_WORDS(652),
    // The 12 assignment blocks: switch off, target 0, minimum 0, maximum 100.
    TQ_EARLIER_ASSIGNMENT_WORDS(670),
    TQ_EARLIER_ASSIGNMENT_WORDS(687),
    TQ_EARLIER_ASSIGNMENT_WORDS(704),
    TQ_EARLIER_ASSIGNMENT_WORDS(721),
    TQ_EARLIER_ASSIGNMENT_WORDS(738),
    TQ_EARLIER_ASSIGNMENT_WORDS(755),
    TQ_EARLIER_ASSIGNMENT_WORDS(772),
    TQ_EARLIER_ASSIGNMENT_WORDS(789),
    TQ_EARLIER_ASSIGNMENT_WORDS(806),
    TQ_EARLIER_ASSIGNMENT_WORDS(823),
    TQ_EARLIER_ASSIGNMENT_WORDS(840),
    TQ_EARLIER_ASSIGNMENT_WORDS(857),
};

#undef TQ_EARLIER_ASSIGNMENT_WORDS

static_assert(std::size(kDefaultImageWords) == 69);

using StoredImage = std::array<std::uint8_t, kImageSize>;

// The stored form: the byte rows, with each 14-bit value as a high byte and an 8-bit low byte.
constexpr StoredImage BuildStoredDefaultImage() {
    StoredImage image{};
    for (const ImageRow& row : kDefaultImageBytes)
        for (int i = row.first; i <= row.last; ++i)
            image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(row.value);
    for (const ImageWord& word : kDefaultImageWords) {
        image[static_cast<std::size_t>(word.offset)] = static_cast<std::uint8_t>(word.value >> 8);
        image[static_cast<std::size_t>(word.offset + 1)] = static_cast<std::uint8_t>(word.value & 0xFF);
    }
    return image;
}

inline constexpr StoredImage kStoredDefaultImage = BuildStoredDefaultImage();

}  // namespace earlier
