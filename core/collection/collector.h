#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "collection/collection_store.h"
#include "exchange/patch_file.h"
#include "model/data.h"

// How far adding files has come, for a progress display.
struct AddProgress {
    std::size_t filesFound = 0;  // files of a readable kind found so far (all, once the walk is done)
    std::size_t filesDone = 0;   // of them read or refused
    bool walkDone = false;       // whether filesFound is final
    int patches = 0;             // patches read
    int newSounds = 0;           // sounds not in the collection before
    int refused = 0;             // files refused
};

// A file that could not be added, and why (a catalogue message, one line).
struct RefusedFile {
    std::filesystem::path path;
    std::string message;
};

// What adding files came to.
struct AddSummary {
    int files = 0;  // files read or refused
    int patches = 0;
    int newSounds = 0;
    std::vector<RefusedFile> refused;
    bool cancelled = false;
    bool storeFailed = false;  // the store failed: the rest was not added (the store's state tells why)
};

// The sightings of the patches a file's data carry (see ReadPatchFile): each patch as the device holds it
// (2178 bytes), its memos, position and slot.
std::vector<SeenPatch> SeenPatchesOf(const CPatchArray& patches, std::span<const CarriedPatch> carried);
// Every patch of a list, at its position; slots, when given, name the slot of each (the user patch number,
// or kTemporarySlot).
std::vector<SeenPatch> SeenPatchesOf(const CPatchArray& patches, std::span<const int> slots = {});

// Adds patches to the collection: files and the files below folders, recognised by content and by name.
// The files go into the store in batches of about a fifth of a second (ICollectionStore::BeginBatch), each
// file whole or not at all: when the process dies, what was committed stays and the rest is added the next
// time; a cancel stops between two files and keeps what was added. Made and used on one thread (a worker)
// with a store of its own (see ICollectionStore).
class CCollector {
  public:
    // New patches of imports start from initial (none: their own initial state). Standard MIDI Files are read
    // for device id options.deviceId; SysEx files for every id unless options.deviceIdGiven.
    CCollector(ICollectionStore& store, std::shared_ptr<const IInitialData> initial,
               PatchFileOptions options = {});

    // Every file below each path (a file, or a folder walked without following links to folders), in the
    // order given and, within a folder, sorted by name. Files of no kind (by content or name) are passed
    // over. progress is called after each file and whenever the walk finds more; cancel, when set, stops
    // the work between two files.
    AddSummary AddPaths(std::span<const std::filesystem::path> paths,
                        const std::atomic<bool>* cancel = nullptr,
                        const std::function<void(const AddProgress&)>& progress = {});

    // One file of a known kind: a library file as a library-file sighting (or as kind, for a history
    // entry), other kinds as an import. The path is made absolute. A file stored before with the same size
    // and modification time is not read again: its sightings only take the new time. Returns false with the
    // refusal message when the file cannot be read or the store fails (storeFailed then).
    bool AddFile(const std::filesystem::path& path, FileKind kind, AddOutcome& outcome, std::string& message,
                 bool& storeFailed, std::optional<SightingKind> as = std::nullopt);

  private:
    ICollectionStore& store_;
    std::shared_ptr<const IInitialData> initial_;
    PatchFileOptions options_;
};
