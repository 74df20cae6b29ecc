#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The earlier librarian's data model, kept only to import its files and dumps.
namespace TQML {

// Base of an earlier patch: four memo byte strings.
class CParameter {
  public:
    static constexpr int kMemoCount = 4;

    CParameter() = default;
    CParameter(const CParameter&) = default;
    CParameter& operator=(const CParameter&) = default;
    virtual ~CParameter() = default;

    // Empties the four memos.
    virtual void Reset();
    virtual std::unique_ptr<CParameter> Clone() const = 0;
    virtual void SetName(const std::string& text) = 0;
    virtual std::string GetName() const = 0;
    virtual void GetImage(std::span<std::uint8_t> image) const = 0;
    virtual void SetImage(std::span<const std::uint8_t> image) = 0;
    // Sum of the memo lengths plus their four terminators.
    virtual std::size_t StreamSize() const;
    // Key 0 compares the positions, 1 the names, 2 to 5 memo 1 to memo 4; equal texts fall back to the
    // positions. Returns -1, 0 or +1.
    virtual int Compare(int key, const CParameter& other, unsigned ownIndex, unsigned otherIndex) const;

    // Memo i, 0-based.
    const std::string& GetMemo(int index) const { return memos_[static_cast<std::size_t>(index)]; }
    void SetMemo(int index, std::string text) { memos_[static_cast<std::size_t>(index)] = std::move(text); }
    void ClearMemos();

  private:
    std::array<std::string, kMemoCount> memos_;
};

}  // namespace TQML
