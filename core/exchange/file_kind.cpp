#include "exchange/file_kind.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "device/protocol_constants.h"
#include "model/parameter_address.h"
#include "platform/utf8_path.h"
#include "smf/smf_read.h"
#include "transfer/bounded_read.h"

namespace {
struct KindInfo {
    FileKind kind;
    const char* name;
    bool import;
    const char* writeExtension;  // nullptr: not written
    int indexLimit;
};

const KindInfo kKinds[] = {
    {FileKind::Library, "tql", false, ".tql", 0},
    {FileKind::EarlierLibrary, "tqx", true, nullptr, 0},
    {FileKind::Tq4Dump, "tq4-dump", true, nullptr, 0},
    {FileKind::Tq2Dump, "tq2-dump", true, nullptr, 0},
    {FileKind::Smf, "smf", false, ".mid", USER_PATCH_COUNT},
    {FileKind::Syx, "syx", true, ".syx", USER_PATCH_COUNT},
};

const KindInfo& Info(FileKind kind) {
    return *std::find_if(std::begin(kKinds), std::end(kKinds),
                         [&](const KindInfo& i) { return i.kind == kind; });
}

std::string LowerExtension(const std::filesystem::path& path) {
    std::string extension = PathToUtf8(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

constexpr std::string_view kLibraryMagic = "TQLLibrarianFile0001";
constexpr std::string_view kEarlierMagic = "TQMLibrarianFile0000TQ";
constexpr std::string_view kSmfMagic = "MThd";
constexpr std::size_t kHeadBytes = 32;

// Counts the maker's data sets of each model among the System Exclusive events of a Standard MIDI File:
// F0 41 device model... 12, with the TQ-550's three-byte model id and the earlier models' two-byte ones.
class CDataSetCensus : public CKivSmfRead {
  public:
    explicit CDataSetCensus(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    void OnSysEx(std::int32_t, std::span<const std::uint8_t> message) override {
        if (message.size() < 7 || message[0] != kSysExStart || message[1] != kMarlinManufacturerId) return;
        if (message[3] != 0x00) return;
        if (message[4] == 0x3A && message[5] == 0x12) ++tq4;
        if (message[4] == 0x46 && message[5] == 0x12) ++tq2;
        if (message[4] == kTq550ModelId[1] && message[5] == kTq550ModelId[2] && message[6] == 0x12) ++tq550;
    }

    int tq550 = 0;
    int tq4 = 0;
    int tq2 = 0;

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t n = std::min(buffer.size(), bytes_.size() - offset);
        std::memcpy(buffer.data(), bytes_.data() + offset, n);
        return n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

FileKind SmfKind(std::span<const std::uint8_t> bytes) {
    CDataSetCensus census(bytes);
    census.Parse();  // what was found before a fault counts
    if (census.tq4 > census.tq550 && census.tq4 >= census.tq2) return FileKind::Tq4Dump;
    if (census.tq2 > census.tq550 && census.tq2 > census.tq4) return FileKind::Tq2Dump;
    return FileKind::Smf;
}
}  // namespace

const char* FileKindName(FileKind kind) {
    return Info(kind).name;
}

std::optional<FileKind> FileKindFromName(std::string_view name) {
    for (const KindInfo& info : kKinds)
        if (name == info.name) return info.kind;
    return std::nullopt;
}

bool IsImportKind(FileKind kind) {
    return Info(kind).import;
}

bool HoldsDataSets(FileKind kind) {
    return kind == FileKind::Smf || kind == FileKind::Syx;
}

bool IsWritableKind(FileKind kind) {
    return Info(kind).writeExtension != nullptr;
}

std::optional<FileKind> WritableKindFromExtension(const std::filesystem::path& path) {
    const std::string extension = LowerExtension(path);
    for (const KindInfo& info : kKinds)
        if (info.writeExtension && extension == info.writeExtension) return info.kind;
    return std::nullopt;
}

int WriteIndexLimit(FileKind kind) {
    return Info(kind).indexLimit;
}

std::optional<FileKind> RecognizeContent(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, kLibraryMagic)) return FileKind::Library;
    if (StartsWith(bytes, kEarlierMagic)) return FileKind::EarlierLibrary;
    if (StartsWith(bytes, kSmfMagic)) return SmfKind(bytes);
    if (!bytes.empty() && bytes[0] == kSysExStart) return FileKind::Syx;
    return std::nullopt;
}

std::optional<FileKind> RecognizeExtension(const std::filesystem::path& path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".tql") return FileKind::Library;
    if (extension == ".tqx") return FileKind::EarlierLibrary;
    if (extension == ".syx") return FileKind::Syx;
    if (extension == ".mid" || extension == ".midi" || extension == ".smf") return FileKind::Smf;
    return std::nullopt;
}

std::optional<FileKind> RecognizeFile(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(kHeadBytes);
    if (stream.is_open()) {
        stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(stream.gcount(), 0)));
        // A Standard MIDI File is told by its data sets, which may lie anywhere in it.
        if (StartsWith(bytes, kSmfMagic)) {
            std::vector<std::uint8_t> rest;
            ReadAtMost(stream, rest);
            bytes.insert(bytes.end(), rest.begin(), rest.end());
        }
        if (const std::optional<FileKind> kind = RecognizeContent(bytes)) return kind;
    }
    return RecognizeExtension(path);
}
