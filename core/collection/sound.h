#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/patch.h"

// The data of the collection: sounds, the places where they were seen, and the user's marks on them.
//
// A sound is one distinct patch: its 2178 data bytes, the name included, are its identity; memos are not
// part of it. A sighting is one place where a sound was seen: a position in a file, or a slot of the
// processor in one read. Times are seconds since 1970-01-01 00:00:00 UTC.

using SoundId = std::int64_t;
using SoundData = PatchImage;
using Memos = std::array<std::string, CParameter::kMemoCount>;
using CollectionTime = std::int64_t;

// Slots of the processor as sightings hold them: user patches 0 to 199 (U01-1 to U50-4), the temporary
// patch, or none (a library file, which numbers its patches by position only).
inline constexpr int kNoSlot = -1;
inline constexpr int kTemporarySlot = USER_PATCH_COUNT;

enum class SightingKind : int {
    LibraryFile = 1,   // a library file opened, saved or added
    DeviceRead = 2,    // a completed read from the processor
    Import = 3,        // a file of another kind imported or added (its format names the kind)
    HistoryEntry = 4,  // an entry of the device history
};

// Where patches were seen together: one file, or one read from the processor.
struct SightingSource {
    SightingKind kind = SightingKind::LibraryFile;
    std::string path;         // absolute, UTF-8; empty for a read from the processor
    std::string format;       // the file kind's name ("tql", "tqx", "smf", ...); empty for a read
    CollectionTime time = 0;  // when: the time of adding for a file, the read's time for a read
    // The file's size and modification time (in the file system's own units), when known: a file added again
    // with both unchanged is not read again (ICollectionStore::RefreshUnchanged). -1: not known.
    std::int64_t fileSize = -1;
    std::int64_t fileTime = 0;
};

// One patch as seen at a source.
struct SeenPatch {
    SoundData data{};
    Memos memos;
    int position = 0;  // in the patch list the source gave
    int slot = kNoSlot;
};

// One stored sighting of a sound.
struct Sighting {
    SightingKind kind = SightingKind::LibraryFile;
    std::string path;  // empty for a read from the processor
    std::string format;
    int position = 0;
    int slot = kNoSlot;
    Memos memos;
    CollectionTime firstSeen = 0;  // the first time this source showed the sound at this position
    CollectionTime lastSeen = 0;   // the last time (the source's last time)

    bool operator==(const Sighting&) const = default;
};

// What the collection's list shows of one sound and what searching it needs; no data bytes.
struct SoundSummary {
    SoundId id = 0;
    std::string name;  // the 16 name bytes
    bool favourite = false;
    std::vector<std::string> tags;  // sorted
    // The last time the sound was seen anywhere, and its order among sounds seen in the same second
    // (larger: seen later: a later addition, or an earlier position in the same one). Sounds are listed by
    // both, most recent first.
    CollectionTime lastSeen = 0;
    std::int64_t lastRank = 0;
    // The most recent sighting that is still stored (none when a refreshed file no longer holds the sound).
    bool hasRecent = false;
    Sighting recent;
    // Every memo seen with the sound in any sighting, distinct and not empty, for searching.
    std::vector<std::string> memosSeen;
};

// "U01-1" to "U50-4", "Temporary", or empty for no slot.
std::string SlotText(int slot);
// The seconds of a sighting as local time: "2026-12-08 13:45:07", or with separator 'T' between date and
// time, "2026-12-08T13:45:07".
std::string LocalTimeText(CollectionTime time, char separator = ' ');
// The current time.
CollectionTime CollectionNow();
