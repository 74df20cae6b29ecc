#pragma once

// The tables of the collection file, kept as SQL, and the steps from each older layout to the next. The
// layout's version is the database's user_version.
//
// sound       one row per distinct 2178-byte patch: the hash of its bytes (equal hashes are told apart by
//             the bytes; the hashes are not indexed, a connection that adds holds them in memory), its 16
//             name bytes, the favourite mark, and the time and rank it was last seen where it is no longer
//             seen (its sightings give the rest)
// sound_data  the 2178 bytes of each sound, packed (collection/sound_packing.h), apart, so that the list's
//             columns are read without them
// source      a file (its path, unique; its size and modification time when it was read) or a read from the
//             processor (no path), where patches were seen
// sighting    one patch at one position (and slot) of a source, the two its key, with its memos (each
//             followed by a zero byte; NULL when all four are empty) and the first time it was seen there;
//             indexed by sound
// tag         the user's tags of each sound
// meta        counters: 'serial' numbers the additions
namespace collection_schema {

inline constexpr int kVersion = 3;
// Packed sounds (about 180 bytes) fit many to a page, and small pages keep small what a change copies: the
// savepoint of each file added keeps a copy of every page it changes. (Files made with 16384, the size of
// earlier versions, keep it.)
inline constexpr int kPageSize = 4096;

// Makes the tables of the current version in an empty database.
extern const char kCreate[];

// The step from version `from` to from + 1.
struct Migration {
    int from;
    const char* sql;
};
extern const Migration kMigrations[];
extern const int kMigrationCount;

}  // namespace collection_schema
