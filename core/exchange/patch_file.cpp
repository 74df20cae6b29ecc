#include "exchange/patch_file.h"

#include "exchange/patch_file_kinds.h"

namespace {
void CarryAll(const CPatchArray& patches, std::vector<CarriedPatch>& carried) {
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        carried.push_back({i, std::nullopt});
}
}  // namespace

bool ReadPatchFile(FileKind kind, const std::filesystem::path& path, CPatchArray& patches,
                   TextOutHub& messages, const PatchFileOptions& options,
                   std::vector<CarriedPatch>* carried) {
    std::vector<CarriedPatch> found;
    bool read = false;
    switch (kind) {
        case FileKind::Library:
            read = ReadLibraryFile(path, patches, messages);
            if (read) CarryAll(patches, found);
            break;
        case FileKind::EarlierLibrary:
            read = ReadEarlierLibraryFile(path, patches, messages);
            if (read) CarryAll(patches, found);
            break;
        case FileKind::Tq4Dump:
            read = ReadTq4BulkDump(path, patches, messages, options.earlierDeviceId);
            if (read) CarryAll(patches, found);
            break;
        case FileKind::Tq2Dump:
            read = ReadTq2BulkDump(path, patches);
            if (read) CarryAll(patches, found);
            break;
        case FileKind::Smf: {
            std::vector<int> touched;
            read = ReadSmfFile(path, patches, messages, options, touched);
            if (read)
                for (int number : touched)
                    found.push_back({static_cast<std::size_t>(number), PatchSlot{AREA_USER_PATCH, number}});
            break;
        }
        case FileKind::Syx: {
            std::vector<PatchSlot> slots;
            read = ReadSyxFile(path, patches, messages, options, slots);
            if (read)
                for (std::size_t i = 0; i < slots.size(); ++i)
                    found.push_back({i, slots[i]});
            break;
        }
    }
    if (read && carried) *carried = std::move(found);
    return read;
}

bool WritePatchFile(FileKind kind, const CPatchArray& patches, std::span<const int> selection,
                    const std::filesystem::path& path, TextOutHub& messages,
                    const PatchFileOptions& options) {
    switch (kind) {
        case FileKind::Library:
            return WriteLibraryFile(patches, selection, path, messages);
        case FileKind::Smf:
            return WriteSmfFile(patches, selection, path, messages, options);
        case FileKind::Syx:
            return WriteSyxFile(patches, selection, path, messages, options);
        default:
            return false;
    }
}
