#include "import/tqm_importer.h"

#include <fstream>

#include "import/convert_earlier_patches.h"

CTQMImporter::CTQMImporter(const TextOutHub* messages, std::shared_ptr<const IInitialData> initial)
    : source_(messages), destination_(messages) {
    destination_.SetInitialData(initial);
}

bool CTQMImporter::Import(const std::filesystem::path& path) {
    destination_.Patches().RemoveAll();
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;
    bool isTq4 = false;
    if (!source_.ReadHeader(stream, isTq4)) {
        source_.Patches().RemoveAll();
        return false;
    }
    ConvertEarlierPatches(source_.Patches(), destination_.Patches());
    source_.Patches().RemoveAll();
    return true;
}
