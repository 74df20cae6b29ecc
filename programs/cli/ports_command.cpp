#include "cli/ports_command.h"

#include <cstdio>

#include "cli/arguments.h"
#include "cli/console_stream.h"
#include "midi/midi_device_factory.h"
#include "rtmidi/normal_midi_device_factory.h"

const char kPortsHelp[] =
    "  ports [--api alsa|jack|auto]\n"
    "      List the MIDI input and output ports that can be opened, one a line, as \"in: NAME\" and\n"
    "      \"out: NAME\". --api chooses the MIDI system (default auto: ALSA when its sequencer opens,\n"
    "      else JACK).\n";

int RunPorts(CommandContext& context) {
    Arguments arguments;
    if (auto error = arguments.Parse(context.words, {}, {"api"})) return UsageFailure(*error);
    if (!arguments.Positional().empty()) return UsageFailure("ports takes no file names");
    MidiApiChoice choice = MidiApiChoice::Auto;
    if (!ParseMidiApiChoice(arguments.Value("api", "auto"), choice))
        return UsageFailure("--api takes alsa, jack or auto");

    CNormalMidiDeviceFactory factory(choice);
    if (!factory.Problem().empty()) {
        // No MIDI system: no ports, said once, and not a failure of the command.
        WriteText(stderr, factory.Problem() + "\n");
        return kExitSuccess;
    }
    for (const std::string& name : ListInPortNames(factory))
        WriteText(stdout, "in: " + name + "\n");
    for (const std::string& name : ListOutPortNames(factory))
        WriteText(stdout, "out: " + name + "\n");
    return kExitSuccess;
}
