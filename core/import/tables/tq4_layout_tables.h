#pragma once

#include <array>

#include "import/tables/range_table.h"

// Translation of a TQ-4 image into the TQ-MAX layout.
namespace earlier {

// Table A: assignment targets.
inline constexpr RangeRow kTq4TargetRanges[] = {
    {0, 141, 0},      // 0–141 → 0–141
    {142, 144, 144},  // 142–144 → 144–146
    {145, 460, 153},  // 145–460 → 153–468
    {461, 463, 470},  // 461–463 → 470–472
    {464, 464, 474},  // 464 → 474
    {465, 474, 476},  // 465–474 → 476–485
    {475, 480, 487},  // 475–480 → 487–492
};

// Table B: assignment sources.
inline constexpr RangeRow kTq4SourceRanges[] = {
    {0, 1, 1},     // 0–1 → 1–2
    {2, 2, 0},     // 2 → 0
    {3, 5, 3},     // 3–5 → 3–5
    {6, 8, 8},     // 6–8 → 8–10
    {9, 39, 11},   // 9–39 → 11–41
    {40, 71, 42},  // 40–71 → 42–73
};

// Table C: the target choices of the two short TQ-4 settings, as TQ-MAX assignment targets.
inline constexpr std::array<int, 30> kTq4ShortTargets = {
    162, 174, 0,   129, 137, 141, 153, 160, 199, 211, 425, 447, 455, 474, 476,
    477, 478, 479, 480, 481, 482, 483, 484, 485, 487, 488, 489, 490, 491, 492,
};

}  // namespace earlier
