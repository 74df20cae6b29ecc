#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace earlier {

// "No counterpart" in a translation table.
inline constexpr int kNone = -1;

// One row of a translation by ranges: values from..to map onto newStart..newStart + (to - from), or to
// nothing when newStart is kNone. A single value is a range of one.
struct RangeRow {
    int from;
    int to;
    int newStart;
};

// The translation of value by the first row whose range holds it; nothing when no row holds it or that
// row maps to kNone.
constexpr std::optional<int> TranslateByRanges(std::span<const RangeRow> rows, int value) {
    for (const RangeRow& row : rows) {
        if (value < row.from || value > row.to) continue;
        if (row.newStart == kNone) return std::nullopt;
        return row.newStart + (value - row.from);
    }
    return std::nullopt;
}

// A lookup table by index; indexes outside it and kNone entries have no counterpart.
constexpr std::optional<int> LookUp(std::span<const int> table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return std::nullopt;
    if (table[static_cast<std::size_t>(index)] == kNone) return std::nullopt;
    return table[static_cast<std::size_t>(index)];
}

// Number of values a table of ranges covers, rows of kNone included.
constexpr int CoveredCount(std::span<const RangeRow> rows) {
    int count = 0;
    for (const RangeRow& row : rows)
        count += row.to - row.from + 1;
    return count;
}

}  // namespace earlier
