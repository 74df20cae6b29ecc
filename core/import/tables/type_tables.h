#pragma once

#include <array>

#include "import/tables/range_table.h"

// Translations of single earlier values into TQ-550 values, by index.
namespace earlier {

// Block types of the two large blocks (image offsets 2 and 221); indexes above 35 have no counterpart.
inline constexpr std::array<int, 36> kTypeTable = {
    3,  4,  0,  1, 7,  8,  24,    22, 23, 27, 29, 26, 30, 9,  10, 13, 20, 21,
    31, 28, 11, 6, 16, 15, kNone, 14, 25, 32, 17, 12, 19, 18, 33, 0,  0,  0,
};

// T30: the value at offset 160.
inline constexpr std::array<int, 30> kT30 = {
    0,  3,  4,  5,  8,  9,  6,  7,  9,  10, 11, 11, 13, 14, 15,
    17, 12, 18, 16, 16, 20, 20, 19, 21, 19, 21, 21, 22, 23, 24,
};

// T46: the values at offsets 172 and 189.
inline constexpr std::array<int, 46> kT46 = {
    1,  0,  2,  3,  0,  4,  5,  6,  8,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 18,
    18, 21, 22, 22, 23, 23, 27, 25, 25, 26, 25, 26, 30, 29, 28, 38, 32, 31, 33, 34, 36, 35, 37,
};

}  // namespace earlier
