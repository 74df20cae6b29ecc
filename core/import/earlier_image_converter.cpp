#include "import/earlier_image_converter.h"

#include <algorithm>

#include "import/data.h"
#include "import/seven_bit.h"
#include "import/tables/default_earlier_image.h"
#include "import/tables/tq4_layout_tables.h"

using namespace earlier;

void FillDefaultEarlierImage(std::span<std::uint8_t> image) {
    if (image.size() < kImageSize) return;
    std::copy(kStoredDefaultImage.begin(), kStoredDefaultImage.end(), image.begin());
    for (const ImageWord& word : kDefaultImageWords) {
        const auto high = static_cast<std::size_t>(word.offset);
        const std::uint8_t storedHigh = kStoredDefaultImage[high];
        const std::uint8_t storedLow = kStoredDefaultImage[high + 1];
        image[high] = static_cast<std::uint8_t>(storedHigh * 2 + (storedLow >> 7));
        image[high + 1] = static_cast<std::uint8_t>(storedLow & 0x7F);
    }
}

namespace {
// A TQ-4 short setting (switch and target choice) as a TQ-MAX assignment block at block.
void ConvertShortSetting(std::span<std::uint8_t, kImageSize> out, int block, std::uint8_t onOff,
                         std::uint8_t choice, const std::array<std::uint8_t, 8>& tail) {
    const auto at = static_cast<std::size_t>(block);
    out[at] = onOff;
    if (choice < kTq4ShortTargets.size()) {
        Write14(out, at + 2, kTq4ShortTargets[choice]);
    } else {
        // A choice the table does not know has no target: the assignment stays off.
        out[at] = 0;
        Write14(out, at + 2, 0);
    }
    std::copy(tail.begin(), tail.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 4));
}
}  // namespace

void ConvertTq4Image(std::span<const std::uint8_t, kImageSize> in, std::span<std::uint8_t, kImageSize> out) {
    FillDefaultEarlierImage(out);
    std::copy(in.begin(), in.end(), out.begin());
    // The 8 assignment blocks become assignment blocks 1 to 8.
    std::copy_n(in.begin() + kTq4Assignments, kTq4AssignmentCount * kAssignmentSize,
                out.begin() + kAssignments);
    for (int k = 0; k < kTq4AssignmentCount; ++k) {
        const auto block = static_cast<std::size_t>(kAssignments + kAssignmentSize * k);
        const int target = Read14(out, block + kAssignTarget);
        // Targets beyond table A keep their value.
        for (const RangeRow& row : kTq4TargetRanges) {
            if (target < row.from || target > row.to) continue;
            if (row.newStart == kNone)
                out[block + kAssignSwitch] = 0;
            else
                Write14(out, block + kAssignTarget, target + row.newStart - row.from);
            break;
        }
        const int source = out[block + kAssignSource];
        for (const RangeRow& row : kTq4SourceRanges) {
            if (source < row.from || source > row.to) continue;
            out[block + kAssignSource] =
                row.newStart == kNone ? 0 : static_cast<std::uint8_t>(source + row.newStart - row.from);
            break;
        }
    }
    std::copy_n(in.begin() + 530, 3, out.begin() + 874);
    ConvertShortSetting(out, 857, in[526], in[527], {0, 0, 0, 1, 1, 1, 0, 127});
    ConvertShortSetting(out, 840, in[528], in[529], {0, 0, 0, 1, 2, 1, 0, 127});
    for (int i = kName; i < kName + kNameLength; ++i) {
        auto& byte = out[static_cast<std::size_t>(i)];
        if (byte == 0x7F) byte = 0x7B;
        if (byte == 0x7E) byte = 0x7D;
    }
}

void EarlierImageConverter::ConvertLayout(TQML::CConcreteParameterArray<TQML::CPatch>& patches,
                                          int direction) const {
    if (direction != kTq4ToTqMax) return;
    TQML::CPatch::Image in{};
    TQML::CPatch::Image out{};
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        patches[i].GetImage(in);
        ConvertTq4Image(in, out);
        patches[i].SetImage(out);
    }
}

void EarlierImageConverter::FillDefaultSlot(std::span<std::uint8_t> slots, std::size_t slot) const {
    if (slot >= slots.size() / kImageSize) return;
    FillDefaultEarlierImage(slots.subspan(slot * kImageSize, kImageSize));
}
