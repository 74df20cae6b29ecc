#include "rtmidi/midi_system_probe.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#ifdef TQ_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif
#ifdef TQ_HAVE_JACK
#include <jack/jack.h>
#include <unistd.h>
#endif

bool ParseMidiApiChoice(const std::string& text, MidiApiChoice& choice) {
    if (text == "auto")
        choice = MidiApiChoice::Auto;
    else if (text == "alsa")
        choice = MidiApiChoice::Alsa;
    else if (text == "jack")
        choice = MidiApiChoice::Jack;
    else
        return false;
    return true;
}

const char* MidiApiChoiceName(MidiApiChoice choice) {
    switch (choice) {
        case MidiApiChoice::Alsa:
            return "alsa";
        case MidiApiChoice::Jack:
            return "jack";
        default:
            return "auto";
    }
}

const char* MidiSystemName(MidiSystemProbe::System system) {
    switch (system) {
        case MidiSystemProbe::System::Alsa:
            return "ALSA";
        case MidiSystemProbe::System::Jack:
            return "JACK";
        case MidiSystemProbe::System::Native:
            return "native";
        default:
            return "none";
    }
}

namespace {

#ifdef TQ_HAVE_ALSA
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Empty when the sequencer opens, else why not.
std::string AlsaProblem() {
    snd_seq_t* sequencer = nullptr;
    const int result = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, 0);
    if (result < 0) return std::string("the ALSA sequencer cannot be opened (") + snd_strerror(result) + ")";
    snd_seq_close(sequencer);
    return {};
}
#endif

#ifdef TQ_HAVE_JACK
void QuietJackMessage(const char*) {}

std::string JackProblem() {
    jack_status_t status{};
    // Names are per process: JACK clients of the same name opened at the same moment on two servers can
    // make each other fail.
    const std::string name = "TQ-550 Librarian probe " + std::to_string(static_cast<long>(getpid()));
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client) {
        if (status & JackServerFailed) return "no JACK server is running";
        char code[16];
        std::snprintf(code, sizeof code, "%#x", static_cast<unsigned>(status));
        return std::string("the JACK server refused a client (status ") + code + ")";
    }
    jack_client_close(client);
    return {};
}
#endif

}  // namespace

void SilenceMidiLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
#ifdef TQ_HAVE_ALSA
        snd_lib_error_set_handler(QuietAlsaError);
#endif
#ifdef TQ_HAVE_JACK
        jack_set_error_function(QuietJackMessage);
        jack_set_info_function(QuietJackMessage);
#endif
    });
}

MidiSystemProbe ProbeMidiSystem(MidiApiChoice choice) {
    SilenceMidiLibraries();
    MidiSystemProbe probe;
#if defined(TQ_WITHOUT_RTMIDI)
    static_cast<void>(choice);
    probe.problem =
        "No MIDI ports: this program was built without RtMidi, with the in-process virtual MIDI "
        "system only.";
#elif defined(TQ_HAVE_ALSA) || defined(TQ_HAVE_JACK)
    std::string alsaProblem = "this program was built without ALSA";
    std::string jackProblem = "this program was built without JACK";
#ifdef TQ_HAVE_ALSA
    if (choice != MidiApiChoice::Jack) {
        alsaProblem = AlsaProblem();
        if (alsaProblem.empty()) {
            probe.system = MidiSystemProbe::System::Alsa;
            return probe;
        }
    }
#endif
#ifdef TQ_HAVE_JACK
    if (choice != MidiApiChoice::Alsa) {
        jackProblem = JackProblem();
        if (jackProblem.empty()) {
            probe.system = MidiSystemProbe::System::Jack;
            return probe;
        }
    }
#endif
    switch (choice) {
        case MidiApiChoice::Alsa:
            probe.problem = "No MIDI ports: " + alsaProblem + ".";
            break;
        case MidiApiChoice::Jack:
            probe.problem = "No MIDI ports: " + jackProblem + ".";
            break;
        default:
            probe.problem = "No MIDI ports: " + alsaProblem + ", and " + jackProblem + ".";
            break;
    }
#else
    if (choice == MidiApiChoice::Auto)
        probe.system = MidiSystemProbe::System::Native;
    else
        probe.problem =
            std::string("No MIDI ports: ") + MidiApiChoiceName(choice) + " is not available here.";
#endif
    return probe;
}
