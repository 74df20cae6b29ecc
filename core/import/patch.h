#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "import/parameter.h"
#include "import/tables/earlier_layout.h"

namespace TQML {

// An earlier patch: 43 byte blocks of fixed size whose concatenation is the 880-byte earlier image.
class CPatch : public CParameter {
  public:
    using Image = std::array<std::uint8_t, earlier::kImageSize>;

    // A freshly made patch is reset.
    CPatch();

    // Empty memos and the default earlier image ("INIT PATCH", the default chain).
    void Reset() override;
    std::unique_ptr<CParameter> Clone() const override;
    std::unique_ptr<CPatch> ClonePatch() const { return std::make_unique<CPatch>(*this); }
    // Writes 16 characters: blanks after the end of text, and blanks for bytes below 32 or above 127.
    void SetName(const std::string& text) override;
    std::string GetName() const override;
    // image must hold at least 880 bytes; only the first 880 are used.
    void GetImage(std::span<std::uint8_t> image) const override;
    void SetImage(std::span<const std::uint8_t> image) override;
    // The size of a record body: the memos, and each block with its 4-byte length.
    std::size_t StreamSize() const override;

    // The bytes of block index (0 to 42).
    std::span<std::uint8_t> Block(int index);
    std::span<const std::uint8_t> Block(int index) const;
    const Image& GetImageBytes() const { return image_; }

  private:
    Image image_{};
};

}  // namespace TQML
