#include "device/marlin_message.h"

#include <algorithm>

#include "device/protocol_constants.h"

namespace {

constexpr std::array<CKivMarlinMessage::FieldSpan, CKivMarlinMessage::kFieldCount> kDefaultTable = {{
    {2, 1},  // DeviceId
    {3, 1},  // ModelId
    {4, 1},  // CommandId
    {5, 0},  // Address
    {5, 0},  // Data
    {5, 0},  // Checksum
}};

// The end (one past the last byte) of a run of 00H bytes plus the first non-zero byte after it, starting at
// start; 0 when that byte would lie beyond last.
std::size_t FindIdEnd(std::span<const std::uint8_t> bytes, std::size_t start, std::size_t last) {
    std::size_t i = start;
    while (i <= last && bytes[i] == 0x00)
        ++i;
    if (i > last) return 0;
    return i + 1;
}

}  // namespace

CKivMarlinMessage::CKivMarlinMessage() {
    CKivMarlinMessage::Clear();
}

void CKivMarlinMessage::Clear() {
    bytes_ = {kSysExStart, kMarlinManufacturerId, 0x7F, 0x42, DataSetCommand[0], kSysExEnd};
    table_ = kDefaultTable;
}

bool CKivMarlinMessage::Parse(std::span<const std::uint8_t> bytes, int addressWidth) {
    if (!IsValid(bytes) || bytes.size() < 6 || addressWidth < 0) return false;
    const std::size_t n = bytes.size();

    std::array<FieldSpan, kFieldCount> table{};
    table[0] = {2, 1};
    const std::size_t modelEnd = FindIdEnd(bytes, 3, n - 3);
    if (modelEnd == 0) return false;
    table[1] = {3, static_cast<std::int32_t>(modelEnd - 3)};
    const std::size_t commandEnd = FindIdEnd(bytes, modelEnd, n - 2);
    if (commandEnd == 0) return false;
    table[2] = {static_cast<std::int32_t>(modelEnd), static_cast<std::int32_t>(commandEnd - modelEnd)};

    const std::size_t width = static_cast<std::size_t>(addressWidth);
    const std::size_t addressLimit = addressWidth >= 1 ? n - 2 : n - 1;
    if (commandEnd > addressLimit || width > addressLimit - commandEnd) return false;
    const std::size_t addressEnd = commandEnd + width;
    table[3] = {static_cast<std::int32_t>(commandEnd), addressWidth};

    // Data runs up to the byte before the checksum. Without an address, a message that ends right after
    // its command carries neither data nor checksum; otherwise the byte before F7 is the checksum.
    std::size_t dataLength = 0;
    std::int32_t checksumLength = 0;
    if (addressWidth == 0 && addressEnd == n - 1) {
        dataLength = 0;
        checksumLength = 0;
    } else {
        dataLength = n - addressEnd - 2;
        checksumLength = 1;
    }
    table[4] = {static_cast<std::int32_t>(addressEnd), static_cast<std::int32_t>(dataLength)};
    table[5] = {static_cast<std::int32_t>(addressEnd + dataLength), checksumLength};

    bytes_.assign(bytes.begin(), bytes.end());
    table_ = table;
    return true;
}

std::span<const std::uint8_t> CKivMarlinMessage::FieldBytes(MarlinField field) const {
    const FieldSpan f = table_[static_cast<int>(field)];
    const std::size_t limit = bytes_.size() - 1;  // the closing F7 belongs to no field
    const auto offset =
        static_cast<std::size_t>(std::clamp<std::int64_t>(f.offset, 2, static_cast<std::int64_t>(limit)));
    const auto length = static_cast<std::size_t>(
        std::clamp<std::int64_t>(f.length, 0, static_cast<std::int64_t>(limit - offset)));
    return std::span<const std::uint8_t>(bytes_).subspan(offset, length);
}

void CKivMarlinMessage::SetField(MarlinField field, std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> old = FieldBytes(field);
    const std::size_t offset = static_cast<std::size_t>(old.data() - bytes_.data());
    const std::size_t oldLength = old.size();

    std::vector<std::uint8_t> masked(bytes.begin(), bytes.end());
    for (std::uint8_t& b : masked)
        b &= 0x7F;
    bytes_.erase(bytes_.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes_.begin() + static_cast<std::ptrdiff_t>(offset + oldLength));
    bytes_.insert(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), masked.begin(), masked.end());

    const std::int32_t delta =
        static_cast<std::int32_t>(masked.size()) - static_cast<std::int32_t>(oldLength);
    const int index = static_cast<int>(field);
    table_[index] = {static_cast<std::int32_t>(offset), static_cast<std::int32_t>(masked.size())};
    for (int i = index + 1; i < kFieldCount; ++i)
        table_[i].offset += delta;
}

std::vector<std::uint8_t> CKivMarlinMessage::Field(MarlinField field) const {
    const std::span<const std::uint8_t> f = FieldBytes(field);
    return {f.begin(), f.end()};
}

std::uint8_t CKivMarlinMessage::ComputeChecksum() const {
    const std::span<const std::uint8_t> address = FieldBytes(MarlinField::Address);
    const std::span<const std::uint8_t> data = FieldBytes(MarlinField::Data);
    if (address.empty() && data.empty()) return kNoChecksum;
    unsigned sum = 0;
    for (std::uint8_t b : address)
        sum += b;
    for (std::uint8_t b : data)
        sum += b;
    return static_cast<std::uint8_t>((0u - sum) & 0x7Fu);
}

std::uint8_t CKivMarlinMessage::StoredChecksum() const {
    const std::span<const std::uint8_t> checksum = FieldBytes(MarlinField::Checksum);
    return checksum.empty() ? kNoChecksum : checksum[0];
}

void CKivMarlinMessage::UpdateChecksum() {
    const std::uint8_t checksum = ComputeChecksum();
    if (checksum == kNoChecksum) {
        SetField(MarlinField::Checksum, {});
    } else {
        const std::uint8_t one[1] = {checksum};
        SetField(MarlinField::Checksum, one);
    }
}
