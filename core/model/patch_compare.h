#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/data.h"
#include "model/parameter_address.h"
#include "model/patch.h"

// One run of data bytes in which two patches differ, inside one transmission chunk of 242 bytes (a run
// that crosses a chunk boundary is cut there, so that each run names the data set it travels in).
struct DifferingRun {
    int offset = 0;  // in the 2178-byte block; the device address is the patch's base plus this offset
    int chunk = 0;   // 0-8: the chunk, and so the data set of a Write, the run lies in
    std::vector<std::uint8_t> first;   // the bytes of the first patch
    std::vector<std::uint8_t> second;  // the bytes of the second patch, as many

    std::size_t Length() const { return first.size(); }
    bool operator==(const DifferingRun&) const = default;
};

// How two patches differ: their data as the device holds it (2178 bytes, the name in the first 16), and
// their memos.
struct PatchComparison {
    std::vector<DifferingRun> runs;  // by offset
    bool namesDiffer = false;
    std::array<bool, CParameter::kMemoCount> memosDiffer{};

    bool DataDiffer() const { return !runs.empty(); }
    bool MemosDiffer() const;
    bool Identical() const { return !DataDiffer() && !MemosDiffer(); }
    // The number of differing data bytes.
    std::size_t DifferingBytes() const;
};

// Compares the data of two patches byte by byte (each as the device holds it: the stored block padded with
// zeros or cut to 2178 bytes) and their four memos byte for byte.
PatchComparison ComparePatches(const CPatch& first, const CPatch& second);

// How many positions of two lists hold patches whose data differ (as ComparePatches sees the data; memos
// do not count), a position that only one list has counting as differing: how far a kept read of the device
// is from the Main window.
std::size_t CountDifferingPatches(const CPatchArray& first, const CPatchArray& second);

// The address of offset inside a patch as the device's last two address bytes show it, the patch's base
// being xx xx 00 00 (offset 242 is 01 72).
std::array<std::uint8_t, 2> OffsetAddressBytes(int offset);
