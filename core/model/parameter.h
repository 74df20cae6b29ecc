#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

using Block = std::vector<std::uint8_t>;
using Section = std::vector<Block>;

// What every patch object stores: four memo texts and a tree of byte blocks (sections of blocks) whose
// shape the concrete type declares. Memos are byte strings without NUL bytes; they are never interpreted.
class CParameter {
  public:
    static constexpr int kMemoCount = 4;

    CParameter() = default;
    CParameter(const CParameter&) = default;
    CParameter& operator=(const CParameter&) = default;
    virtual ~CParameter() = default;

    // Fills the object with its initial content: empty memos and zeroed blocks of the declared shape.
    virtual void Initialize();
    virtual std::unique_ptr<CParameter> Clone() const = 0;
    // Size of the library-file record body of this object.
    virtual std::size_t GetSerializedSize() const;
    // Orders two objects by key: 0 = list position, 1..4 = memo 1..4. Returns -1, 0 or +1.
    virtual int Compare(int key, const CParameter& other, unsigned ownIndex, unsigned otherIndex) const;
    virtual int GetSectionCount() const { return 0; }
    virtual int GetBlockCount(int /*section*/) const { return 0; }
    virtual int GetBlockSize(int /*section*/) const { return 0; }
    virtual int GetDataType() const { return 0; }

    // Memo i, 0-based (Memo1 is index 0).
    const std::string& GetMemo(int index) const { return memos_[static_cast<std::size_t>(index)]; }
    void SetMemo(int index, std::string text) { memos_[static_cast<std::size_t>(index)] = std::move(text); }
    void ClearMemos();

    std::vector<Section>& Sections() { return sections_; }
    // Block 0 of section 0, made empty when the object has none.
    Block& FirstBlock();
    const std::vector<Section>& Sections() const { return sections_; }

    // Copies memos and the whole section tree from another object (nothing for itself).
    void Assign(const CParameter& other);

    // Writes all blocks of all sections one after the other into buffer; bytes beyond the stored data
    // are zero and stored bytes beyond the buffer are left out.
    void GetFlatData(std::span<std::uint8_t> buffer) const;
    // Overwrites the blocks in order with the next bytes of buffer; block lengths do not change.
    void SetFlatData(std::span<const std::uint8_t> buffer);
    // Total number of stored data bytes over all blocks.
    std::size_t GetFlatSize() const;

  protected:
    // The text compared under `key`, or nullptr for a key this type does not know.
    virtual const std::string* CompareText(int key, std::string& scratch) const;

  private:
    std::array<std::string, kMemoCount> memos_;
    std::vector<Section> sections_;
};

// Orders two byte texts as the sorted lists do: byte-for-byte equal texts by position, then by upper-case
// folding under the runtime locale, then raw (greater or equal gives +1).
int CompareTexts(const std::string& own, const std::string& other, int positionResult);
