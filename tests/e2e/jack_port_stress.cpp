// Opens, uses and closes the backend's JACK ports in a loop, as every device command and every reconnect
// does: an input and an output port of ours against a virtual pair of another client, a message each way,
// then both ports closed, often while the last message is still on its way. Run it with a JACK server
// (tests/e2e/jack-run.sh, scripts/jack-stress.sh):
//
//   jack_port_stress CYCLES [SEED [FIRST]]
//
// The cycles run in child processes of 250 cycles each, so that a crash ends only its child and is counted.
// A child that makes no progress for a minute is killed and counted as hung. A child that crashes or hangs
// shows its threads' stacks first (with gdb, where there is one). The parent opens no JACK client itself,
// so that it has one thread only when it forks. The run ends early after a crash or a hang, or after a
// child none of whose cycles went through: the server is then often no longer usable (scripts/jack-stress.sh
// goes on with a new one, and with FIRST, the number of the cycle to go on with, for the seeds). The last
// line gives the cycles run, the crashes, the hangs, the failed cycles (a port not made, a message not
// delivered whole) and the time per cycle; the exit status is 0 only when all cycles ran and none crashed,
// hung or failed.

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "midi/midi_in_device.h"
#include "midi/midi_out_device.h"
#include "rtmidi/midi_system_probe.h"
#include "rtmidi/rtmidi_ports.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
constexpr auto kJack = MidiSystemProbe::System::Jack;

// Written by a child, read by the parent: shared memory that outlives a crash.
struct Progress {
    std::atomic<std::uint64_t> cycles{0};
    std::atomic<std::uint64_t> failed{0};
};

class CCollector : public IMidiMessageSink {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
    }
    std::vector<Bytes> received;
};

// A note-on or a System Exclusive message of 6 to 2048 bytes, from the generator.
Bytes RandomMessage(std::mt19937& random) {
    if (random() % 4 == 0)
        return {static_cast<std::uint8_t>(0x90 | random() % 16), static_cast<std::uint8_t>(random() % 128),
                static_cast<std::uint8_t>(1 + random() % 127)};
    Bytes bytes(6 + random() % 2043);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    for (std::size_t i = 1; i + 1 < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(random() % 128);
    return bytes;
}

// The virtual pair of the other client, as tq550-emu offers it.
struct Peer {
    Peer(const std::string& name, CMidiArrivalSignal& arrival) {
        out = CreateRtMidiVirtualOutDevice(kJack, name + " Out", "MIDI Out", &error);
        if (out) in = CreateRtMidiVirtualInDevice(kJack, name + " In", "MIDI In", arrival, &error);
        if (in) in->Bind(collector);
        if (out) out->SetWireRateMultiple(0);
    }
    bool Made() const { return in && out; }

    std::string error;
    CCollector collector;
    std::unique_ptr<CMidiOutDevice> out;
    std::unique_ptr<CMidiInDevice> in;
};

// Pumps port until sink holds expected or 5 seconds have passed; whatever else arrived (the other client
// may still get the last message of the cycle before) is let go.
bool Receive(CMidiInDevice& port, CCollector& sink, CMidiArrivalSignal& arrival, const Bytes& expected) {
    const auto deadline = Clock::now() + 5s;
    std::uint64_t seen = arrival.Sequence();
    auto arrived = [&] {
        return std::find(sink.received.begin(), sink.received.end(), expected) != sink.received.end();
    };
    while (!arrived() && Clock::now() < deadline) {
        seen = arrival.WaitNewer(seen, 20ms);
        port.Pump();
    }
    const bool ok = arrived();
    sink.received.clear();
    return ok;
}

void Fail(Progress& progress, std::uint64_t cycle, const std::string& what) {
    progress.failed.fetch_add(1);
    std::fprintf(stderr, "jack_port_stress: cycle %llu: %s\n", static_cast<unsigned long long>(cycle),
                 what.c_str());
}

constexpr int kNoServer = 3;

// A child that crashes shows its threads' stacks first, with gdb where there is one. The signal handler
// makes only async-signal-safe calls; the arguments are made beforehand.
constexpr const char* kGdb = "/usr/bin/gdb";
char crashPid[24];
const char* crashGdb[] = {kGdb, "-p", crashPid, "-batch", "-ex", "thread apply all bt", nullptr};

void OnCrash(int signal) {
    const pid_t gdb = fork();
    if (gdb == 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execve(kGdb, const_cast<char* const*>(crashGdb), environ);
        _exit(127);
    }
    if (gdb > 0) waitpid(gdb, nullptr, 0);
    // Reset by now, and delivered once the handler returns: it ends the child.
    raise(signal);
}

void ReportCrashes() {
    if (access(kGdb, X_OK) != 0) return;
    std::snprintf(crashPid, sizeof crashPid, "%ld", static_cast<long>(getpid()));
    struct sigaction action {};
    action.sa_handler = OnCrash;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE})
        sigaction(signal, &action, nullptr);
}

