#pragma once

#include <cstdint>
#include <vector>

#include "device/protocol_constants.h"

// The ids that the address/data messages of one device profile carry. A logical MIDI port's profile hands
// its values over in this form to the message builders and the acceptance checks.
struct DeviceIds {
    std::uint8_t manufacturerId = kMarlinManufacturerId;
    std::uint8_t deviceId = 0x10;
    std::vector<std::uint8_t> modelId;
    int addressWidth = kTq550AddressWidth;

    bool operator==(const DeviceIds&) const = default;
};

// The TQ-550 profile as the program sets it up at start-up: manufacturer 41H, device id 00H, model id
// 00 00 60H, address width 4.
DeviceIds Tq550DeviceIds(std::uint8_t deviceId = 0x00);
