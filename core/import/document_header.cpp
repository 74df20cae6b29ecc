#include "import/document_header.h"

#include <algorithm>
#include <cstring>

#include "model/document_header.h"

namespace TQML {

namespace {
constexpr char kTqMaxMagic[] = "TQMLibrarianFile0000TQM         ";
constexpr char kTq4Magic[] = "TQMLibrarianFile0000TQ4         ";
static_assert(sizeof kTqMaxMagic - 1 == CDocumentHeader::kMagicSize);
static_assert(sizeof kTq4Magic - 1 == CDocumentHeader::kMagicSize);
}  // namespace

void CDocumentHeader::SetMagic(Layout layout) {
    const char* magic = layout == Layout::Tq4 ? kTq4Magic : kTqMaxMagic;
    std::copy_n(magic, kMagicSize, bytes_.begin());
}

CDocumentHeader::Layout CDocumentHeader::GetLayout() const {
    if (std::memcmp(bytes_.data(), kTq4Magic, kMagicSize) == 0) return Layout::Tq4;
    if (std::memcmp(bytes_.data(), kTqMaxMagic, kMagicSize) == 0) return Layout::TqMax;
    return Layout::Unknown;
}

void CDocumentHeader::SetCount(std::uint32_t count) {
    WriteBigEndian32(bytes_.data() + kMagicSize, count);
}

std::uint32_t CDocumentHeader::GetCount() const {
    return ReadBigEndian32(bytes_.data() + kMagicSize);
}

}  // namespace TQML
