#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <vector>

#include "device/device_ids.h"
#include "model/parameter_address.h"
#include "model/parameter_array.h"
#include "ports/midi_environment.h"
#include "smf/smf_write.h"
#include "transfer/data_set_sink.h"
#include "transfer/midi_sender.h"

class AReader;

// Writes patches as data-set messages of the output port's profile: sent to the device, nine per patch with
// a pause after each, or recorded into a Standard MIDI File (format 0, one track: tempo 120, nine data sets
// per patch paced by their transmission time, End of Track).
class CWriter : public CKivMidiSender, public CKivSmfWrite {
  public:
    static constexpr double kTempo = 120.0;

    explicit CWriter(MidiEnvironment& environment);
    ~CWriter() override = default;

    // The ids data sets carry: those of the output port, or the TQ-550 profile at start-up while no port
    // is attached (SetProfile changes that fallback).
    void SetProfile(const DeviceIds& profile) { profile_ = profile; }
    const DeviceIds& Profile() const { return SenderOutput() ? SenderOutput()->Ids() : profile_; }

    // Sends the listed patch numbers of area (each taken from that position of source) to the device after
    // identifying it with reader. Stops at the first failed send (showing the connection-problem message)
    // or when the progress is cancelled; FailedNumber tells which patch it stopped at.
    bool WritePatchesToDevice(AReader& reader, int area, std::span<const int> numbers,
                              const CParameterArray& source);
    // The patch number the last device write stopped at, or -1 when it did not stop early.
    int FailedNumber() const { return failedNumber_; }
    bool WasCancelled() const { return cancelled_; }

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

    // Delta time in ticks of the next event: (L × 192 + 12000) / 3125 + 1 after a message of L bytes.
    std::int32_t NextDelta() const { return nextDelta_; }
    static std::int32_t DeltaAfter(std::size_t messageLength);

  protected:
    std::size_t PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) override;

  private:
    // Sends each data set to the device, with the progress caption and the cancel check before each.
    class CDeviceSink : public IDataSetSink {
      public:
        explicit CDeviceSink(CWriter& writer) : writer_(writer) {}
        bool PutDataSet(int area, int number, PackedAddress address,
                        std::span<const std::uint8_t> data) override;

      private:
        CWriter& writer_;
    };

    // Records each data set as a System Exclusive event of the file.
    class CSmfSink : public IDataSetSink {
      public:
        explicit CSmfSink(CWriter& writer) : writer_(writer) {}
        bool PutDataSet(int area, int number, PackedAddress address,
                        std::span<const std::uint8_t> data) override;

      private:
        CWriter& writer_;
    };

    MidiEnvironment& environment_;
    DeviceIds profile_;
    CParameterAddress addresses_;
    int failedNumber_ = -1;
    bool cancelled_ = false;
    std::vector<std::uint8_t> fileBytes_;
    std::int32_t nextDelta_ = 0;
};
