#pragma once

#include <array>
#include <cstdint>
#include <span>

// The 160-byte header of a library file: 32 magic bytes, the big-endian patch count, zeros.
class CDocumentHeader {
  public:
    static constexpr std::size_t kSize = 160;
    static constexpr std::size_t kMagicSize = 32;

    CDocumentHeader() { bytes_.fill(0); }
    virtual ~CDocumentHeader() = default;

    void SetMagic();
    bool HasMagic() const;
    void SetCount(std::uint32_t count);
    std::uint32_t GetCount() const;

    std::span<std::uint8_t, kSize> Bytes() { return bytes_; }
    std::span<const std::uint8_t, kSize> Bytes() const { return bytes_; }

  private:
    std::array<std::uint8_t, kSize> bytes_;
};

// Big-endian 32-bit numbers as the library file stores them.
inline std::uint32_t ReadBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

inline void WriteBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 24);
    bytes[1] = static_cast<std::uint8_t>(value >> 16);
    bytes[2] = static_cast<std::uint8_t>(value >> 8);
    bytes[3] = static_cast<std::uint8_t>(value);
}
