#pragma once

#include <filesystem>

#include "import/file_document.h"
#include "model/file_document.h"

// Imports an earlier librarian file (.tqx, TQ-MAX or TQ-4 layout): reads its earlier patches and converts
// each into a TQ-550 patch in the destination document.
class CTQMImporter {
  public:
    // messages receives the reports of a bad file (none: nothing is reported); new TQ-550 patches start
    // from initial (none: their own initial state).
    CTQMImporter(const TextOutHub* messages, std::shared_ptr<const IInitialData> initial);

    // True on success; the converted patches are then in GetDestination(). On failure the destination is
    // left empty, and a bad file has reported message 3 or 4.
    bool Import(const std::filesystem::path& path);

    CFileDocument& GetDestination() { return destination_; }
    TQML::CFileDocument& GetSource() { return source_; }

  private:
    TQML::CFileDocument source_;
    CFileDocument destination_;
};
