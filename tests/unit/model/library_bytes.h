#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds library file bytes by hand, so tests can write files the program would never write.
class LibraryBytes {
  public:
    explicit LibraryBytes(std::uint32_t count,
                          const std::string& magic = "TQLLibrarianFile0001            ") {
        bytes_.assign(160, 0);
        for (std::size_t i = 0; i < magic.size() && i < 32; ++i)
            bytes_[i] = static_cast<std::uint8_t>(magic[i]);
        Put32At(32, count);
    }

    LibraryBytes& U32(std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
        return *this;
    }
    LibraryBytes& Bytes(std::size_t n, std::uint8_t value) {
        bytes_.insert(bytes_.end(), n, value);
        return *this;
    }
    LibraryBytes& Text(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    // A well-formed record of one patch block of `size` bytes and four memos.
    LibraryBytes& Record(std::size_t size, std::uint8_t fill, const std::string& memo = "") {
        U32(static_cast<std::uint32_t>(4 + 4 + size + 4 * (memo.size() + 1)));
        U32(1).U32(static_cast<std::uint32_t>(size)).Bytes(size, fill);
        for (int m = 0; m < 4; ++m)
            Text(memo).Bytes(1, 0);
        return *this;
    }
    const std::vector<std::uint8_t>& Get() const { return bytes_; }

  private:
    void Put32At(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
    std::vector<std::uint8_t> bytes_;
};
