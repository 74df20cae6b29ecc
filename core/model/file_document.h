#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <ostream>
#include <span>
#include <vector>

#include "model/image_document.h"
#include "textout/text_out_hub.h"

// A patch list that loads from and saves to library files (.tql). Failures are reported to the buffering
// sink of the hub it was made with (the catalogue's file messages) and answered by a false result.
class CFileDocument : public CImageDocument {
  public:
    // messages receives the reports of failed loads and saves; none: nothing is reported.
    explicit CFileDocument(const TextOutHub* messages = nullptr) : messages_(messages) {}

    // Saves atomically: a failed save leaves the file that was there untouched.
    bool Save(const std::filesystem::path& path) const;
    // Replaces the current patches with the file's. A failed load leaves the current patches as they were.
    bool Load(const std::filesystem::path& path);
    // The same for the bytes of a library file read from stream, header first.
    bool Load(std::istream& stream);

    bool WriteRecords(std::ostream& stream) const;
    // Reads count records and replaces the current patches with them; on failure nothing is replaced. A
    // stream that can tell its length (a file, a string) may be read beyond the last record. The patches
    // share the bytes read (see CParameter::ShareRecord).
    bool ReadRecords(std::istream& stream, std::uint32_t count);

  private:
    void Report(int id) const {
        if (messages_) messages_->ReportMessage(id);
    }

    const TextOutHub* messages_;
};

// Writes the record body of patch; buffer must hold exactly patch.GetSerializedSize() bytes.
void SerializePatch(const CParameter& patch, std::span<std::uint8_t> buffer);
// Fills a freshly created patch from a copy of one record body. False when the body's block counts, block
// lengths or memos run past its end; nothing outside body is ever read.
bool DeserializePatch(std::span<const std::uint8_t> body, CParameter& patch);
