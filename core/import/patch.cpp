#include "import/patch.h"

#include <algorithm>

#include "import/earlier_image_converter.h"

namespace TQML {

CPatch::CPatch() {
    Reset();
}

void CPatch::Reset() {
    CParameter::Reset();
    FillDefaultEarlierImage(image_);
}

std::unique_ptr<CParameter> CPatch::Clone() const {
    return ClonePatch();
}

void CPatch::SetName(const std::string& text) {
    for (std::size_t i = 0; i < earlier::kNameLength; ++i) {
        std::uint8_t byte = ' ';
        if (i < text.size()) {
            const auto value = static_cast<std::uint8_t>(text[i]);
            if (value >= 32 && value <= 127) byte = value;
        }
        image_[earlier::kName + i] = byte;
    }
}

std::string CPatch::GetName() const {
    return std::string(image_.begin() + earlier::kName,
                       image_.begin() + earlier::kName + earlier::kNameLength);
}

void CPatch::GetImage(std::span<std::uint8_t> image) const {
    std::copy_n(image_.begin(), std::min(image.size(), image_.size()), image.begin());
}

void CPatch::SetImage(std::span<const std::uint8_t> image) {
    std::copy_n(image.begin(), std::min(image.size(), image_.size()), image_.begin());
}

std::size_t CPatch::StreamSize() const {
    return CParameter::StreamSize() + 4 * earlier::kBlockCount + earlier::kImageSize;
}

std::span<std::uint8_t> CPatch::Block(int index) {
    const auto i = static_cast<std::size_t>(index);
    return std::span(image_).subspan(static_cast<std::size_t>(earlier::kBlockOffsets[i]),
                                     static_cast<std::size_t>(earlier::kBlockSizes[i]));
}

std::span<const std::uint8_t> CPatch::Block(int index) const {
    const auto i = static_cast<std::size_t>(index);
    return std::span(image_).subspan(static_cast<std::size_t>(earlier::kBlockOffsets[i]),
                                     static_cast<std::size_t>(earlier::kBlockSizes[i]));
}

}  // namespace TQML
