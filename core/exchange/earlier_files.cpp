#include "device/device_ids.h"
#include "exchange/patch_file_kinds.h"
#include "import/reader.h"
#include "import/tq2_importer.h"
#include "import/tq4_importer.h"
#include "import/tqm_importer.h"
#include "ports/midi_environment.h"

bool ReadEarlierLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages) {
    CTQMImporter importer(&messages, patches.GetInitialData());
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}

bool ReadTq4BulkDump(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                     std::uint8_t deviceId) {
    MidiEnvironment environment(messages);
    TQML::CReader reader(environment);
    reader.SetDeviceIds(Tq550DeviceIds(deviceId));
    CTQ4Importer importer(reader, patches.GetInitialData());
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}

bool ReadTq2BulkDump(const std::filesystem::path& path, CPatchArray& patches) {
    CTQ2Importer importer(patches.GetInitialData());
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}
