#pragma once

#include <filesystem>

#include "model/file_document.h"

// The initial-data library: while it is valid, every newly initialised patch copies its first patch.
class CInitialFileDocument {
  public:
    virtual ~CInitialFileDocument() = default;

    // Valid only when the file loads and its first patch has the shape of a patch (the block length is
    // not checked).
    bool Load(const std::filesystem::path& path);
    bool IsValid() const { return valid_; }
    const CPatch* GetFirstPatch() const;
    // Forgets the loaded library; new patches are then zeroed and named "INIT PATCH".
    void Reset();

  private:
    CFileDocument document_;
    bool valid_ = false;
};

// The one initial-data document of the process, made on first use.
CInitialFileDocument& GetInitialFileDocument();
