#include "model/file_document.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "model/atomic_file.h"
#include "model/document_header.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {
// Reads exactly n bytes into buffer. The buffer grows with what actually arrives, so a length field that
// claims more than the stream holds costs no more memory than the stream's content.
bool ReadExactly(std::istream& stream, std::uint32_t n, std::vector<std::uint8_t>& buffer) {
    constexpr std::size_t kStep = std::size_t{1} << 20;
    std::size_t have = 0;
    while (have < n) {
        const std::size_t step = std::min<std::size_t>(kStep, n - have);
        // Bytes already in the buffer are overwritten, not cleared first: the buffer is reused per record.
        if (buffer.size() < have + step) buffer.resize(have + step);
        stream.read(reinterpret_cast<char*>(buffer.data() + have), static_cast<std::streamsize>(step));
        if (static_cast<std::size_t>(stream.gcount()) != step) return false;
        have += step;
    }
    buffer.resize(n);
    return true;
}

// A cursor over a record body that refuses to move past its end.
class BodyReader {
  public:
    explicit BodyReader(std::span<const std::uint8_t> body) : body_(body) {}

    std::size_t Remaining() const { return body_.size() - at_; }

    bool ReadCount(std::uint32_t& value) {
        if (Remaining() < 4) return false;
        value = ReadBigEndian32(body_.data() + at_);
        at_ += 4;
        return true;
    }

    bool ReadBytes(std::uint32_t n, Block& out) {
        if (Remaining() < n) return false;
        out.assign(body_.begin() + static_cast<std::ptrdiff_t>(at_),
                   body_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
        at_ += n;
        return true;
    }

    // Reads a text up to its terminating zero, which is consumed but not stored.
    bool ReadTerminated(std::string& out) {
        const auto* begin = body_.data() + at_;
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, Remaining()));
        if (!zero) return false;
        out.assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(zero - begin));
        at_ += static_cast<std::size_t>(zero - begin) + 1;
        return true;
    }

  private:
    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
};
}  // namespace

void SerializePatch(const CParameter& patch, std::span<std::uint8_t> buffer) {
    std::uint8_t* out = buffer.data();
    const auto& sections = patch.Sections();
    const std::size_t sectionCount = static_cast<std::size_t>(std::max(patch.GetSectionCount(), 0));
    for (std::size_t s = 0; s < sectionCount; ++s) {
        static const Section kNoBlocks;
        const Section& section = s < sections.size() ? sections[s] : kNoBlocks;
        WriteBigEndian32(out, static_cast<std::uint32_t>(section.size()));
        out += 4;
        for (const Block& block : section) {
            WriteBigEndian32(out, static_cast<std::uint32_t>(block.size()));
            out += 4;
            out = std::copy(block.begin(), block.end(), out);
        }
    }
    for (int m = 0; m < CParameter::kMemoCount; ++m) {
        const std::string& memo = patch.GetMemo(m);
        out = std::copy(memo.begin(), memo.end(), out);
        *out++ = 0;
    }
}

bool DeserializePatch(std::span<const std::uint8_t> body, CParameter& patch) {
    BodyReader reader(body);
    auto& sections = patch.Sections();
    const std::size_t sectionCount = static_cast<std::size_t>(std::max(patch.GetSectionCount(), 0));
    if (sections.size() < sectionCount) sections.resize(sectionCount);
    for (std::size_t s = 0; s < sectionCount; ++s) {
        std::uint32_t blockCount = 0;
        if (!reader.ReadCount(blockCount)) return false;
        // Every block needs at least its 4-byte length: a count the body cannot hold is a lie.
        if (blockCount > reader.Remaining() / 4) return false;
        Section& section = sections[s];
        if (section.size() < blockCount) section.resize(blockCount);
        for (std::uint32_t b = 0; b < blockCount; ++b) {
            std::uint32_t length = 0;
            if (!reader.ReadCount(length) || !reader.ReadBytes(length, section[b])) return false;
        }
    }
    for (int m = 0; m < CParameter::kMemoCount; ++m) {
        std::string memo;
        if (!reader.ReadTerminated(memo)) return false;
        patch.SetMemo(m, std::move(memo));
    }
    return true;
}

bool CFileDocument::WriteRecords(std::ostream& stream) const {
    std::vector<std::uint8_t> record;
    const CPatchArray& patches = Patches();
    for (std::size_t i = 0; i < patches.GetSize() && stream; ++i) {
        const CPatch& patch = patches[i];
        const std::size_t length = patch.GetSerializedSize();
        if (length > UINT32_MAX - 4) return false;
        record.resize(4 + length);
        WriteBigEndian32(record.data(), static_cast<std::uint32_t>(length));
        SerializePatch(patch, std::span(record).subspan(4));
        stream.write(reinterpret_cast<const char*>(record.data()),
                     static_cast<std::streamsize>(record.size()));
    }
    return static_cast<bool>(stream);
}

bool CFileDocument::Save(const std::filesystem::path& path) const {
    AtomicFileWriter file(path);
    bool ok = file.IsOpen() && Patches().GetSize() <= UINT32_MAX;
    if (ok) {
        CDocumentHeader header;
        header.SetMagic();
        header.SetCount(static_cast<std::uint32_t>(Patches().GetSize()));
        file.Stream().write(reinterpret_cast<const char*>(header.Bytes().data()), CDocumentHeader::kSize);
        ok = file.Stream() && WriteRecords(file.Stream()) && file.Commit();
    }
    if (!ok) {
        file.Abandon();
        Report(MSG_SAVE_FAILED);
    }
    return ok;
}

bool CFileDocument::Load(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        Report(MSG_LOAD_FAILED);
        return false;
    }
    return Load(stream);
}

bool CFileDocument::Load(std::istream& stream) {
    CDocumentHeader header;
    stream.read(reinterpret_cast<char*>(header.Bytes().data()), CDocumentHeader::kSize);
    if (static_cast<std::size_t>(stream.gcount()) != CDocumentHeader::kSize || !header.HasMagic()) {
        Report(MSG_UNKNOWN_FILE_TYPE);
        return false;
    }
    return ReadRecords(stream, header.GetCount());
}

bool CFileDocument::ReadRecords(std::istream& stream, std::uint32_t count) {
    // The records go to a list of their own, which replaces the current one only when all of them were
    // read: a file that breaks off half-way must not cost the user the patches on screen.
    CPatchArray patches;
    std::vector<std::uint8_t> body;
    std::uint8_t lengthBytes[4];
    for (std::uint32_t i = 0; i < count; ++i) {
        stream.read(reinterpret_cast<char*>(lengthBytes), 4);
        const std::uint32_t length = stream.gcount() == 4 ? ReadBigEndian32(lengthBytes) : 0;
        if (length == 0) {
            Report(MSG_UNKNOWN_FILE_TYPE);
            return false;
        }
        auto patch = std::make_unique<CPatch>();
        if (!ReadExactly(stream, length, body) || !DeserializePatch(body, *patch)) {
            Report(MSG_LOAD_FAILED);
            return false;
        }
        patches.Add(std::move(patch));
    }
    Patches().Swap(patches);
    return true;
}
