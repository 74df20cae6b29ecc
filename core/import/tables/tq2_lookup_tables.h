#pragma once

#include <array>

// Small lookup tables of the TQ-2 decoder, indexed by the (already limited) parameter value.
namespace tq2 {

inline constexpr std::array<int, 33> kT0 = {0,  2,  3,  5,  6,  7,  9,  10, 12, 13, 14,
                                            15, 16, 18, 17, 19, 20, 21, 24, 26, 27, 32,
                                            34, 33, 39, 40, 41, 43, 44, 45, 46, 47, 48};
inline constexpr std::array<int, 6> kT132 = {3, 4, 5, 7, 8, 1};
inline constexpr std::array<int, 9> kT156 = {0, 1, 5, 5, 6, 13, 16, 17, 14};
inline constexpr std::array<int, 18> kT192 = {1,  4,  0,  9,  12, 13, 6,  7,  14,
                                              27, 28, 29, 21, 20, 22, 30, 31, 1};
inline constexpr std::array<int, 16> kT264 = {7, 8, 22, 23, 24, 27, 9, 10, 11, 32, 18, 12, 19, 28, 29, 21};
inline constexpr std::array<int, 8> kT328 = {0, 1, 2, 3, 4, 6, 7, 8};
inline constexpr std::array<int, 5> kT360 = {1, 1, 2, 3, 4};
inline constexpr std::array<int, 11> kT380 = {0, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12};

}  // namespace tq2
