#include "cli/command_table.h"

#include "cli/ports_command.h"

namespace {
const Command kCommands[] = {
    {"dump", RunDump, ""},
    {"convert", RunConvert, ""},
    {"ports", RunPorts, kPortsHelp},
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
