#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "smf/smf.h"

// A callback parser of Standard MIDI Files. It pulls the file's bytes from GetBytes, which a derived class
// supplies, and reports what it finds through the On... operations. It never asks for bytes beyond what
// it is about to use, and it only holds what GetBytes actually delivered, so a length field that claims
// more than the data holds fails the parse without a large allocation.
class CKivSmfRead : public CKivSmf {
  public:
    virtual ~CKivSmfRead() = default;

    // Reads the whole file from position 0: the header, then each announced track up to its End of Track
    // event. Bytes after the last track are ignored. Events reported before a failure stay reported.
    bool Parse();

    // The steps of Parse; each fails on missing bytes or a wrong chunk id.
    bool ReadHeader();
    bool ReadTrackHeader();
    bool ReadEvent();
    // A variable-length quantity of at most four bytes; -1 when a byte is missing or a fifth would follow.
    std::int32_t ReadVariableLength();

    bool EndOfTrack() const { return endOfTrack_; }
    std::uint8_t RunningStatus() const { return runningStatus_; }

    virtual void OnHeader(const CKivSmfHeader& header);
    virtual void OnTrackStart(const CKivSmfTrackHeader& header);
    // message is a packed ShortMessage: status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23
    // (0 for messages with one data byte).
    virtual void OnChannelMessage(std::int32_t delta, std::uint32_t message);
    // message is the event's bytes: for status F0 the byte F0 followed by the stored bytes, for status F7
    // the stored bytes as they are. Nothing about them is checked.
    virtual void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message);
    virtual void OnMeta(std::int32_t delta, const CKivSmfMeta& meta);

  protected:
    // Copies up to buffer.size() file bytes from offset into buffer and returns how many it copied: fewer
    // at the end of the data, none beyond it.
    virtual std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) = 0;

  private:
    bool ReadByte(std::uint8_t& byte);
    // Appends count bytes to out, reading in bounded pieces; false when the data ends first.
    bool ReadExact(std::size_t count, std::vector<std::uint8_t>& out);

    bool endOfTrack_ = false;
    std::uint8_t runningStatus_ = 0;
};
