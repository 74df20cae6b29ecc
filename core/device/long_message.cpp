#include "device/long_message.h"

#include <algorithm>

#include "device/protocol_constants.h"

CKivLongMessage::CKivLongMessage() : bytes_{kSysExStart, 0x00, kSysExEnd} {}

void CKivLongMessage::Clear() {
    bytes_ = {kSysExStart, 0x00, kSysExEnd};
}

bool CKivLongMessage::Assign(std::span<const std::uint8_t> bytes) {
    if (!IsValid(bytes)) return false;
    bytes_.assign(bytes.begin(), bytes.end());
    return true;
}

void CKivLongMessage::SetBody(std::span<const std::uint8_t> body) {
    const std::uint8_t manufacturer = bytes_[1];
    bytes_.resize(body.size() + 3);
    bytes_[0] = kSysExStart;
    bytes_[1] = manufacturer;
    std::transform(body.begin(), body.end(), bytes_.begin() + 2, [](std::uint8_t b) { return b & 0x7F; });
    bytes_.back() = kSysExEnd;
}

void CKivLongMessage::SetManufacturer(std::uint8_t id) {
    bytes_[1] = id & 0x7F;
}

bool CKivLongMessage::IsValid(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 3 || bytes.front() != kSysExStart || bytes.back() != kSysExEnd) return false;
    return std::all_of(bytes.begin() + 1, bytes.end() - 1, [](std::uint8_t b) { return b < 0x80; });
}
