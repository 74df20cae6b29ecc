#pragma once

// Comparisons of patch lists and the library-file round trip, for the targets that link the model.

#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "model/data.h"
#include "model/document_header.h"
#include "model/file_document.h"

// Whether two lists hold the same patches: the same section trees and the same memos, in the same order.
inline bool SamePatches(const CPatchArray& a, const CPatchArray& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (std::size_t i = 0; i < a.GetSize(); ++i) {
        if (a[i].Sections() != b[i].Sections()) return false;
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            if (a[i].GetMemo(m) != b[i].GetMemo(m)) return false;
    }
    return true;
}

// The bytes Save would write for document.
inline std::string LibraryBytesOf(const CFileDocument& document) {
    std::ostringstream out;
    CDocumentHeader header;
    header.SetMagic();
    header.SetCount(static_cast<std::uint32_t>(document.Patches().GetSize()));
    out.write(reinterpret_cast<const char*>(header.Bytes().data()), CDocumentHeader::kSize);
    FUZZ_CHECK(document.WriteRecords(out));
    return out.str();
}

// A library written from patches loads back as the same patches, and writing those again gives the same
// bytes.
inline void CheckLibraryRoundTrip(const CPatchArray& patches) {
    CFileDocument original;
    original.Patches() = patches;
    const std::string saved = LibraryBytesOf(original);
    std::size_t expected = CDocumentHeader::kSize;
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        expected += 4 + patches[i].GetSerializedSize();
    FUZZ_CHECK(saved.size() == expected);
    CFileDocument loaded;
    std::istringstream in(saved);
    FUZZ_CHECK(loaded.Load(in));
    FUZZ_CHECK(SamePatches(loaded.Patches(), patches));
    FUZZ_CHECK(LibraryBytesOf(loaded) == saved);
}
