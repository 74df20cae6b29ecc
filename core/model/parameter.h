#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using Block = std::vector<std::uint8_t>;
using Section = std::vector<Block>;
// Bytes several objects share, such as the records of a loaded library file; the bytes an object shares
// never change.
using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// What every patch object stores: four memo texts and a tree of byte blocks (sections of blocks) whose
// shape the concrete type declares. Memos are byte strings without NUL bytes; they are never interpreted.
//
// Its library-file record body: for each declared section the big-endian block count, then each block as
// its big-endian length and bytes; then the four memos, each ended by a zero byte.
//
// An object filled by ShareRecord keeps a share of the record bytes instead of copies of its memos and
// blocks, and so do its copies; it unpacks them into its own memos and blocks the first time these are
// asked for, through const members as well. Names, images, sizes and records of such an object are read
// from the shared bytes. So, unlike a standard container, one object must not be read from two threads at
// once; separate objects sharing the same bytes may.
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
    const std::string& GetMemo(int index) const {
        Unpack();
        return memos_[static_cast<std::size_t>(index)];
    }
    // The memos without unpacking a shared record: views of the shared bytes or of the object's own memos,
    // valid while the object is unchanged.
    std::array<std::string_view, kMemoCount> MemoViews() const;
    void SetMemo(int index, std::string text) {
        Unpack();
        memos_[static_cast<std::size_t>(index)] = std::move(text);
    }
    void ClearMemos();

    std::vector<Section>& Sections() {
        Unpack();
        return sections_;
    }
    // Block 0 of section 0, made empty when the object has none.
    Block& FirstBlock();
    const std::vector<Section>& Sections() const {
        Unpack();
        return sections_;
    }
    // The bytes of block 0 of section 0, none when the object has no block.
    std::span<const std::uint8_t> FirstBlockBytes() const;

    // Copies memos and the whole section tree from another object (nothing for itself).
    void Assign(const CParameter& other);

    // Writes the record body of this object; buffer must hold exactly GetSerializedSize() bytes.
    void SerializeRecord(std::span<std::uint8_t> buffer) const;
    // Copies a record body into the object: each declared section is made at least as long as the body's
    // block count, and its first blocks and the memos take the body's. False when the block counts, block
    // lengths or memos run past the end of body; nothing outside body is ever read.
    bool DeserializeRecord(std::span<const std::uint8_t> body);
    // Takes the record body of `length` bytes at `offset` in store as the object's whole content, without
    // copying it. False, and the object unchanged, when the body lies outside store or is malformed as above.
    bool ShareRecord(const SharedBytes& store, std::size_t offset, std::size_t length);

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
    void Unpack() const {
        if (store_) UnpackRecord();
    }
    void UnpackRecord() const;

    // While store_ is set, record_ (a checked record body inside it) is the object's content, and memos_
    // and sections_ are empty.
    mutable std::array<std::string, kMemoCount> memos_;
    mutable std::vector<Section> sections_;
    mutable SharedBytes store_;
    mutable std::span<const std::uint8_t> record_;
};

// Orders two byte texts as the sorted lists do: byte-for-byte equal texts by position, then by upper-case
// folding under the runtime locale, then raw (greater or equal gives +1).
int CompareTexts(const std::string& own, const std::string& other, int positionResult);
