#include "rtmidi/alsa_sequencer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "midi/midi_test_support.h"
#include "ports/midi_environment.h"
#include "ports/ports_test_support.h"
#include "rtmidi/normal_midi_device_factory.h"
#include "rtmidi/rtmidi_ports.h"
#include "textout/text_out_hub.h"

using namespace std::chrono_literals;

TEST(AlsaSequencer, TakesTheAddressesOfTheAnnounceEventsItNeeds) {
    snd_seq_event_t event{};
    event.type = SND_SEQ_EVENT_PORT_EXIT;
    event.data.addr.client = 24;
    event.data.addr.port = 1;
    std::optional<AlsaAnnounce> announce = AnnounceOf(event);
    ASSERT_TRUE(announce);
    EXPECT_EQ(announce->kind, AlsaAnnounce::Kind::PortExit);
    EXPECT_EQ(announce->address, (AlsaAddress{24, 1}));

    event = {};
    event.type = SND_SEQ_EVENT_PORT_UNSUBSCRIBED;
    event.data.connect.sender = {129, 1};
    event.data.connect.dest = {130, 0};
    announce = AnnounceOf(event);
    ASSERT_TRUE(announce);
    EXPECT_EQ(announce->kind, AlsaAnnounce::Kind::Unsubscribed);
    EXPECT_EQ(announce->sender, (AlsaAddress{129, 1}));
    EXPECT_EQ(announce->dest, (AlsaAddress{130, 0}));

    event = {};
    event.type = SND_SEQ_EVENT_PORT_SUBSCRIBED;
    EXPECT_FALSE(AnnounceOf(event));
    event.type = SND_SEQ_EVENT_NOTEON;
    EXPECT_FALSE(AnnounceOf(event));
}

// The whole path on the real sequencer: a processor of this process (virtual ports, as tq550-emu makes
// them) ends and starts again, and the program's ports are told, re-opened and carry messages again.
TEST(AlsaSequencer, AProcessorThatEndsAndStartsAgainIsReportedAndReconnected) {
    if (access("/dev/snd/seq", R_OK | W_OK) != 0)
        GTEST_SKIP() << "no usable /dev/snd/seq on this machine: the ALSA sequencer cannot be opened";
    auto factory = std::make_unique<CNormalMidiDeviceFactory>(MidiApiChoice::Alsa);
    if (factory->System() != MidiSystemProbe::System::Alsa) GTEST_SKIP() << factory->Problem();
    if (!CAlsaMonitor::Get()) GTEST_SKIP() << "the ALSA sequencer's announce port cannot be read here";

    const std::string client = "TQ-550 ALSA test " + std::to_string(static_cast<long>(getpid()));
    CMidiArrivalSignal processorArrival;
    CRecordingSink processorReceived;
    std::unique_ptr<CMidiInDevice> processorIn;
    std::unique_ptr<CMidiOutDevice> processorOut;
    auto startProcessor = [&] {
        processorIn =
            CreateRtMidiVirtualInDevice(MidiSystemProbe::System::Alsa, client, "MIDI In", processorArrival);
        processorOut = CreateRtMidiVirtualOutDevice(MidiSystemProbe::System::Alsa, client, "MIDI Out");
        ASSERT_TRUE(processorIn && processorOut);
        processorIn->Bind(processorReceived);
        processorOut->SetWireRateMultiple(0);
    };
    startProcessor();

    TextOutHub hub;
    MidiEnvironment environment(hub);
    auto notices = std::make_shared<CRecordingTextOut>();
    environment.SetNoticeSink(notices);
    environment.SetFactory(std::move(factory));
    CRecordingMidiIn in;
    CKivMidiOut out;
    CKivMidiInDevice* inDevice = environment.AddInDevice(environment.CreateInDevice(client + ":MIDI Out"));
    CKivMidiOutDevice* outDevice = environment.AddOutDevice(environment.CreateOutDevice(client + ":MIDI In"));
    ASSERT_TRUE(inDevice && outDevice);
    inDevice->Bind(in);
    out.SetDevice(outDevice);
    auto carries = [&](std::uint8_t program) {
        processorReceived.received.clear();
        in.received.clear();
        out.SendShort(ShortMessage(0xC0, program, 0));
        processorOut->Send(Bytes{0xC0, program});
        const bool sent = WaitUntil(processorArrival, [&] {
            processorIn->Pump();
            return !processorReceived.received.empty();
        });
        const bool received = WaitUntil(environment.Arrival(), [&] {
            environment.PumpFor(in);
            return !in.received.empty();
        });
        return sent && received;
    };
    auto pumpUntilNotices = [&](std::size_t count) {
        return WaitUntil(
            environment.Arrival(),
            [&] {
                environment.PumpFor(in);
                return notices->lines.size() >= count;
            },
            5000ms);
    };
    EXPECT_TRUE(carries(1));

    processorIn.reset();
    processorOut.reset();
    ASSERT_TRUE(pumpUntilNotices(1));
    EXPECT_EQ(notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));

    startProcessor();
    ASSERT_TRUE(pumpUntilNotices(2));
    EXPECT_EQ(notices->lines,
              (std::vector<std::string>{"MIDI devices are disconnected.", "MIDI devices are reconnected."}));
    // The input may come back a moment after the output.
    EXPECT_TRUE(WaitUntil(environment.Arrival(), [&] {
        environment.PumpFor(in);
        return inDevice->Connected();
    }));
    EXPECT_TRUE(carries(2));
    environment.Shutdown();
}
