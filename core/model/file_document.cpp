#include "model/file_document.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <new>
#include <optional>
#include <utility>

#include "model/atomic_file.h"
#include "model/document_header.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {
// Appends n bytes of stream to buffer. The buffer grows with what actually arrives, so a length field that
// claims more than the stream holds costs no more memory than the stream's content. False when fewer
// arrive; the buffer then ends with those that did.
bool AppendExactly(std::istream& stream, std::uint32_t n, std::vector<std::uint8_t>& buffer) {
    constexpr std::size_t kStep = std::size_t{1} << 20;
    std::size_t have = 0;
    while (have < n) {
        const std::size_t step = std::min<std::size_t>(kStep, n - have);
        const std::size_t at = buffer.size();
        buffer.resize(at + step);
        stream.read(reinterpret_cast<char*>(buffer.data() + at), static_cast<std::streamsize>(step));
        const auto arrived = static_cast<std::size_t>(stream.gcount());
        buffer.resize(at + arrived);
        if (arrived != step) return false;
        have += step;
    }
    return true;
}

// How many bytes stream holds after its read position, when it can tell (a file, a string).
std::optional<std::size_t> BytesLeft(std::istream& stream) {
    const std::streamoff here = stream.tellg();
    if (here < 0) return std::nullopt;
    stream.seekg(0, std::ios::end);
    const std::streamoff end = stream ? std::streamoff(stream.tellg()) : -1;
    stream.clear();
    stream.seekg(here);
    if (end < here || std::cmp_greater(end - here, PTRDIFF_MAX)) return std::nullopt;
    return static_cast<std::size_t>(end - here);
}

// The bytes of a library file's records, read from the stream in steps as the records are taken from them,
// so that each step is checked while it is still in the processor's cache. For a stream that can tell how
// much it holds, the buffer has room for all of it from the start and never moves: the bytes already read
// can be shared while more arrive behind them. Any other stream is read record by record first, each as
// far as its bytes arrive.
class CRecordBytes {
  public:
    CRecordBytes(std::istream& stream, std::uint32_t count) : stream_(stream) {
        if (count == 0) return;
        if (const std::optional<std::size_t> left = BytesLeft(stream); left && Reserve(*left)) {
            left_ = *left;
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!AppendExactly(stream, 4, *bytes_)) break;
            const std::uint32_t length = ReadBigEndian32(bytes_->data() + bytes_->size() - 4);
            if (length == 0 || !AppendExactly(stream, length, *bytes_)) break;
        }
    }

    // Whether the first `end` bytes are there; reads on until they are or the stream holds no more.
    bool Reach(std::size_t end) {
        const std::size_t have = bytes_->size();
        if (end <= have) return true;
        if (end - have > left_) return false;
        constexpr std::size_t kStep = std::size_t{256} << 10;
        const std::size_t step = std::min(left_, std::max(end - have, kStep));
        bytes_->resize(have + step);  // within the reserved room: nothing moves
        stream_.read(reinterpret_cast<char*>(bytes_->data() + have), static_cast<std::streamsize>(step));
        const auto arrived = static_cast<std::size_t>(stream_.gcount());
        bytes_->resize(have + arrived);
        left_ = arrived == step ? left_ - step : 0;
        return end <= bytes_->size();
    }

    const std::uint8_t* Data() const { return bytes_->data(); }
    SharedBytes Share() const { return bytes_; }

  private:
    // Room for n bytes; none when the system refuses that much at once (a huge file of junk, say), which
    // then costs no more than the records it really holds.
    bool Reserve(std::size_t n) {
        try {
            bytes_->reserve(n);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    std::istream& stream_;
    std::shared_ptr<std::vector<std::uint8_t>> bytes_ = std::make_shared<std::vector<std::uint8_t>>();
    std::size_t left_ = 0;  // what the stream holds beyond the bytes read
};
}  // namespace

void SerializePatch(const CParameter& patch, std::span<std::uint8_t> buffer) {
    patch.SerializeRecord(buffer);
}

bool DeserializePatch(std::span<const std::uint8_t> body, CParameter& patch) {
    return patch.DeserializeRecord(body);
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
    // read: a file that breaks off half-way must not cost the user the patches on screen. The patches share
    // the bytes read instead of each copying its body.
    CRecordBytes bytes(stream, count);
    const SharedBytes store = bytes.Share();
    CPatchArray patches;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t length = bytes.Reach(at + 4) ? ReadBigEndian32(bytes.Data() + at) : 0;
        if (length == 0) {
            Report(MSG_UNKNOWN_FILE_TYPE);
            return false;
        }
        at += 4;
        auto patch = std::make_unique<CPatch>();
        if (!bytes.Reach(at + length) || !patch->ShareRecord(store, at, length)) {
            Report(MSG_LOAD_FAILED);
            return false;
        }
        at += length;
        patches.Add(std::move(patch));
    }
    Patches().Swap(patches);
    return true;
}
