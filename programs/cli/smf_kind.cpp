#include "cli/smf_kind.h"

#include <fstream>

#include "device/device_ids.h"
#include "model/atomic_file.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

bool ReadSmfFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const FileOptions& options) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) return false;
    patches.RemoveAll();
    patches.Resize(USER_PATCH_COUNT);
    MidiEnvironment environment(messages);
    AReader reader(environment);
    reader.SetProfile(Tq550DeviceIds(options.deviceId));
    return reader.ReadPatchesFromSmf(stream, patches);
}

bool WriteSmfFile(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options) {
    AtomicFileWriter file(path);
    if (!file.IsOpen()) return false;
    MidiEnvironment environment(messages);
    CWriter writer(environment);
    writer.SetProfile(Tq550DeviceIds(options.deviceId));
    if (!writer.WritePatchesToSmf(file.Stream(), AREA_USER_PATCH, selection, patches)) return false;
    return file.Commit();
}
