#include <cstdio>
#include <filesystem>

#include "cli/command_context.h"
#include "cli/console_stream.h"
#include "cli/json_dump.h"
#include "cli/program_paths.h"
#include "model/initial_file_document.h"
#include "platform/utf8_path.h"
#include "textout/message_catalog.h"

namespace fs = std::filesystem;

namespace {
const char kInitialFileMessage[] = "Unable to read initial file.";
const fs::path kInitialDataFile = fs::path("Script") / "InitialData.tql";
}  // namespace

int UsageFailure(const std::string& message) {
    WriteText(stderr, "tq550: " + message + "\nTry 'tq550 --help' for more information.\n");
    return kExitUsage;
}

int PrepareInitialData(const Arguments& arguments, CommandContext& context) {
    CInitialFileDocument& initial = *context.initial;
    initial.Reset();
    const std::string choice = arguments.Value("initial-data");
    if (choice == "none") return kExitSuccess;
    if (choice.empty()) {
        // The installed library missing is not fatal, as in the desktop program: say so and go on.
        const fs::path path = FindDataFile(kInitialDataFile);
        if (path.empty() || !initial.Load(path)) {
            initial.Reset();
            WriteText(stderr, std::string(kInitialFileMessage) + "\n");
        }
        return kExitSuccess;
    }
    if (!initial.Load(PathFromUtf8(choice))) {
        initial.Reset();
        WriteText(stderr, std::string(kInitialFileMessage) + "\n");
        context.messages.PrintFailure("");
        return kExitFailure;
    }
    return kExitSuccess;
}

namespace {
// Whether the kind named holds TQ-550 data sets, whose device id --device-id names.
bool NamesDataSetKind(const std::string& name) {
    const std::optional<FileKind> kind = FileKindFromName(name);
    return kind && HoldsDataSets(*kind);
}

// --device-id of dump and convert: the device id of the data sets in Standard MIDI Files and SysEx files of
// TQ-550 data, which only an smf or syx input or output holds.
int ChooseFileOptions(const Arguments& arguments, bool dataSetsInvolved, PatchFileOptions& options) {
    if (!arguments.Has("device-id")) return kExitSuccess;
    const int id = ParseShownDeviceId(arguments.Value("device-id"));
    if (id < 0) return UsageFailure("--device-id takes 1 to 32");
    if (!dataSetsInvolved) return UsageFailure("--device-id applies to smf and syx input and output only");
    options.deviceId = static_cast<std::uint8_t>(id);
    options.deviceIdGiven = true;
    return kExitSuccess;
}
}  // namespace

int ReadInputFile(const Arguments& arguments, const std::string& input, CPatchArray& patches,
                  const PatchFileOptions& options, CommandContext& context) {
    const std::string kindName = arguments.Value("from", "tql");
    const std::optional<FileKind> kind = FileKindFromName(kindName);
    if (!kind) return UsageFailure("unknown input kind '" + kindName + "'");
    if (const int status = PrepareInitialData(arguments, context); status != kExitSuccess) return status;
    patches.SetInitialData(context.initial);
    if (!ReadPatchFile(*kind, PathFromUtf8(input), patches, context.messages.Hub(), options)) {
        context.messages.PrintFailure(GetMessageCatalog().Text(MSG_LOAD_FAILED), IsImportKind(*kind));
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunDump(CommandContext& context) {
    Arguments arguments;
    if (auto error = arguments.Parse(context.words, {}, {"from", "device-id", "initial-data"}))
        return UsageFailure(*error);
    if (arguments.Positional().size() != 1) return UsageFailure("dump needs exactly one FILE");
    PatchFileOptions options;
    if (const int status = ChooseFileOptions(arguments, NamesDataSetKind(arguments.Value("from")), options))
        return status;
    CPatchArray patches;
    if (const int status = ReadInputFile(arguments, arguments.Positional()[0], patches, options, context))
        return status;
    const std::string json = PatchesToJson(patches);
    if (!WriteText(stdout, json)) {
        WriteText(stderr, "tq550: cannot write to standard output\n");
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunConvert(CommandContext& context) {
    Arguments arguments;
    if (auto error =
            arguments.Parse(context.words, {}, {"from", "to", "device-id", "patches", "initial-data"}))
        return UsageFailure(*error);
    if (arguments.Positional().size() != 2) return UsageFailure("convert needs IN and OUT");
    const fs::path output = PathFromUtf8(arguments.Positional()[1]);

    std::optional<FileKind> kind;
    if (arguments.Has("to")) {
        kind = FileKindFromName(arguments.Value("to"));
        if (!kind || !IsWritableKind(*kind))
            return UsageFailure("unknown output kind '" + arguments.Value("to") + "'");
    } else {
        kind = WritableKindFromExtension(output);
        if (!kind)
            return UsageFailure("cannot tell the output kind from '" + PathToUtf8(output) + "': give --to");
    }
    const int indexLimit = WriteIndexLimit(*kind);

    std::vector<int> selection;
    if (arguments.Has("patches")) {
        auto list = ParsePatchList(arguments.Value("patches"));
        if (!list) return UsageFailure("malformed patch list '" + arguments.Value("patches") + "'");
        selection = std::move(*list);
        for (int index : selection)
            if (indexLimit > 0 && index >= indexLimit)
                return UsageFailure("patch index " + std::to_string(index) + " is not below " +
                                    std::to_string(indexLimit));
    }

    PatchFileOptions options;
    const bool dataSetsInvolved = NamesDataSetKind(arguments.Value("from")) || HoldsDataSets(*kind);
    if (const int status = ChooseFileOptions(arguments, dataSetsInvolved, options)) return status;

    CPatchArray patches;
    if (const int status = ReadInputFile(arguments, arguments.Positional()[0], patches, options, context))
        return status;
    if (!arguments.Has("patches")) {
        if (indexLimit > 0 && patches.GetSize() > static_cast<std::size_t>(indexLimit))
            return UsageFailure("the input holds " + std::to_string(patches.GetSize()) +
                                " patches, but only " + std::to_string(indexLimit) +
                                " fit: choose them with --patches");
        for (std::size_t i = 0; i < patches.GetSize(); ++i)
            selection.push_back(static_cast<int>(i));
    }
    for (int index : selection)
        if (static_cast<std::size_t>(index) >= patches.GetSize())
            return UsageFailure("patch index " + std::to_string(index) + " does not exist: the input holds " +
                                std::to_string(patches.GetSize()) + " patches");

    if (!WritePatchFile(*kind, patches, selection, output, context.messages.Hub(), options)) {
        context.messages.PrintFailure(GetMessageCatalog().Text(MSG_SAVE_FAILED));
        return kExitFailure;
    }
    return kExitSuccess;
}
