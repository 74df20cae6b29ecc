#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/console_text_out.h"
#include "exchange/patch_file.h"
#include "model/data.h"
#include "model/initial_file_document.h"

// What every `tq550` command receives: its own words (after the command name), the console messages and the
// initial-data library that the patch lists it makes start from (loaded by PrepareInitialData).
struct CommandContext {
    std::vector<std::string> words;
    ConsoleMessages& messages;
    std::shared_ptr<CInitialFileDocument> initial;
};

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "tq550: message" and the help hint on standard error; returns the usage exit status.
int UsageFailure(const std::string& message);

// Loads the initial-data library named by --initial-data (default: the installed one). Returns an exit
// status other than kExitSuccess when the command must stop.
int PrepareInitialData(const Arguments& arguments, CommandContext& context);

// Reads INPUT of --from KIND (default tql) into patches; returns an exit status.
// The list starts from the context's initial data.
int ReadInputFile(const Arguments& arguments, const std::string& input, CPatchArray& patches,
                  const PatchFileOptions& options, CommandContext& context);

int RunDump(CommandContext& context);
int RunConvert(CommandContext& context);
int RunRead(CommandContext& context);
int RunWrite(CommandContext& context);
