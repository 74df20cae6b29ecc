#include "cli/smf_kind.h"

#include <fstream>

#include "device/reader.h"
#include "device/writer.h"
#include "model/atomic_file.h"
#include "model/parameter_address.h"

bool ReadSmfFile(const std::filesystem::path& path, CPatchArray& patches) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) return false;
    patches.RemoveAll();
    patches.Resize(USER_PATCH_COUNT);
    AReader reader;
    return reader.ReadPatchesFromSmf(stream, patches);
}

bool WriteSmfFile(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path) {
    AtomicFileWriter file(path);
    if (!file.IsOpen()) return false;
    CWriter writer;
    if (!writer.WritePatchesToSmf(file.Stream(), AREA_USER_PATCH, selection, patches)) return false;
    return file.Commit();
}
