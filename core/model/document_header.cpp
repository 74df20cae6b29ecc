#include "model/document_header.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kMagic[] = "TQLLibrarianFile0001            ";
static_assert(sizeof kMagic - 1 == CDocumentHeader::kMagicSize);
}  // namespace

void CDocumentHeader::SetMagic() {
    std::copy_n(kMagic, kMagicSize, bytes_.begin());
}

bool CDocumentHeader::HasMagic() const {
    return std::memcmp(bytes_.data(), kMagic, kMagicSize) == 0;
}

void CDocumentHeader::SetCount(std::uint32_t count) {
    WriteBigEndian32(bytes_.data() + kMagicSize, count);
}

std::uint32_t CDocumentHeader::GetCount() const {
    return ReadBigEndian32(bytes_.data() + kMagicSize);
}
