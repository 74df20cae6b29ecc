#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/device_ids.h"

// The device profile of a logical MIDI port: the role's name, by which the settings find the port, and
// the ids that its address/data messages carry.
class CKivMidi {
  public:
    static constexpr std::uint8_t kDefaultDeviceId = 0x10;

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::uint8_t GetManufacturerId() const { return ids_.manufacturerId; }
    void SetManufacturerId(std::uint8_t id) { ids_.manufacturerId = id; }
    std::uint8_t GetDeviceId() const { return ids_.deviceId; }
    void SetDeviceId(std::uint8_t id) { ids_.deviceId = id; }
    const std::vector<std::uint8_t>& GetModelId() const { return ids_.modelId; }
    void SetModelId(std::vector<std::uint8_t> modelId) { ids_.modelId = std::move(modelId); }
    int GetAddressWidth() const { return ids_.addressWidth; }
    void SetAddressWidth(int width) { ids_.addressWidth = width; }

    // The ids in the form that the message builders and the acceptance checks take.
    const DeviceIds& Ids() const { return ids_; }

  private:
    std::string name_;
    DeviceIds ids_;  // manufacturer 41H, device id 10H, no model id, address width 4
};
