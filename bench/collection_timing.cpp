// The collection at full size: 10,000 library files holding 100,000 distinct sounds (20 patches a file, each
// sound in two files). Times loading the files alone, adding them to a new collection and adding them again,
// opening the collection (reading the summaries and building the search index), and one search keystroke
// (the search and the rows of the list made again) while words are typed; and the file's size against the
// 2178 bytes of each sound and the sightings' text.
//
// Run: build/bench/collection_timing FOLDER [FILES] [PATCHES_PER_FILE] [--no-add|--load-only]
// (--no-add: only open, search and size, on the collection a run before made; --load-only: only loading
// alone, the measure collection_timing.sh compares tq550 collection add with)
// The library files are made in FOLDER/files once and kept; the collection is FOLDER/collection.sqlite,
// made anew at each run.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "collection/collector.h"
#include "collection/memo_text.h"
#include "collection/sound_index.h"
#include "exchange/patch_file.h"
#include "import/convert_earlier_patch.h"
#include "model/file_document.h"
#include "sqlite/open_collection.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor time of this thread, in seconds: the figures beside the elapsed times, which other programs
// on the machine lengthen.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The bytes this process has handed to the kernel to write so far (Linux; 0 elsewhere): the log, the
// database and its checkpoints.
double WrittenMegabytes() {
    std::FILE* io = std::fopen("/proc/self/io", "r");
    if (!io) return 0;
    char line[128];
    unsigned long long written = 0;
    while (std::fgets(line, sizeof line, io))
        if (std::sscanf(line, "wchar: %llu", &written) == 1) break;
    std::fclose(io);
    return static_cast<double>(written) / 1e6;
}

std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352D;
    x ^= x >> 15;
    x *= 0x846CA68B;
    return x ^ (x >> 16);
}

// Sets the 14-bit value at offset (high 7 bits first).
void SetWord(Block& block, std::size_t offset, std::uint32_t value) {
    block[offset] = static_cast<std::uint8_t>((value >> 7) & 0x7F);
    block[offset + 1] = static_cast<std::uint8_t>(value & 0x7F);
}

// Sound n, made as a player makes a patch: the device's initial data with a handful of blocks switched on
// and their settings turned (a few dozen bytes changed, the rest as initialised), a name, and for every
// third sound a memo (every ninth in Shift_JIS).
std::unique_ptr<CPatch> MakeSound(int n) {
    auto patch = std::make_unique<CPatch>();
    Block& block = patch->PatchBlock();
    block.assign(PATCH_BLOCK_SIZE, 0);
    WriteTq550Defaults(block);
    std::uint32_t seed = static_cast<std::uint32_t>(n) * 0x9E3779B9u + 1;
    const auto next = [&](std::uint32_t range) { return (seed = Mix(seed + 0x632BE5ABu)) % range; };
    // The two large blocks: a type and the first settings of each.
    for (const std::size_t base : {std::size_t{256}, std::size_t{768}}) {
        block[base] = static_cast<std::uint8_t>(next(4) != 0);
        block[base + 1] = static_cast<std::uint8_t>(next(30));
        for (std::size_t p = 2, count = 4 + next(12); p < 2 + count; ++p)
            block[base + p] = static_cast<std::uint8_t>(next(101));
        SetWord(block, base + 167, 200 + next(400));
    }
    // Some of the small blocks switched on, each with a few of its settings changed.
    static constexpr std::size_t kSmallBlocks[] = {64, 112, 128, 144, 176, 240, 1184, 1280, 1312, 1328, 1392};
    for (const std::size_t base : kSmallBlocks) {
        if (next(3) == 0) continue;
        block[base] = 1;
        for (std::size_t p = 1, count = 1 + next(6); p <= count; ++p)
            block[base + 1 + next(12)] = static_cast<std::uint8_t>(next(128));
    }
    // Now and then the chain in another order, and a pedal assigned.
    if (next(4) == 0) std::swap(block[1408 + next(8)], block[1416 + next(8)]);
    if (next(3) == 0) {
        block[1440] = 1;
        SetWord(block, 1441, next(300));
        SetWord(block, 1445, 1 + next(127));
    }
    static const char* const kWords[] = {"Lead", "Crunch", "Clean", "Ambient",
                                         "Solo", "Rhythm", "Fuzz",  "Pad"};
    patch->SetName(std::string(kWords[n % 8]) + " " + std::to_string(n));
    if (n % 9 == 0) {
        patch->SetMemo(0, std::string("\x83\x4d\x83\x5e\x81\x5b ").append(std::to_string(n)));  // "ギター n"
    } else if (n % 3 == 0) {
        patch->SetMemo(0, std::string("Memo of sound ")
                              .append(std::to_string(n))
                              .append(" for the ")
                              .append(kWords[(n / 8) % 8])
                              .append(" set"));
    }
    return patch;
}

