#include "device/message_acceptance.h"

#include <algorithm>

#include "device/identity_family_codes.h"
#include "device/protocol_constants.h"

namespace {

template <typename A, typename B>
bool SameBytes(const A& a, const B& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

MarlinVerdict JudgeMarlinMessage(std::span<const std::uint8_t> bytes, const DeviceIds& ids,
                                 CKivMarlinMessage& message) {
    if (!message.Parse(bytes, ids.addressWidth)) return MarlinVerdict::NotParsed;
    if (message.Manufacturer() != ids.manufacturerId ||
        !SameBytes(message.Field(MarlinField::ModelId), ids.modelId))
        return MarlinVerdict::OtherDevice;
    const std::vector<std::uint8_t> device = message.Field(MarlinField::DeviceId);
    if (device.size() != 1 || device[0] != ids.deviceId) return MarlinVerdict::OtherDevice;

    const std::vector<std::uint8_t> command = message.Field(MarlinField::CommandId);
    if (SameBytes(command, RequestCommand)) return MarlinVerdict::DataRequest;
    if (!SameBytes(command, DataSetCommand)) return MarlinVerdict::OtherCommand;
    if (message.StoredChecksum() != message.ComputeChecksum()) return MarlinVerdict::BadChecksum;
    return MarlinVerdict::DataSet;
}

bool AcceptDataSet(std::span<const std::uint8_t> bytes, const DeviceIds& ids, CKivMarlinMessage& message) {
    return JudgeMarlinMessage(bytes, ids, message) == MarlinVerdict::DataSet;
}

IdentityVerdict CheckIdentityReply(std::span<const std::uint8_t> bytes, std::uint8_t deviceId,
                                   int* modelIndex) {
    if (bytes.size() != kIdentityReplyLength || bytes[0] != kSysExStart ||
        bytes[1] != kUniversalNonRealTime || bytes.back() != kSysExEnd)
        return IdentityVerdict::NotAReply;
    if (bytes[2] != deviceId || bytes[3] != kGeneralInformation || bytes[4] != kIdentityReply ||
        bytes[5] != kMarlinManufacturerId)
        return IdentityVerdict::NotAReply;
    for (std::size_t i = 0; i < kIdentityFamilyCodes.size(); ++i) {
        if (bytes[6] == kIdentityFamilyCodes[i].low && bytes[7] == kIdentityFamilyCodes[i].high) {
            if (modelIndex != nullptr) *modelIndex = static_cast<int>(i);
            return IdentityVerdict::Accepted;
        }
    }
    return IdentityVerdict::OtherModel;
}

bool IsIdentityRequest(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 5 && bytes[0] == kSysExStart && bytes[1] == kUniversalNonRealTime &&
           bytes[3] == kGeneralInformation && bytes[4] == kIdentityRequest;
}
