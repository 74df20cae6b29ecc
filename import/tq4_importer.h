#pragma once

#include <filesystem>

#include "import/data.h"
#include "import/reader.h"
#include "model/file_document.h"

// Imports a TQ-4/TQ-MAX bulk dump (a Standard MIDI File of data sets) through a dump reader and converts
// the earlier patches, taken in the TQ-MAX layout, into TQ-550 patches with empty memos.
class CTQ4Importer {
  public:
    // Uses reader, or the reader registered with the earlier image converter when reader is null.
    explicit CTQ4Importer(TQML::CReader* reader = nullptr);

    // True when the file could be read and the reader accepted it as a Standard MIDI File; a dump whose
    // messages are all skipped succeeds with no patches.
    bool Import(const std::filesystem::path& path);

    CFileDocument& GetDestination() { return destination_; }

  private:
    TQML::CReader* reader_;
    TQML::CData source_;
    CFileDocument destination_;
};