fs::path FilePath(const fs::path& folder, int f) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d/library-%05d.tql", f / 100, f);
    return folder / name;
}

void MakeFiles(const fs::path& folder, int files, int perFile, int sounds) {
    for (int f = 0; f < files; ++f) {
        const fs::path path = FilePath(folder, f);
        if (fs::exists(path)) continue;
        fs::create_directories(path.parent_path());
        CFileDocument document;
        for (int i = 0; i < perFile; ++i)
            document.Patches().Add(MakeSound((f * (perFile / 2) + i) % sounds));
        if (!document.Save(path)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: collection_timing FOLDER [FILES] [PATCHES_PER_FILE] [--no-add|--load-only]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int perFile = argc > 3 ? std::atoi(argv[3]) : 20;
    const int sounds = files * perFile / 2;
    const std::string mode = argc > 4 ? argv[4] : "";
    const bool add = mode != "--no-add" && mode != "--load-only";
    const fs::path libraries = folder / "files";
    const fs::path database = folder / "collection.sqlite";

    auto start = Clock::now();
    MakeFiles(libraries, files, perFile, sounds);
    std::printf("files: %d library files of %d patches, %d distinct sounds (made or checked in %.1f s)\n",
                files, perFile, sounds, Seconds(start));

    // Loading alone, as the program loads a file: recognising it and reading its patches. Twice: the first
    // run warms the operating system's file cache, the second is timed, as every add after it is.
    double loadSeconds = 0;
    double loadCpu = 0;
    for (int run = 0; run < 2; ++run) {
        start = Clock::now();
        const double cpuStart = CpuSeconds();
        std::size_t patches = 0;
        TextOutHub messages;
        for (int f = 0; f < files; ++f) {
            CPatchArray list;
            const fs::path path = FilePath(libraries, f);
            const std::optional<FileKind> kind = RecognizeFile(path);
            if (kind && ReadPatchFile(*kind, path, list, messages)) patches += list.GetSize();
        }
        loadSeconds = Seconds(start);
        loadCpu = CpuSeconds() - cpuStart;
        if (run == 1)
            std::printf("load alone: %.2f s, processor %.2f s (%zu patches)\n", loadSeconds, loadCpu,
                        patches);
    }
    if (mode == "--load-only") return 0;

    if (add)
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(fs::path(database.string() + suffix));
    double addSeconds[2] = {0, 0};
    for (int run = 0; add && run < 2; ++run) {
        auto store = OpenCollectionStore(database);
        CCollector collector(*store, nullptr);
        start = Clock::now();
        const double cpuStart = CpuSeconds();
        const double writtenStart = WrittenMegabytes();
        const std::vector<fs::path> paths{libraries};
        const AddSummary summary = collector.AddPaths(paths);
        addSeconds[run] = Seconds(start);
        const double cpu = CpuSeconds() - cpuStart;
        const double written = WrittenMegabytes() - writtenStart;
        store.reset();  // the last connection checkpoints the log into the file as it closes
        std::printf(
            "add %s: %.2f s (%.2f x load alone), processor %.2f s (%.2f x), written %.0f MB (%.0f MB with "
            "the "
            "close): files %d, patches %d, new %d, refused %zu\n",
            run == 0 ? "first " : "second", addSeconds[run], addSeconds[run] / loadSeconds, cpu,
            cpu / loadCpu, written, WrittenMegabytes() - writtenStart, summary.files, summary.patches,
            summary.newSounds, summary.refused.size());
    }

    // Opening: the summaries and the index, as the collection window does.
    std::vector<double> opens;
    std::vector<double> openCpu;
    CSoundIndex index;
    for (int run = 0; run < 5; ++run) {
        start = Clock::now();
        const double cpuStart = CpuSeconds();
        auto store = OpenCollectionStore(database);
        const double opened = Seconds(start) * 1000;
        std::vector<SoundSummary> summaries;
        store->ReadSummaries(summaries);
        const double read = Seconds(start) * 1000;
        index.Reset(std::move(summaries));
        opens.push_back(Seconds(start) * 1000);
        openCpu.push_back((CpuSeconds() - cpuStart) * 1000);
        std::printf("  open %.1f ms, summaries read %.1f ms, index made %.1f ms\n", opened, read - opened,
                    opens.back() - read);
    }
    std::printf("open: median %.0f ms, slowest %.0f ms; processor median %.0f ms (%zu sounds)\n",
                Percentile(opens, 0.5), Percentile(opens, 1.0), Percentile(openCpu, 0.5), index.Size());

    // Keystrokes: each word typed letter by letter; each keystroke searches and makes the list's rows again
    // (the sound of each row, and the shown text of the first 60).
    const std::vector<std::string> words = {"lead 12",
                                            "crunch",
                                            "memo of sound 4",
                                            "ambient 9999",
                                            "solo",
                                            "\xe3\x82\xae\xe3\x82\xbf\xe3\x83\xbc 27",
                                            "ZZZ",
                                            "pad 5",
                                            "set",
                                            "\xef\xbd\x86\xef\xbd\x95\xef\xbd\x9a\xef\xbd\x9a"};
    std::vector<double> keystrokes;
    std::vector<double> keystrokeCpu;
    std::size_t shown = 0;
    for (const std::string& word : words) {
        for (std::size_t length = 1; length <= word.size(); ++length) {
            if (length < word.size() && (static_cast<unsigned char>(word[length]) & 0xC0) == 0x80) continue;
            start = Clock::now();
            const double cpuStart = CpuSeconds();
            const std::vector<std::size_t> rows = index.Search({word.substr(0, length), false, ""});
            std::vector<SoundId> ids;
            ids.reserve(rows.size());
            for (std::size_t row : rows)
                ids.push_back(index.At(row).id);
            for (std::size_t i = 0; i < rows.size() && i < 60; ++i) {
                const SoundSummary& sound = index.At(rows[i]);
                const std::string line =
                    MemoToUtf8(sound.name, LegacyCodePage::Windows1252) + "\t" +
                    (sound.hasRecent ? MemoToUtf8(sound.recent.memos[0], LegacyCodePage::ShiftJis) : "") +
                    "\t" + sound.recent.path;
                shown += line.size();
            }
            keystrokes.push_back(Seconds(start) * 1000);
            keystrokeCpu.push_back((CpuSeconds() - cpuStart) * 1000);
        }
    }
    std::printf("keystroke: %zu of them, median %.2f ms, 95th percentile %.2f ms, slowest %.2f ms\n",
                keystrokes.size(), Percentile(keystrokes, 0.5), Percentile(keystrokes, 0.95),
                Percentile(keystrokes, 1.0));
    std::printf("keystroke processor time: median %.2f ms, 95th percentile %.2f ms\n",
                Percentile(keystrokeCpu, 0.5), Percentile(keystrokeCpu, 0.95));
    if (shown == 0) std::printf("(no rows shown)\n");

    // Size: after the last connection closed the log is in the file.
    std::uintmax_t text = 0;
    {
        auto store = OpenCollectionStore(database);
        for (std::size_t row = 0; row < index.Size(); ++row) {
            std::vector<Sighting> sightings;
            store->ReadSightings(index.At(row).id, sightings);
            for (const Sighting& sighting : sightings) {
                text += sighting.path.size();
                for (const std::string& memo : sighting.memos)
                    text += memo.size();
            }
        }
    }
    std::uintmax_t size = fs::file_size(database);
    std::error_code ec;
    const std::uintmax_t wal = fs::file_size(fs::path(database.string() + "-wal"), ec);
    if (!ec) size += wal;
    const double budget = 2178.0 * static_cast<double>(index.Size()) + static_cast<double>(text);
    std::printf("size: %.1f MB; 2178 bytes a sound + sightings' text %.1f MB; ratio %.2f\n", size / 1e6,
                budget / 1e6, static_cast<double>(size) / budget);
    return 0;
}
