// System Exclusive messages: CKivLongMessage::Assign, CKivMarlinMessage::Parse at every address width, the
// acceptance of address/data messages and the identity checks, on any bytes.
//
// A failed assignment or parse leaves the message as it was. A parsed message holds exactly the bytes
// given, and its fields follow one another without gaps from byte 2 to the closing F7; setting a field to
// its own bytes changes nothing. A data set that the profile accepts is exactly the message that the
// data-set builder makes of its address and data. An accepted identity reply has the reply's shape.

#include <algorithm>

#include "device/device_ids.h"
#include "device/long_message.h"
#include "device/marlin_message.h"
#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "device/protocol_constants.h"
#include "device/value7.h"
#include "fuzz_support.h"

namespace {

void CheckParsed(const CKivMarlinMessage& message, std::span<const std::uint8_t> bytes, int width) {
    FUZZ_CHECK(message.Bytes() == Bytes(bytes.begin(), bytes.end()));
    const auto n = static_cast<std::int32_t>(bytes.size());
    std::int32_t at = 2;
    for (int f = 0; f < CKivMarlinMessage::kFieldCount; ++f) {
        const CKivMarlinMessage::FieldSpan field = message.FieldAt(static_cast<MarlinField>(f));
        FUZZ_CHECK(field.offset == at && field.length >= 0);
        at += field.length;
    }
    FUZZ_CHECK(at == n - 1);
    FUZZ_CHECK(message.FieldAt(MarlinField::DeviceId).length == 1);
    FUZZ_CHECK(message.FieldAt(MarlinField::Address).length == width);
    FUZZ_CHECK(message.FieldAt(MarlinField::Checksum).length <= 1);
    // Model and command ids are runs of 00H ending in one other byte.
    for (MarlinField id : {MarlinField::ModelId, MarlinField::CommandId}) {
        const Bytes field = message.Field(id);
        FUZZ_CHECK(!field.empty() && field.back() != 0);
        FUZZ_CHECK(std::all_of(field.begin(), field.end() - 1, [](std::uint8_t b) { return b == 0; }));
    }

    // Setting every field to its own bytes changes nothing.
    CKivMarlinMessage copy = message;
    for (int f = 0; f < CKivMarlinMessage::kFieldCount; ++f) {
        const auto field = static_cast<MarlinField>(f);
        copy.SetField(field, message.Field(field));
    }
    FUZZ_CHECK(copy.Bytes() == message.Bytes());
    // A message whose checksum is right keeps it; any message, once updated, has it right.
    copy.UpdateChecksum();
    if (message.StoredChecksum() == message.ComputeChecksum()) FUZZ_CHECK(copy.Bytes() == message.Bytes());
    FUZZ_CHECK(copy.StoredChecksum() == copy.ComputeChecksum());
    FUZZ_CHECK(CKivLongMessage::IsValid(copy.Bytes()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    CKivLongMessage longMessage;
    const Bytes cleared = longMessage.Bytes();
    if (longMessage.Assign(bytes)) {
        FUZZ_CHECK(longMessage.Bytes() == Bytes(bytes.begin(), bytes.end()));
        FUZZ_CHECK(CKivLongMessage::IsValid(bytes));
    } else {
        FUZZ_CHECK(longMessage.Bytes() == cleared);
        FUZZ_CHECK(!CKivLongMessage::IsValid(bytes));
    }

    for (int width = 0; width <= 5; ++width) {
        CKivMarlinMessage message;
        const Bytes before = message.Bytes();
        if (message.Parse(bytes, width)) {
            FUZZ_CHECK(CKivLongMessage::IsValid(bytes));
            CheckParsed(message, bytes, width);
        } else {
            FUZZ_CHECK(message.Bytes() == before);
        }
    }

    // The acceptance rules for the TQ-550 profile of the device id the message names, and of device 00H.
    const std::uint8_t named = size > 2 && data[2] < 0x20 ? data[2] : 0;
    for (std::uint8_t deviceId : {std::uint8_t{0}, named}) {
        const DeviceIds ids = Tq550DeviceIds(deviceId);
        CKivMarlinMessage message;
        const MarlinVerdict verdict = JudgeMarlinMessage(bytes, ids, message);
        CKivMarlinMessage accepted;
        FUZZ_CHECK(AcceptDataSet(bytes, ids, accepted) == (verdict == MarlinVerdict::DataSet));
        if (verdict == MarlinVerdict::NotParsed) continue;
        CheckParsed(message, bytes, ids.addressWidth);
        if (verdict != MarlinVerdict::DataSet) continue;
        const Bytes address = message.Field(MarlinField::Address);
        const Bytes payload = message.Field(MarlinField::Data);
        FUZZ_CHECK(EncodeValue7(DecodeValue7(address), ids.addressWidth) == address);
        FUZZ_CHECK(MakeDataSetMessage(ids, DecodeValue7(address), payload).Bytes() == message.Bytes());
    }

    for (std::uint8_t deviceId : {std::uint8_t{0}, named}) {
        int model = -1;
        if (CheckIdentityReply(bytes, deviceId, &model) == IdentityVerdict::Accepted) {
            FUZZ_CHECK(size == kIdentityReplyLength && model >= 0);
            FUZZ_CHECK(data[0] == kSysExStart && data[1] == kUniversalNonRealTime && data[2] == deviceId);
            FUZZ_CHECK(data[3] == kGeneralInformation && data[4] == kIdentityReply &&
                       data[size - 1] == kSysExEnd);
            FUZZ_CHECK(!IsIdentityRequest(bytes));
        }
    }
    if (IsIdentityRequest(bytes)) FUZZ_CHECK(size >= 5 && data[4] == kIdentityRequest);
    return 0;
}
