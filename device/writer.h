#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <vector>

#include "device/data_set_sink.h"
#include "device/device_ids.h"
#include "model/parameter_address.h"
#include "model/parameter_array.h"
#include "smf/smf_write.h"

// Writes patches as data-set messages of the output profile: recorded into a Standard MIDI File (format 0,
// one track: tempo 120, nine data sets per patch paced by their transmission time, End of Track).
class CWriter : public CKivSmfWrite {
  public:
    static constexpr double kTempo = 120.0;

    // profile: the ids of the logical output port (the TQ-550 profile at start-up by default).
    explicit CWriter(DeviceIds profile = Tq550DeviceIds());
    ~CWriter() override = default;

    void SetProfile(const DeviceIds& profile) { profile_ = profile; }
    const DeviceIds& Profile() const { return profile_; }

    // Builds the file of the listed patch numbers of area (each taken from that position of source) and
    // writes it to stream. True only when every step and the stream write succeeded.
    bool WritePatchesToSmf(std::ostream& stream, int area, std::span<const int> numbers,
                           const CParameterArray& source);
    // Builds the same file in FileBytes() without writing it anywhere.
    bool BuildSmf(int area, std::span<const int> numbers, const CParameterArray& source);
    const std::vector<std::uint8_t>& FileBytes() const { return fileBytes_; }

    // Writes patch number of area, taken from that position of source, as nine data-set messages of 242
    // bytes (the patch image, padded or cut to 2178 bytes) to sink. Areas that hold no patches write
    // nothing; a position outside the source list fails.
    bool WritePatch(const CParameterArray& source, int area, int number, IDataSetSink& sink) const;

    bool IsSmfMode() const { return smfMode_; }
    // Delta time in ticks of the next event: (L × 192 + 12000) / 3125 + 1 after a message of L bytes.
    std::int32_t NextDelta() const { return nextDelta_; }
    static std::int32_t DeltaAfter(std::size_t messageLength);

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) override;

  private:
    // Records each data set as a System Exclusive event of the file.
    class CSmfSink : public IDataSetSink {
      public:
        explicit CSmfSink(CWriter& writer) : writer_(writer) {}
        bool PutDataSet(int area, int number, PackedAddress address,
                        std::span<const std::uint8_t> data) override;

      private:
        CWriter& writer_;
    };

    DeviceIds profile_;
    CParameterAddress addresses_;
    std::vector<std::uint8_t> fileBytes_;
    std::int32_t nextDelta_ = 0;
    bool smfMode_ = false;
};
