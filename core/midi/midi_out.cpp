#include "midi/midi_out.h"

#include <chrono>
#include <thread>

#include "midi/short_message.h"
#include "midi/wire_time.h"

bool CMidiOut::OpenByName(const std::string& name) {
    if (open_) Close();
    open_ = OpenPort(name);
    return open_;
}

bool CMidiOut::Reset() {
    if (!open_) return false;
    ResetPort();
    return true;
}

bool CMidiOut::Close() {
    if (!open_) return false;
    Reset();
    ClosePort();
    open_ = false;
    return true;
}

bool CMidiOut::Reopen(const std::string& name) {
    Close();
    return OpenByName(name);
}

bool CMidiOut::CheckConnection() {
    if (open_ && PortPresent()) {
        connected_ = true;
        return true;
    }
    const bool wasConnected = connected_;
    OnPortLost();
    const bool presentNow = open_;
    if (wasConnected)
        OnConnectionChange(MidiConnectionChange::Lost);
    else if (presentNow)
        OnConnectionChange(MidiConnectionChange::Regained);
    connected_ = presentNow;
    return presentNow;
}

bool CMidiOut::SendShort(std::uint32_t packed) {
    if (!CheckConnection()) return false;
    const ShortMessage message(packed);
    const std::uint8_t bytes[3] = {message.Status(), message.Data1(), message.Data2()};
    const auto length = static_cast<std::size_t>(ShortMessage::LengthOf(message.Status()));
    return WritePort(std::span<const std::uint8_t>(bytes, length));
}

bool CMidiOut::SendLong(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxLongMessage) {
        ++refused_;
        return false;
    }
    if (!CheckConnection()) return false;
    packet_.Assign(bytes);
    const auto start = std::chrono::steady_clock::now();
    if (!WritePort(packet_.Bytes())) return false;
    SleepUntil(start + WireTime(bytes.size(), wireRateMultiple_));
    return true;
}
