// The Standard MIDI File reader (CKivSmfRead) on any bytes.
//
// It never asks for more than one bounded piece of the file at a time and never reports more bytes than the
// file holds; it reads the same way twice; a parse that succeeds has seen every announced track end. A file
// that holds only System Exclusive and meta events, written again by CKivSmfWrite, reads back as the same
// events.

#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "smf/smf_read.h"
#include "smf/smf_write.h"

namespace {

constexpr std::size_t kLargestPiece = 64 * 1024;

struct Event {
    enum Kind { Channel, SysEx, Meta } kind;
    std::int32_t delta;
    std::uint32_t message;  // channel messages
    std::uint8_t type;      // meta events
    Bytes bytes;            // System Exclusive and meta data

    bool operator==(const Event&) const = default;
};

struct Track {
    std::vector<Event> events;
};

class CRecordingRead : public CKivSmfRead {
  public:
    explicit CRecordingRead(std::span<const std::uint8_t> data) : data_(data) {}

    void OnHeader(const CKivSmfHeader& header) override {
        FUZZ_CHECK(!headerSeen);
        headerSeen = true;
        announced = header.trackCount;
    }
    void OnTrackStart(const CKivSmfTrackHeader&) override { tracks.emplace_back(); }
    void OnChannelMessage(std::int32_t delta, std::uint32_t message) override {
        FUZZ_CHECK(delta >= 0 && !tracks.empty());
        const std::uint8_t status = message & 0xFF;
        FUZZ_CHECK(status >= 0x80 && status < 0xF0);
        tracks.back().events.push_back({Event::Channel, delta, message, 0, {}});
    }
    void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message) override {
        FUZZ_CHECK(delta >= 0 && !tracks.empty());
        FUZZ_CHECK(message.size() <= data_.size() + 1);
        tracks.back().events.push_back({Event::SysEx, delta, 0, 0, Bytes(message.begin(), message.end())});
    }
    void OnMeta(std::int32_t delta, const CKivSmfMeta& meta) override {
        FUZZ_CHECK(delta >= 0 && !tracks.empty());
        FUZZ_CHECK(meta.data.size() <= data_.size());
        tracks.back().events.push_back({Event::Meta, delta, 0, meta.type, meta.data});
    }

    bool headerSeen = false;
    int announced = 0;
    std::vector<Track> tracks;

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override {
        FUZZ_CHECK(buffer.size() <= kLargestPiece);
        if (offset >= data_.size()) return 0;
        const std::size_t n = std::min(buffer.size(), data_.size() - offset);
        std::memcpy(buffer.data(), data_.data() + offset, n);
        return n;
    }

  private:
    std::span<const std::uint8_t> data_;
};

class CMemoryWrite : public CKivSmfWrite {
  public:
    Bytes bytes;

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> data) override {
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return data.size();
    }
};

// Whether the writer can express every event: System Exclusive events whose bytes begin with F0 and meta
// events, each track ending in an empty End of Track.
bool Writable(const std::vector<Track>& tracks) {
    for (const Track& track : tracks) {
        if (track.events.empty()) return false;
        for (std::size_t i = 0; i < track.events.size(); ++i) {
            const Event& e = track.events[i];
            const bool last = i + 1 == track.events.size();
            if (e.kind == Event::Channel) return false;
            if (e.kind == Event::SysEx && (e.bytes.empty() || e.bytes[0] != 0xF0)) return false;
            if (e.kind == Event::Meta && (e.type == kSmfMetaEndOfTrack) != last) return false;
            if (last && (e.kind != Event::Meta || !e.bytes.empty())) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CRecordingRead reader(bytes);
    const bool parsed = reader.Parse();
    FUZZ_CHECK(reader.Position() <= size);
    FUZZ_CHECK(reader.TrackCount() >= 0 && reader.TrackCount() <= 0xFFFF);

    CRecordingRead second(bytes);
    FUZZ_CHECK(second.Parse() == parsed);
    FUZZ_CHECK(second.Position() == reader.Position());
    FUZZ_CHECK(second.tracks.size() == reader.tracks.size());
    for (std::size_t t = 0; t < reader.tracks.size(); ++t)
        FUZZ_CHECK(second.tracks[t].events == reader.tracks[t].events);

    if (!parsed) return 0;
    FUZZ_CHECK(reader.headerSeen);
    FUZZ_CHECK(static_cast<int>(reader.tracks.size()) == reader.announced);
    for (const Track& track : reader.tracks) {
        FUZZ_CHECK(!track.events.empty());
        const Event& last = track.events.back();
        FUZZ_CHECK(last.kind == Event::Meta && last.type == kSmfMetaEndOfTrack);
    }

    if (!Writable(reader.tracks)) return 0;
    CMemoryWrite writer;
    FUZZ_CHECK(writer.BeginFile());
    for (const Track& track : reader.tracks) {
        FUZZ_CHECK(writer.BeginTrack());
        for (std::size_t i = 0; i + 1 < track.events.size(); ++i) {
            const Event& e = track.events[i];
            if (e.kind == Event::SysEx)
                FUZZ_CHECK(writer.WriteSysEx(e.delta, e.bytes));
            else
                FUZZ_CHECK(writer.WriteMeta(e.delta, CKivSmfMeta{e.type, e.bytes}));
        }
        FUZZ_CHECK(writer.EndTrack(track.events.back().delta));
    }
    FUZZ_CHECK(writer.FinishFile());
    CRecordingRead rewritten(writer.bytes);
    FUZZ_CHECK(rewritten.Parse());
    FUZZ_CHECK(rewritten.Position() == writer.bytes.size());
    FUZZ_CHECK(rewritten.tracks.size() == reader.tracks.size());
    for (std::size_t t = 0; t < reader.tracks.size(); ++t)
        FUZZ_CHECK(rewritten.tracks[t].events == reader.tracks[t].events);
    return 0;
}
