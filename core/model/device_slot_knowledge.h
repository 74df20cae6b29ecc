#pragma once

#include <optional>
#include <span>
#include <vector>

#include "model/data.h"

// What the processor holds in each of its 200 user patches, as far as this run of the program knows: the
// data (2178 bytes) last read from or written to that slot; unknown until then. The Main window's patch at
// position n is user patch n, so its slots are its positions.
//
// After a successful read or write of some slots, Remember them; after a failed transfer Forget the slots
// it may have changed; after a change of the MIDI setup ForgetAll (another device, or another id, may
// answer now). ChangedSlots then gives what "Write Changed" sends.
class CDeviceSlotKnowledge {
  public:
    CDeviceSlotKnowledge();

    // The slots now hold the patches at those positions of main (slots outside 0-199 or main are ignored).
    void Remember(const CPatchArray& main, std::span<const int> slots);
    // The slot now holds patch.
    void Remember(int slot, const CPatch& patch);
    void Forget(std::span<const int> slots);
    void ForgetAll();

    bool IsKnown(int slot) const;
    // Whether patch differs from what the slot is known to hold; an unknown slot counts as different.
    bool Differs(int slot, const CPatch& patch) const;
    // The slots, in order, whose patch in main differs from what the processor is known to hold (unknown
    // slots included), over the first 200 positions of main.
    std::vector<int> ChangedSlots(const CPatchArray& main) const;

  private:
    std::vector<std::optional<PatchImage>> held_;
};
