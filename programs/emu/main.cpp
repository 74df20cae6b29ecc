// tq550-emu: the virtual TQ-550 processor on real MIDI ports (RtMidi virtual ports on ALSA or JACK).

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emu/tq550_emulator.h"
#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "platform/program_arguments.h"
#include "platform/standard_streams.h"
#include "platform/utf8_path.h"
#include "rtmidi/midi_system_probe.h"
#include "rtmidi/rtmidi_ports.h"

namespace {

constexpr const char* kHelp =
    "Usage: tq550-emu [OPTIONS]\n"
    "A virtual TQ-550 on MIDI ports that other programs connect to. It answers the identity request,\n"
    "answers data requests with data-set messages and stores the data sets it receives.\n"
    "\n"
    "Ports: the processor listens on \"NAME In:MIDI In\" and sends on \"NAME Out:MIDI Out\".\n"
    "\n"
    "Options:\n"
    "  --api alsa|jack|auto       MIDI system (default auto: ALSA when its sequencer opens, else JACK)\n"
    "  --device-id N              device id as shown to users, 1-32 (default 1, that is id 0)\n"
    "  --port-name NAME           name of the ports' clients (default \"VELA TQ-550\")\n"
    "  --rate N                   send at N times the MIDI wire rate of 31 250 bit/s; 0: no pacing\n"
    "                             (default 1)\n"
    "  --load FILE.tql            fill the user patches from a library file at start\n"
    "  --save FILE.tql            save the user patches as a library file when ending\n"
    "  --stop-answering-after N   answer nothing after N received messages\n"
    "  --bad-checksum             send data sets with wrong checksums\n"
    "  --wrong-family             answer the identity request with another model's family code\n"
    "  --exit-after N             end after N received messages, like an unplugged interface\n"
    "  --verbose                  log every message received and sent on standard error\n"
    "  --help                     show this text\n"
    "\n"
    "When its ports are open it prints one line beginning \"ready\" on standard output. It ends on\n"
    "SIGINT or SIGTERM (saving its memory when --save is given).\n";

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) {
    stopRequested.store(true);
}

struct Settings {
    MidiApiChoice api = MidiApiChoice::Auto;
    Tq550EmulatorOptions emulator;
    std::string portName = "VELA TQ-550";
    int rate = 1;
    std::string load;
    std::string save;
    bool verbose = false;
};

int Usage(const std::string& message) {
    std::cerr << "tq550-emu: " << message << "\nTry 'tq550-emu --help'.\n";
    return 2;
}

