#pragma once

#include <array>
#include <cstdint>
#include <utility>

// The default bytes of a TQ-550 patch, offsets 0 to 1700, that a converted earlier patch starts from.
// Each offset has one entry: kind 1 writes its value there, kind 2 writes a 14-bit value there (high 7 bits)
// and at the next offset (low 7 bits), kind 0 writes nothing (the low byte of a kind-2 pair).
namespace tq550 {

inline constexpr int kDefaultCount = 1701;

enum DefaultKind : std::uint8_t { kDefaultNone = 0, kDefaultByte = 1, kDefaultWord = 2 };

// One row: offsets first..last hold value as single bytes, or (kDefaultWord, first == last) one 14-bit
// value whose low byte is the next offset.
struct DefaultRow {
    int first;
    int last;
    DefaultKind kind;
    int value;
};

constexpr DefaultRow Bytes(int first, int last, int value) {
    return {first, last, kDefaultByte, value};
}
constexpr DefaultRow Word(int offset, int value) {
    return {offset, offset, kDefaultWord, value};
}

// An assignment block of the TQ-550 at 1440 + 16n: switch off, target 0, minimum 0, maximum 1, the rest 0.
#define TQ550_ASSIGNMENT_DEFAULTS(base)                                            \
    Bytes(base, base, 0), Word(base + 1, 0), Word(base + 3, 0), Word(base + 5, 1), \
        Bytes(base + 7, base + 15, 0)

inline constexpr DefaultRow kDefaultRows[] = {
    Bytes(0, 15, 32),  // the name: 16 blanks
    Bytes(16, 63, 0),
    Bytes(64, 64, 1),
    Bytes(65, 255, 0),
    Bytes(256, 256, 1),  // first large block on
    Bytes(257, 422, 0),
    Word(423, 400),
    Bytes(425, 767, 0),
    Bytes(768, 768, 1),  // second large block on
    Bytes(769, 934, 0),
    Word(935, 400),
    Bytes(937, 1184, 0),
    Word(1185, 0),
    Bytes(1187, 1281, 0),
    Word(1282, 400),
    Bytes(1284, 1286, 0),
    Word(1287, 100),
    Bytes(1289, 1291, 0),
    Word(1292, 400),
    Bytes(1294, 1296, 0),
    Word(1297, 0),
    Word(1299, 0),
    Word(1301, 0),
    Word(1303, 0),
    Bytes(1305, 1328, 0),
    Word(1329, 0),
    Bytes(1331, 1337, 0),
    Word(1338, 0),
    Bytes(1340, 1352, 0),
    Word(1353, 0),
    Bytes(1355, 1381, 0),
    Word(1382, 120),
    Bytes(1384, 1392, 0),
    Word(1393, 0),
    Bytes(1395, 1407, 0),
    // The effect chain from 1408: the order of the default earlier chain, unused places 127.
    Bytes(1408, 1408, 5),
    Bytes(1409, 1409, 0),
    Bytes(1410, 1410, 10),
    Bytes(1411, 1411, 14),
    Bytes(1412, 1412, 1),
    Bytes(1413, 1413, 16),
    Bytes(1414, 1414, 2),
    Bytes(1415, 1415, 12),
    Bytes(1416, 1416, 67),
    Bytes(1417, 1417, 77),
    Bytes(1418, 1418, 17),
    Bytes(1419, 1419, 4),
    Bytes(1420, 1420, 11),
    Bytes(1421, 1421, 6),
    Bytes(1422, 1422, 7),
    Bytes(1423, 1423, 8),
    Bytes(1424, 1424, 9),
    Bytes(1425, 1425, 15),
    Bytes(1426, 1439, 127),
    TQ550_ASSIGNMENT_DEFAULTS(1440),
    TQ550_ASSIGNMENT_DEFAULTS(1456),
    TQ550_ASSIGNMENT_DEFAULTS(1472),
    TQ550_ASSIGNMENT_DEFAULTS(1488),
    TQ550_ASSIGNMENT_DEFAULTS(1504),
    TQ550_ASSIGNMENT_DEFAULTS(1520),
    TQ550_ASSIGNMENT_DEFAULTS(1536),
    TQ550_ASSIGNMENT_DEFAULTS(1552),
    Bytes(1568, 1700, 0),
};

#undef TQ550_ASSIGNMENT_DEFAULTS

// One entry per offset.
struct DefaultEntry {
    DefaultKind kind = kDefaultNone;
    std::uint16_t value = 0;
};
using DefaultTable = std::array<DefaultEntry, kDefaultCount>;

// Expands the rows into one entry per offset; an offset covered twice or not at all leaves the table
// unusable (BuildDefaults().second is false), which the static_assert below catches.
constexpr std::pair<DefaultTable, bool> BuildDefaults() {
    DefaultTable table{};
    std::array<bool, kDefaultCount> seen{};
    auto mark = [&](int offset, DefaultKind kind, int value) {
        if (offset < 0 || offset >= kDefaultCount || seen[static_cast<std::size_t>(offset)]) return false;
        seen[static_cast<std::size_t>(offset)] = true;
        table[static_cast<std::size_t>(offset)] = {kind, static_cast<std::uint16_t>(value)};
        return true;
    };
    for (const DefaultRow& row : kDefaultRows) {
        if (row.kind == kDefaultWord) {
            if (!mark(row.first, kDefaultWord, row.value) || !mark(row.first + 1, kDefaultNone, 0)) return {};
        } else {
            for (int i = row.first; i <= row.last; ++i)
                if (!mark(i, kDefaultByte, row.value)) return {};
        }
    }
    for (bool covered : seen)
        if (!covered) return {};
    return {table, true};
}

inline constexpr auto kDefaultBuild = BuildDefaults();
static_assert(kDefaultBuild.second, "every offset 0 to 1700 has exactly one default entry");
inline constexpr const DefaultTable& kDefaults = kDefaultBuild.first;

}  // namespace tq550
