#include "cli/device_session.h"

#include <cstdio>

#include "cli/command_context.h"
#include "cli/console_stream.h"
#include "cli/console_text_out.h"
#include "cli/program_settings.h"
#include "rtmidi/normal_midi_device_factory.h"
#include "settings/memory_settings_store.h"
#include "setup/auto_midi_setup.h"
#include "setup/midi_setup.h"
#include "textout/message_catalog.h"

const std::vector<std::string> kDeviceOptions = {"in", "out", "device-id", "patches", "api"};

std::string ResolvePortName(const std::vector<std::string>& names, const std::string& wanted,
                            std::string& problem) {
    for (const std::string& name : names)
        if (name == wanted) return name;
    std::vector<std::string> matches;
    for (const std::string& name : names)
        if (name.find(wanted) != std::string::npos) matches.push_back(name);
    if (matches.size() == 1) return matches.front();
    if (matches.empty()) {
        problem = "no port matches '" + wanted + "'";
    } else {
        problem = "'" + wanted + "' matches several ports:";
        for (const std::string& name : matches)
            problem += "\n  " + name;
    }
    return {};
}

DeviceSession::DeviceSession(TextOutHub& messages)
    : environment_(messages), progress_(std::make_shared<CConsoleProgressBar>()) {}

DeviceSession::~DeviceSession() {
    reader_.reset();
    writer_.reset();
    environment_.SetProgressBar(nullptr);
    environment_.Shutdown();
}

int DeviceSession::Open(const Arguments& arguments) {
    MidiApiChoice api = MidiApiChoice::Auto;
    if (!ParseMidiApiChoice(arguments.Value("api", "auto"), api))
        return UsageFailure("--api takes alsa, jack or auto");
    int deviceId = -1;
    if (arguments.Has("device-id")) {
        deviceId = ParseShownDeviceId(arguments.Value("device-id"));
        if (deviceId < 0) return UsageFailure("--device-id takes 1 to 32");
    }
    if (arguments.Has("in") != arguments.Has("out"))
        return UsageFailure("give both --in and --out, or neither");

    auto factory = std::make_unique<CNormalMidiDeviceFactory>(api);
    const std::string problem = factory->Problem();
    environment_.BuildStandardPorts();
    environment_.SetFactory(std::move(factory));
    environment_.SetNoticeSink(std::make_shared<CConsoleTextOut>());
    environment_.SetProgressBar(progress_);
    if (!problem.empty()) WriteText(stderr, "tq550: " + problem + "\n");

    CKivMidiIn& input = environment_.InPort(MidiEnvironment::kTq550Pair);
    CKivMidiOut& output = environment_.OutPort(MidiEnvironment::kTq550Pair);
    if (arguments.Has("in")) {
        std::string why;
        const std::string inName =
            ResolvePortName(ListInPortNames(environment_.Factory()), arguments.Value("in"), why);
        if (inName.empty()) return UsageFailure("input " + why);
        const std::string outName =
            ResolvePortName(ListOutPortNames(environment_.Factory()), arguments.Value("out"), why);
        if (outName.empty()) return UsageFailure("output " + why);
        // Ports named on the command line do not touch the stored setup.
        CMemorySettingsStore scratch;
        CMidiSetup setup(environment_, scratch);
        setup.BindIn(input, inName, deviceId >= 0 ? deviceId : 0);
        setup.BindOut(output, outName, deviceId >= 0 ? deviceId : 0);
    } else {
        WithProgramSettings([&](ISettingsStore& settings) {
            CMidiSetup setup(environment_, settings);
            LoadAndAutoSetup(setup);
        });
        if (deviceId >= 0) {
            input.SetDeviceId(static_cast<std::uint8_t>(deviceId));
            output.SetDeviceId(static_cast<std::uint8_t>(deviceId));
        }
    }

    reader_ = std::make_unique<AReader>(environment_);
    reader_->Attach(&input, &output);
    writer_ = std::make_unique<CWriter>(environment_);
    writer_->SetOutput(&output);
    return kExitSuccess;
}
