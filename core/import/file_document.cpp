#include "import/file_document.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "import/document_header.h"
#include "import/earlier_image_converter.h"
#include "model/document_header.h"
#include "textout/message_catalog.h"

namespace TQML {

namespace {
// Reads exactly n bytes into buffer, growing it only with what actually arrives, so that a length field
// claiming more than the file holds costs no more memory than the file's content.
bool ReadExactly(std::istream& stream, std::uint32_t n, std::vector<std::uint8_t>& buffer) {
    constexpr std::size_t kStep = std::size_t{1} << 16;
    buffer.clear();
    while (buffer.size() < n) {
        const std::size_t have = buffer.size();
        const std::size_t step = std::min<std::size_t>(kStep, n - have);
        buffer.resize(have + step);
        stream.read(reinterpret_cast<char*>(buffer.data() + have), static_cast<std::streamsize>(step));
        if (static_cast<std::size_t>(stream.gcount()) != step) return false;
    }
    return true;
}
}  // namespace

bool CFileDocument::ReadHeader(std::istream& stream, bool& isTq4) {
    CDocumentHeader header;
    stream.read(reinterpret_cast<char*>(header.Bytes().data()), CDocumentHeader::kSize);
    const bool complete = static_cast<std::size_t>(stream.gcount()) == CDocumentHeader::kSize;
    const CDocumentHeader::Layout layout = complete ? header.GetLayout() : CDocumentHeader::Layout::Unknown;
    if (layout == CDocumentHeader::Layout::Unknown) {
        Report(MSG_LOAD_FAILED);
        return false;
    }
    isTq4 = layout == CDocumentHeader::Layout::Tq4;
    return ReadPatches(stream, header.GetCount(), isTq4);
}

bool CFileDocument::ReadPatches(std::istream& stream, std::uint32_t count, bool isTq4) {
    // Read into a list of its own: a failed read leaves the current patches as they were.
    CPatchArray patches;
    std::vector<std::uint8_t> body;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t lengthBytes[4];
        stream.read(reinterpret_cast<char*>(lengthBytes), 4);
        const std::uint32_t length = stream.gcount() == 4 ? ReadBigEndian32(lengthBytes) : 0;
        if (length == 0) {
            Report(MSG_UNKNOWN_FILE_TYPE);
            return false;
        }
        if (!ReadExactly(stream, length, body)) {
            Report(MSG_LOAD_FAILED);
            return false;
        }
        auto patch = std::make_unique<CPatch>();
        if (!ParseRecord(body, *patch)) {
            Report(MSG_UNKNOWN_FILE_TYPE);
            return false;
        }
        patches.Add(std::move(patch));
    }
    if (isTq4) EarlierImageConverter().ConvertLayout(patches, EarlierImageConverter::kTq4ToTqMax);
    Patches().Swap(patches);
    return true;
}

bool CFileDocument::ParseRecord(std::span<const std::uint8_t> body, CPatch& patch) {
    std::size_t at = 0;
    for (int block = 0; block < earlier::kBlockCount; ++block) {
        const std::span<std::uint8_t> target = patch.Block(block);
        if (body.size() - at < 4) return false;
        const std::uint32_t length = ReadBigEndian32(body.data() + at);
        at += 4;
        if (length != target.size() || body.size() - at < length) return false;
        std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(at), length, target.begin());
        at += length;
    }
    for (int m = 0; m < CParameter::kMemoCount; ++m) {
        const auto* begin = body.data() + at;
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, body.size() - at));
        if (!zero) return false;
        patch.SetMemo(
            m, std::string(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(zero - begin)));
        at += static_cast<std::size_t>(zero - begin) + 1;
    }
    return true;
}

}  // namespace TQML
