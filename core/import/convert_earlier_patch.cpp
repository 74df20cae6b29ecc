#include "import/convert_earlier_patch.h"

#include <algorithm>
#include <optional>

#include "import/seven_bit.h"
#include "import/tables/assignment_tables.h"
#include "import/tables/chain_table.h"
#include "import/tables/offset_map.h"
#include "import/tables/tq550_defaults.h"
#include "import/tables/type_tables.h"
#include "model/parameter_address.h"

using namespace earlier;

namespace {

using Src = std::span<const std::uint8_t, kImageSize>;
using Dst = std::span<std::uint8_t>;

// TQ-550 offsets the conversion writes by meaning.
constexpr std::size_t kFirstBlockSwitch = 256;
constexpr std::size_t kSecondBlockSwitch = 768;
constexpr std::size_t kWordAt1382 = 1382;
constexpr std::size_t kSpecialSetting = 1349;
constexpr std::size_t kSourceOneSetting = 1351;
constexpr std::size_t kSourceTwoSetting = 1352;
constexpr std::size_t kSpecialValue = 1384;
constexpr std::size_t kChainStart = 1408;
constexpr std::size_t kChainEnd = 1440;  // the chain area ends where the assignment blocks begin
constexpr std::size_t kAssignStart = 1440;
constexpr std::size_t kAssignStride = 16;
constexpr int kMaxAssignments = 8;

std::optional<int> TypeOf(std::uint8_t type) {
    return LookUp(kTypeTable, type);
}

// Writes the 14-bit value hi·128 + lo, plus addend when it is above threshold, at dst[at - 1], dst[at].
void WriteThresholdWord(Src src, Dst dst, std::size_t highSource, std::size_t at, int threshold, int addend) {
    int value = Read14(src, highSource);
    if (value > threshold) value += addend;
    Write14(dst, at - 1, value);
}

// Pass 2: every source byte that has a target offset, with the exceptions by source offset.
void MapOffsets(Src src, Dst dst) {
    for (const RangeRow& row : kOffsetMap) {
        for (int i = row.from; i <= row.to; ++i) {
            const auto s = static_cast<std::size_t>(i);
            const auto m = static_cast<std::size_t>(row.newStart + (i - row.from));
            const std::uint8_t v = src[s];
            switch (i) {
                case kFirstType:
                case kSecondType:
                    if (auto type = TypeOf(v)) dst[m] = static_cast<std::uint8_t>(*type);
                    break;
                case 160:
                    if (v < kT30.size()) dst[m] = static_cast<std::uint8_t>(kT30[v]);
                    break;
                case 172:
                case 189:
                    if (v < kT46.size()) dst[m] = static_cast<std::uint8_t>(kT46[v]);
                    break;
                case 183:
                case 200:
                    if (v < 9) dst[m] = v;
                    break;
                case 350:
                case 355:
                    if (v < 29) dst[m] = v;
                    break;
                case 399:
                    if (v < 30) dst[m] = v;
                    break;
                case 436:
                    WriteThresholdWord(src, dst, 435, m, 400, 600);
                    break;
                case 443:
                    WriteThresholdWord(src, dst, 442, m, 1800, 1600);
                    break;
                case 448:
                    WriteThresholdWord(src, dst, 447, m, 900, 800);
                    break;
                case 453:
                    WriteThresholdWord(src, dst, 452, m, 900, 800);
                    break;
                case 478:
                    dst[m] = 0;
                    dst[m + 1] = v;
                    break;
                case 490: {
                    // High byte at 1382, low byte at the byte's own target.
                    const int value = std::clamp(Read14(src, 489) + 40, 0, 0x3FFF);
                    dst[kWordAt1382] = static_cast<std::uint8_t>(value >> 7);
                    dst[m] = static_cast<std::uint8_t>(value & 0x7F);
                    break;
                }
                default:
                    // Name bytes 7E and 7F leave the default blank.
                    if (i >= kName && i < kName + kNameLength && v >= 126) break;
                    dst[m] = v;
                    break;
            }
        }
    }
}

// Pass 4: the chain entries one after another from 1408, never past the chain area.
void TranslateChain(Src src, Dst dst) {
    std::size_t at = kChainStart;
    for (int e = 0; e < kChainLength; ++e) {
        const std::uint8_t entry = src[static_cast<std::size_t>(kChain + e)];
        if (entry >= kChainTable.size()) continue;
        const ChainTranslation& translation = kChainTable[entry];
        for (int j = 0; j < translation.count && at < kChainEnd; ++j)
            dst[at++] = translation.entries[static_cast<std::size_t>(j)];
    }
}

int LimitFor(int target) {
    for (const TargetLimit& limit : kAssignLimits)
        if (limit.target == target) return limit.limit;
    return 0x3FFF;
}

// Pass 5: the 12 earlier assignment blocks; at most eight TQ-550 assignment blocks are written.
void TranslateAssignments(Src src, Dst dst) {
    int written = 0;
    bool sourceOneTaken = false;
    bool sourceTwoTaken = false;
    for (int k = 0; k < kAssignmentCount; ++k) {
        const auto block = static_cast<std::size_t>(kAssignments + kAssignmentSize * k);
        if (src[block + kAssignSwitch] == 0) continue;
        const int target = Read14(src, block + kAssignTarget);
        const std::uint8_t source = src[block + kAssignSource];
        const std::uint8_t mode = src[block + 9];
        const std::uint8_t secondType = src[kSecondType];
        if (target == 139 || target == 137) {
            dst[kSpecialSetting] = 5;
            continue;
        }
        if (target == 365) {
            if (secondType == 24) dst[kSpecialSetting] = 4;
            continue;
        }
        if (target == 211 && secondType == 24) {
            dst[kSpecialSetting] = 4;
            continue;
        }
        const std::optional<int> setting = TranslateByRanges(kAssignSettingRanges, target);
        if (!sourceOneTaken && source == 1 && mode == 1 && setting) {
            dst[kSourceOneSetting] = static_cast<std::uint8_t>(*setting);
            sourceOneTaken = true;
            continue;
        }
        if (!sourceTwoTaken && source == 2 && mode == 1 && setting) {
            dst[kSourceTwoSetting] = static_cast<std::uint8_t>(*setting);
            sourceTwoTaken = true;
            continue;
        }
        if (written >= kMaxAssignments) continue;
        const std::optional<int> newTarget = TranslateByRanges(kAssignTargetRanges, target);
        if (!newTarget) continue;
        const std::size_t out = kAssignStart + kAssignStride * static_cast<std::size_t>(written);
        const int limit = LimitFor(*newTarget);
        dst[out] = src[block + kAssignSwitch];
        Write14(dst, out + 1, *newTarget);
        Write14(dst, out + 3, std::min(Read14(src, block + kAssignMinimum), limit));
        Write14(dst, out + 5, std::min(Read14(src, block + kAssignMaximum), limit));
        if (auto s = TranslateByRanges(kAssignSourceRanges, source))
            dst[out + 7] = static_cast<std::uint8_t>(*s);
        dst[out + 8] = src[block + 9];
        dst[out + 9] = src[block + 10];
        dst[out + 10] = src[block + 11];
        if (auto v = TranslateByRanges(kAssignPlus12Ranges, src[block + 12]))
            dst[out + 11] = static_cast<std::uint8_t>(*v);
        for (std::size_t j = 0; j < 4; ++j)
            dst[out + 12 + j] = src[block + 13 + j];
        ++written;
    }
}

}  // namespace

