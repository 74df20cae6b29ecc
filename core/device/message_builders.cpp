#include "device/message_builders.h"

#include "device/protocol_constants.h"
#include "device/value7.h"

namespace {

CKivMarlinMessage MakeAddressed(const DeviceIds& ids, std::span<const std::uint8_t> command,
                                std::int32_t address, std::span<const std::uint8_t> data) {
    CKivMarlinMessage message;
    message.SetManufacturer(ids.manufacturerId);
    const std::uint8_t device[1] = {ids.deviceId};
    message.SetField(MarlinField::DeviceId, device);
    message.SetField(MarlinField::ModelId, ids.modelId);
    message.SetField(MarlinField::CommandId, command);
    message.SetField(MarlinField::Address, EncodeValue7(address, ids.addressWidth));
    message.SetField(MarlinField::Data, data);
    message.UpdateChecksum();
    return message;
}

}  // namespace

CKivMarlinMessage MakeDataSetMessage(const DeviceIds& ids, std::int32_t address,
                                     std::span<const std::uint8_t> data) {
    return MakeAddressed(ids, DataSetCommand, address, data);
}

CKivMarlinMessage MakeRequestMessage(const DeviceIds& ids, std::int32_t address, std::int32_t size) {
    return MakeAddressed(ids, RequestCommand, address, EncodeValue7(size, ids.addressWidth));
}

CKivLongMessage MakeIdentityRequest(std::uint8_t deviceId) {
    CKivLongMessage message;
    message.SetManufacturer(kUniversalNonRealTime);
    const std::uint8_t body[3] = {deviceId, kGeneralInformation, kIdentityRequest};
    message.SetBody(body);
    return message;
}
