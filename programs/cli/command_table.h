#pragma once

#include <string>

#include "cli/command_context.h"

struct Command {
    const char* name;
    int (*run)(CommandContext& context);
    const char* help;  // lines for --help beyond dump and convert; empty for those two
};

const Command* FindCommand(const std::string& name);
// The help lines of the commands beyond dump and convert.
std::string ExtraCommandHelp();
