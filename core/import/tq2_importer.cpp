#include "import/tq2_importer.h"

#include <fstream>

#include "import/convert_earlier_patches.h"

CTQ2Importer::CTQ2Importer(std::shared_ptr<const IInitialData> initial) {
    destination_.SetInitialData(initial);
}

bool CTQ2Importer::Import(const std::filesystem::path& path) {
    destination_.Patches().RemoveAll();
    std::ifstream stream(path, std::ios::binary | std::ios::ate);
    if (!stream) return false;
    const std::streamoff size = stream.tellg();
    if (size < 0 || !stream.seekg(0, std::ios::beg)) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!stream.read(reinterpret_cast<char*>(bytes.data()), size)) return false;
    return ImportBytes(bytes);
}

bool CTQ2Importer::ImportBytes(std::span<const std::uint8_t> bytes) {
    destination_.Patches().RemoveAll();
    std::vector<std::uint8_t> images(Tq2DumpDecoder::kBufferSize);
    const int count = decoder_.WalkSmf(bytes, images);
    if (count <= 0) return false;
    TQML::CPatchArray& earlier = source_.Patches();
    earlier.Resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < earlier.GetSize(); ++i)
        earlier[i].SetImage(
            std::span<const std::uint8_t>(images).subspan(i * earlier::kImageSize, earlier::kImageSize));
    ConvertEarlierPatches(earlier, destination_.Patches());
    earlier.RemoveAll();
    return true;
}
