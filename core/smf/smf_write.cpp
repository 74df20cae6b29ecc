#include "smf/smf_write.h"

#include <algorithm>

namespace {

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

}  // namespace

bool CKivSmfWrite::AppendVariableLength(std::int64_t value, std::vector<std::uint8_t>& out) {
    if (value < 0 || value > kSmfMaxVariableLength) return false;
    const auto v = static_cast<std::uint32_t>(value);
    bool started = false;
    for (int shift = 21; shift > 0; shift -= 7) {
        const std::uint8_t group = static_cast<std::uint8_t>(v >> shift & 0x7F);
        if (group != 0 || started) {
            out.push_back(group | 0x80);
            started = true;
        }
    }
    out.push_back(static_cast<std::uint8_t>(v & 0x7F));
    return true;
}

CKivSmfMeta CKivSmfWrite::MakeTempo(double beatsPerMinute) {
    double microseconds = 6e7 / beatsPerMinute;
    if (!(microseconds >= 1.0)) microseconds = 1.0;  // also catches NaN
    if (microseconds > 0xFFFFFF) microseconds = 0xFFFFFF;
    const auto value = static_cast<std::uint32_t>(microseconds);
    return CKivSmfMeta{kSmfMetaSetTempo,
                       {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                        static_cast<std::uint8_t>(value)}};
}

bool CKivSmfWrite::PutAt(std::size_t offset, std::span<const std::uint8_t> bytes) {
    return PutBytes(offset, bytes) >= bytes.size();
}

bool CKivSmfWrite::Put(std::span<const std::uint8_t> bytes) {
    const std::size_t written = PutBytes(position_, bytes);
    position_ += std::min(written, bytes.size());
    return written >= bytes.size();
}

std::array<std::uint8_t, 14> CKivSmfWrite::HeaderBytes() const {
    std::array<std::uint8_t, 14> b{'M', 'T', 'h', 'd'};
    Put32(&b[4], 6);
    Put16(&b[8], format_);
    Put16(&b[10], static_cast<std::uint16_t>(trackCount_));
    Put16(&b[12], division_);
    return b;
}

std::array<std::uint8_t, 8> CKivSmfWrite::TrackHeaderBytes() const {
    std::array<std::uint8_t, 8> b{'M', 'T', 'r', 'k'};
    Put32(&b[4], trackLength_);
    return b;
}

bool CKivSmfWrite::BeginFile() {
    trackCount_ = 0;
    position_ = 0;
    trackStart_ = 0;
    format_ = 0;
    division_ = kDivision;
    trackLength_ = 0;
    trackOpen_ = false;
    return Put(HeaderBytes());
}

bool CKivSmfWrite::BeginTrack() {
    trackStart_ = position_;
    trackLength_ = 0;
    trackOpen_ = true;
    return Put(TrackHeaderBytes());
}

bool CKivSmfWrite::WriteMeta(std::int32_t delta, const CKivSmfMeta& meta) {
    std::vector<std::uint8_t> bytes;
    if (!AppendVariableLength(delta, bytes)) return false;
    bytes.push_back(0xFF);
    bytes.push_back(meta.type);
    if (!AppendVariableLength(static_cast<std::int64_t>(meta.data.size()), bytes)) return false;
    bytes.insert(bytes.end(), meta.data.begin(), meta.data.end());
    return Put(bytes);
}

bool CKivSmfWrite::WriteSysEx(std::int32_t delta, std::span<const std::uint8_t> message) {
    if (message.empty() || message[0] != 0xF0) return false;
    std::vector<std::uint8_t> bytes;
    if (!AppendVariableLength(delta, bytes)) return false;
    bytes.push_back(0xF0);
    if (!AppendVariableLength(static_cast<std::int64_t>(message.size() - 1), bytes)) return false;
    bytes.insert(bytes.end(), message.begin() + 1, message.end());
    return Put(bytes);
}

bool CKivSmfWrite::EndTrack(std::int32_t delta) {
    if (!trackOpen_) return false;
    if (!WriteMeta(delta, CKivSmfMeta{kSmfMetaEndOfTrack, {}})) return false;
    const std::size_t length = position_ - trackStart_ - 8;
    if (length > 0xFFFFFFFFu) return false;
    trackLength_ = static_cast<std::uint32_t>(length);
    if (!PutAt(trackStart_, TrackHeaderBytes())) return false;
    trackOpen_ = false;
    ++trackCount_;
    return true;
}

bool CKivSmfWrite::FinishFile() {
    if (trackCount_ > 0xFFFF) return false;
    return PutAt(0, HeaderBytes());
}
