#pragma once

#include <cstdint>
#include <span>

#include "model/parameter_address.h"

// Where the patch writer puts the data-set messages of one patch: the Standard MIDI File being built, or
// the device. area and number name the patch being written (for progress captions).
class IDataSetSink {
  public:
    virtual ~IDataSetSink() = default;
    // Puts one data-set message for data at address; false stops the write.
    virtual bool PutDataSet(int area, int number, PackedAddress address,
                            std::span<const std::uint8_t> data) = 0;
};
