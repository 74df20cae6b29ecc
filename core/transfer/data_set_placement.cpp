#include "transfer/data_set_placement.h"

#include <algorithm>

std::optional<DataSetPlace> PlaceDataSet(PackedAddress address) {
    const CParameterAddress addresses;
    const int area = addresses.GetArea(address);
    if (area == AREA_NONE) return std::nullopt;
    const int number = addresses.GetPatchNumber(address, area);
    if (number < 0) return std::nullopt;
    const BlockLocation location = addresses.Locate(address, area, number);
    if (location.block == 0 || addresses.GetSection(location.block) != 0) return std::nullopt;
    return DataSetPlace{area, number, location.offset};
}

void StoreDataSetInPatch(CParameter& patch, int offset, std::span<const std::uint8_t> data) {
    patch.ClearMemos();
    Block& block = patch.FirstBlock();
    if (block.size() < static_cast<std::size_t>(PATCH_BLOCK_SIZE)) block.resize(PATCH_BLOCK_SIZE, 0);
    const auto at = static_cast<std::size_t>(offset);
    const std::size_t count = std::min(data.size(), static_cast<std::size_t>(PATCH_BLOCK_SIZE) - at);
    std::copy_n(data.begin(), count, block.begin() + static_cast<std::ptrdiff_t>(at));
}
