// Select Duplicates on large libraries: every patch distinct, and every patch repeated once, against a plain
// pass that only reads each patch's bytes.

#include <benchmark/benchmark.h>

#include <numeric>

#include "model/data.h"
#include "model/duplicates.h"

namespace {

// count patches; with repeat 2 each distinct patch appears twice, the copies in the second half.
CPatchArray MakeLibrary(int count, int repeat) {
    CPatchArray patches;
    patches.Resize(static_cast<std::size_t>(count));
    const int distinct = count / repeat;
    for (int i = 0; i < count; ++i) {
        const int n = i % distinct;
        Block& block = patches[static_cast<std::size_t>(i)].PatchBlock();
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>((b * 5 + static_cast<std::size_t>(n)) & 0x7F);
        patches[static_cast<std::size_t>(i)].SetName("PATCH " + std::to_string(n));
    }
    return patches;
}

void BM_FindDuplicates(benchmark::State& state) {
    const CPatchArray patches =
        MakeLibrary(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t found = 0;
    for (auto _ : state) {
        found = FindDuplicates(patches).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["duplicates"] = static_cast<double>(found);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) *
                            PATCH_BLOCK_SIZE);
}
BENCHMARK(BM_FindDuplicates)
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);

// The floor: every byte of every patch summed once.
void BM_ReadEveryByte(benchmark::State& state) {
    const CPatchArray patches = MakeLibrary(static_cast<int>(state.range(0)), 1);
    for (auto _ : state) {
        unsigned sum = 0;
        for (std::size_t i = 0; i < patches.GetSize(); ++i) {
            const Block& block = *patches[i].PatchBlockIfAny();
            sum = std::accumulate(block.begin(), block.end(), sum);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) *
                            PATCH_BLOCK_SIZE);
}
BENCHMARK(BM_ReadEveryByte)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
