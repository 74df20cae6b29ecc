#pragma once

#include <filesystem>
#include <vector>

#include "import/file_document.h"
#include "import/tq2_dump_decoder.h"
#include "model/file_document.h"

// Imports a TQ-2 bulk dump: decodes it into earlier images and converts each into a TQ-550 patch with
// empty memos, in the order in which the TQ-2 patch numbers first appear.
class CTQ2Importer {
  public:
    // New TQ-550 patches start from initial (none: their own initial state).
    explicit CTQ2Importer(std::shared_ptr<const IInitialData> initial);

    // True when at least one patch was decoded.
    bool Import(const std::filesystem::path& path);
    // The same for file bytes already in memory.
    bool ImportBytes(std::span<const std::uint8_t> bytes);

    CFileDocument& GetDestination() { return destination_; }

  private:
    TQML::CFileDocument source_;
    CFileDocument destination_;
    Tq2DumpDecoder decoder_;
};
