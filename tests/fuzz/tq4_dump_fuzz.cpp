// TQ-4/TQ-MAX bulk dumps: TQML::CReader::ReadSmfBytes on any bytes, then the conversion into TQ-550
// patches.
//
// Patches already in the list stay as they were and the dump's patches follow them, one per patch number
// met (each number once); names never keep 7EH or 7FH. The patches read, written again as a dump, read back
// unchanged, and their TQ-550 conversions survive a library round trip.

#include <algorithm>
#include <array>

#include "device/device_ids.h"
#include "import/convert_earlier_patches.h"
#include "import/parameter_address.h"
#include "import/reader.h"
#include "import/tables/earlier_layout.h"
#include "library_support.h"
#include "ports/midi_environment.h"
#include "support/earlier_dump_bytes.h"
#include "textout/text_out_hub.h"

namespace {

struct Rig {
    Rig() { reader.SetDeviceIds(Tq550DeviceIds(0x00)); }
    TextOutHub hub;
    MidiEnvironment environment{hub};
    TQML::CReader reader{environment};
};

// For each block, the first offset inside a patch whose data sets fill it.
std::array<int, earlier::kBlockCount> FirstOffsets() {
    std::array<int, earlier::kBlockCount> first;
    first.fill(-1);
    const TQML::CParameterAddress addresses;
    for (int offset = 0; offset < (1 << 14); ++offset) {
        const auto block = static_cast<std::size_t>(addresses.GetBlock(offset));
        if (first[block] < 0) first[block] = offset;
    }
    for (int offset : first)
        FUZZ_CHECK(offset >= 0);
    return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Rig rig;
    static const std::array<int, earlier::kBlockCount> firstOffsets = FirstOffsets();
    const Bytes bytes(data, data + size);

    TQML::CPatchArray patches;
    patches.Resize(1);
    patches[0].SetName("BEFORE");
    const TQML::CPatch::Image before = patches[0].GetImageBytes();
    const bool parsed = rig.reader.ReadSmfBytes(bytes, patches);
    (void)parsed;

    const std::vector<int> numbers = rig.reader.PatchNumbers();
    FUZZ_CHECK(patches.GetSize() == 1 + numbers.size());
    FUZZ_CHECK(patches[0].GetImageBytes() == before);
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    for (int number : numbers)
        FUZZ_CHECK(number >= 0 && number < 256);
    for (std::size_t i = 1; i < patches.GetSize(); ++i) {
        const std::string name = patches[i].GetName();
        FUZZ_CHECK(name.find('\x7E') == std::string::npos && name.find('\x7F') == std::string::npos);
    }
    if (numbers.empty()) return 0;

    // The dump's patches, written again block by block, read back unchanged.
    std::vector<Bytes> messages;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        for (int b = 0; b < earlier::kBlockCount; ++b) {
            const auto block = patches[i + 1].Block(b);
            if (std::any_of(block.begin(), block.end(), [](std::uint8_t v) { return v > 0x7F; })) continue;
            messages.push_back(Tq4Set(numbers[i], firstOffsets[static_cast<std::size_t>(b)],
                                      Bytes(block.begin(), block.end())));
        }
    }
    TQML::CPatchArray again;
    FUZZ_CHECK(rig.reader.ReadSmfBytes(SmfWithSysEx(messages), again));
    FUZZ_CHECK(rig.reader.PatchNumbers() == numbers);
    FUZZ_CHECK(again.GetSize() == numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i)
        FUZZ_CHECK(again[i].GetImageBytes() == patches[i + 1].GetImageBytes());

    CPatchArray converted;
    ConvertEarlierPatches(again, converted);
    FUZZ_CHECK(converted.GetSize() == numbers.size());
    CheckLibraryRoundTrip(converted);
    return 0;
}
