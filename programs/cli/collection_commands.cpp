#include "cli/collection_commands.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "cli/console_stream.h"
#include "cli/json_dump.h"
#include "collection/collector.h"
#include "collection/sound_index.h"
#include "exchange/patch_file.h"
#include "platform/utf8_path.h"
#include "sqlite/open_collection.h"
#include "textout/message_catalog.h"

namespace fs = std::filesystem;

const char kCollectionHelp[] =
    "  collection add [--db PATH] PATH...\n"
    "      Add the patches of the files, and of every file below the folders, that the program can read to\n"
    "      the collection (a file added again is refreshed). Prints \"files F, patches P, new N, refused "
    "R\".\n"
    "  collection search [--db PATH] [--json] [--tag TAG] [--favourites] [TEXT]\n"
    "      The sounds whose name, a memo or a tag contains TEXT (any case), most recently seen first: the\n"
    "      name and where it was seen last, one a line, or JSON.\n"
    "  collection export [--db PATH] [--tag TAG] [--favourites] [--text TEXT] OUT.tql\n"
    "      Write the sounds that search lists to a library file, with the memos where each was seen last.\n"
    "      --db: the collection file (default: collection.sqlite in the desktop program's data folder).\n";

namespace {
// Opens the collection of --db (default: the desktop program's). Reports and gives the exit status when
// the command cannot go on; a collection of a newer program is said to be read-only and, for reading,
// used all the same.
int OpenStore(const Arguments& arguments, bool forWriting, std::unique_ptr<ICollectionStore>& store) {
    const fs::path path = arguments.Has("db") ? PathFromUtf8(arguments.Value("db")) : DefaultCollectionPath();
    store = path.empty() ? MakeClosedStore(StoreState::CannotOpen, path) : OpenCollectionStore(path);
    const StoreState state = store->State();
    if (state == StoreState::Ready) return kExitSuccess;
    WriteText(stderr, GetMessageCatalog().Text(StoreStateMessage(state)) + "\n");
    if (state == StoreState::ReadOnly && !forWriting) return kExitSuccess;
    return kExitFailure;
}

// --text, --tag and --favourites of search and export.
SoundFilter FilterOf(const Arguments& arguments, const std::string& text) {
    SoundFilter filter;
    filter.text = text;
    filter.tag = arguments.Value("tag");
    filter.favouritesOnly = arguments.Has("favourites");
    return filter;
}

// The sounds that match, in the order of the list: the summaries.
bool FindSounds(ICollectionStore& store, const SoundFilter& filter, std::vector<SoundSummary>& found) {
    std::vector<SoundSummary> summaries;
    if (!store.ReadSummaries(summaries)) return false;
    CSoundIndex index;
    index.Reset(std::move(summaries));
    for (std::size_t row : index.Search(filter))
        found.push_back(index.At(row));
    return true;
}

int StoreFailure(const ICollectionStore& store) {
    const int message =
        store.State() == StoreState::Damaged ? MSG_COLLECTION_DAMAGED : MSG_COLLECTION_CANNOT_OPEN;
    WriteText(stderr, GetMessageCatalog().Text(message) + "\n");
    return kExitFailure;
}

// Text joined piece by piece (GCC 12 warns wrongly about a literal added to a temporary string).
std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

std::string PlaceText(const Sighting& sighting) {
    if (sighting.kind == SightingKind::DeviceRead)
        return Joined({"device ", LocalTimeText(sighting.lastSeen), " ", SlotText(sighting.slot)});
    return sighting.path;
}

std::string SightingJson(const Sighting& sighting) {
    std::string out = "{";
    if (sighting.kind == SightingKind::DeviceRead) {
        out += Joined({"\"device\": \"", LocalTimeText(sighting.lastSeen), "\""});
    } else {
        out += Joined({"\"path\": \"", JsonText(sighting.path), "\""});
    }
    if (sighting.slot != kNoSlot) out += Joined({", \"slot\": \"", SlotText(sighting.slot), "\""});
    out += Joined({", \"seen\": \"", LocalTimeText(sighting.lastSeen, 'T'), "\"}"});
    return out;
}

bool SoundJson(ICollectionStore& store, const SoundSummary& summary, std::string& out) {
    const std::optional<SoundData> data = store.ReadSoundData(summary.id);
    std::vector<Sighting> sightings;
    if (!data || !store.ReadSightings(summary.id, sightings)) return false;
    out += Joined({"  {\"name\": \"", JsonNameText(summary.name), "\", \"data\": \"", HexText(*data),
                   "\", \"memos\": ["});
    for (std::size_t m = 0; m < CParameter::kMemoCount; ++m) {
        const std::string& memo = summary.hasRecent ? summary.recent.memos[m] : std::string();
        out += Joined({m ? ", \"" : "\"",
                       HexText({reinterpret_cast<const std::uint8_t*>(memo.data()), memo.size()}), "\""});
    }
    out += Joined({"], \"favourite\": ", summary.favourite ? "true" : "false", ", \"tags\": ["});
    for (std::size_t t = 0; t < summary.tags.size(); ++t)
        out += Joined({t ? ", \"" : "\"", JsonText(summary.tags[t]), "\""});
    out += "], \"sightings\": [";
    for (std::size_t s = 0; s < sightings.size(); ++s)
        out += Joined({s ? ", " : "", SightingJson(sightings[s])});
    out += "]}";
    return true;
}

int RunAdd(CommandContext& context, const std::vector<std::string>& words) {
    Arguments arguments;
    if (auto error = arguments.Parse(words, {}, {"db"})) return UsageFailure(*error);
    if (arguments.Positional().empty()) return UsageFailure("collection add needs at least one PATH");
    std::unique_ptr<ICollectionStore> store;
    if (const int status = OpenStore(arguments, true, store)) return status;
    if (const int status = PrepareInitialData(arguments, context)) return status;

    std::vector<fs::path> paths;
    for (const std::string& path : arguments.Positional())
        paths.push_back(PathFromUtf8(path));
    CCollector collector(*store, context.initial);
    const AddSummary summary = collector.AddPaths(paths);
    for (const RefusedFile& refused : summary.refused)
        WriteText(stderr, PathToUtf8(refused.path) + ": " + refused.message + "\n");
    const int files = summary.files;
    WriteText(stdout, Joined({"files ", std::to_string(files), ", patches ", std::to_string(summary.patches),
                              ", new ", std::to_string(summary.newSounds), ", refused ",
                              std::to_string(summary.refused.size()), "\n"}));
    if (summary.storeFailed) {
        WriteText(stderr, GetMessageCatalog().Text(MSG_COLLECTION_NOT_CHANGED) + "\n");
        return kExitFailure;
    }
    return summary.refused.empty() ? kExitSuccess : kExitFailure;
}

int RunSearch(const std::vector<std::string>& words) {
    Arguments arguments;
    if (auto error = arguments.Parse(words, {"json", "favourites"}, {"db", "tag"}))
        return UsageFailure(*error);
    if (arguments.Positional().size() > 1) return UsageFailure("collection search takes at most one TEXT");
    std::unique_ptr<ICollectionStore> store;
    if (const int status = OpenStore(arguments, false, store)) return status;
    const std::string text = arguments.Positional().empty() ? std::string() : arguments.Positional()[0];
    std::vector<SoundSummary> found;
    if (!FindSounds(*store, FilterOf(arguments, text), found)) return StoreFailure(*store);

    std::string out;
    if (arguments.Has("json")) {
        out = "{\"sounds\": [\n";
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (!SoundJson(*store, found[i], out)) return StoreFailure(*store);
            out += i + 1 < found.size() ? ",\n" : "\n";
        }
        out += "]}\n";
    } else {
        for (const SoundSummary& sound : found)
            out += Joined(
                {JsonNameText(sound.name), "\t", sound.hasRecent ? PlaceText(sound.recent) : "", "\n"});
    }
    if (!WriteText(stdout, out)) {
        WriteText(stderr, "tq550: cannot write to standard output\n");
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunExport(CommandContext& context, const std::vector<std::string>& words) {
    Arguments arguments;
    if (auto error = arguments.Parse(words, {"favourites"}, {"db", "tag", "text"}))
        return UsageFailure(*error);
    if (arguments.Positional().size() != 1)
        return UsageFailure("collection export needs exactly one OUT.tql");
    std::unique_ptr<ICollectionStore> store;
    if (const int status = OpenStore(arguments, false, store)) return status;
    std::vector<SoundSummary> found;
    if (!FindSounds(*store, FilterOf(arguments, arguments.Value("text")), found)) return StoreFailure(*store);

    CPatchArray patches;
    std::vector<int> selection;
    for (const SoundSummary& sound : found) {
        const std::optional<SoundData> data = store->ReadSoundData(sound.id);
        if (!data) return StoreFailure(*store);
        auto patch = std::make_unique<CPatch>();
        patch->PatchBlock().assign(data->begin(), data->end());
        if (sound.hasRecent)
            for (int m = 0; m < CParameter::kMemoCount; ++m)
                patch->SetMemo(m, sound.recent.memos[static_cast<std::size_t>(m)]);
        selection.push_back(static_cast<int>(patches.GetSize()));
        patches.Add(std::move(patch));
    }
    if (!WritePatchFile(FileKind::Library, patches, selection, PathFromUtf8(arguments.Positional()[0]),
                        context.messages.Hub())) {
        context.messages.PrintFailure(GetMessageCatalog().Text(MSG_SAVE_FAILED));
        return kExitFailure;
    }
    return kExitSuccess;
}
}  // namespace

int RunCollection(CommandContext& context) {
    if (context.words.empty()) return UsageFailure("collection needs add, search or export");
    const std::string command = context.words[0];
    const std::vector<std::string> words(context.words.begin() + 1, context.words.end());
    if (command == "add") return RunAdd(context, words);
    if (command == "search") return RunSearch(words);
    if (command == "export") return RunExport(context, words);
    return UsageFailure("unknown collection command '" + command + "'");
}
