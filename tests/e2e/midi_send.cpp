// A MIDI output port for end-to-end tests: a foot switch or any other sender. It opens the virtual output
// port CLIENT:PORT on JACK, says "ready", then sends each line of standard input as one message (bytes in
// hex, "B0 40 7F") and says "sent" after each; it ends at the end of its input.
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "midi/midi_out_device.h"
#include "rtmidi/midi_system_probe.h"
#include "rtmidi/rtmidi_ports.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: midi_send CLIENT PORT\n";
        return 2;
    }
    const MidiSystemProbe probe = ProbeMidiSystem(MidiApiChoice::Jack);
    std::string error;
    auto out = probe.system == MidiSystemProbe::System::None
                   ? nullptr
                   : CreateRtMidiVirtualOutDevice(probe.system, argv[1], argv[2], &error);
    if (!out) {
        std::cerr << "midi_send: cannot open the port: " << (error.empty() ? probe.problem : error) << "\n";
        return 1;
    }
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream words(line);
        std::vector<std::uint8_t> bytes;
        for (std::string word; words >> word;)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16) & 0xFF));
        if (!bytes.empty() && !out->Send(bytes)) {
            std::cerr << "midi_send: the message was not sent\n";
            return 1;
        }
        std::cout << "sent" << std::endl;
    }
    return 0;
}
