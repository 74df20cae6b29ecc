#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "model/parameter_array.h"
#include "textout/text_out_hub.h"

// Writes patches as a file of raw System Exclusive messages (.syx): exactly the data sets a Write of those
// user patches sends to the device, nine of 242 bytes per patch in the ids of a profile (the output port's,
// that is the device id of the MIDI setup), one after another. These are also the data sets of an SMF
// export of the same patches, byte for byte.
//
// At most 200 patches go into one file; more are refused with "A SysEx file holds at most 200 patches."
// Failures are reported to the buffering sink of the hub (when one was given) and answered by false.
class CSyxWriter {
  public:
    explicit CSyxWriter(const TextOutHub* messages = nullptr);

    // The ids of the data sets; the TQ-550 profile with device id 00H until set.
    void SetProfile(const DeviceIds& profile) { profile_ = profile; }
    const DeviceIds& Profile() const { return profile_; }

    // Builds the data sets of the patches at positions of source, the i-th as user patch slots[i] (0-199,
    // U01-1 to U50-4), in that order, into Bytes(). False, with Bytes() empty, for more than 200 patches,
    // for a position outside source, a slot outside 0-199 or counts that differ.
    bool Build(const CParameterArray& source, std::span<const int> positions, std::span<const int> slots);
    // The same with the patches in consecutive slots from U01-1.
    bool Build(const CParameterArray& source, std::span<const int> positions);
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // Builds the data sets as Build does and writes them to path atomically: a failed save leaves the file
    // that was there untouched and reports "This file could not be saved." (or the 200-patch limit).
    bool Save(const std::filesystem::path& path, const CParameterArray& source,
              std::span<const int> positions, std::span<const int> slots);
    bool Save(const std::filesystem::path& path, const CParameterArray& source,
              std::span<const int> positions);

    // The slots 0 to count - 1.
    static std::vector<int> ConsecutiveSlots(std::size_t count);

  private:
    // Whether count patches fit into one file; reports the limit when not.
    bool Fits(std::size_t count) const;
    void Report(int id) const {
        if (messages_) messages_->ReportMessage(id);
    }

    const TextOutHub* messages_;
    DeviceIds profile_;
    std::vector<std::uint8_t> bytes_;
};
