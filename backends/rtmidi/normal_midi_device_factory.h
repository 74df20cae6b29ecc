#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/midi_device_factory.h"
#include "rtmidi/midi_api.h"
#include "rtmidi/midi_system_probe.h"

// The factory of real MIDI ports, on RtMidi. The MIDI system is chosen when the factory is made; when none
// is usable the factory offers no ports and Problem says why.
class CNormalMidiDeviceFactory : public IMidiDeviceFactory {
  public:
    explicit CNormalMidiDeviceFactory(MidiApiChoice choice = MidiApiChoice::Auto);

    std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string& name,
                                                     CMidiArrivalSignal& arrival) override;
    std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string& name) override;
    // The counts take a fresh look at the system; the names are those of that look.
    int InPortCount() override;
    bool InPortUsable(int id) override;
    std::string InPortName(int id) override;
    int OutPortCount() override;
    bool OutPortUsable(int id) override;
    std::string OutPortName(int id) override;
    std::string Problem() override { return probe_.problem; }

    MidiSystemProbe::System System() const { return probe_.system; }
    // The reason the last port could not be made, for diagnostics.
    const std::string& LastError() const { return lastError_; }

  private:
    MidiSystemProbe probe_;
    std::vector<std::string> inNames_;
    std::vector<std::string> outNames_;
    std::string lastError_;
};
