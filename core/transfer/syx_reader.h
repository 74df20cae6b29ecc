#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/data.h"
#include "model/parameter_address.h"
#include "textout/text_out_hub.h"

// A patch slot of the device: a user patch (number 0-199, U01-1 to U50-4) or the temporary patch (number 0).
struct PatchSlot {
    int area = AREA_USER_PATCH;
    int number = 0;

    bool operator==(const PatchSlot&) const = default;
};

// What the last read of a SysEx file came to.
enum class SyxReadResult {
    Read,         // patches were read
    CannotOpen,   // the file could not be read, or is over 64 MiB ("This file could not be loaded.")
    NoPatch,      // no data set of the file reached a patch ("This file holds no TQ-550 patch.")
    Truncated,    // a message is cut off by another status byte or the end of the file
    BadChecksum,  // a TQ-550 data set has a wrong checksum
    Incomplete,   // the data sets do not give every byte of a patch they touch
};

// Reads a file of raw System Exclusive messages (.syx) into TQ-550 patches. Each message runs from F0 to the
// next F7 (system real-time bytes inside it are left out, as on the wire); bytes outside messages are
// skipped. The data sets of the TQ-550 (of every device id, or of one) are judged by the acceptance rules of
// a read from the device and stored as such a read stores them, in any chunking: the user patches U01-1 to
// U50-4 and the temporary patch; data for other addresses are dropped, and other messages are skipped.
// The result holds every patch the file's data sets touch, in slot order (user patches, then the
// temporary patch), each starting from its list's initial data with the data sets applied and no memos.
//
// A message cut off, a TQ-550 data set with a wrong checksum, a patch of which some of the 2178 bytes are
// given by no data set (the message names its slot), or a file without any data set that reaches a patch
// fails the read: the catalogue message goes to the buffering sink of the hub (when one was given)
// and the patch list stays as it was.
class CSyxReader {
  public:
    explicit CSyxReader(const TextOutHub* messages = nullptr) : messages_(messages) {}

    // Takes the data sets of only this device id (0-31 as on the wire, shown to users as 1-32); none, the
    // default, takes those of every id.
    void SetDeviceId(std::optional<std::uint8_t> id) { deviceId_ = id; }

    // Replaces the patches of patches with those of the file's bytes; new patches take their content from
    // the list's initial data.
    bool Read(std::span<const std::uint8_t> bytes, CPatchArray& patches);
    bool Read(const std::filesystem::path& path, CPatchArray& patches);

    SyxReadResult Result() const { return result_; }
    // The slot of each patch of the last successful read, in list order.
    const std::vector<PatchSlot>& Slots() const { return slots_; }

  private:
    bool Fail(SyxReadResult result, const std::string& argument = {});

    const TextOutHub* messages_;
    std::optional<std::uint8_t> deviceId_;
    SyxReadResult result_ = SyxReadResult::Read;
    std::vector<PatchSlot> slots_;
};
