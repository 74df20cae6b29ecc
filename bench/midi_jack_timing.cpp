// Timing of the MIDI input over JACK: 10,000 System Exclusive messages of 255 bytes are sent through a
// JACK server to an input port of ours and delivered by Pump. Reports losses (must be 0), damaged or
// reordered messages (must be 0), the delivery rate and the latency from send to delivery.
// Run it with a JACK server, for example through bench/midi_jack_timing.sh.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "rtmidi/midi_system_probe.h"
#include "rtmidi/normal_midi_device_factory.h"
#include "rtmidi/rtmidi_ports.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kLength = 255;

// Message i: F0 7D (non-commercial id), i in three 7-bit bytes, a body that depends on i, F7.
std::vector<std::uint8_t> Message(std::uint32_t i) {
    std::vector<std::uint8_t> bytes(kLength);
    bytes[0] = 0xF0;
    bytes[1] = 0x7D;
    bytes[2] = static_cast<std::uint8_t>(i >> 14 & 0x7F);
    bytes[3] = static_cast<std::uint8_t>(i >> 7 & 0x7F);
    bytes[4] = static_cast<std::uint8_t>(i & 0x7F);
    for (std::size_t k = 5; k + 1 < kLength; ++k)
        bytes[k] = static_cast<std::uint8_t>((i * 7 + k) & 0x7F);
    bytes[kLength - 1] = 0xF7;
    return bytes;
}

class CCheckingPort : public IMidiMessageSink {
  public:
    CCheckingPort(std::vector<std::atomic<std::int64_t>>& sent) : sent_(sent) {}

    void Receive(std::span<const std::uint8_t> bytes) override {
        const auto now = Clock::now().time_since_epoch().count();
        if (bytes.size() != kLength || bytes[0] != 0xF0 || bytes[1] != 0x7D) {
            ++damaged;
            return;
        }
        const std::uint32_t i =
            static_cast<std::uint32_t>(bytes[2]) << 14 | static_cast<std::uint32_t>(bytes[3]) << 7 | bytes[4];
        if (i >= sent_.size() || !std::equal(bytes.begin(), bytes.end(), Message(i).begin())) {
            ++damaged;
            return;
        }
        if (i != next) ++outOfOrder;
        next = i + 1;
        ++received;
        latencies.push_back(now - sent_[i].load());
    }

    std::uint32_t received = 0;
    std::uint32_t damaged = 0;
    std::uint32_t outOfOrder = 0;
    std::uint32_t next = 0;
    std::vector<std::int64_t> latencies;

  private:
    std::vector<std::atomic<std::int64_t>>& sent_;
};

double Milliseconds(std::int64_t ticks) {
    return std::chrono::duration<double, std::milli>(Clock::duration(ticks)).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint32_t count = argc > 1 ? static_cast<std::uint32_t>(std::stoul(argv[1])) : 10000;
    const MidiSystemProbe probe = ProbeMidiSystem(MidiApiChoice::Jack);
    if (probe.system != MidiSystemProbe::System::Jack) {
        std::fprintf(stderr, "midi_jack_timing: %s\n", probe.problem.c_str());
        return 1;
    }

    std::string error;
    CMidiArrivalSignal arrival;
    auto sender = CreateRtMidiVirtualOutDevice(probe.system, "tq550 timing", "MIDI Out", &error);
    if (!sender) {
        std::fprintf(stderr, "midi_jack_timing: cannot open the sending port: %s\n", error.c_str());
        return 1;
    }
    // No wire-rate wait: the backend's own JACK pacing alone decides the rate.
    sender->SetWireRateMultiple(0);
    CNormalMidiDeviceFactory factory(MidiApiChoice::Jack);
    auto receiver = factory.CreateInDevice("tq550 timing:MIDI Out", arrival);
    if (!receiver) {
        std::fprintf(stderr, "midi_jack_timing: cannot open the receiving port: %s\n",
                     factory.LastError().c_str());
        return 1;
    }
    auto* in = dynamic_cast<CMidiInDevice*>(receiver.get());

    std::vector<std::atomic<std::int64_t>> sent(count);
    CCheckingPort port(sent);
    port.latencies.reserve(count);
    receiver->Bind(port);

    const auto start = Clock::now();
    std::atomic<bool> sending{true};
    std::thread sendThread([&] {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::vector<std::uint8_t> message = Message(i);
            sent[i].store(Clock::now().time_since_epoch().count());
            if (!sender->Send(message)) std::fprintf(stderr, "midi_jack_timing: send %u failed\n", i);
        }
        sending.store(false);
    });

    // Deliver on this thread, as the user-interface thread does; stop when everything arrived or when
    // nothing more came for two seconds after the last send.
    std::uint64_t seen = arrival.Sequence();
    auto lastProgress = Clock::now();
    std::uint32_t lastCount = 0;
    while (port.received + port.damaged < count) {
        seen = arrival.WaitNewer(seen, std::chrono::milliseconds(2));
        receiver->Pump();
        if (port.received != lastCount) {
            lastCount = port.received;
            lastProgress = Clock::now();
        } else if (!sending.load() && Clock::now() - lastProgress > std::chrono::seconds(2)) {
            break;
        }
    }
    const auto end = Clock::now();
    sendThread.join();

    std::vector<std::int64_t> latencies = port.latencies;
    std::sort(latencies.begin(), latencies.end());
    const double seconds = std::chrono::duration<double>(end - start).count();
    const std::uint32_t lost = count - port.received - port.damaged;
    std::printf("messages sent:        %u of %zu bytes\n", count, kLength);
    std::printf("delivered intact:     %u\n", port.received);
    std::printf("lost:                 %u\n", lost);
    std::printf("damaged:              %u\n", port.damaged);
    std::printf("out of order:         %u\n", port.outOfOrder);
    std::printf("dropped by the rings: %llu\n", static_cast<unsigned long long>(in ? in->DroppedCount() : 0));
    std::printf("duration:             %.2f s\n", seconds);
    std::printf("delivery rate:        %.0f messages/s, %.1f KB/s\n", port.received / seconds,
                port.received * kLength / seconds / 1000.0);
    if (!latencies.empty()) {
        std::printf("latency, median:      %.2f ms\n", Milliseconds(latencies[latencies.size() / 2]));
        std::printf("latency, 99th pct:    %.2f ms\n", Milliseconds(latencies[latencies.size() * 99 / 100]));
        std::printf("latency, worst:       %.2f ms\n", Milliseconds(latencies.back()));
    }
    receiver.reset();
    sender.reset();
    return lost == 0 && port.damaged == 0 && port.outOfOrder == 0 ? 0 : 1;
}
