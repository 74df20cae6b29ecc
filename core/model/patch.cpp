#include "model/patch.h"

#include <algorithm>

void CPatch::Initialize() {
    CParameter::Initialize();
    SetName("INIT PATCH");
}

std::unique_ptr<CParameter> CPatch::Clone() const {
    return ClonePatch();
}

const Block* CPatch::PatchBlockIfAny() const {
    const auto& sections = Sections();
    if (sections.empty() || sections.front().empty()) return nullptr;
    return &sections.front().front();
}

Block& CPatch::PatchBlock() {
    return FirstBlock();
}

std::string CPatch::GetName() const {
    std::string name(PATCH_NAME_LENGTH, '\0');
    const std::span<const std::uint8_t> block = FirstBlockBytes();
    std::copy_n(block.begin(), std::min<std::size_t>(block.size(), PATCH_NAME_LENGTH), name.begin());
    return name;
}

void CPatch::SetName(const std::string& text) {
    Block& block = PatchBlock();
    if (block.size() < PATCH_NAME_LENGTH) block.resize(PATCH_NAME_LENGTH, 0);
    for (std::size_t i = 0; i < PATCH_NAME_LENGTH; ++i) {
        std::uint8_t byte = ' ';
        if (i < text.size()) {
            const auto value = static_cast<std::uint8_t>(text[i]);
            // Read as a signed byte, control characters and 0x80..0xFF are below 0x20.
            if (value >= 0x20 && value < 0x80) byte = value;
        }
        block[i] = byte;
    }
}

PatchImage CPatch::GetImage() const {
    PatchImage image{};
    const std::span<const std::uint8_t> block = FirstBlockBytes();
    std::copy_n(block.begin(), std::min(block.size(), image.size()), image.begin());
    return image;
}

const std::string* CPatch::CompareText(int key, std::string& scratch) const {
    if (key == kNameKey) {
        scratch = GetName();
        return &scratch;
    }
    return CParameter::CompareText(key, scratch);
}

std::string CleanMemoText(const std::string& text) {
    std::string clean(text);
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return clean;
}
