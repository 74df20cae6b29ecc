// Loading, saving and taking the undo copy of large libraries, against plainly reading the same file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "model/file_document.h"

namespace fs = std::filesystem;

namespace {
// A library of `count` patches with memos of mixed lengths (0 to a few hundred bytes).
CFileDocument MakeLibrary(int count) {
    CFileDocument document;
    document.Patches().Resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CPatch& patch = document.Patches()[static_cast<std::size_t>(i)];
        Block& block = patch.PatchBlock();
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>((b + i) & 0x7F);
        patch.SetName("PATCH " + std::to_string(i));
        for (int m = 0; m < 4; ++m)
            patch.SetMemo(m, std::string(static_cast<std::size_t>((i * 37 + m * 101) % 300), 'a' + m));
    }
    return document;
}

fs::path LibraryPath(int count) {
    const fs::path path = fs::temp_directory_path() / ("tq550-bench-" + std::to_string(count) + ".tql");
    if (!fs::exists(path)) MakeLibrary(count).Save(path);
    return path;
}

void BM_LoadLibrary(benchmark::State& state) {
    const fs::path path = LibraryPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CFileDocument document;
        if (!document.Load(path)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(document.Patches().GetSize());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
}
BENCHMARK(BM_LoadLibrary)->Arg(1000)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The floor for a load: the file's bytes read into memory and nothing else.
void BM_ReadFileIntoMemory(benchmark::State& state) {
    const fs::path path = LibraryPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes(fs::file_size(path));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
}
BENCHMARK(BM_ReadFileIntoMemory)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveLibrary(benchmark::State& state) {
    const CFileDocument document = MakeLibrary(static_cast<int>(state.range(0)));
    const fs::path path = fs::temp_directory_path() / "tq550-bench-save.tql";
    for (auto _ : state) {
        if (!document.Save(path)) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
    fs::remove(path);
}
BENCHMARK(BM_SaveLibrary)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TakeUndoCopy(benchmark::State& state) {
    CFileDocument document = MakeLibrary(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        document.TakeUndoCopy(UndoMode::Offered);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TakeUndoCopy)->Arg(10000)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
