#pragma once

#include <filesystem>

#include "import/file_document.h"
#include "model/file_document.h"

// Imports an earlier librarian file (.tqx, TQ-MAX or TQ-4 layout): reads its earlier patches and converts
// each into a TQ-550 patch in the destination document.
class CTQMImporter {
  public:
    // True on success; the converted patches are then in GetDestination(). On failure the destination is
    // left empty, and a bad file has left message 3 or 4 with ReportMessage.
    bool Import(const std::filesystem::path& path);

    CFileDocument& GetDestination() { return destination_; }
    TQML::CFileDocument& GetSource() { return source_; }

  private:
    TQML::CFileDocument source_;
    CFileDocument destination_;
};
