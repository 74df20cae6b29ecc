#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "collection/sound.h"

// The bytes of a sound as the collection keeps them: packed, since a patch is mostly runs of equal bytes
// (zero above all) with a few dozen settings between them; about 180 bytes instead of 2178.
//
// Packed form: the format byte kPackedFormat, then tokens until the 2178 bytes are made:
//   0x00-0x7F  t + 1 bytes that follow, as they are
//   0x80-0xBF  t - 0x80 + 2 zero bytes
//   0xC0-0xFF  t - 0xC0 + 3 times the byte that follows
// Packing is deterministic: equal sounds pack to equal bytes. Stored bytes of exactly 2178 are the sound
// as it is (kept so, unpacked, when packing would not make them shorter).

inline constexpr std::uint8_t kPackedFormat = 1;

// Packs data into packed (cleared first; its capacity is reused).
void PackSound(const SoundData& data, std::vector<std::uint8_t>& packed);

// Unpacks stored bytes (packed, or the 2178 bytes as they are); false when they are neither, or damaged.
bool UnpackSound(std::span<const std::uint8_t> stored, SoundData& data);
