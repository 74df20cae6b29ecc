#include "transfer/syx_reader.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>
#include <fstream>
#include <memory>

#include "device/device_ids.h"
#include "device/message_acceptance.h"
#include "device/protocol_constants.h"
#include "textout/message_catalog.h"
#include "transfer/bounded_read.h"
#include "transfer/data_set_placement.h"

namespace {

// The user patches, then the temporary patch.
constexpr std::size_t kTemporaryIndex = USER_PATCH_COUNT;
constexpr std::size_t kSlotCount = USER_PATCH_COUNT + 1;
bool IsRealTime(std::uint8_t byte) {
    return byte >= 0xF8;
}

// Calls take(message) for each complete System Exclusive message of bytes, F0 to F7, with the system
// real-time bytes inside it left out; stops when take answers false. False when take stopped or a message
// is cut off by another status byte (F0 included) or by the end of the bytes.
template <typename Take>
bool ForEachSysEx(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& message, Take take) {
    bool inside = false;
    for (const std::uint8_t byte : bytes) {
        if (!inside) {
            if (byte == kSysExStart) {
                inside = true;
                message.assign(1, byte);
            }
            continue;
        }
        if (byte < 0x80) {
            message.push_back(byte);
        } else if (byte == kSysExEnd) {
            message.push_back(byte);
            inside = false;
            if (!take(std::span<const std::uint8_t>(message))) return false;
        } else if (!IsRealTime(byte)) {
            return false;
        }
    }
    return !inside;
}

int MessageOf(SyxReadResult result) {
    switch (result) {
        case SyxReadResult::Read:
            break;
        case SyxReadResult::CannotOpen:
            return MSG_LOAD_FAILED;
        case SyxReadResult::NoPatch:
            return MSG_SYX_NO_PATCH;
        case SyxReadResult::Truncated:
            return MSG_SYX_TRUNCATED;
        case SyxReadResult::BadChecksum:
            return MSG_SYX_BAD_CHECKSUM;
        case SyxReadResult::Incomplete:
            return MSG_SYX_INCOMPLETE;
    }
    return -1;
}

// How a slot is named in messages: "U03-2", or "Temporary".
std::string SlotLabel(const PatchSlot& slot) {
    if (slot.area == AREA_TEMPORARY_PATCH) return "Temporary";
    return UserPatchLabel(slot.number);
}

PatchSlot SlotOfIndex(std::size_t index) {
    if (index == kTemporaryIndex) return {AREA_TEMPORARY_PATCH, 0};
    return {AREA_USER_PATCH, static_cast<int>(index)};
}

}  // namespace

bool CSyxReader::Fail(SyxReadResult result, const std::string& argument) {
    result_ = result;
    if (messages_) messages_->ReportMessage(MessageOf(result), argument);
    return false;
}

bool CSyxReader::Read(std::span<const std::uint8_t> bytes, CPatchArray& patches) {
    result_ = SyxReadResult::Read;
    slots_.clear();
    std::array<std::unique_ptr<CPatch>, kSlotCount> touched;
    // The bytes of each touched patch that some data set gave; a patch must have all of them.
    std::array<std::bitset<PATCH_BLOCK_SIZE>, kSlotCount> covered;
    bool badChecksum = false;
    std::vector<std::uint8_t> buffer;
    CKivMarlinMessage message;

    const bool complete = ForEachSysEx(bytes, buffer, [&](std::span<const std::uint8_t> sysEx) {
        if (sysEx.size() < 3 || sysEx[1] != kMarlinManufacturerId) return true;
        // Without a chosen id every message is judged for the id it carries.
        const DeviceIds ids = Tq550DeviceIds(deviceId_.value_or(sysEx[2]));
        const MarlinVerdict verdict = JudgeMarlinMessage(sysEx, ids, message);
        if (verdict == MarlinVerdict::BadChecksum) {
            badChecksum = true;
            return false;
        }
        if (verdict != MarlinVerdict::DataSet) return true;
        const std::optional<DataSetPlace> place =
            PlaceDataSet(PackAddress(message.Field(MarlinField::Address)));
        if (!place) return true;
        std::size_t index = kTemporaryIndex;
        if (place->area == AREA_USER_PATCH) {
            if (place->number >= USER_PATCH_COUNT) return true;  // a number without a slot
            index = static_cast<std::size_t>(place->number);
        }
        std::unique_ptr<CPatch>& patch = touched[index];
        if (!patch) {
            patch = std::make_unique<CPatch>();
            patches.InitializeElement(*patch);
        }
        const std::vector<std::uint8_t> data = message.Field(MarlinField::Data);
        StoreDataSetInPatch(*patch, place->offset, data);
        const std::size_t end = std::min<std::size_t>(PATCH_BLOCK_SIZE, place->offset + data.size());
        for (std::size_t byte = static_cast<std::size_t>(place->offset); byte < end; ++byte)
            covered[index].set(byte);
        return true;
    });
    if (!complete) return Fail(badChecksum ? SyxReadResult::BadChecksum : SyxReadResult::Truncated);

    CPatchArray read;
    std::vector<PatchSlot> slots;
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (!touched[i]) continue;
        // Half a patch is not a patch: the rest would be initial data that the device never held.
        if (!covered[i].all()) return Fail(SyxReadResult::Incomplete, SlotLabel(SlotOfIndex(i)));
        read.Add(std::move(touched[i]));
        slots.push_back(SlotOfIndex(i));
    }
    if (slots.empty()) return Fail(SyxReadResult::NoPatch);
    patches.Swap(read);
    slots_ = std::move(slots);
    return true;
}

bool CSyxReader::Read(const std::filesystem::path& path, CPatchArray& patches) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return Fail(SyxReadResult::CannotOpen);
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) return Fail(SyxReadResult::CannotOpen);
    // 200 patches in data sets of one byte each are about 6 MB: a longer file, or an endless one such as a
    // device, is not read into memory.
    std::vector<std::uint8_t> bytes;
    if (!ReadAtMost(stream, bytes)) return Fail(SyxReadResult::CannotOpen);
    return Read(bytes, patches);
}
