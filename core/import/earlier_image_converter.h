#pragma once

#include <cstdint>
#include <span>

#include "import/tables/earlier_layout.h"

namespace TQML {
class CPatch;
template <class T>
class CConcreteParameterArray;
}  // namespace TQML

// Writes the default earlier image (TQ-MAX layout, 880 bytes) into image, re-splitting its stored 14-bit
// pairs into 7-bit bytes. image must hold at least 880 bytes.
void FillDefaultEarlierImage(std::span<std::uint8_t> image);

// Turns one earlier image from the TQ-4 layout into the TQ-MAX layout. Both hold 880 bytes.
void ConvertTq4Image(std::span<const std::uint8_t, earlier::kImageSize> in,
                     std::span<std::uint8_t, earlier::kImageSize> out);

// Converts whole earlier patch lists between layouts and fills default slots; it keeps no state.
class EarlierImageConverter {
  public:
    // The only direction: from the TQ-4 layout into the TQ-MAX layout.
    static constexpr int kTq4ToTqMax = 1;

    // Converts every patch of patches in direction; other directions change nothing.
    void ConvertLayout(TQML::CConcreteParameterArray<TQML::CPatch>& patches, int direction) const;
    // Writes the default earlier image into slot `slot` of a buffer of 880-byte slots; nothing when the
    // slot lies outside the buffer.
    void FillDefaultSlot(std::span<std::uint8_t> slots, std::size_t slot) const;
};
