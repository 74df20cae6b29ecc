#include "cli/earlier_kinds.h"

#include "device/device_ids.h"
#include "import/reader.h"
#include "import/tq2_importer.h"
#include "import/tq4_importer.h"
#include "import/tqm_importer.h"

bool ReadEarlierLibraryFile(const std::filesystem::path& path, CPatchArray& patches) {
    CTQMImporter importer;
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}

bool ReadTq4BulkDump(const std::filesystem::path& path, CPatchArray& patches) {
    // The desktop program's reader starts with device id 00H, as here.
    TQML::CReader reader;
    reader.SetDeviceIds(Tq550DeviceIds(0x00));
    CTQ4Importer importer(&reader);
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}

bool ReadTq2BulkDump(const std::filesystem::path& path, CPatchArray& patches) {
    CTQ2Importer importer;
    if (!importer.Import(path)) return false;
    patches.Swap(importer.GetDestination().Patches());
    return true;
}
