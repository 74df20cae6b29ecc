#pragma once

#include <bitset>
#include <cstdint>
#include <istream>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "device/marlin_message.h"
#include "model/parameter_address.h"
#include "model/parameter_array.h"
#include "smf/smf_read.h"
#include "transfer/midi_requester.h"

// Reads patches: requests them from the device and stores the data-set answers into a patch list, or
// imports the data-set messages of a Standard MIDI File. Every data set is judged by the acceptance rules
// of the output port's profile and stored by StoreDataSet.
class AReader : public CKivMidiRequester, public CKivSmfRead {
  public:
    static constexpr std::chrono::milliseconds kPatchWait{2000};

    explicit AReader(MidiEnvironment& environment);
    ~AReader() override = default;

    // The ids data sets must carry: those of the output port, or the TQ-550 profile at start-up while no
    // port is attached (SetProfile changes that fallback).
    void SetProfile(const DeviceIds& profile) { profile_ = profile; }
    const DeviceIds& Profile() const { return Output() ? Output()->Ids() : profile_; }

    // Asks the device who it is. False, after showing the connection-problem message, when no identity
    // reply comes or the reply is from another model.
    bool IdentifyDevice();
    // -1 until IdentifyDevice has identified the device, then 0.
    int IdentityFlag() const { return identity_; }

    // Reads each listed patch number of area into target: user patches at the position of their number,
    // the temporary patch at the one listed number. Stops at the first patch whose 2178 bytes have not all
    // arrived within 2 s (showing the connection-problem message) or when the progress is cancelled;
    // patches stored before stay stored.
    bool ReadPatchesFromDevice(int area, std::span<const int> numbers, CParameterArray& target);
    bool WasCancelled() const { return cancelled_; }
    // How long a read waits for the rest of a patch (kPatchWait unless a test shortens it).
    void SetPatchWait(std::chrono::milliseconds wait) { patchWait_ = wait; }

    // Stores the data-set messages of the Standard MIDI File read from stream into target: user patches at
    // the position of their patch number; temporary-patch data is ignored. False when the stream cannot be
    // read or the file does not parse (patches stored before the failure stay stored).
    bool ReadPatchesFromSmf(std::istream& stream, CParameterArray& target);

    // The identity reply check while IdentifyDevice waits.
    bool OnUniversalMessage(const CKivLongMessage& message) override;
    // A data set from the device while patches are read: stored at its address.
    bool OnDataSet(const CKivMarlinMessage& message) override;

    // A System Exclusive event of the file: stored when it is a data set that the profile accepts, judged by
    // itself (events split over F0 and F7 continuation events are not joined); anything else is skipped.
    void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message) override;

    // Stores an accepted data-set message at its address; true when it was stored.
    bool StoreMessage(const CKivMarlinMessage& message);
    // Stores data for a packed device address into the target list: dropped when the address lies in no
    // known area or slot, when it is temporary-patch data in SMF mode, or when the target position is not in
    // the list. A patch that receives data loses its four memos; bytes past its 2178-byte block are dropped.
    // True when something was stored.
    bool StoreDataSet(PackedAddress address, std::span<const std::uint8_t> data);

    void SetSmfMode(bool on) { smfMode_ = on; }
    // The list that receives data, and the positions the temporary patch goes to (the first entry is used).
    void SetTarget(CParameterArray* target, std::vector<int> temporaryTarget);

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override;

  private:
    bool RequestPatch(int area, int number);
    // Records which bytes of the open request a stored data set covered.
    void Cover(PackedAddress address, std::size_t size);

    DeviceIds profile_;
    CParameterAddress addresses_;
    std::vector<std::uint8_t> fileBytes_;
    bool smfMode_ = false;
    CParameterArray* target_ = nullptr;
    std::vector<int> temporaryTarget_;
    std::chrono::milliseconds patchWait_ = kPatchWait;
    int identity_ = -1;
    bool cancelled_ = false;
    // The patch being requested and which of its bytes have arrived.
    bool requestOpen_ = false;
    PackedAddress requestBase_ = 0;
    std::bitset<PATCH_BLOCK_SIZE> covered_;
};

// Whether the ports of a transfer are bound to physical ports; shows "MIDI devices aren't set up
// correctly." when not.
bool CheckTransferPorts(MidiEnvironment& environment, const CKivMidiIn* input, const CKivMidiOut* output);
