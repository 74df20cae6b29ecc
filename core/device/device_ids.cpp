#include "device/device_ids.h"

DeviceIds Tq550DeviceIds(std::uint8_t deviceId) {
    DeviceIds ids;
    ids.manufacturerId = kMarlinManufacturerId;
    ids.deviceId = deviceId;
    ids.modelId.assign(kTq550ModelId.begin(), kTq550ModelId.end());
    ids.addressWidth = kTq550AddressWidth;
    return ids;
}
