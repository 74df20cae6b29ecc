#pragma once

#include <chrono>
#include <filesystem>
#include <memory>

#include "collection/collection_store.h"

// Opens the collection at path (a SQLite database), making it and its folder when missing. The store's
// state tells how far that went: Ready; ReadOnly for a collection of a newer schema; Damaged for a file that
// is no collection or is damaged; Locked when another program holds the file longer than busyWait;
// CannotOpen; Unavailable in a program built without SQLite. busyWait is also how long each call waits for
// another connection's transaction. Never throws.
std::unique_ptr<ICollectionStore> OpenCollectionStore(
    const std::filesystem::path& path, std::chrono::milliseconds busyWait = std::chrono::milliseconds(5000));

// Whether this program was built with SQLite.
bool CollectionStoreAvailable();
