#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/midi_in_device.h"
#include "midi/midi_out_device.h"

// Input and output ports on JACK through clients of the backend's own (jack_midi_client.h) rather than
// RtMidi's, whose JACK ports free what the server's process thread may still be using when they close.
// The ports behave as those of rtmidi_ports.h on JACK do: the same names offered, the same messages
// delivered, the same pacing of output.

// The offered names of the server's MIDI ports that send (input ports of this program) or receive (output
// ports): their full JACK names, without the ports of this program's own clients.
std::vector<std::string> OfferedJackMidiInPorts(std::string* error = nullptr);
std::vector<std::string> OfferedJackMidiOutPorts(std::string* error = nullptr);

// Opens and starts (input) or opens (output) the port offered under name; none on failure, with the reason
// in error when given.
std::unique_ptr<CMidiInDevice> CreateJackMidiInDevice(const std::string& name, CMidiArrivalSignal& arrival,
                                                      std::string* error = nullptr);
std::unique_ptr<CMidiOutDevice> CreateJackMidiOutDevice(const std::string& name,
                                                        std::string* error = nullptr);

// A client named clientName with one port named portName, for other programs to connect to.
std::unique_ptr<CMidiInDevice> CreateJackMidiVirtualInDevice(const std::string& clientName,
                                                             const std::string& portName,
                                                             CMidiArrivalSignal& arrival,
                                                             std::string* error = nullptr);
std::unique_ptr<CMidiOutDevice> CreateJackMidiVirtualOutDevice(const std::string& clientName,
                                                               const std::string& portName,
                                                               std::string* error = nullptr);
