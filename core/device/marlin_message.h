#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "device/long_message.h"

// Indexes of the field table of a CKivMarlinMessage. The fields follow one another without gaps from
// byte 2 on, in this order; the checksum field is followed by the closing F7H.
enum class MarlinField : int {
    DeviceId = 0,
    ModelId = 1,
    CommandId = 2,
    Address = 3,
    Data = 4,
    Checksum = 5
};

// An address/data message of the maker's protocol: F0 manufacturer device-id model-id command address
// data checksum F7. The manufacturer id is always byte 1 and not part of the field table.
class CKivMarlinMessage : public CKivLongMessage {
  public:
    struct FieldSpan {
        std::int32_t offset;
        std::int32_t length;
    };
    static constexpr int kFieldCount = 6;

    // A cleared message.
    CKivMarlinMessage();

    // Makes the message F0 41 7F 42 12 F7: manufacturer 41H, device id 7FH, model id 42H, command 12H,
    // no address, no data, no checksum.
    void Clear() override;

    // Takes bytes as an address/data message whose address field is addressWidth bytes wide and finds its
    // fields. Ids and checksum are not checked here. On failure the message is left as it was.
    bool Parse(std::span<const std::uint8_t> bytes, int addressWidth);

    // Replaces the bytes of a field (any length, also none); later fields move with the change. Bytes are
    // cut to 7 bits so that the message stays a valid System Exclusive message.
    void SetField(MarlinField field, std::span<const std::uint8_t> bytes);
    // A copy of the bytes of a field.
    std::vector<std::uint8_t> Field(MarlinField field) const;
    FieldSpan FieldAt(MarlinField field) const { return table_[static_cast<int>(field)]; }

    // (0 - sum of address and data bytes) & 7FH; 255 when the message has neither address nor data.
    std::uint8_t ComputeChecksum() const;
    // The checksum byte, or 255 when the checksum field is empty.
    std::uint8_t StoredChecksum() const;
    // Stores ComputeChecksum: no checksum byte when it is 255, otherwise the one byte.
    void UpdateChecksum();

    static constexpr std::uint8_t kNoChecksum = 255;

  private:
    // The byte range of a field, kept inside the bytes before the closing F7 whatever the table says.
    std::span<const std::uint8_t> FieldBytes(MarlinField field) const;

    std::array<FieldSpan, kFieldCount> table_{};
};
