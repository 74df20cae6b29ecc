#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// One receive or send buffer of 2048 bytes with the count of bytes it holds. The buffer is allocated with
// the packet and never again.
class CMidiPacket {
  public:
    static constexpr std::size_t kSize = 2048;

    CMidiPacket() : buffer_(std::make_unique<std::array<std::uint8_t, kSize>>()) {}

    // Forgets the bytes recorded.
    void Reset() { recorded_ = 0; }
    // Copies bytes into the buffer; false (and nothing copied) when they do not fit.
    bool Assign(std::span<const std::uint8_t> bytes);

    std::span<const std::uint8_t> Bytes() const { return {buffer_->data(), recorded_}; }
    std::size_t Recorded() const { return recorded_; }
    std::uint8_t* Data() { return buffer_->data(); }

  private:
    std::unique_ptr<std::array<std::uint8_t, kSize>> buffer_;
    std::size_t recorded_ = 0;
};
