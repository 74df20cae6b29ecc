#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "smf/smf_read.h"
#include "smf/smf_write.h"

using Bytes = std::vector<std::uint8_t>;

// Reads from a byte vector and records every callback as a line of text.
class RecordingSmfRead : public CKivSmfRead {
  public:
    explicit RecordingSmfRead(Bytes data) : data_(std::move(data)) {}

    void OnHeader(const CKivSmfHeader& h) override {
        log.push_back("header " + std::to_string(h.format) + " " + std::to_string(h.trackCount) + " " +
                      std::to_string(h.division));
    }
    void OnTrackStart(const CKivSmfTrackHeader& h) override {
        ++tracksStarted;
        if (logTracks) log.push_back("track " + std::to_string(h.length));
    }
    void OnChannelMessage(std::int32_t delta, std::uint32_t message) override {
        log.push_back("channel " + std::to_string(delta) + " " + Hex(message));
    }
    void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message) override {
        log.push_back("sysex " + std::to_string(delta) + " " + Hex(message));
    }
    void OnMeta(std::int32_t delta, const CKivSmfMeta& meta) override {
        log.push_back("meta " + std::to_string(delta) + " " + Hex(meta.type) + " " + Hex(meta.data));
    }

    std::vector<std::string> log;
    int tracksStarted = 0;
    bool logTracks = true;
    std::size_t largestRequest = 0;
    std::size_t bytesDelivered = 0;

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override {
        largestRequest = std::max(largestRequest, buffer.size());
        if (offset >= data_.size()) return 0;
        const std::size_t n = std::min(buffer.size(), data_.size() - offset);
        std::memcpy(buffer.data(), data_.data() + offset, n);
        bytesDelivered += n;
        return n;
    }

  private:
    static std::string Hex(std::span<const std::uint8_t> bytes) {
        std::string s;
        char buf[4];
        for (std::uint8_t b : bytes) {
            std::snprintf(buf, sizeof buf, "%02X", b);
            s += buf;
        }
        return s;
    }
    static std::string Hex(std::uint32_t v) {
        char buf[12];
        std::snprintf(buf, sizeof buf, "%06X", v);
        return buf;
    }
    static std::string Hex(std::uint8_t v) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", v);
        return buf;
    }

    Bytes data_;
};

// Writes into a byte vector; can be told to store only the first few bytes.
class MemorySmfWrite : public CKivSmfWrite {
  public:
    Bytes bytes;
    std::size_t capacity = static_cast<std::size_t>(-1);

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> data) override {
        if (offset >= capacity) return 0;
        const std::size_t n = std::min(data.size(), capacity - offset);
        if (bytes.size() < offset + n) bytes.resize(offset + n);
        std::copy_n(data.begin(), n, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return n;
    }
};

// A file with the given header fields followed by the given track bodies, each in its own MTrk chunk.
inline Bytes SmfFile(std::uint16_t format, std::uint16_t tracks, const std::vector<Bytes>& bodies) {
    Bytes f{'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<std::uint8_t>(format),
            static_cast<std::uint8_t>(tracks >> 8),
            static_cast<std::uint8_t>(tracks),
            0,
            96};
    for (const Bytes& body : bodies) {
        const auto n = static_cast<std::uint32_t>(body.size());
        f.insert(f.end(),
                 {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                  static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
        f.insert(f.end(), body.begin(), body.end());
    }
    return f;
}
