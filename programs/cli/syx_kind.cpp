#include "cli/syx_kind.h"

#include <optional>

#include "device/device_ids.h"
#include "transfer/syx_reader.h"
#include "transfer/syx_writer.h"

bool ReadSyxFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const FileOptions& options) {
    CSyxReader reader(&messages);
    if (options.deviceIdGiven) reader.SetDeviceId(options.deviceId);
    return reader.Read(path, patches);
}

bool WriteSyxFile(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options) {
    CSyxWriter writer(&messages);
    writer.SetProfile(Tq550DeviceIds(options.deviceId));
    return writer.Save(path, patches, selection, selection);
}
