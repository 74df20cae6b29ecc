#pragma once

#include <array>

#include "import/tables/range_table.h"

// TQ-2 assignment targets (0 to 236) as earlier (TQ-MAX) assignment targets.
namespace tq2 {

using earlier::kNone;
using earlier::RangeRow;

inline constexpr RangeRow kTargetRanges[] = {
    {0, 1, 0},       {2, 3, 131},     {4, 5, 135},     {6, 9, 133},     {10, 12, 34},    {13, 13, 32},
    {14, 14, 34},    {15, 18, 36},    {19, 20, 70},    {21, 33, 86},    {34, 40, 72},    {41, 41, 137},
    {42, 42, kNone}, {43, 43, 20},    {44, 45, 14},    {46, 49, 21},    {50, 50, 26},    {51, 53, 138},
    {54, 59, 153},   {60, 60, 160},   {61, 69, 165},   {70, 70, 176},   {71, 71, 176},   {72, 72, 178},
    {73, 74, 180},   {75, 75, 199},   {76, 83, 201},   {84, 86, 210},   {87, 92, 251},   {93, 100, 256},
    {101, 102, 265}, {103, 125, 340}, {126, 134, 377}, {135, 144, 267}, {145, 147, 422}, {148, 155, 310},
    {156, 159, 277}, {160, 162, 318}, {163, 188, 386}, {189, 196, 330}, {197, 197, 339}, {198, 200, 425},
    {201, 204, 427}, {205, 205, 445}, {206, 210, 447}, {211, 220, 453}, {221, 223, 464}, {224, 224, 468},
    {225, 226, 470}, {227, 236, 476},
};

// The alternative targets for t = 43 to 50, used once a mode-1 block-1 setting has occurred in the dump
// and that patch's block-1 column 8 is above its column 12.
inline constexpr int kAlternativeFirst = 43;
inline constexpr std::array<int, 8> kAlternativeTargets = {13, 14, 15, 16, 17, 23, 24, 19};

}  // namespace tq2
