#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "model/parameter_address.h"

// How the virtual processor behaves, faults included.
struct Tq550EmulatorOptions {
    // Device id, 0-31 (shown to users as 1-32).
    std::uint8_t deviceId = 0x00;
    // After this many received messages the processor answers nothing more (it still stores data sets);
    // negative: never.
    long stopAnsweringAfter = -1;
    // Data sets sent with a checksum one too high.
    bool corruptChecksums = false;
    // Identity replies with the family code 61H 02H instead of 60H 02H.
    bool wrongFamilyCode = false;
    // After this many received messages the processor wants to end, like an unplugged interface;
    // negative: never.
    long exitAfter = -1;
};

// A stand-in for the TQ-550: 200 user patches and the temporary patch, reached through the maker's
// System Exclusive protocol. It answers the universal identity request for its device id (or the all-call
// id 7FH) with a 15-byte reply of family 60H 02H; answers a data request with data-set messages of at most
// 242 data bytes each, covering the requested range where it lies in patch memory (nine messages for a whole
// patch); and stores every data set whose manufacturer, model id, device id and checksum are right. It
// confirms nothing. Messages it does not understand are ignored.
//
// As made, user patch n is named "EMU Unn-m" (its slot) and holds the bytes (n × 31 + i) mod 128 after the
// name; the temporary patch is named "EMU TEMPORARY" and holds (i × 7) mod 128.
class CTq550Emulator {
  public:
    using Message = std::vector<std::uint8_t>;
    using PatchImage = std::array<std::uint8_t, PATCH_BLOCK_SIZE>;

    explicit CTq550Emulator(Tq550EmulatorOptions options = {});

    // Handles one complete received message; gives the answers to send, in order.
    std::vector<Message> Receive(std::span<const std::uint8_t> bytes);
    // True once the fault "end after N messages" has come due.
    bool ShouldExit() const;

    const Tq550EmulatorOptions& Options() const { return options_; }
    // Changes the behaviour from the next message on (the counts of the faults are of all messages received
    // since the processor was made: ReceivedCount()).
    void SetOptions(const Tq550EmulatorOptions& options);
    const DeviceIds& Ids() const { return ids_; }

    const PatchImage& UserPatch(int number) const { return user_[static_cast<std::size_t>(number)]; }
    PatchImage& UserPatch(int number) { return user_[static_cast<std::size_t>(number)]; }
    const PatchImage& TemporaryPatch() const { return temporary_; }
    PatchImage& TemporaryPatch() { return temporary_; }

    // Fills the user patches, in order, from the patches of a library file (at most 200; patches beyond
    // the file's keep their content). False when the file cannot be read.
    bool LoadLibrary(const std::filesystem::path& path);
    // Saves the 200 user patches as a library file with empty memos.
    bool SaveLibrary(const std::filesystem::path& path) const;

    std::uint64_t ReceivedCount() const { return received_; }
    std::uint64_t StoredDataSets() const { return storedDataSets_; }
    std::uint64_t AnsweredRequests() const { return answeredRequests_; }
    // Writes of the temporary patch that began (a data set at its first byte) and that reached its last
    // byte.
    std::uint64_t TemporaryWritesBegun() const { return temporaryBegun_; }
    std::uint64_t TemporaryWritesEnded() const { return temporaryEnded_; }

  private:
    bool Answering() const;
    std::vector<Message> AnswerIdentityRequest(std::span<const std::uint8_t> bytes) const;
    std::vector<Message> AnswerDataRequest(std::int32_t address, std::int32_t size);
    void StoreDataSet(std::int32_t address, std::span<const std::uint8_t> data);
    // The patch block holding packed address, with the address where that block starts; none when the
    // address is not in patch memory.
    PatchImage* BlockAt(std::int32_t address, std::int32_t& blockBase);
    Message DataSet(std::int32_t address, std::span<const std::uint8_t> data) const;

    Tq550EmulatorOptions options_;
    DeviceIds ids_;
    std::vector<PatchImage> user_;
    PatchImage temporary_{};
    std::uint64_t received_ = 0;
    std::uint64_t storedDataSets_ = 0;
    std::uint64_t answeredRequests_ = 0;
    std::uint64_t temporaryBegun_ = 0;
    std::uint64_t temporaryEnded_ = 0;
};
