#pragma once

#include <filesystem>

#include "model/file_document.h"

// The initial-data library: while it is valid, every newly initialised patch of a list that uses it copies
// its first patch. The program loads it once and hands it to the lists it makes.
class CInitialFileDocument : public IInitialData {
  public:
    // messages receives what a failed load reports; none: nothing is reported.
    explicit CInitialFileDocument(const TextOutHub* messages = nullptr) : document_(messages) {}

    // Valid only when the file loads and its first patch has the shape of a patch (the block length is
    // not checked).
    bool Load(const std::filesystem::path& path);
    bool IsValid() const { return valid_; }
    const CPatch* GetFirstPatch() const;
    // Forgets the loaded library; new patches are then zeroed and named "INIT PATCH".
    void Reset();

    const CParameter* InitialElement() const override { return valid_ ? GetFirstPatch() : nullptr; }

  private:
    CFileDocument document_;
    bool valid_ = false;
};