// One child: cycles first .. first + count - 1.
int RunChild(std::uint64_t first, std::uint64_t count, std::uint32_t seed, Progress& progress) {
    if (ProbeMidiSystem(MidiApiChoice::Jack).system != kJack) return kNoServer;
    ReportCrashes();
    const std::string peerName = "tq550-stress " + std::to_string(static_cast<long>(getpid()));
    CMidiArrivalSignal arrival;
    std::unique_ptr<Peer> peer;
    for (std::uint64_t cycle = first; cycle < first + count; ++cycle) {
        std::mt19937 random(seed ^ static_cast<std::uint32_t>(cycle * 2654435761u));
        // Now and then the other client closes its pair too, as tq550-emu does when it ends.
        if (!peer || random() % 50 == 0) {
            peer.reset();
            peer = std::make_unique<Peer>(peerName, arrival);
            if (!peer->Made()) {
                Fail(progress, cycle, "the other client's ports: " + peer->error);
                peer.reset();
                progress.cycles.fetch_add(1);
                continue;
            }
        }
        std::string error;
        std::unique_ptr<CMidiInDevice> in;
        std::unique_ptr<CMidiOutDevice> out;
        CCollector collector;
        const bool inFirst = random() % 2 == 0;
        if (inFirst) in = CreateRtMidiInDevice(kJack, peerName + " Out:MIDI Out", arrival, &error);
        out = CreateRtMidiOutDevice(kJack, peerName + " In:MIDI In", &error);
        if (!inFirst) in = CreateRtMidiInDevice(kJack, peerName + " Out:MIDI Out", arrival, &error);
        if (!in || !out) {
            Fail(progress, cycle, std::string(in ? "output" : "input") + " port not made: " + error);
        } else {
            in->Bind(collector);
            out->SetWireRateMultiple(0);
            const Bytes there = RandomMessage(random);
            if (!out->Send(there) || !Receive(*peer->in, peer->collector, arrival, there))
                Fail(progress, cycle,
                     "a message of " + std::to_string(there.size()) + " bytes did not arrive");
            const Bytes back = RandomMessage(random);
            if (!peer->out->Send(back) || !Receive(*in, collector, arrival, back))
                Fail(progress, cycle,
                     "a message of " + std::to_string(back.size()) + " bytes did not come back");
            // Mostly close while a last message may still be in the process thread's hands.
            if (random() % 4 != 0) {
                out->Send(RandomMessage(random));
                peer->out->Send(RandomMessage(random));
            }
        }
        if (random() % 2 == 0) {
            in.reset();
            out.reset();
        } else {
            out.reset();
            in.reset();
        }
        progress.cycles.fetch_add(1);
    }
    return 0;
}

// What a hung child is doing, and what the server said last, on standard error (with gdb where there is
// one).
void ShowHang(pid_t child) {
    const std::string pid = std::to_string(static_cast<long>(child));
    std::fflush(nullptr);
    if (std::system("command -v gdb >/dev/null") == 0)
        std::system(
            ("gdb -p " + pid + " -batch -ex 'thread apply all bt' 2>&1 | grep -v '^\\[New LWP' >&2").c_str());
    if (const char* server = std::getenv("JACK_DEFAULT_SERVER"))
        std::system(("grep -v XRun /tmp/" + std::string(server) + ".log | tail -n 30 >&2").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: jack_port_stress CYCLES [SEED [FIRST]]\n");
        return 2;
    }
    const std::uint64_t cycles = std::strtoull(argv[1], nullptr, 10);
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
    const std::uint64_t first = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0;
    constexpr std::uint64_t kChunk = 250;
    void* shared = mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return 2;
    auto* progress = new (shared) Progress;

    std::uint64_t run = 0, crashes = 0, hangs = 0, failed = 0;
    const auto start = Clock::now();
    while (run < cycles) {
        progress->cycles.store(0);
        progress->failed.store(0);
        const std::uint64_t count = std::min(kChunk, cycles - run);
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child < 0) return 2;
        if (child == 0) _exit(RunChild(first + run, count, seed, *progress));
        int status = 0;
        std::uint64_t lastSeen = 0;
        auto lastProgress = Clock::now();
        bool hung = false;
        while (waitpid(child, &status, WNOHANG) == 0) {
            std::this_thread::sleep_for(100ms);
            if (progress->cycles.load() != lastSeen) {
                lastSeen = progress->cycles.load();
                lastProgress = Clock::now();
            } else if (Clock::now() - lastProgress > 60s) {
                ShowHang(child);
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                hung = true;
                break;
            }
        }
        const std::uint64_t done = progress->cycles.load();
        const std::uint64_t failedHere = progress->failed.load();
        failed += failedHere;
        if (hung) {
            ++hangs;
            std::fprintf(stderr, "jack_port_stress: cycle %llu hung\n",
                         static_cast<unsigned long long>(first + run + done));
            run += done + 1;
            // A client that hangs in the graph of a server in synchronous mode leaves the server unusable.
            break;
        } else if (WIFSIGNALED(status)) {
            ++crashes;
            std::fprintf(stderr, "jack_port_stress: cycle %llu crashed with signal %d\n",
                         static_cast<unsigned long long>(first + run + done), WTERMSIG(status));
            run += done + 1;
            // A client that dies in the middle of a cycle can leave the server unusable too.
            break;
        } else {
            if (WEXITSTATUS(status) == kNoServer) {
                std::fprintf(stderr, "jack_port_stress: no JACK server is running\n");
                return 2;
            }
            if (WEXITSTATUS(status) != 0 || done != count) ++failed;
            run += done;
            // Not one cycle of the child went through: the server is no longer usable.
            if (done == 0 || failedHere >= done) break;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("cycles %llu crashes %llu hangs %llu failed %llu seconds %.1f ms-per-cycle %.1f\n",
                static_cast<unsigned long long>(run), static_cast<unsigned long long>(crashes),
                static_cast<unsigned long long>(hangs), static_cast<unsigned long long>(failed), seconds,
                run ? 1000.0 * seconds / static_cast<double>(run) : 0.0);
    return crashes == 0 && hangs == 0 && failed == 0 && run == cycles ? 0 : 1;
}
