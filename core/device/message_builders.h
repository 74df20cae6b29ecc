#pragma once

#include <cstdint>
#include <span>

#include "device/device_ids.h"
#include "device/long_message.h"
#include "device/marlin_message.h"

// A data-set message of a profile: F0 manufacturer device-id model-id 12H address data checksum F7, the
// address packed in the profile's address width.
CKivMarlinMessage MakeDataSetMessage(const DeviceIds& ids, std::int32_t address,
                                     std::span<const std::uint8_t> data);

// A data request of a profile for size bytes at address: command 11H, address and size each packed in the
// profile's address width, checksum over both (17 bytes for the TQ-550).
CKivMarlinMessage MakeRequestMessage(const DeviceIds& ids, std::int32_t address, std::int32_t size);

// The universal identity request F0 7E dev 06 01 F7.
CKivLongMessage MakeIdentityRequest(std::uint8_t deviceId);
