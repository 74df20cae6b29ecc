// The patch reader on Standard MIDI Files (AReader::ReadPatchesFromSmf), as Import SMF and `tq550 dump
// --from smf` use it, on any bytes.
//
// The 200 patches stay 200; a patch whose data changed has lost its memos; and the patches that changed,
// exported again as Export SMF writes them and imported into fresh patches, come back with the same data.

#include <sstream>

#include "fuzz_support.h"
#include "model/data.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

namespace {

CPatchArray MakeBefore() {
    CPatchArray patches;
    patches.Resize(USER_PATCH_COUNT);
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        patches[i].SetName("BEFORE " + std::to_string(i));
        patches[i].SetMemo(0, "memo");
    }
    return patches;
}

struct Rig {
    TextOutHub hub;
    MidiEnvironment environment{hub};
    AReader reader{environment};
    CWriter writer{environment};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CPatchArray before = MakeBefore();
    static Rig rig;
    const std::span<const std::uint8_t> bytes(data, size);

    CPatchArray patches = before;
    std::istringstream stream(AsString(bytes));
    rig.reader.ReadPatchesFromSmf(stream, patches);
    FUZZ_CHECK(patches.GetSize() == USER_PATCH_COUNT);

    std::vector<int> changed;
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        const bool dataChanged = patches[i].Sections() != before[i].Sections();
        const bool memosCleared = patches[i].GetMemo(0).empty();
        // Data arrives only together with the loss of the memos.
        FUZZ_CHECK(!dataChanged || memosCleared);
        FUZZ_CHECK(memosCleared || patches[i].GetMemo(0) == before[i].GetMemo(0));
        if (memosCleared) {
            FUZZ_CHECK(patches[i].PatchBlock().size() >= static_cast<std::size_t>(PATCH_BLOCK_SIZE));
            changed.push_back(static_cast<int>(i));
        }
    }
    if (changed.empty()) return 0;

    FUZZ_CHECK(rig.writer.BuildSmf(AREA_USER_PATCH, changed, patches));
    const Bytes& file = rig.writer.FileBytes();
    CPatchArray back = before;
    std::istringstream exported(AsString(file));
    FUZZ_CHECK(rig.reader.ReadPatchesFromSmf(exported, back));
    for (int i : changed)
        FUZZ_CHECK(back[static_cast<std::size_t>(i)].GetImage() ==
                   patches[static_cast<std::size_t>(i)].GetImage());
    return 0;
}
