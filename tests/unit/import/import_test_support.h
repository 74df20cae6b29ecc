#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/earlier_image_converter.h"
#include "import/tables/earlier_layout.h"
#include "model/initial_file_document.h"
#include "textout/text_out.h"
#include "textout/text_out_hub.h"

using Bytes = std::vector<std::uint8_t>;
using EarlierImage = std::array<std::uint8_t, earlier::kImageSize>;

// Collects the messages reported to the buffering sink.
class CollectingSink : public CKivTextOut {
  public:
    std::vector<std::string> lines;

  protected:
    void Output(const std::string& text) override { lines.push_back(text); }
};

// Every import test starts without initial data; what its importers report (given &hub_) is collected.
class ImportTest : public ::testing::Test {
  protected:
    void SetUp() override { hub_.SetTextOut(TextOutHub::kBufferSlot, sink_); }
    const std::vector<std::string>& Reported() const { return sink_->lines; }

    TextOutHub hub_;

  private:
    std::shared_ptr<CollectingSink> sink_ = std::make_shared<CollectingSink>();
};

inline EarlierImage DefaultEarlierImage() {
    EarlierImage image{};
    FillDefaultEarlierImage(image);
    return image;
}

inline void Put14(std::span<std::uint8_t> bytes, std::size_t at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 7);
    bytes[at + 1] = static_cast<std::uint8_t>(value & 0x7F);
}

inline int Get14(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] * 128 + bytes[at + 1];
}

inline void AppendU32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void AppendVariableLength(Bytes& out, std::uint32_t value) {
    Bytes groups{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7)
        groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    out.insert(out.end(), groups.begin(), groups.end());
}

// A Standard MIDI File with one track holding the given System Exclusive messages (each F0 ... F7).
inline Bytes SmfWithSysEx(const std::vector<Bytes>& messages) {
    Bytes track;
    for (const Bytes& message : messages) {
        track.push_back(0);
        track.push_back(0xF0);
        AppendVariableLength(track, static_cast<std::uint32_t>(message.size() - 1));
        track.insert(track.end(), message.begin() + 1, message.end());
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    AppendU32(file, static_cast<std::uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
