#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "model/parameter.h"
#include "model/parameter_address.h"

// Where the data of a data-set message belongs: the patch area and number its address falls into, and the
// offset in that patch's 2178-byte block.
struct DataSetPlace {
    int area = AREA_NONE;
    int number = -1;
    int offset = 0;
};

// Locates a received packed address as the device's patch memory is laid out: none when it lies in no
// known area, or past the 2178 bytes of its patch. User patch numbers run up to 2047 here; which of them
// have a slot is the caller's rule.
std::optional<DataSetPlace> PlaceDataSet(PackedAddress address);

// Stores data at offset of patch as the device's data arrive: the patch loses its four memos, a block
// shorter than 2178 bytes is widened (longer ones keep their extra bytes) and bytes that would pass the
// 2178th are dropped. offset must lie inside the block (as PlaceDataSet gives it).
void StoreDataSetInPatch(CParameter& patch, int offset, std::span<const std::uint8_t> data);