std::optional<long> Number(const std::string& text, long low, long high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

// Gives the exit status of a usage error or of --help, or -1 to go on.
int Parse(const std::vector<std::string>& words, Settings& settings) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        auto value = [&]() -> const std::string* { return i + 1 < words.size() ? &words[++i] : nullptr; };
        if (word == "--help" || word == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (word == "--bad-checksum")
            settings.emulator.corruptChecksums = true;
        else if (word == "--wrong-family")
            settings.emulator.wrongFamilyCode = true;
        else if (word == "--verbose")
            settings.verbose = true;
        else if (word == "--api" || word == "--device-id" || word == "--port-name" || word == "--rate" ||
                 word == "--load" || word == "--save" || word == "--stop-answering-after" ||
                 word == "--exit-after") {
            const std::string* text = value();
            if (!text) return Usage(word + " needs a value");
            if (word == "--api") {
                if (!ParseMidiApiChoice(*text, settings.api)) return Usage("--api takes alsa, jack or auto");
            } else if (word == "--device-id") {
                const auto id = Number(*text, 1, 32);
                if (!id) return Usage("--device-id takes 1 to 32");
                settings.emulator.deviceId = static_cast<std::uint8_t>(*id - 1);
            } else if (word == "--port-name") {
                if (text->empty()) return Usage("--port-name needs a name");
                settings.portName = *text;
            } else if (word == "--rate") {
                const auto rate = Number(*text, 0, 100000);
                if (!rate) return Usage("--rate takes a whole number from 0");
                settings.rate = static_cast<int>(*rate);
            } else if (word == "--load") {
                settings.load = *text;
            } else if (word == "--save") {
                settings.save = *text;
            } else {
                const auto count = Number(*text, 0, 1000000000);
                if (!count) return Usage(word + " takes a whole number from 0");
                (word == "--exit-after" ? settings.emulator.exitAfter
                                        : settings.emulator.stopAnsweringAfter) = *count;
            }
        } else {
            return Usage("unknown option " + word);
        }
    }
    return -1;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < 24; ++i) {
        if (i) text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    if (bytes.size() > 24) text += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

// The processor's side of its ports: every message its input port delivers goes to the emulator, and the
// answers go out at once (each send waits for its wire time).
class CEmulatorPort : public IMidiMessageSink {
  public:
    CEmulatorPort(CTq550Emulator& emulator, CMidiOutDevice& out, bool verbose)
        : emulator_(emulator), out_(out), verbose_(verbose) {}

    void Receive(std::span<const std::uint8_t> bytes) override {
        if (verbose_) std::cerr << "tq550-emu: in  " << Hex(bytes) << "\n";
        const std::uint64_t begun = emulator_.TemporaryWritesBegun();
        const std::uint64_t ended = emulator_.TemporaryWritesEnded();
        const std::vector<CTq550Emulator::Message> answers = emulator_.Receive(bytes);
        if (verbose_) ReportTemporary(begun, ended);
        for (const auto& answer : answers) {
            if (verbose_) std::cerr << "tq550-emu: out " << Hex(answer) << "\n";
            if (!out_.Send(answer)) std::cerr << "tq550-emu: could not send an answer\n";
        }
    }

  private:
    // A write of the temporary patch that began or ended with this message, with the time of the system's
    // steady clock (milliseconds), which other programs on the computer can compare theirs with.
    void ReportTemporary(std::uint64_t begun, std::uint64_t ended) const {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count();
        if (emulator_.TemporaryWritesBegun() != begun)
            std::cerr << "tq550-emu: temporary patch write " << emulator_.TemporaryWritesBegun()
                      << " begins at " << now << " ms\n";
        if (emulator_.TemporaryWritesEnded() != ended) {
            const auto& image = emulator_.TemporaryPatch();
            std::string name(image.begin(), image.begin() + PATCH_NAME_LENGTH);
            std::cerr << "tq550-emu: temporary patch now \"" << name.substr(0, name.find_last_not_of(' ') + 1)
                      << "\" at " << now << " ms\n";
        }
    }

    CTq550Emulator& emulator_;
    CMidiOutDevice& out_;
    bool verbose_;
};

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    UseBinaryStandardStreams();
    if (const int status = Parse(ProgramArguments(argc, argv), settings); status >= 0) return status;

#ifdef _WIN32
    // Ctrl+C and Ctrl+Break in the console; the C runtime turns them into these signals.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGBREAK, RequestStop);
#else
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
#endif

    CTq550Emulator emulator(settings.emulator);
    if (!settings.load.empty() && !emulator.LoadLibrary(PathFromUtf8(settings.load))) {
        std::cerr << "tq550-emu: cannot read the library file " << settings.load << "\n";
        return 1;
    }

    const MidiSystemProbe probe = ProbeMidiSystem(settings.api);
    if (probe.system == MidiSystemProbe::System::None) {
        std::cerr << "tq550-emu: " << probe.problem << "\n";
        return 1;
    }
    // The ports' client names are fixed, so that programs find them; a JACK client of the same name opened
    // at the same moment on another server can make the opening fail, so a failure is tried again a few
    // times.
    std::string error;
    const std::string inClient = settings.portName + " In";
    const std::string outClient = settings.portName + " Out";
    // The ports have no owner: a lost output port re-opens only itself, and nobody is told.
    CMidiArrivalSignal arrival;
    std::unique_ptr<CMidiOutDevice> out;
    std::unique_ptr<CMidiInDevice> in;
    for (int attempt = 0; attempt < 10 && !stopRequested.load(); ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100 + 50 * attempt));
        if (!out) out = CreateRtMidiVirtualOutDevice(probe.system, outClient, "MIDI Out", &error);
        if (out && !in) in = CreateRtMidiVirtualInDevice(probe.system, inClient, "MIDI In", arrival, &error);
        if (in && out) break;
    }
    if (!out || !in) {
        std::cerr << "tq550-emu: cannot open the " << (out ? "input" : "output") << " port: " << error
                  << "\n";
        return 1;
    }
    out->SetWireRateMultiple(settings.rate);
    CEmulatorPort port(emulator, *out, settings.verbose);
    in->Bind(port);

    std::cout << "ready on " << MidiSystemName(probe.system) << ": listening on \"" << inClient
              << ":MIDI In\", sending on \"" << outClient << ":MIDI Out\", device id "
              << static_cast<int>(settings.emulator.deviceId) + 1 << std::endl;

    std::uint64_t seen = arrival.Sequence();
    while (!stopRequested.load() && !emulator.ShouldExit()) {
        seen = arrival.WaitNewer(seen, std::chrono::milliseconds(100));
        in->Pump();
    }

    const bool unplugged = emulator.ShouldExit() && !stopRequested.load();
    // Close the ports before anything else ends: the MIDI system must not outlive them.
    in.reset();
    out.reset();
    int status = 0;
    if (!settings.save.empty()) {
        if (emulator.SaveLibrary(PathFromUtf8(settings.save))) {
            std::cerr << "tq550-emu: saved the user patches to " << settings.save << "\n";
        } else {
            std::cerr << "tq550-emu: cannot save the library file " << settings.save << "\n";
            status = 1;
        }
    }
    if (unplugged) std::cerr << "tq550-emu: ending after " << emulator.ReceivedCount() << " messages\n";
    if (settings.verbose)
        std::cerr << "tq550-emu: " << emulator.ReceivedCount() << " messages received, "
                  << emulator.AnsweredRequests() << " requests answered, " << emulator.StoredDataSets()
                  << " data sets stored\n";
    return status;
}
