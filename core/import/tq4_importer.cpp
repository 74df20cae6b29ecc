#include "import/tq4_importer.h"

#include <fstream>

#include "import/convert_earlier_patches.h"

CTQ4Importer::CTQ4Importer(TQML::CReader& reader, std::shared_ptr<const IInitialData> initial)
    : reader_(reader) {
    destination_.SetInitialData(initial);
}

bool CTQ4Importer::Import(const std::filesystem::path& path) {
    destination_.Patches().RemoveAll();
    source_.GetArray().RemoveAll();
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;
    const bool read = reader_.ReadSmf(stream, source_.GetArray());
    if (read) ConvertEarlierPatches(source_.GetArray(), destination_.Patches());
    source_.GetArray().RemoveAll();
    return read;
}
