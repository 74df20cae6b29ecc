#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "device/marlin_message.h"
#include "model/parameter_address.h"
#include "model/parameter_array.h"
#include "smf/smf_read.h"

// Reads patches: imports the data-set messages of a Standard MIDI File into a patch list. Every data set,
// from a file or (through OnDataSet of the device side) from the processor, is judged by the acceptance
// rules of the output profile and stored by StoreDataSet.
class AReader : public CKivSmfRead {
  public:
    // profile: the ids of the logical output port (the TQ-550 profile at start-up by default).
    explicit AReader(DeviceIds profile = Tq550DeviceIds());
    ~AReader() override = default;

    void SetProfile(const DeviceIds& profile) { profile_ = profile; }
    const DeviceIds& Profile() const { return profile_; }

    // Stores the data-set messages of the Standard MIDI File read from stream into target: user patches at
    // the position of their patch number; temporary-patch data is ignored. False when the stream cannot be
    // read or the file does not parse (patches stored before the failure stay stored).
    bool ReadPatchesFromSmf(std::istream& stream, CParameterArray& target);

    // A System Exclusive event of the file: stored when it is a data set that the profile accepts, judged by
    // itself (events split over F0 and F7 continuation events are not joined); anything else is skipped.
    void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message) override;

    // Stores an accepted data-set message at its address.
    void StoreMessage(const CKivMarlinMessage& message);
    // Stores data for a packed device address into the target list: dropped when the address lies in no
    // known area or slot, when it is temporary-patch data in SMF mode, or when the target position is not in
    // the list. A patch that receives data loses its four memos; bytes past its 2178-byte block are dropped.
    void StoreDataSet(PackedAddress address, std::span<const std::uint8_t> data);

    bool IsSmfMode() const { return smfMode_; }
    void SetSmfMode(bool on) { smfMode_ = on; }
    // The list that receives data, and the positions the temporary patch goes to (the first entry is used).
    void SetTarget(CParameterArray* target, std::vector<int> temporaryTarget);

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override;

  private:
    DeviceIds profile_;
    CParameterAddress addresses_;
    std::vector<std::uint8_t> fileBytes_;
    bool smfMode_ = false;
    CParameterArray* target_ = nullptr;
    std::vector<int> temporaryTarget_;
};
