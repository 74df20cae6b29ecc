#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CParameter;
class CParameterArray;

// A device address held as one integer: four 7-bit groups side by side, most significant first.
using PackedAddress = std::int32_t;

// Area codes: a low nibble of 1 marks patch data, the high nibble selects the area; 0 is not ours.
constexpr int AREA_NONE = 0;
constexpr int AREA_TEMPORARY_PATCH = 0x11;
constexpr int AREA_USER_PATCH = 0x21;

constexpr bool IsPatchArea(int area) {
    return (area & 0x0F) == 1;
}

// Block ids: the whole 2178-byte patch block, which is also chunk 0 of its nine transmission chunks.
constexpr int BLOCK_PATCH = 0x101;
constexpr int PATCH_BLOCK_SIZE = 2178;
constexpr int PATCH_CHUNK_SIZE = 242;
constexpr int PATCH_CHUNK_COUNT = 9;
constexpr int PATCH_NAME_LENGTH = 16;
constexpr int USER_PATCH_COUNT = 200;

// Address width of the TQ-550 on the wire.
constexpr int ADDRESS_WIDTH = 4;

// Packs 7-bit address bytes, most significant first.
PackedAddress PackAddress(std::span<const std::uint8_t> bytes);
// Unpacks the lowest `width` 7-bit groups (at most four), most significant first.
std::vector<std::uint8_t> UnpackAddress(PackedAddress address, int width = ADDRESS_WIDTH);

// Where a received address belongs inside a patch.
struct BlockLocation {
    int block = 0;  // BLOCK_PATCH, or 0 when the address is not ours
    int offset = 0;
};

// All address arithmetic of the device's patch memory. Stateless.
class CParameterAddress {
  public:
    virtual ~CParameterAddress() = default;

    int GetArea(PackedAddress address) const;
    int GetPatchNumber(PackedAddress address, int area) const;
    PackedAddress GetAreaBase(int area) const;
    PackedAddress GetPatchBase(int area, int number) const;
    PackedAddress GetAddress(int area, int number, int blockId, int subIndex) const;
    int GetChunkNumber(int blockId) const;
    int GetChunkOffset(int chunk) const;
    BlockLocation Locate(PackedAddress address, int area, int number) const;
    int GetSection(int blockId) const;
    int GetBlockSize(int area, int blockId, bool chunked) const;
    // Block `subIndex` of section `section` of the patch at `index`; the caller guarantees they exist.
    std::vector<std::uint8_t>& GetBlockData(CParameterArray& patches, int index, int section,
                                            int subIndex) const;
    std::string GetSlotName(int area, int number) const;
};

// How users see user patch number (0-199): "U01-1" to "U50-4", bank and number in the bank; empty for a
// number outside them.
std::string UserPatchLabel(int number);
