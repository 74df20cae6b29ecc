#include "device/device_ids.h"
#include "exchange/patch_file_kinds.h"
#include "transfer/syx_writer.h"

bool ReadSyxFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const PatchFileOptions& options, std::vector<PatchSlot>& slots) {
    CSyxReader reader(&messages);
    if (options.deviceIdGiven) reader.SetDeviceId(options.deviceId);
    if (!reader.Read(path, patches)) return false;
    slots = reader.Slots();
    return true;
}

bool WriteSyxFile(const CPatchArray& patches, std::span<const int> selection,
                  const std::filesystem::path& path, TextOutHub& messages, const PatchFileOptions& options) {
    CSyxWriter writer(&messages);
    writer.SetProfile(Tq550DeviceIds(options.deviceId));
    return writer.Save(path, patches, selection, selection);
}
