#include "smf/smf_read.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | static_cast<std::uint32_t>(b[at + 3]);
}

// Data bytes that follow a channel status: two for 8n, 9n, An, Bn, En; one for Cn, Dn.
int ChannelDataCount(std::uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 1;
        default:
            return 2;
    }
}

}  // namespace

void CKivSmfRead::OnHeader(const CKivSmfHeader&) {}
void CKivSmfRead::OnTrackStart(const CKivSmfTrackHeader&) {}
void CKivSmfRead::OnChannelMessage(std::int32_t, std::uint32_t) {}
void CKivSmfRead::OnSysEx(std::int32_t, std::span<const std::uint8_t>) {}
void CKivSmfRead::OnMeta(std::int32_t, const CKivSmfMeta&) {}

bool CKivSmfRead::Parse() {
    trackCount_ = 0;
    position_ = 0;
    endOfTrack_ = false;
    runningStatus_ = 0;
    if (!ReadHeader()) return false;
    // trackCount_ is an int holding a 16-bit count, so the loop cannot overflow.
    for (int track = 0; track < trackCount_; ++track) {
        if (!ReadTrackHeader()) return false;
        endOfTrack_ = false;
        while (!endOfTrack_) {
            if (!ReadEvent()) return false;
        }
    }
    return true;
}

bool CKivSmfRead::ReadByte(std::uint8_t& byte) {
    std::uint8_t one[1];
    if (GetBytes(position_, one) != 1) return false;
    byte = one[0];
    ++position_;
    return true;
}

bool CKivSmfRead::ReadExact(std::size_t count, std::vector<std::uint8_t>& out) {
    while (count > 0) {
        const std::size_t piece = std::min(count, kReadPiece);
        const std::size_t old = out.size();
        out.resize(old + piece);
        const std::size_t got =
            std::min(piece, GetBytes(position_, std::span<std::uint8_t>(out).subspan(old, piece)));
        out.resize(old + got);
        position_ += got;
        if (got < piece) return false;
        count -= piece;
    }
    return true;
}

bool CKivSmfRead::ReadHeader() {
    std::vector<std::uint8_t> b;
    if (!ReadExact(14, b)) return false;
    if (std::memcmp(b.data(), "MThd", 4) != 0 || Get32(b, 4) != 6) return false;
    CKivSmfHeader header;
    header.format = Get16(b, 8);
    header.trackCount = Get16(b, 10);
    header.division = Get16(b, 12);
    OnHeader(header);
    trackCount_ = header.trackCount;
    return true;
}

bool CKivSmfRead::ReadTrackHeader() {
    std::vector<std::uint8_t> b;
    if (!ReadExact(8, b)) return false;
    if (std::memcmp(b.data(), "MTrk", 4) != 0) return false;
    CKivSmfTrackHeader header;
    header.length = Get32(b, 4);
    OnTrackStart(header);
    return true;
}

std::int32_t CKivSmfRead::ReadVariableLength() {
    std::int32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t byte = 0;
        if (!ReadByte(byte)) return -1;
        value = value << 7 | (byte & 0x7F);
        if (byte < 0x80) return value;
    }
    return -1;
}

bool CKivSmfRead::ReadEvent() {
    const std::int32_t delta = ReadVariableLength();
    if (delta < 0) return false;
    std::uint8_t status = 0;
    if (!ReadByte(status)) return false;

    if (status == 0xF0 || status == 0xF7) {
        const std::int32_t length = ReadVariableLength();
        if (length < 0) return false;
        std::vector<std::uint8_t> message;
        if (status == 0xF0) message.push_back(0xF0);
        if (!ReadExact(static_cast<std::size_t>(length), message)) return false;
        OnSysEx(delta, message);
        return true;
    }

    if (status == 0xFF) {
        CKivSmfMeta meta;
        if (!ReadByte(meta.type)) return false;
        const std::int32_t length = ReadVariableLength();
        if (length < 0) return false;
        if (!ReadExact(static_cast<std::size_t>(length), meta.data)) return false;
        OnMeta(delta, meta);
        if (meta.type == kSmfMetaEndOfTrack) endOfTrack_ = true;
        return true;
    }

    std::uint8_t data[2] = {0, 0};
    int have = 0;
    if (status < 0x80) {
        if (runningStatus_ == 0) {
            // No status to continue: step back so the byte is read again as the next delta time.
            --position_;
            return true;
        }
        data[have++] = status;
        status = runningStatus_;
    }
    if (status >= 0xF0) return true;  // system common and real-time bytes carry nothing we report

    const int count = ChannelDataCount(status);
    while (have < count) {
        if (!ReadByte(data[have])) return false;
        ++have;
    }
    runningStatus_ = status;
    OnChannelMessage(delta, static_cast<std::uint32_t>(status) | static_cast<std::uint32_t>(data[0]) << 8 |
                                static_cast<std::uint32_t>(data[1]) << 16);
    return true;
}
