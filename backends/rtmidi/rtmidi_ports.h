#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/midi_in_device.h"
#include "midi/midi_out_device.h"
#include "rtmidi/midi_system_probe.h"

// Input and output ports of the RtMidi backend on one MIDI system: RtMidi's, except on JACK, where the
// backend's own JACK clients make them (jack_midi_ports.h).

// The names under which system offers its input (sources) or output (destinations) ports: RtMidi's names
// (on JACK the full port names, which are RtMidi's too), for ALSA without the client and port numbers that
// change from one run of a program to the next (a second port of the same name gets " #2", and so on). The
// ports of this program's own clients are left out.
std::vector<std::string> OfferedRtMidiInPorts(MidiSystemProbe::System system, std::string* error = nullptr);
std::vector<std::string> OfferedRtMidiOutPorts(MidiSystemProbe::System system, std::string* error = nullptr);

// Opens and starts (input) or opens (output) the port offered under name; none on failure, with the reason
// in error when given. An input port notifies arrival whenever input has arrived.
std::unique_ptr<CMidiInDevice> CreateRtMidiInDevice(MidiSystemProbe::System system, const std::string& name,
                                                    CMidiArrivalSignal& arrival,
                                                    std::string* error = nullptr);
std::unique_ptr<CMidiOutDevice> CreateRtMidiOutDevice(MidiSystemProbe::System system, const std::string& name,
                                                      std::string* error = nullptr);

// Ports that other programs connect to, for a program that plays a MIDI device: a client named clientName
// with one port named portName. An output port of this kind is present as long as it is open.
std::unique_ptr<CMidiInDevice> CreateRtMidiVirtualInDevice(MidiSystemProbe::System system,
                                                           const std::string& clientName,
                                                           const std::string& portName,
                                                           CMidiArrivalSignal& arrival,
                                                           std::string* error = nullptr);
std::unique_ptr<CMidiOutDevice> CreateRtMidiVirtualOutDevice(MidiSystemProbe::System system,
                                                             const std::string& clientName,
                                                             const std::string& portName,
                                                             std::string* error = nullptr);
