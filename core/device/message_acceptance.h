#pragma once

#include <cstdint>
#include <span>

#include "device/device_ids.h"
#include "device/marlin_message.h"

// What the acceptance rules make of a received address/data message.
enum class MarlinVerdict {
    NotParsed,     // not a well-formed address/data message for the profile's address width
    OtherDevice,   // manufacturer, model id or device id differ from the profile
    DataRequest,   // a data request addressed to the program
    BadChecksum,   // a data set whose checksum is wrong
    OtherCommand,  // any other command id
    DataSet,       // an accepted data set
};

// Judges bytes received for the profile ids: parses them with the profile's address width into message
// (left unchanged when the parse fails), then compares byte 1 with the manufacturer id, the model id byte for
// byte, the device id byte, the command id and, for a data set, the checksum. Only DataSet is accepted.
MarlinVerdict JudgeMarlinMessage(std::span<const std::uint8_t> bytes, const DeviceIds& ids,
                                 CKivMarlinMessage& message);

// True, with message filled, when bytes are a data set that the profile accepts.
bool AcceptDataSet(std::span<const std::uint8_t> bytes, const DeviceIds& ids, CKivMarlinMessage& message);

// What the identity check makes of a received universal message.
enum class IdentityVerdict {
    NotAReply,   // not an identity reply for this device id: the wait goes on
    OtherModel,  // an identity reply from the maker for this device id, but from another model
    Accepted,    // a reply from a model of the family-code table
};

// Checks an identity reply: exactly 15 bytes, F0 7E, byte 2 the output profile's device id, bytes 3 and 4
// 06 02, byte 5 41H, closing F7, and bytes 6 and 7 a family code of the table. modelIndex receives the
// table index of an accepted reply. Bytes 8-13 are not examined.
IdentityVerdict CheckIdentityReply(std::span<const std::uint8_t> bytes, std::uint8_t deviceId,
                                   int* modelIndex = nullptr);

// True for a universal identity request F0 7E dev 06 01 ... (a request is never a reply).
bool IsIdentityRequest(std::span<const std::uint8_t> bytes);
