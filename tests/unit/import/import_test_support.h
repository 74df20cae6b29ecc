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
#include "support/smf_bytes.h"
#include "textout/text_out.h"
#include "textout/text_out_hub.h"

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
