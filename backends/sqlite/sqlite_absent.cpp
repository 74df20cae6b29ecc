#include "sqlite/open_collection.h"

// The build without SQLite: no collection can be opened.
std::unique_ptr<ICollectionStore> OpenCollectionStore(const std::filesystem::path& path,
                                                      std::chrono::milliseconds) {
    return MakeClosedStore(StoreState::Unavailable, path);
}

bool CollectionStoreAvailable() {
    return false;
}
