#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "import/tables/earlier_layout.h"

// Decodes a TQ-2 bulk dump, a Standard MIDI File of TQ-2 data sets, byte by byte into earlier patch images
// (TQ-MAX layout): each TQ-2 patch number met gets the next 880-byte slot of the image buffer, filled with
// the default earlier image and then with every parameter as it arrives.
class Tq2DumpDecoder {
  public:
    static constexpr int kPatchCount = 140;
    static constexpr std::size_t kBufferSize = kPatchCount * earlier::kImageSize;

    // Forgets every slot and all per-patch state.
    void Reset();
    // Walks the file bytes, decoding into images (up to 140 slots of 880 bytes; a smaller buffer holds
    // fewer), then finishes the patches. Returns the number of patches decoded; 0 when the file is not a
    // Standard MIDI File of the expected shape.
    int WalkSmf(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> images);
    // One System Exclusive message, F0 to F7: a TQ-2 data set is stored byte by byte from its address.
    void TakeMessage(std::span<const std::uint8_t> message);
    // One parameter value at one packed TQ-2 address.
    void Store(std::int32_t address, std::uint8_t value);
    // Completes every decoded patch: the block-1 settings, the chain, the fixed bytes and the assignments.
    void Finish();
    // The number of slots used so far.
    int GetCount() const { return lastSlot_ + 1; }
    // The TQ-2 patch number of each slot, in order of first appearance.
    std::span<const int> SlotNumbers() const {
        return std::span(slotNumbers_).first(static_cast<std::size_t>(GetCount()));
    }

  private:
    struct Slot {
        std::array<std::uint8_t, 17> block1{};
        int flags = 0;
        int mode = 1;
        int stored77 = 0;
        bool enable102 = false;
        std::optional<int> stored220;
    };

    void BindImages(std::span<std::uint8_t> images) { images_ = images; }
    int SlotFor(int number);
    std::span<std::uint8_t, earlier::kImageSize> Image(int slot);
    // The value handled by the special rules of global index g; false when g has none.
    bool StoreSpecial(Slot& slot, std::span<std::uint8_t, earlier::kImageSize> image, int g, int target,
                      int v);
    void FinishSlot(Slot& slot, std::span<std::uint8_t, earlier::kImageSize> image);

    std::span<std::uint8_t> images_;
    std::array<int, kPatchCount> slotOf_{};
    std::array<int, kPatchCount> slotNumbers_{};
    std::array<Slot, kPatchCount> slots_{};
    int lastSlot_ = -1;
    bool modeOneSeen_ = false;
};
