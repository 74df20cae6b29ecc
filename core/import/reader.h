#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "import/data.h"
#include "import/parameter_address.h"
#include "smf/smf_read.h"
#include "transfer/midi_requester.h"

namespace TQML {

// Reads TQ-4/TQ-MAX bulk dumps: Standard MIDI Files whose System Exclusive events are data sets for the
// earlier user patches. Each accepted data set fills one block of an earlier patch; the patches appear in
// the order in which their numbers first occur in the file.
//
// It sits on the earlier model's logical port pair as a requester that keeps the base operations.
class CReader : public CKivMidiRequester, public CKivSmfRead {
  public:
    explicit CReader(MidiEnvironment& environment) : CKivMidiRequester(environment) {}

    // The device profile whose manufacturer id and device id the data sets must carry: that of the output
    // port once one is attached (41H and 00H at start-up, then the stored MIDI setting), else the one set
    // here. The model id is not compared.
    void SetDeviceIds(const DeviceIds& ids) { ids_ = ids; }
    const DeviceIds& GetDeviceIds() const { return Output() ? Output()->Ids() : ids_; }

    // Reads the whole stream and parses it, appending the patches of the dump to patches. Returns the
    // parser's result; false also when the stream cannot be measured or read.
    bool ReadSmf(std::istream& stream, CConcreteParameterArray<CPatch>& patches);
    // The same for bytes already in memory.
    bool ReadSmfBytes(std::vector<std::uint8_t> bytes, CConcreteParameterArray<CPatch>& patches);

    // The earlier patch numbers met in the current dump, in order of first appearance.
    const std::vector<int>& PatchNumbers() const { return patchNumbers_; }

    // Applies one System Exclusive message under the acceptance rules; messages that fail them are ignored.
    void OnSysEx(std::int32_t delta, std::span<const std::uint8_t> message) override;

  protected:
    std::size_t GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) override;

  private:
    // Stores data at the packed address (user-patch area only).
    void Store(std::int32_t address, std::span<const std::uint8_t> data);

    DeviceIds ids_ = Tq550DeviceIds(0x00);
    CParameterAddress decoder_;
    std::vector<std::uint8_t> file_;
    CConcreteParameterArray<CPatch>* patches_ = nullptr;
    std::size_t firstIndex_ = 0;
    std::vector<int> patchNumbers_;
};

}  // namespace TQML
