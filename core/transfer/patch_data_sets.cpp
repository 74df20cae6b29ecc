#include "transfer/patch_data_sets.h"

#include "model/patch.h"

namespace {

PatchImage ImageOf(const CParameter& patch) {
    if (const auto* p = dynamic_cast<const CPatch*>(&patch)) return p->GetImage();
    PatchImage image{};
    patch.GetFlatData(image);
    return image;
}

}  // namespace

bool PutPatchDataSets(const CParameter& patch, int area, int number, IDataSetSink& sink) {
    if (!IsPatchArea(area)) return true;
    const CParameterAddress addresses;
    const PatchImage image = ImageOf(patch);
    for (int chunk = 0; chunk < PATCH_CHUNK_COUNT; ++chunk) {
        const int blockId = BLOCK_PATCH + chunk * 0x100;
        const PackedAddress address = addresses.GetAddress(area, number, blockId, 0);
        const auto offset = static_cast<std::size_t>(addresses.GetChunkOffset(chunk));
        const auto size = static_cast<std::size_t>(addresses.GetBlockSize(area, blockId, true));
        if (!sink.PutDataSet(area, number, address,
                             std::span<const std::uint8_t>(image).subspan(offset, size)))
            return false;
    }
    return true;
}
