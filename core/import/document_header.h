#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace TQML {

// The 160 header bytes of an earlier librarian file: a 32-byte magic naming the layout, the big-endian
// record count at 32, and 124 bytes that are not interpreted.
class CDocumentHeader {
  public:
    static constexpr std::size_t kSize = 160;
    static constexpr std::size_t kMagicSize = 32;

    enum class Layout { Unknown, TqMax, Tq4 };

    CDocumentHeader() { bytes_.fill(0); }
    virtual ~CDocumentHeader() = default;

    void SetMagic(Layout layout);
    Layout GetLayout() const;
    void SetCount(std::uint32_t count);
    std::uint32_t GetCount() const;

    std::span<std::uint8_t, kSize> Bytes() { return bytes_; }
    std::span<const std::uint8_t, kSize> Bytes() const { return bytes_; }

  private:
    std::array<std::uint8_t, kSize> bytes_;
};

}  // namespace TQML
