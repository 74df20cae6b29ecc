#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/parameter.h"
#include "model/parameter_address.h"

using PatchImage = std::array<std::uint8_t, PATCH_BLOCK_SIZE>;

// One patch of the TQ-550: one section holding one 2178-byte block whose first 16 bytes are the name,
// plus four memos that exist only in library files.
class CPatch : public CParameter {
  public:
    static constexpr int kNameKey = 5;

    // Zeroed data named "INIT PATCH" with empty memos (a list with initial data copies its patch instead).
    void Initialize() override;
    std::unique_ptr<CParameter> Clone() const override;
    std::unique_ptr<CPatch> ClonePatch() const { return std::make_unique<CPatch>(*this); }
    int GetSectionCount() const override { return 1; }
    // One block per section, and also one for each of the nine chunk numbers.
    int GetBlockCount(int /*section*/) const override { return 1; }
    int GetBlockSize(int section) const override { return section == 0 ? PATCH_BLOCK_SIZE : 0; }
    int GetDataType() const override { return 1; }

    // The 16 name bytes exactly as stored (zero where the block is shorter).
    std::string GetName() const;
    // Writes the first 16 bytes of text as the name: blanks after its end, and blanks for bytes that are
    // below 0x20 or above 0x7F.
    void SetName(const std::string& text);

    // The patch block as the device sees it: the stored block padded with zeros or cut to 2178 bytes.
    PatchImage GetImage() const;
    // The stored block (section 0, block 0), created empty when the patch has none.
    Block& PatchBlock();
    const Block* PatchBlockIfAny() const;

  protected:
    const std::string* CompareText(int key, std::string& scratch) const override;
};

// Turns user-entered memo text into memo bytes: bytes 0x00..0x1F become blanks, all others stay.
std::string CleanMemoText(const std::string& text);
