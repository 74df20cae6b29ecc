#include "model/parameter.h"

#include <algorithm>
#include <cctype>
#include <cstring>

void CParameter::Initialize() {
    store_.reset();
    record_ = {};
    ClearMemos();
    sections_.assign(static_cast<std::size_t>(std::max(GetSectionCount(), 0)), Section());
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const int section = static_cast<int>(i);
        const int blocks = std::max(GetBlockCount(section), 0);
        const int size = std::max(GetBlockSize(section), 0);
        sections_[i].assign(static_cast<std::size_t>(blocks), Block(static_cast<std::size_t>(size), 0));
    }
}

std::size_t CParameter::GetSerializedSize() const {
    if (store_) return record_.size();
    std::size_t size = 4;  // one terminating zero per memo
    for (const std::string& memo : memos_)
        size += memo.size();
    const std::size_t sectionCount = static_cast<std::size_t>(std::max(GetSectionCount(), 0));
    for (std::size_t s = 0; s < sectionCount; ++s) {
        size += 4;
        if (s >= sections_.size()) continue;
        for (const Block& block : sections_[s])
            size += 4 + block.size();
    }
    return size;
}

Block& CParameter::FirstBlock() {
    Unpack();
    if (sections_.empty()) sections_.emplace_back();
    if (sections_.front().empty()) sections_.front().emplace_back();
    return sections_.front().front();
}

void CParameter::ClearMemos() {
    Unpack();
    for (std::string& memo : memos_)
        memo.clear();
}

void CParameter::Assign(const CParameter& other) {
    if (&other == this) return;
    memos_ = other.memos_;
    sections_ = other.sections_;
    store_ = other.store_;
    record_ = other.record_;
}

void CParameter::GetFlatData(std::span<std::uint8_t> buffer) const {
    Unpack();
    std::size_t at = 0;
    for (const Section& section : sections_) {
        for (const Block& block : section) {
            const std::size_t n = std::min(block.size(), buffer.size() - at);
            std::copy_n(block.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(at));
            at += n;
            if (at == buffer.size()) return;
        }
    }
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(at), buffer.end(), 0);
}

void CParameter::SetFlatData(std::span<const std::uint8_t> buffer) {
    Unpack();
    std::size_t at = 0;
    for (Section& section : sections_) {
        for (Block& block : section) {
            const std::size_t n = std::min(block.size(), buffer.size() - at);
            std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(at), n, block.begin());
            at += n;
            if (at == buffer.size()) return;
        }
    }
}

std::size_t CParameter::GetFlatSize() const {
    Unpack();
    std::size_t size = 0;
    for (const Section& section : sections_)
        for (const Block& block : section)
            size += block.size();
    return size;
}

const std::string* CParameter::CompareText(int key, std::string& /*scratch*/) const {
    if (key >= 1 && key <= kMemoCount) return &GetMemo(key - 1);
    return nullptr;
}

namespace {
// Lexicographic order by unsigned byte value, a proper prefix first.
int CompareBytes(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string UpperCase(const std::string& text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}
}  // namespace

int CompareTexts(const std::string& own, const std::string& other, int positionResult) {
    if (own == other) return positionResult;
    const int folded = CompareBytes(UpperCase(own), UpperCase(other));
    if (folded != 0) return folded;
    return CompareBytes(own, other) >= 0 ? 1 : -1;
}

int CParameter::Compare(int key, const CParameter& other, unsigned ownIndex, unsigned otherIndex) const {
    const int position = ownIndex < otherIndex ? -1 : (ownIndex == otherIndex ? 0 : 1);
    if (key == 0) return position;
    std::string ownScratch, otherScratch;
    const std::string* own = CompareText(key, ownScratch);
    const std::string* theirs = other.CompareText(key, otherScratch);
    static const std::string empty;
    return CompareTexts(own ? *own : empty, theirs ? *theirs : empty, position);
}
