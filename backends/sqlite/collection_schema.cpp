#include "sqlite/collection_schema.h"

namespace collection_schema {

const char kCreate[] = R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;
INSERT INTO meta (key, value) VALUES ('serial', 0);
CREATE TABLE sound (
    id INTEGER PRIMARY KEY,
    hash INTEGER NOT NULL,
    name BLOB NOT NULL,
    last_seen INTEGER NOT NULL,
    last_rank INTEGER NOT NULL,
    favourite INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE sound_data (
    sound INTEGER PRIMARY KEY REFERENCES sound (id) ON DELETE CASCADE,
    packed BLOB NOT NULL
);
CREATE TABLE source (
    id INTEGER PRIMARY KEY,
    kind INTEGER NOT NULL,
    path TEXT UNIQUE,
    format TEXT,
    first_seen INTEGER NOT NULL,
    last_seen INTEGER NOT NULL,
    serial INTEGER NOT NULL,
    file_size INTEGER,
    file_time INTEGER
);
CREATE TABLE sighting (
    source INTEGER NOT NULL REFERENCES source (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    slot INTEGER,
    sound INTEGER NOT NULL REFERENCES sound (id) ON DELETE CASCADE,
    memos BLOB,
    first_seen INTEGER NOT NULL,
    PRIMARY KEY (source, position)
) WITHOUT ROWID;
CREATE INDEX sighting_by_sound ON sighting (sound);
CREATE TABLE tag (
    sound INTEGER NOT NULL REFERENCES sound (id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    PRIMARY KEY (sound, tag)
) WITHOUT ROWID;
)sql";

// Version 1 had sounds and sightings only, and an index on the hashes; version 2 adds the user's marks and
// the size and time of each file, and keeps the hashes in memory instead (see CSqliteCollectionStore).
// Version 3 keeps the bytes of new sounds packed, under a new name, so that a program of version 2, which
// reads the file without changing it, fails to read them instead of taking packed bytes for a sound; the
// bytes stored before stay as they are (2178 bytes are read as the sound itself). Its sightings are kept in
// the order of their source and position, which are their key (a position seen twice in one source kept
// once), instead of by a number of their own and an index.
const Migration kMigrations[] = {
    {1, R"sql(
DROP INDEX IF EXISTS sound_by_hash;
ALTER TABLE source ADD COLUMN file_size INTEGER;
ALTER TABLE source ADD COLUMN file_time INTEGER;
ALTER TABLE sound ADD COLUMN favourite INTEGER NOT NULL DEFAULT 0;
CREATE TABLE tag (
    sound INTEGER NOT NULL REFERENCES sound (id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    PRIMARY KEY (sound, tag)
) WITHOUT ROWID;
)sql"},
    {2, R"sql(
ALTER TABLE sound_data RENAME COLUMN data TO packed;
CREATE TABLE sighting_3 (
    source INTEGER NOT NULL REFERENCES source (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    slot INTEGER,
    sound INTEGER NOT NULL REFERENCES sound (id) ON DELETE CASCADE,
    memos BLOB,
    first_seen INTEGER NOT NULL,
    PRIMARY KEY (source, position)
) WITHOUT ROWID;
INSERT OR IGNORE INTO sighting_3 (source, position, slot, sound, memos, first_seen)
    SELECT source, position, slot, sound, memos, first_seen FROM sighting ORDER BY id;
DROP TABLE sighting;
ALTER TABLE sighting_3 RENAME TO sighting;
CREATE INDEX sighting_by_sound ON sighting (sound);
)sql"},
};
const int kMigrationCount = static_cast<int>(sizeof kMigrations / sizeof kMigrations[0]);

}  // namespace collection_schema
