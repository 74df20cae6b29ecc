#pragma once

#include <array>
#include <cstdint>

// How one entry of the earlier effect chain becomes TQ-550 chain entries (none, one or six).
namespace earlier {

struct ChainTranslation {
    std::uint8_t count;
    std::array<std::uint8_t, 6> entries;
};

inline constexpr std::array<ChainTranslation, 14> kChainTable = {{
    {1, {5}},                      // 0
    {1, {0}},                      // 1
    {1, {10}},                     // 2
    {1, {14}},                     // 3
    {1, {1}},                      // 4
    {6, {16, 2, 12, 67, 77, 17}},  // 5
    {1, {4}},                      // 6
    {1, {6}},                      // 7
    {1, {7}},                      // 8
    {1, {8}},                      // 9
    {1, {9}},                      // 10
    {0, {}},                       // 11
    {1, {11}},                     // 12
    {1, {15}},                     // 13
}};

}  // namespace earlier
