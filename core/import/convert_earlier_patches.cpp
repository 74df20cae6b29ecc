#include "import/convert_earlier_patches.h"

#include <vector>

#include "import/convert_earlier_patch.h"

void ConvertEarlierPatches(const TQML::CPatchArray& source, CPatchArray& destination) {
    destination.RemoveAll();
    destination.Resize(source.GetSize());
    std::vector<std::uint8_t> bytes;
    TQML::CPatch::Image image{};
    for (std::size_t i = 0; i < source.GetSize(); ++i) {
        CPatch& patch = destination[i];
        bytes.assign(std::max<std::size_t>(patch.GetFlatSize(), PATCH_BLOCK_SIZE), 0);
        patch.GetFlatData(bytes);
        source[i].GetImage(image);
        ConvertEarlierPatch(image, bytes);
        patch.SetFlatData(bytes);
        for (int m = 0; m < TQML::CParameter::kMemoCount; ++m)
            patch.SetMemo(m, source[i].GetMemo(m));
    }
}
