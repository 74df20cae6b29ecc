// The SysEx file reader (CSyxReader), as File > Import > SysEx File and `tq550 dump --from syx` use it, on
// any bytes.
//
// A read that fails reports one message and leaves the list as it was; a read that succeeds reports
// nothing and gives one patch per slot in slot order, each with the whole 2178-byte block and no memos; its
// user patches, written again as the data sets of a Write, read back the same. A read of one device id
// takes a part of what the read of every id takes.

#include <algorithm>
#include <memory>

#include "library_support.h"
#include "model/data.h"
#include "model/parameter_address.h"
#include "textout/text_out_hub.h"
#include "transfer/syx_reader.h"
#include "transfer/syx_writer.h"

namespace {

// The patch every new patch copies: named and with a memo, so that a patch that took data shows it.
class CInitial : public IInitialData {
  public:
    CInitial() {
        patch_.Initialize();
        patch_.SetName("INITIAL");
        patch_.SetMemo(0, "initial");
    }
    const CParameter* InitialElement() const override { return &patch_; }

  private:
    CPatch patch_;
};

CPatchArray MakeBefore() {
    CPatchArray patches;
    patches.SetInitialData(std::make_shared<CInitial>());
    patches.Resize(2);
    patches[0].SetName("BEFORE");
    patches[1].SetMemo(3, "kept");
    return patches;
}

// Counts the messages reported.
class CCountingText : public CKivTextOut {
  public:
    int count = 0;

  protected:
    void Output(const std::string&) override { ++count; }
};

int SlotOrder(const PatchSlot& slot) {
    return slot.area == AREA_TEMPORARY_PATCH ? USER_PATCH_COUNT : slot.number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CPatchArray before = MakeBefore();
    const std::span<const std::uint8_t> bytes(data, size);

    auto text = std::make_shared<CCountingText>();
    TextOutHub hub;
    hub.SetTextOut(TextOutHub::kBufferSlot, text);
    CSyxReader reader(&hub);
    CPatchArray patches = before;
    const bool read = reader.Read(bytes, patches);

    if (!read) {
        FUZZ_CHECK(SamePatches(patches, before));
        FUZZ_CHECK(text->count == 1);
        FUZZ_CHECK(reader.Slots().empty());
        FUZZ_CHECK(reader.Result() != SyxReadResult::Read);
        return 0;
    }
    FUZZ_CHECK(text->count == 0);
    const std::vector<PatchSlot> slots = reader.Slots();
    FUZZ_CHECK(!slots.empty() && slots.size() == patches.GetSize());
    std::vector<int> positions, numbers;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        FUZZ_CHECK(i == 0 || SlotOrder(slots[i - 1]) < SlotOrder(slots[i]));
        FUZZ_CHECK(slots[i].area == AREA_TEMPORARY_PATCH
                       ? slots[i].number == 0
                       : slots[i].number >= 0 && slots[i].number < USER_PATCH_COUNT);
        FUZZ_CHECK(patches[i].PatchBlock().size() == static_cast<std::size_t>(PATCH_BLOCK_SIZE));
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            FUZZ_CHECK(patches[i].GetMemo(m).empty());
        if (slots[i].area == AREA_USER_PATCH) {
            positions.push_back(static_cast<int>(i));
            numbers.push_back(slots[i].number);
        }
    }

    // The user patches, written as a Write sends them, read back the same into the same slots.
    if (!positions.empty()) {
        CSyxWriter writer(&hub);
        FUZZ_CHECK(writer.Build(patches, positions, numbers));
        CPatchArray back = before;
        CSyxReader again(&hub);
        again.SetDeviceId(0);
        FUZZ_CHECK(again.Read(writer.Bytes(), back));
        FUZZ_CHECK(back.GetSize() == positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            FUZZ_CHECK(again.Slots()[i].number == numbers[i]);
            FUZZ_CHECK(back[i].GetImage() == patches[static_cast<std::size_t>(positions[i])].GetImage());
        }
        FUZZ_CHECK(text->count == 0);
    }

    // One device id (the first byte's) takes some of the slots, or none.
    CSyxReader one(&hub);
    one.SetDeviceId(static_cast<std::uint8_t>(size > 0 ? data[0] & 0x1F : 0));
    CPatchArray some = before;
    if (one.Read(bytes, some)) {
        for (const PatchSlot& slot : one.Slots())
            FUZZ_CHECK(std::find(slots.begin(), slots.end(), slot) != slots.end());
    } else {
        FUZZ_CHECK(one.Result() == SyxReadResult::NoPatch);
        FUZZ_CHECK(SamePatches(some, before));
    }
    return 0;
}
