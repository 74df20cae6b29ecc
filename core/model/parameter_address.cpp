#include "model/parameter_address.h"

#include <cstdio>

#include "model/parameter.h"
#include "model/parameter_array.h"

namespace {
constexpr PackedAddress kUserBase = 0x02000000;
constexpr PackedAddress kUserEnd = 0x04000000;
constexpr PackedAddress kTemporaryBase = 0x0C000000;
constexpr PackedAddress kTemporaryEnd = 0x0C001000;
constexpr PackedAddress kPatchStride = 0x4000;
}  // namespace

PackedAddress PackAddress(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t byte : bytes)
        value = value * 128 + (byte & 0x7F);
    return static_cast<PackedAddress>(value);
}

std::vector<std::uint8_t> UnpackAddress(PackedAddress address, int width) {
    std::vector<std::uint8_t> bytes;
    const auto value = static_cast<std::uint32_t>(address);
    if (width > 3) bytes.push_back(static_cast<std::uint8_t>((value >> 21) & 0x7F));
    if (width > 2) bytes.push_back(static_cast<std::uint8_t>((value >> 14) & 0x7F));
    if (width > 1) bytes.push_back(static_cast<std::uint8_t>((value >> 7) & 0x7F));
    bytes.push_back(static_cast<std::uint8_t>(value & 0x7F));
    return bytes;
}

int CParameterAddress::GetArea(PackedAddress address) const {
    if (address < kUserBase) return AREA_NONE;
    if (address < kUserEnd) return AREA_USER_PATCH;
    if (address >= kTemporaryBase && address < kTemporaryEnd) return AREA_TEMPORARY_PATCH;
    return AREA_NONE;
}

int CParameterAddress::GetPatchNumber(PackedAddress address, int area) const {
    if (area == AREA_TEMPORARY_PATCH) return 0;
    if (area == AREA_USER_PATCH) return (address - kUserBase) / kPatchStride;
    return -1;
}

PackedAddress CParameterAddress::GetAreaBase(int area) const {
    if (area == AREA_TEMPORARY_PATCH) return kTemporaryBase;
    if (area == AREA_USER_PATCH) return kUserBase;
    return 0;
}

PackedAddress CParameterAddress::GetPatchBase(int area, int number) const {
    PackedAddress base = GetAreaBase(area);
    if (area == AREA_USER_PATCH) base += number * kPatchStride;
    return base;
}

PackedAddress CParameterAddress::GetAddress(int area, int number, int blockId, int /*subIndex*/) const {
    PackedAddress address = GetPatchBase(area, number);
    // Only the chunk ids 0x201..0x901 move the address; 0x101 and every other id add nothing.
    if (IsPatchArea(area) && (blockId & 0xFF) == 0x01 && blockId >= 0x201 && blockId <= 0x901)
        address += GetChunkOffset(GetChunkNumber(blockId));
    return address;
}

int CParameterAddress::GetChunkNumber(int blockId) const {
    if ((blockId & 0x0F) != 1) return -1;
    return ((blockId - BLOCK_PATCH) >> 8) & 0xFFFF;
}

int CParameterAddress::GetChunkOffset(int chunk) const {
    return chunk * PATCH_CHUNK_SIZE;
}

BlockLocation CParameterAddress::Locate(PackedAddress address, int area, int number) const {
    const PackedAddress offset = address - GetPatchBase(area, number);
    if (IsPatchArea(area) && offset >= 0 && offset < PATCH_BLOCK_SIZE) return {BLOCK_PATCH, offset};
    return {0, 0};
}

int CParameterAddress::GetSection(int blockId) const {
    return (blockId & 0x0F) == 1 ? 0 : -1;
}

int CParameterAddress::GetBlockSize(int area, int /*blockId*/, bool chunked) const {
    if (!IsPatchArea(area)) return 0;
    return chunked ? PATCH_CHUNK_SIZE : PATCH_BLOCK_SIZE;
}

std::vector<std::uint8_t>& CParameterAddress::GetBlockData(CParameterArray& patches, int index, int section,
                                                           int subIndex) const {
    return patches.GetAt(static_cast<std::size_t>(index))
        .Sections()[static_cast<std::size_t>(section)][static_cast<std::size_t>(subIndex)];
}

std::string CParameterAddress::GetSlotName(int area, int number) const {
    if (area >= 0x10 && area <= 0x1F) return "Temporary Patch";
    if (area >= 0x20 && area <= 0x2F) return "User Patch " + UserPatchLabel(number);
    return {};
}

std::string UserPatchLabel(int number) {
    if (number < 0 || number >= USER_PATCH_COUNT) return {};
    char text[16];
    std::snprintf(text, sizeof text, "U%02d-%d", number / 4 + 1, number % 4 + 1);
    return text;
}
