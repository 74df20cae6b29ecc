#include <cstdio>
#include <numeric>

#include "cli/command_context.h"
#include "cli/console_stream.h"
#include "cli/device_session.h"
#include "model/file_document.h"
#include "platform/utf8_path.h"
#include "textout/message_catalog.h"

namespace {
// The patch numbers of --patches (default all 200); with --temporary none may be given.
int ChooseNumbers(const Arguments& arguments, std::size_t available, std::vector<int>& numbers) {
    if (arguments.Has("temporary")) {
        if (arguments.Has("patches")) return UsageFailure("--patches and --temporary exclude each other");
        numbers = {0};
        return kExitSuccess;
    }
    if (!arguments.Has("patches")) {
        if (available > USER_PATCH_COUNT)
            return UsageFailure("the library holds " + std::to_string(available) +
                                " patches, but the processor only 200: choose them with --patches");
        numbers.resize(available);
        std::iota(numbers.begin(), numbers.end(), 0);
        return kExitSuccess;
    }
    auto list = ParsePatchList(arguments.Value("patches"));
    if (!list) return UsageFailure("malformed patch list '" + arguments.Value("patches") + "'");
    for (int index : *list)
        if (index >= static_cast<int>(std::min<std::size_t>(available, USER_PATCH_COUNT)))
            return UsageFailure("patch index " + std::to_string(index) + " is out of range");
    numbers = std::move(*list);
    return kExitSuccess;
}

int TransferFailure(bool cancelled) {
    if (cancelled) WriteText(stderr, "tq550: cancelled\n");
    return kExitFailure;
}
}  // namespace

int RunRead(CommandContext& context) {
    Arguments arguments;
    std::vector<std::string> options = kDeviceOptions;
    options.push_back("initial-data");
    if (auto error = arguments.Parse(context.words, {"temporary"}, options)) return UsageFailure(*error);
    if (arguments.Positional().size() != 1) return UsageFailure("read needs exactly one OUT.tql");
    std::vector<int> numbers;
    if (const int status = ChooseNumbers(arguments, USER_PATCH_COUNT, numbers)) return status;
    if (const int status = PrepareInitialData(arguments, context)) return status;

    const bool temporary = arguments.Has("temporary");
    CFileDocument document(&context.messages.Hub());
    document.SetInitialData(context.initial);
    document.Patches().Resize(temporary ? 1 : USER_PATCH_COUNT);
    {
        DeviceSession session(context.messages.Hub());
        if (const int status = session.Open(arguments)) return status;
        const int area = temporary ? AREA_TEMPORARY_PATCH : AREA_USER_PATCH;
        if (!session.Reader().ReadPatchesFromDevice(area, numbers, document.Patches()))
            return TransferFailure(session.Reader().WasCancelled());
    }
    // Only a read that succeeded as a whole leaves a file.
    if (!document.Save(PathFromUtf8(arguments.Positional()[0]))) {
        context.messages.PrintFailure(GetMessageCatalog().Text(MSG_SAVE_FAILED));
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunWrite(CommandContext& context) {
    Arguments arguments;
    if (auto error = arguments.Parse(context.words, {"temporary"}, kDeviceOptions))
        return UsageFailure(*error);
    if (arguments.Positional().size() != 1) return UsageFailure("write needs exactly one IN.tql");
    CFileDocument document(&context.messages.Hub());
    if (!document.Load(PathFromUtf8(arguments.Positional()[0]))) {
        context.messages.PrintFailure(GetMessageCatalog().Text(MSG_LOAD_FAILED));
        return kExitFailure;
    }
    if (document.Patches().IsEmpty()) return UsageFailure("the library holds no patches");
    std::vector<int> numbers;
    if (const int status = ChooseNumbers(arguments, document.Patches().GetSize(), numbers)) return status;

    DeviceSession session(context.messages.Hub());
    if (const int status = session.Open(arguments)) return status;
    const int area = arguments.Has("temporary") ? AREA_TEMPORARY_PATCH : AREA_USER_PATCH;
    CWriter& writer = session.Writer();
    if (writer.WritePatchesToDevice(session.Reader(), area, numbers, document.Patches())) return kExitSuccess;
    if (writer.FailedNumber() >= 0)
        WriteText(stderr, "tq550: writing stopped at " +
                              CParameterAddress().GetSlotName(area, writer.FailedNumber()) + " (patch " +
                              std::to_string(writer.FailedNumber()) +
                              "); the patches before it were written\n");
    return TransferFailure(writer.WasCancelled());
}
