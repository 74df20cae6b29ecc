// tq550: the command-line companion of the TQ-550 Librarian.

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_context.h"
#include "cli/command_table.h"
#include "platform/program_arguments.h"
#include "platform/standard_streams.h"

namespace {
const char kHelp[] =
    "Usage: tq550 COMMAND [OPTIONS] ...\n"
    "\n"
    "The command-line companion of the TQ-550 Librarian.\n"
    "\n"
    "Commands:\n"
    "  dump [--from KIND] [--device-id N] [--initial-data PATH|none] FILE\n"
    "      Print the patches FILE holds as JSON on standard output.\n"
    "  convert [--from KIND] [--to tql|smf|syx] [--device-id N] [--patches LIST]\n"
    "          [--initial-data PATH|none] IN OUT\n"
    "      Write the (selected) patches of IN to OUT, a library file (.tql), a Standard MIDI File (.mid) or "
    "a\n"
    "      SysEx file (.syx). In .mid and .syx each patch goes to the user patch of its index (below 200).\n"
    "%s"
    "\n"
    "KIND: tql (library file, the default), tqx (earlier librarian file), tq4-dump (TQ-4/TQ-MAX bulk\n"
    "dump), tq2-dump (TQ-2 bulk dump), smf (Standard MIDI File of TQ-550 data sets), syx (file of raw "
    "System\n"
    "Exclusive messages: the user patches its TQ-550 data sets touch, in slot order, then the temporary "
    "patch).\n"
    "LIST: comma-separated 0-based indexes and ranges, for example 0,5,10-19.\n"
    "--device-id N (1 to 32, default 1, that is id 0): for an smf input, the device id whose data sets are\n"
    "taken; for a syx input, the only id taken (default: every id); for an smf or syx output, the device id "
    "of\n"
    "the data sets written.\n"
    "--initial-data: the library whose first patch becomes every new patch; 'none' for zeroed patches\n"
    "named INIT PATCH. Default: Script/InitialData.tql beside the program or in the installed data folder.\n"
    "\n"
    "Exit status: 0 success, 1 failure (the message on standard error), 2 usage error.\n";
}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
#ifdef SIGXFSZ
    // A write beyond the file-size limit must fail like any other write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    UseBinaryStandardStreams();
    std::vector<std::string> words = ProgramArguments(argc, argv);
    if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        std::printf(kHelp, ExtraCommandHelp().c_str());
        return words.empty() ? kExitUsage : kExitSuccess;
    }
    const Command* command = FindCommand(words[0]);
    if (!command) return UsageFailure("unknown command '" + words[0] + "'");
    words.erase(words.begin());
    for (const std::string& word : words) {
        if (word == "--help" || word == "-h") {
            std::printf(kHelp, ExtraCommandHelp().c_str());
            return kExitSuccess;
        }
    }
    ConsoleMessages messages;
    CommandContext context{std::move(words), messages,
                           std::make_shared<CInitialFileDocument>(&messages.Hub())};
    return command->run(context);
}
