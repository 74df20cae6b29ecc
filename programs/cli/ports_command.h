#pragma once

#include "cli/command_context.h"

// tq550 ports [--api alsa|jack|auto]: the MIDI ports that can be opened, one a line, "in: " or "out: " first.
int RunPorts(CommandContext& context);

extern const char kPortsHelp[];