void WriteTq550Defaults(std::span<std::uint8_t> dst) {
    if (dst.size() < static_cast<std::size_t>(tq550::kDefaultCount) + 1) return;
    for (std::size_t i = 0; i < tq550::kDefaults.size(); ++i) {
        const tq550::DefaultEntry& entry = tq550::kDefaults[i];
        if (entry.kind == tq550::kDefaultByte) dst[i] = static_cast<std::uint8_t>(entry.value);
        if (entry.kind == tq550::kDefaultWord) Write14(dst, i, entry.value);
    }
}

void ConvertEarlierPatch(std::span<const std::uint8_t, kImageSize> src, std::span<std::uint8_t> dst) {
    if (dst.size() < static_cast<std::size_t>(PATCH_BLOCK_SIZE)) return;
    WriteTq550Defaults(dst);
    MapOffsets(src, dst);
    if (!TypeOf(src[kFirstType])) dst[kFirstBlockSwitch] = 0;
    if (!TypeOf(src[kSecondType])) dst[kSecondBlockSwitch] = 0;
    TranslateChain(src, dst);
    TranslateAssignments(src, dst);
    if (src[kSecondSwitch] != 0) {
        if (src[kSecondType] == 22) dst[kSpecialValue] = src[359];
        if (src[kSecondType] == 28) dst[kSpecialValue] = src[403];
    }
}
