#include "exchange/patch_file_kinds.h"
#include "model/file_document.h"

bool ReadLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages) {
    CFileDocument document(&messages);
    if (!document.Load(path)) return false;
    patches.Swap(document.Patches());
    return true;
}

bool WriteLibraryFile(const CPatchArray& patches, std::span<const int> selection,
                      const std::filesystem::path& path, TextOutHub& messages) {
    CFileDocument document(&messages);
    for (int index : selection)
        document.Patches().Add(patches[static_cast<std::size_t>(index)].ClonePatch());
    return document.Save(path);
}
