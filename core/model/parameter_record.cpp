// The library-file record body of CParameter: writing it, reading it into copies, and sharing it.

#include <algorithm>
#include <cstring>
#include <optional>

#include "model/document_header.h"
#include "model/parameter.h"

namespace {
// A cursor over a record body that refuses to move past its end.
class BodyReader {
  public:
    explicit BodyReader(std::span<const std::uint8_t> body) : body_(body) {}

    std::size_t Remaining() const { return body_.size() - at_; }
    std::size_t Position() const { return at_; }

    bool ReadCount(std::uint32_t& value) {
        if (Remaining() < 4) return false;
        value = ReadBigEndian32(body_.data() + at_);
        at_ += 4;
        return true;
    }

    bool ReadBytes(std::uint32_t n, std::span<const std::uint8_t>& out) {
        if (Remaining() < n) return false;
        out = body_.subspan(at_, n);
        at_ += n;
        return true;
    }

    // Reads a text up to its terminating zero, which is consumed but not part of out.
    bool ReadTerminated(std::span<const std::uint8_t>& out) {
        const auto* begin = body_.data() + at_;
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, Remaining()));
        if (!zero) return false;
        out = body_.subspan(at_, static_cast<std::size_t>(zero - begin));
        at_ += out.size() + 1;
        return true;
    }

  private:
    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
};

using Memos = std::array<std::string, CParameter::kMemoCount>;

// Reads a record body of sectionCount sections. With sections and memos given, copies the blocks and memos
// into them as it goes: sections grows to sectionCount, a section to the body's block count, and its first
// blocks and the memos take the body's. Returns the length of the body up to its last memo's zero (the
// bytes after it are not part of the record), or nothing when the body is malformed.
std::optional<std::size_t> ReadBody(std::span<const std::uint8_t> body, std::size_t sectionCount,
                                    std::vector<Section>* sections, Memos* memos,
                                    std::array<std::string_view, CParameter::kMemoCount>* views = nullptr) {
    BodyReader reader(body);
    if (sections && sections->size() < sectionCount) sections->resize(sectionCount);
    for (std::size_t s = 0; s < sectionCount; ++s) {
        std::uint32_t blockCount = 0;
        if (!reader.ReadCount(blockCount)) return std::nullopt;
        // Every block needs at least its 4-byte length: a count the body cannot hold is a lie.
        if (blockCount > reader.Remaining() / 4) return std::nullopt;
        Section* section = sections ? &(*sections)[s] : nullptr;
        if (section && section->size() < blockCount) section->resize(blockCount);
        for (std::uint32_t b = 0; b < blockCount; ++b) {
            std::uint32_t length = 0;
            std::span<const std::uint8_t> bytes;
            if (!reader.ReadCount(length) || !reader.ReadBytes(length, bytes)) return std::nullopt;
            if (section) (*section)[b].assign(bytes.begin(), bytes.end());
        }
    }
    for (std::size_t m = 0; m < CParameter::kMemoCount; ++m) {
        std::span<const std::uint8_t> text;
        if (!reader.ReadTerminated(text)) return std::nullopt;
        if (memos) (*memos)[m].assign(reinterpret_cast<const char*>(text.data()), text.size());
        if (views) (*views)[m] = {reinterpret_cast<const char*>(text.data()), text.size()};
    }
    return reader.Position();
}

std::size_t SectionCountOf(const CParameter& object) {
    return static_cast<std::size_t>(std::max(object.GetSectionCount(), 0));
}
}  // namespace

void CParameter::SerializeRecord(std::span<std::uint8_t> buffer) const {
    if (store_) {
        std::copy(record_.begin(), record_.end(), buffer.begin());
        return;
    }
    std::uint8_t* out = buffer.data();
    const std::size_t sectionCount = SectionCountOf(*this);
    for (std::size_t s = 0; s < sectionCount; ++s) {
        static const Section kNoBlocks;
        const Section& section = s < sections_.size() ? sections_[s] : kNoBlocks;
        WriteBigEndian32(out, static_cast<std::uint32_t>(section.size()));
        out += 4;
        for (const Block& block : section) {
            WriteBigEndian32(out, static_cast<std::uint32_t>(block.size()));
            out += 4;
            out = std::copy(block.begin(), block.end(), out);
        }
    }
    for (const std::string& memo : memos_) {
        out = std::copy(memo.begin(), memo.end(), out);
        *out++ = 0;
    }
}

bool CParameter::DeserializeRecord(std::span<const std::uint8_t> body) {
    Unpack();
    return ReadBody(body, SectionCountOf(*this), &sections_, &memos_).has_value();
}

bool CParameter::ShareRecord(const SharedBytes& store, std::size_t offset, std::size_t length) {
    if (!store || offset > store->size() || length > store->size() - offset) return false;
    const std::span<const std::uint8_t> body = std::span(*store).subspan(offset, length);
    const std::optional<std::size_t> used = ReadBody(body, SectionCountOf(*this), nullptr, nullptr);
    if (!used) return false;
    memos_ = {};
    sections_ = {};
    store_ = store;
    record_ = body.first(*used);
    return true;
}

void CParameter::UnpackRecord() const {
    // The bytes stay alive until the copy is made, even when this object held the last share of them.
    const SharedBytes store = std::move(store_);
    const std::span<const std::uint8_t> record = record_;
    record_ = {};
    // The body was checked when it was shared, and the bytes never change.
    ReadBody(record, SectionCountOf(*this), &sections_, &memos_);
}

std::array<std::string_view, CParameter::kMemoCount> CParameter::MemoViews() const {
    std::array<std::string_view, kMemoCount> views;
    if (store_) {
        // The body was checked when it was shared.
        ReadBody(record_, SectionCountOf(*this), nullptr, nullptr, &views);
    } else {
        std::copy(memos_.begin(), memos_.end(), views.begin());
    }
    return views;
}

std::span<const std::uint8_t> CParameter::FirstBlockBytes() const {
    if (!store_) {
        if (sections_.empty() || sections_.front().empty()) return {};
        return sections_.front().front();
    }
    // A checked body of at least one section starts with the block count and the first block's length.
    if (SectionCountOf(*this) == 0 || ReadBigEndian32(record_.data()) == 0) return {};
    return record_.subspan(8, ReadBigEndian32(record_.data() + 4));
}
