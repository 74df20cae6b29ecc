#pragma once

#include <cstdint>
#include <span>

#include "import/tables/earlier_layout.h"

// Converts an earlier patch image (TQ-MAX layout) into the bytes of a TQ-550 patch. dst holds the target
// patch's bytes (GetFlatData); offsets 0 to 1701 are rewritten, later bytes keep their values. A dst shorter
// than a TQ-550 patch is left unchanged.
void ConvertEarlierPatch(std::span<const std::uint8_t, earlier::kImageSize> src, std::span<std::uint8_t> dst);

// Writes the default bytes of a TQ-550 patch (offsets 0 to 1700, the name 16 blanks) into dst.
void WriteTq550Defaults(std::span<std::uint8_t> dst);
