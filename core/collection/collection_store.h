#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "collection/sound.h"

// How far a collection could be opened.
enum class StoreState {
    Ready,        // open for reading and writing
    ReadOnly,     // made by a newer version of the program: opened for reading only
    Damaged,      // not a collection, or damaged: set it aside (SetCollectionAside) and make a new one
    Locked,       // another program holds it locked: try again later
    CannotOpen,   // the file or its folder cannot be opened or made
    Unavailable,  // the program was built without SQLite: it keeps no collection
};

// The catalogue message that tells the user about state (MSG_COLLECTION_...); -1 for Ready.
int StoreStateMessage(StoreState state);

// What adding the patches of one source did.
struct AddOutcome {
    int patches = 0;                   // patches stored as sightings
    int newSounds = 0;                 // sounds that were not in the collection before
    std::vector<SoundId> sounds;       // the sound of each patch, in the order given
    std::vector<SoundId> droppedFrom;  // sounds that lost a sighting of the source (a refreshed file)
};

// The collection: sounds, sightings, favourites and tags, kept in one file that the desktop program and
// tq550 share (the SQLite backend, backends/sqlite/, makes it: OpenCollectionStore).
//
// One store object is one connection to the file: use each from one thread at a time, and give every
// thread that works on the collection a store of its own (the desktop program: one for its windows on the
// interface thread, one for the worker that adds). Several stores, in this and other processes, may use the
// same file at once; a writer waits for another's transaction to end (a few seconds at most, then the call
// fails). Every change is one transaction: it is stored whole or not at all, also when the process dies.
//
// Calls fail (false or none) when the state is not Ready (changes) or neither Ready nor ReadOnly (reads),
// and when the file fails; a failure that shows the file damaged turns the state to Damaged.
class ICollectionStore {
  public:
    virtual ~ICollectionStore() = default;

    virtual StoreState State() const = 0;
    virtual const std::filesystem::path& Path() const = 0;
    // The last failure as the database library told it (English, for logs and reports); empty when none.
    virtual const std::string& LastError() const = 0;
    bool CanRead() const { return State() == StoreState::Ready || State() == StoreState::ReadOnly; }
    bool CanWrite() const { return State() == StoreState::Ready; }

    // Stores the patches seen at source, in one transaction: each patch becomes a sighting of its sound,
    // the sound made when it is new (a position given twice is one sighting, of its first patch). A source
    // with a path seen before (a file added again) has its earlier sightings replaced by these: a sighting of
    // the same sound at the same position keeps its first time, the others go. The sounds last seen at source
    // take its time. False, with nothing stored, on failure.
    virtual bool AddSightings(const SightingSource& source, std::span<const SeenPatch> patches,
                              AddOutcome& outcome) = 0;
    // When the file of source was stored before with the same size and modification time, gives it source's
    // time as if it had been added again, without its patches: refreshed is then true and outcome tells what
    // the file holds (its patches, no new sound). False on failure.
    virtual bool RefreshUnchanged(const SightingSource& source, AddOutcome& outcome, bool& refreshed) = 0;

    // Groups the changes that follow, until CommitBatch, into one transaction, so that adding many small
    // files does not pay for a transaction each; a change that fails inside the batch is undone alone. The
    // batch is stored at CommitBatch: what it holds is lost when the process dies before. Other connections
    // wait to write while a batch is open: keep it short (CCollector commits about four times a second).
    virtual bool BeginBatch() = 0;
    virtual bool CommitBatch() = 0;

    // The summaries of every sound, in no particular order (CSoundIndex orders them).
    virtual bool ReadSummaries(std::vector<SoundSummary>& summaries) = 0;
    // The summaries of the sounds given (those that exist), after they changed.
    virtual bool ReadSummaries(std::span<const SoundId> ids, std::vector<SoundSummary>& summaries) = 0;
    virtual std::optional<SoundData> ReadSoundData(SoundId id) = 0;
    // The sightings of a sound, most recent first.
    virtual bool ReadSightings(SoundId id, std::vector<Sighting>& sightings) = 0;
    virtual std::size_t SoundCount() = 0;

    virtual bool SetFavourite(SoundId id, bool favourite) = 0;
    // Replaces the tags of a sound; blanks around each are dropped, empty and repeated tags left out.
    virtual bool SetTags(SoundId id, const std::vector<std::string>& tags) = 0;

    // Reads every page of the file (seconds for a large one: run it on a worker); false, and the state
    // Damaged, when the file is damaged.
    virtual bool CheckIntegrity() = 0;
};

// A store that could not be opened: State() tells why, every call fails.
std::unique_ptr<ICollectionStore> MakeClosedStore(StoreState state, std::filesystem::path path,
                                                  std::string error = {});

// The collection of the programs: collection.sqlite in the desktop program's data folder (that of
// organisation "Marlin", application "TQ-550 Librarian"); empty when no home folder is known.
std::filesystem::path DefaultCollectionPath();

// Puts a collection file that cannot be used out of the way, with the files the database library keeps
// beside it: "collection.sqlite" becomes "collection.sqlite.aside-2026-12-08-134507" (and " (2)" after it
// for a second in the same second). The store on it must be closed first. Returns the new name; empty, with
// error set, when it could not be moved.
std::filesystem::path SetCollectionAside(const std::filesystem::path& path, std::error_code& error);
