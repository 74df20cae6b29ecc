#pragma once

#include "import/tables/range_table.h"

// Translation of earlier assignments into TQ-550 assignments.
namespace earlier {

// Target table D: earlier target → TQ-550 target, for targets 0 to 492.
inline constexpr RangeRow kAssignTargetRanges[] = {
    {0, 1, 68},        {2, 12, 90},       {13, 17, 70},      {18, 18, 76},      {19, 19, 75},
    {20, 24, 77},      {25, 25, 83},      {26, 26, 82},      {27, 36, 123},     {37, 39, 246},
    {40, 55, 230},     {56, 58, 260},     {59, 62, 266},     {63, 65, 255},     {66, 69, 270},
    {70, 78, 133},     {79, 85, 167},     {86, 98, 217},     {99, 106, 274},    {107, 109, 263},
    {110, 117, 142},   {118, 128, 112},   {129, 136, 0},     {137, 137, kNone}, {138, 139, 574},
    {140, 140, 578},   {141, 152, kNone}, {153, 157, 8},     {158, 162, 15},    {163, 163, 21},
    {164, 164, 20},    {165, 210, 22},    {211, 212, 296},   {213, 223, 318},   {224, 228, 298},
    {229, 229, 304},   {230, 230, 303},   {231, 235, 305},   {236, 236, 311},   {237, 237, 310},
    {238, 247, 351},   {248, 250, 474},   {251, 266, 458},   {267, 269, 488},   {270, 273, 494},
    {274, 276, 483},   {277, 280, 498},   {281, 289, 361},   {290, 296, 395},   {297, 309, 445},
    {310, 317, 502},   {318, 320, 491},   {321, 328, 370},   {329, 339, 340},   {340, 347, 418},
    {348, 348, 571},   {349, 349, 426},   {350, 362, 405},   {363, 367, 580},   {368, 370, 402},
    {371, 376, 477},   {377, 385, 510},   {386, 389, 427},   {390, 390, 571},   {391, 394, 431},
    {395, 411, 378},   {412, 418, 438},   {419, 421, 435},   {422, 423, 519},   {424, 424, 522},
    {425, 438, 524},   {439, 440, 542},   {441, 444, 538},   {445, 463, 544},   {464, 467, 593},
    {468, 468, 564},   {469, 469, kNone}, {470, 470, 570},   {471, 471, 588},   {472, 472, 585},
    {473, 473, kNone}, {474, 474, 572},   {475, 475, kNone}, {476, 476, 602},   {477, 477, 601},
    {478, 485, 607},   {486, 488, kNone}, {489, 492, 615},
};

// Table E: targets that an assignment of mode 1 from source 1 or 2 turns into a fixed setting of the
// TQ-550 (offsets 1351 and 1352). All other targets have no entry.
inline constexpr RangeRow kAssignSettingRanges[] = {
    {0, 0, 9},      {129, 129, 5},  {153, 153, 6},  {160, 160, 7},  {162, 162, 1},  {174, 174, 4},
    {191, 191, 4},  {199, 199, 8},  {211, 211, 10}, {425, 425, 11}, {447, 447, 12}, {455, 455, 13},
    {474, 474, 16}, {476, 476, 18}, {477, 477, 17}, {478, 485, 23}, {488, 488, 4},  {489, 492, 31},
};

// Source table, earlier sources 0 to 73.
inline constexpr RangeRow kAssignSourceRanges[] = {
    {0, 2, 0},      // 0, 1, 2 for 0–2
    {3, 5, 4},      // 4, 5, 6 for 3–5
    {6, 7, kNone},  // none for 6 and 7
    {8, 73, 7},     // s − 1 for 8–73
};

// The +12 table, earlier values 0 to 71.
inline constexpr RangeRow kAssignPlus12Ranges[] = {
    {0, 5, 0},   // unchanged for 0–5
    {6, 71, 7},  // v + 1 for 6–71
};

// Highest value of an assignment's minimum and maximum, by TQ-550 target; other targets have no limit.
struct TargetLimit {
    int target;
    int limit;
};
inline constexpr TargetLimit kAssignLimits[] = {
    {9, 29}, {427, 29}, {22, 45}, {39, 45}, {33, 8}, {50, 8}, {419, 28},
};

}  // namespace earlier
