#include "import/tq4_importer.h"

#include <fstream>

#include "import/convert_earlier_patches.h"
#include "import/earlier_image_converter.h"

CTQ4Importer::CTQ4Importer(TQML::CReader* reader)
    : reader_(reader ? reader : GetEarlierImageConverter().GetReader()) {}

bool CTQ4Importer::Import(const std::filesystem::path& path) {
    destination_.Patches().RemoveAll();
    source_.GetArray().RemoveAll();
    if (!reader_) return false;
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;
    const bool read = reader_->ReadSmf(stream, source_.GetArray());
    if (read) ConvertEarlierPatches(source_.GetArray(), destination_.Patches());
    source_.GetArray().RemoveAll();
    return read;
}
