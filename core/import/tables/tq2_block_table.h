#pragma once

#include <array>
#include <cstdint>

// The 23 parameter blocks of a TQ-2 patch: where each column lands in the earlier image and its highest
// value. Columns are numbered across all blocks (the global index g = base + column).
namespace tq2 {

inline constexpr int kBlockCount = 23;
inline constexpr int kNoTarget = -1;

// Base index and size of each block.
inline constexpr std::array<int, kBlockCount> kBlockBases = {0,   42,  59,  66,  82,  93,  217, 226,
                                                             234, 243, 250, 261, 277, 280, 289, 298,
                                                             310, 322, 334, 346, 358, 370, 382};
inline constexpr std::array<int, kBlockCount> kBlockSizes = {42, 17, 7, 16, 11, 124, 9,  8,  9,  7,  11, 16,
                                                             3,  9,  9, 12, 12, 12,  12, 12, 12, 12, 12};

// A run of columns: targets first, first + 1, ... (kNoTarget: that many columns without counterpart).
struct TargetRun {
    std::int16_t first;
    std::int16_t count;
};
constexpr TargetRun R(int from, int to) {
    return {static_cast<std::int16_t>(from), static_cast<std::int16_t>(to - from + 1)};
}
constexpr TargetRun V(int target) {
    return {static_cast<std::int16_t>(target), 1};
}
constexpr TargetRun None(int count = 1) {
    return {kNoTarget, static_cast<std::int16_t>(count)};
}

// A run of columns with the same highest value.
struct MaxRun {
    std::uint8_t value;
    std::uint8_t count;
};
constexpr MaxRun X(int value, int count = 1) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(count)};
}

// Blocks 0 to 14; blocks 15 to 22 are the eight assignment blocks below.
inline constexpr TargetRun kTargets0[] = {V(0),    None(),    V(2),      R(133, 134), None(2),  R(135, 136),
                                          None(7), R(37, 40), R(71, 72), R(87, 99),   R(73, 79)};
inline constexpr TargetRun kTargets1[] = {V(139),    None(2),   R(141, 143), V(21),
                                          R(15, 16), R(22, 25), V(27),       R(141, 143)};
inline constexpr TargetRun kTargets2[] = {V(158), None(), R(160, 164)};
inline constexpr TargetRun kTargets3[] = {V(166), None(), R(172, 180), V(183), V(183), R(186, 188)};
inline constexpr TargetRun kTargets4[] = {V(206), None(), R(209, 216), V(218)};
inline constexpr TargetRun kTargets5[] = {V(219),      None(),      V(221),      R(260, 265), R(265, 272),
                                          V(274),      V(275),      R(349, 380), R(390, 398), R(276, 285),
                                          R(435, 438), R(319, 326), R(286, 289), R(327, 329), R(399, 424),
                                          R(339, 346), V(348)};
inline constexpr TargetRun kTargets6[] = {V(439), None(), R(441, 446), V(463)};
inline constexpr TargetRun kTargets7[] = {V(465), None(), R(467, 470), V(472), V(473)};
inline constexpr TargetRun kTargets8[] = {V(474), None(), R(476, 482)};
inline constexpr TargetRun kTargets9[] = {V(484), V(485), V(486), V(488), V(489), V(490), V(491)};
inline constexpr TargetRun kTargets10[] = {V(496), V(498), R(500, 508)};
inline constexpr TargetRun kTargets11[] = {R(510, 525)};  // the name
inline constexpr TargetRun kTargets12[] = {R(874, 876)};
inline constexpr TargetRun kTargets13[] = {V(840), None(), R(842, 847), V(849)};
inline constexpr TargetRun kTargets14[] = {V(857), None(), R(859, 864), V(866)};

inline constexpr MaxRun kMaxima0[] = {X(1),   X(35),     X(8), X(100, 11), X(2),   X(100, 3),
                                      X(113), X(100, 3), X(1), X(100, 4),  X(113), X(100, 14)};
inline constexpr MaxRun kMaxima1[] = {X(1),      X(15),  X(2),      X(7), X(100, 2), X(1, 2),
                                      X(100, 3), X(113), X(100, 2), X(7), X(100, 2)};
inline constexpr MaxRun kMaxima2[] = {X(1), X(10), X(17), X(100, 4)};
inline constexpr MaxRun kMaxima3[] = {X(1), X(12), X(32), X(100, 6), X(1),
                                      X(2), X(1),  X(5),  X(10),     X(100, 2)};
inline constexpr MaxRun kMaxima4[] = {X(1), X(11), X(40), X(20), X(5), X(40), X(20), X(5), X(40, 3)};
inline constexpr MaxRun kMaxima5[] = {
    X(1),      X(80),     X(15),     X(3),      X(113),    X(100, 3), X(1),      X(113), X(100, 2), X(113),
    X(100, 6), X(2),      X(57),     X(2),      X(127),    X(100, 2), X(57),     X(2),   X(127),    X(100),
    X(11),     X(100),    X(2),      X(3),      X(48),     X(100),    X(2),      X(127), X(100, 2), X(3),
    X(48),     X(100),    X(2),      X(127),    X(100, 2), X(48, 2),  X(100, 3), X(16),  X(113),    X(100),
    X(80),     X(100),    X(113),    X(100),    X(80),     X(100, 2), X(113),    X(100), X(113),    X(100),
    X(1),      X(100),    X(113),    X(100, 2), X(3),      X(127),    X(100),    X(120), X(2),      X(4, 2),
    X(100),    X(113),    X(100, 3), X(1),      X(100, 3), X(19),     X(113),    X(100), X(39),     X(1),
    X(113),    X(100),    X(11),     X(100),    X(1),      X(100, 3), X(3),      X(1),   X(2),      X(100, 7),
    X(101),    X(100, 2), X(1),      X(100, 2), X(40),     X(20),     X(5),      X(40),  X(20),     X(5),
    X(40, 3)};
inline constexpr MaxRun kMaxima6[] = {X(1), X(10), X(1), X(103), X(20), X(100, 2), X(9), X(120)};
inline constexpr MaxRun kMaxima7[] = {X(1), X(10), X(1), X(113), X(100), X(80), X(9), X(100)};
inline constexpr MaxRun kMaxima8[] = {X(1), X(10), X(4), X(99), X(100), X(9, 2), X(10), X(100)};
inline constexpr MaxRun kMaxima9[] = {X(1), X(100, 3), X(1), X(127), X(100)};
inline constexpr MaxRun kMaxima10[] = {X(10, 11)};
inline constexpr MaxRun kMaxima11[] = {X(127, 16)};
inline constexpr MaxRun kMaxima12[] = {X(1), X(100, 2)};
inline constexpr MaxRun kMaxima13And14[] = {X(1), X(10), X(1), X(108), X(127, 4), X(1)};
// Blocks 15 to 22, the assignment blocks k = 0 to 7: targets 670 + 17k, none, then 672 + 17k to 681 + 17k.
inline constexpr MaxRun kMaxima15To22[] = {X(1), X(10), X(1), X(127, 5), X(68), X(1), X(127, 2)};
inline constexpr int kAssignmentBlockTargets = 670;
inline constexpr int kAssignmentBlockStride = 17;

}  // namespace tq2
