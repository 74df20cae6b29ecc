#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the reader and the writer of Standard MIDI Files share: the track count and the byte position of
// the next read or write. All numbers in the file are big-endian; times are delta ticks.
class CKivSmf {
  public:
    // Reader: the number of tracks the header announces (0 to 65535). Writer: the tracks finished so far.
    int TrackCount() const { return trackCount_; }
    // Byte offset in the file of the next read or write.
    std::size_t Position() const { return position_; }

  protected:
    int trackCount_ = 0;
    std::size_t position_ = 0;
};

// The header chunk: "MThd", length 6, format, number of tracks, division (ticks per quarter note).
struct CKivSmfHeader {
    std::uint16_t format = 0;
    std::uint16_t trackCount = 0;
    std::uint16_t division = 0;
};

// A track chunk header: "MTrk" and the length of the track data that follows.
struct CKivSmfTrackHeader {
    std::uint32_t length = 0;
};

// A meta event: its type byte and its data bytes.
struct CKivSmfMeta {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const CKivSmfMeta&) const = default;
};

inline constexpr std::uint8_t kSmfMetaEndOfTrack = 0x2F;
inline constexpr std::uint8_t kSmfMetaSetTempo = 0x51;
// Variable-length quantities have at most four bytes, so they hold values below 2^28.
inline constexpr std::uint32_t kSmfMaxVariableLength = (1u << 28) - 1;
