#include "model/device_slot_knowledge.h"

#include <algorithm>

namespace {

bool IsSlot(int slot) {
    return slot >= 0 && slot < USER_PATCH_COUNT;
}

}  // namespace

CDeviceSlotKnowledge::CDeviceSlotKnowledge() : held_(USER_PATCH_COUNT) {}

void CDeviceSlotKnowledge::Remember(const CPatchArray& main, std::span<const int> slots) {
    for (const int slot : slots)
        if (IsSlot(slot) && static_cast<std::size_t>(slot) < main.GetSize())
            Remember(slot, main[static_cast<std::size_t>(slot)]);
}

void CDeviceSlotKnowledge::Remember(int slot, const CPatch& patch) {
    if (IsSlot(slot)) held_[static_cast<std::size_t>(slot)] = patch.GetImage();
}

void CDeviceSlotKnowledge::Forget(std::span<const int> slots) {
    for (const int slot : slots)
        if (IsSlot(slot)) held_[static_cast<std::size_t>(slot)].reset();
}

void CDeviceSlotKnowledge::ForgetAll() {
    std::fill(held_.begin(), held_.end(), std::nullopt);
}

bool CDeviceSlotKnowledge::IsKnown(int slot) const {
    return IsSlot(slot) && held_[static_cast<std::size_t>(slot)].has_value();
}

bool CDeviceSlotKnowledge::Differs(int slot, const CPatch& patch) const {
    return !IsKnown(slot) || *held_[static_cast<std::size_t>(slot)] != patch.GetImage();
}

std::vector<int> CDeviceSlotKnowledge::ChangedSlots(const CPatchArray& main) const {
    std::vector<int> changed;
    const int count = static_cast<int>(std::min<std::size_t>(main.GetSize(), USER_PATCH_COUNT));
    for (int slot = 0; slot < count; ++slot)
        if (Differs(slot, main[static_cast<std::size_t>(slot)])) changed.push_back(slot);
    return changed;
}
