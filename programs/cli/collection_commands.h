#pragma once

#include "cli/command_context.h"

// tq550 collection add|search|export: the collection of every patch, in the file the desktop program
// uses too.
int RunCollection(CommandContext& context);

extern const char kCollectionHelp[];
