#pragma once

// TQ-4/TQ-MAX bulk dumps: which block of an earlier patch a data set fills, by the offset R = a2·128 + a3
// of its address inside the patch. The first row whose range holds R applies; rows with a block step put
// every 128 offsets into the next block.
namespace earlier {

struct DumpBlockRow {
    int from;       // R from
    int below;      // R below (the last row has no end)
    int block;      // block of R = from
    int blockStep;  // 1 when each further 128 offsets name the next block, else 0
};

inline constexpr int kDumpBlockStepSize = 128;

inline constexpr DumpBlockRow kDumpBlocks[] = {
    {0, 256, 0, 0},         {256, 384, 1, 0},    {384, 512, 2, 0},    {512, 640, 3, 0},
    {640, 768, 4, 0},       {768, 896, 5, 0},    {896, 1024, 6, 0},   {1024, 1152, 7, 0},
    {1152, 1408, 8, 0},     {1408, 1536, 9, 0},  {1536, 1664, 10, 0}, {1664, 1792, 11, 0},
    {1792, 1920, 12, 0},    {1920, 2048, 13, 0}, {2048, 2176, 14, 0}, {2176, 2304, 15, 0},
    {2304, 2432, 16, 0},    {2432, 2560, 17, 0}, {2560, 2688, 18, 0}, {2688, 2816, 19, 0},
    {2816, 3840, 20, 1},    {3840, 4096, 28, 0}, {4096, 5632, 29, 1}, {5632, 5760, 41, 0},
    {5760, 1 << 14, 42, 0},
};

}  // namespace earlier
