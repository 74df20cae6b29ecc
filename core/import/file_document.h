#pragma once

#include <cstdint>
#include <istream>
#include <span>

#include "import/data.h"
#include "textout/text_out_hub.h"

namespace TQML {

// Reads earlier librarian files (.tqx) into its list of earlier patches; it never writes them. Failures
// report message 3 or 4 to the buffering sink of the hub it was made with and answer false.
class CFileDocument : public CDocument {
  public:
    // messages receives the reports of failed reads; none: nothing is reported.
    explicit CFileDocument(const TextOutHub* messages = nullptr) : messages_(messages) {}

    // Reads the header and then the records; isTq4 tells whether the file is in the TQ-4 layout.
    bool ReadHeader(std::istream& stream, bool& isTq4);
    // Reads count records, which replace the current patches; images of a TQ-4 file are turned into the
    // TQ-MAX layout. A failed read leaves the current patches as they were.
    bool ReadPatches(std::istream& stream, std::uint32_t count, bool isTq4);
    // Fills patch from one record body: 43 blocks of their fixed sizes, each after its u32 length, then
    // four zero-terminated memos. False, with nothing read outside body, when a length differs from the
    // block's size or the blocks or memos run past the body.
    static bool ParseRecord(std::span<const std::uint8_t> body, CPatch& patch);

  private:
    void Report(int id) const {
        if (messages_) messages_->ReportMessage(id);
    }

    const TextOutHub* messages_;
};

}  // namespace TQML
