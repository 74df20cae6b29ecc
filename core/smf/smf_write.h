#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "smf/smf.h"

// A writer of Standard MIDI Files: one operation per chunk or event. Bytes go to PutBytes, which a
// derived class supplies; a write fails when PutBytes takes fewer bytes than given, or when a value does
// not fit its field (a delta or length of 2^28 or more, a track longer than 4 GiB, more than 65535 tracks).
class CKivSmfWrite : public CKivSmf {
  public:
    static constexpr std::uint16_t kDivision = 96;

    virtual ~CKivSmfWrite() = default;

    // Resets the writer and writes the header chunk: format 0, 0 tracks, division 96.
    bool BeginFile();
    // Writes a track chunk header (length 0 until EndTrack) at the current position.
    bool BeginTrack();
    bool WriteMeta(std::int32_t delta, const CKivSmfMeta& meta);
    // message is a complete System Exclusive message, F0 ... F7.
    bool WriteSysEx(std::int32_t delta, std::span<const std::uint8_t> message);
    // Writes End of Track, fills in the track length and counts the track; fails when no track is open.
    bool EndTrack(std::int32_t delta);
    // Writes the number of finished tracks into the header.
    bool FinishFile();

    // Set Tempo: microseconds per quarter note, 6·10^7 / bpm truncated (kept within 1 to FFFFFFH),
    // three bytes big-endian.
    static CKivSmfMeta MakeTempo(double beatsPerMinute);
    // Appends value as a variable-length quantity; false when it is negative or 2^28 or more.
    static bool AppendVariableLength(std::int64_t value, std::vector<std::uint8_t>& out);

  protected:
    // Stores bytes at offset of the output, growing it as needed; returns how many it stored.
    virtual std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) = 0;

  private:
    bool Put(std::span<const std::uint8_t> bytes);
    bool PutAt(std::size_t offset, std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, 14> HeaderBytes() const;
    std::array<std::uint8_t, 8> TrackHeaderBytes() const;

    std::size_t trackStart_ = 0;
    std::uint16_t format_ = 0;
    std::uint16_t division_ = kDivision;
    std::uint32_t trackLength_ = 0;
    bool trackOpen_ = false;
};
