#include "cli/command_table.h"

#include "cli/collection_commands.h"
#include "cli/ports_command.h"

namespace {
const Command kCommands[] = {
    {"dump", RunDump, ""},
    {"convert", RunConvert, ""},
    {"ports", RunPorts, kPortsHelp},
    {"read", RunRead,
     "  read [--in PORT --out PORT] [--device-id N] [--patches LIST] [--temporary] [--api alsa|jack|auto]\n"
     "       [--initial-data PATH|none] OUT.tql\n"
     "      Read user patches (default all 200) or the temporary patch from the processor into a library.\n"},
    {"write", RunWrite,
     "  write [--in PORT --out PORT] [--device-id N] [--patches LIST] [--temporary] [--api alsa|jack|auto]\n"
     "        IN.tql\n"
     "      Write the library's patches to the user patches of their indexes (or its first patch to the\n"
     "      temporary patch). Without --in/--out the stored MIDI setup and the automatic setup choose the\n"
     "      ports; PORT is a port name or a unique part of one; N is the device id 1 to 32 (default 1).\n"},
    {"collection", RunCollection, kCollectionHelp},
};
}  // namespace

const Command* FindCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string ExtraCommandHelp() {
    std::string help;
    for (const Command& command : kCommands)
        help += command.help;
    return help;
}
