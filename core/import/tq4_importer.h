#pragma once

#include <filesystem>

#include "import/data.h"
#include "import/reader.h"
#include "model/file_document.h"

// Imports a TQ-4/TQ-MAX bulk dump (a Standard MIDI File of data sets) through a dump reader and converts
// the earlier patches, taken in the TQ-MAX layout, into TQ-550 patches with empty memos.
class CTQ4Importer {
  public:
    // Reads through reader (the earlier model's dump reader of the program); new TQ-550 patches start from
    // initial (none: their own initial state).
    CTQ4Importer(TQML::CReader& reader, std::shared_ptr<const IInitialData> initial);

    // True when the file could be read and the reader accepted it as a Standard MIDI File; a dump whose
    // messages are all skipped succeeds with no patches.
    bool Import(const std::filesystem::path& path);

    CFileDocument& GetDestination() { return destination_; }

  private:
    TQML::CReader& reader_;
    TQML::CData source_;
    CFileDocument destination_;
};
