#include "rtmidi/alsa_monitor.h"

#include <gtest/gtest.h>

#include "fake_alsa.h"
#include "ports/midi_environment.h"
#include "ports/ports_test_support.h"
#include "textout/text_out_hub.h"

namespace {

const std::string kDisconnected = "MIDI devices are disconnected.";
const std::string kReconnected = "MIDI devices are reconnected.";
constexpr int kProcessorClient = 129;

// A program whose TQ-550 pair is bound to the two ports of a processor on the fake sequencer:
// "VELA TQ-550:MIDI In" (129:0) and "VELA TQ-550:MIDI Out" (129:1).
struct Rig {
    explicit Rig(bool withOutput = true) {
        StartProcessor(kProcessorClient);
        alsa.sequencer->TakeAnnounces();
        environment.SetNoticeSink(notices);
        auto input = std::make_unique<CFakeAlsaInDevice>(alsa, "VELA TQ-550:MIDI Out", environment.Arrival());
        EXPECT_TRUE(input->Create());
        inDevice = input.get();
        environment.AddInDevice(std::move(input))->Bind(in);
        if (!withOutput) return;
        auto output = std::make_unique<CFakeAlsaOutDevice>(alsa, "VELA TQ-550:MIDI In");
        EXPECT_TRUE(output->Create());
        outDevice = output.get();
        out.SetDevice(environment.AddOutDevice(std::move(output)));
    }

    void StartProcessor(int client) {
        alsa.sequencer->OpenClient("VELA TQ-550", client);
        processorIn = alsa.sequencer->AddPort(client, "MIDI In");
        processorOut = alsa.sequencer->AddPort(client, "MIDI Out");
    }
    // The monitor's thread reads what happened; the program is woken and pumps.
    void DeliverAndPump() {
        alsa.Deliver();
        environment.PumpFor(in);
    }
    bool Receives(const Bytes& bytes) {
        inDevice->Emit(processorOut, bytes);
        return WaitUntil(environment.Arrival(), [&] {
            environment.PumpFor(in);
            return !in.received.empty() && in.received.back() == bytes;
        });
    }

    CFakeAlsa alsa;
    CRecordingMidiIn in;
    CKivMidiOut out;
    TextOutHub hub;
    MidiEnvironment environment{hub};
    std::shared_ptr<CRecordingTextOut> notices = std::make_shared<CRecordingTextOut>();
    CFakeAlsaInDevice* inDevice = nullptr;
    CFakeAlsaOutDevice* outDevice = nullptr;
    AlsaAddress processorIn;
    AlsaAddress processorOut;
};

const Bytes kNote{0x90, 0x3C, 0x64};

}  // namespace

TEST(AlsaMonitor, AProcessorThatEndsAndStartsAgainUnderTheSameNumbersIsReportedAndReconnectedWithoutASend) {
    Rig rig;
    rig.out.SendShort(ShortMessage(0x90, 0x3C, 0x64));
    ASSERT_EQ(rig.alsa.written.size(), 1u);
    // The events of the program's own openings concern nobody.
    rig.DeliverAndPump();
    EXPECT_EQ(rig.alsa.opens, 2);

    rig.alsa.sequencer->CloseClient(kProcessorClient);
    rig.DeliverAndPump();
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{kDisconnected}));
    // A transfer now fails at once, and says nothing more.
    EXPECT_FALSE(rig.outDevice->Send(kNote));
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{kDisconnected}));

    rig.StartProcessor(kProcessorClient);
    rig.DeliverAndPump();
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{kDisconnected, kReconnected}));
    EXPECT_TRUE(rig.outDevice->Send(kNote));
    EXPECT_EQ(rig.alsa.written.size(), 2u);
    EXPECT_TRUE(rig.Receives({0xC0, 0x05}));

    // What the re-opening itself announced re-opens nothing again.
    const int opens = rig.alsa.opens;
    rig.DeliverAndPump();
    EXPECT_EQ(rig.alsa.opens, opens);
    EXPECT_EQ(rig.notices->lines.size(), 2u);
}

TEST(AlsaMonitor, APortPluggedInAgainBetweenTwoSendsIsConnectedAgainBeforeTheSecond) {
    // The name is offered all the while it matters; the connection is what the kernel dropped.
    Rig rig;
    rig.out.SendShort(ShortMessage(0x90, 0x3C, 0x64));
    rig.alsa.sequencer->CloseClient(kProcessorClient);
    rig.StartProcessor(kProcessorClient);
    rig.out.SendShort(ShortMessage(0x80, 0x3C, 0x00));
    ASSERT_EQ(rig.alsa.written.size(), 2u);
    EXPECT_EQ(rig.alsa.written[1], (Bytes{0x80, 0x3C, 0x00}));
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{kDisconnected}));
    EXPECT_TRUE(rig.Receives({0xC0, 0x06}));
}

TEST(AlsaMonitor, ConnectionsEndedByAnotherProgramAreMadeAgainOnce) {
    Rig rig;
    EXPECT_TRUE(rig.outDevice->Send(kNote));
    // The input alone: made again without a notice.
    rig.alsa.sequencer->Disconnect(rig.processorOut, rig.inDevice->Own());
    int opens = rig.alsa.opens;
    rig.DeliverAndPump();
    EXPECT_EQ(rig.alsa.opens, opens + 1);
    EXPECT_TRUE(rig.notices->lines.empty());
    EXPECT_TRUE(rig.Receives({0xC0, 0x07}));

    // The output: every port is opened again, and the notice tells of the loss.
    rig.alsa.sequencer->Disconnect(rig.outDevice->Own(), rig.processorIn);
    opens = rig.alsa.opens;
    rig.DeliverAndPump();
    EXPECT_EQ(rig.alsa.opens, opens + 2);
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{kDisconnected}));
    EXPECT_TRUE(rig.outDevice->Send(kNote));
    EXPECT_EQ(rig.alsa.written.size(), 2u);
    // The new connections have the old numbers; the old ones ending, told late, leaves them alone.
    opens = rig.alsa.opens;
    rig.DeliverAndPump();
    EXPECT_EQ(rig.alsa.opens, opens);
    EXPECT_TRUE(rig.Receives({0xC0, 0x08}));
}

TEST(AlsaMonitor, AnInputThatOnlyListensSeesItsPortGoAndComeBackUnderOtherNumbers) {
    Rig rig(false);
    rig.alsa.sequencer->CloseClient(kProcessorClient);
    rig.DeliverAndPump();
    EXPECT_FALSE(rig.inDevice->Connected());

    // Another card index: another client number, the same name.
    rig.StartProcessor(140);
    rig.DeliverAndPump();
    EXPECT_TRUE(rig.inDevice->Connected());
    EXPECT_TRUE(rig.Receives({0xC0, 0x09}));
    EXPECT_TRUE(rig.notices->lines.empty());
}

TEST(AlsaMonitor, EventsOfOtherPortsMarkNothingAndLostEventsMarkEveryPort) {
    Rig rig;
    const int other = rig.alsa.sequencer->OpenClient("Other");
    const AlsaAddress port = rig.alsa.sequencer->AddPort(other, "MIDI Out");
    // A port named like ours, but of another client.
    rig.alsa.sequencer->AddPort(other, "VELA TQ-550:MIDI");
    rig.alsa.sequencer->Connect(port, rig.processorIn);
    rig.alsa.sequencer->Disconnect(port, rig.processorIn);
    rig.alsa.sequencer->CloseClient(other);
    rig.alsa.Deliver();
    EXPECT_FALSE(rig.inDevice->TakeConnectionChanged());
    EXPECT_FALSE(rig.outDevice->TakeConnectionChanged());

    rig.alsa.monitor->Feed({AlsaAnnounce::Kind::Overrun, {}, {}, {}});
    EXPECT_TRUE(rig.inDevice->TakeConnectionChanged());
    EXPECT_TRUE(rig.outDevice->TakeConnectionChanged());
}

TEST(AlsaMonitor, ReadsTheAddressAtTheEndOfRtMidisPortNames) {
    EXPECT_EQ(AlsaAddressOfPortName("VELA TQ-550:MIDI In 129:0"), (AlsaAddress{129, 0}));
    EXPECT_EQ(AlsaAddressOfPortName("Midi Through:Midi Through Port-0 14:0"), (AlsaAddress{14, 0}));
    EXPECT_EQ(AlsaAddressOfPortName("UM-ONE:UM-ONE MIDI 1 24:12"), (AlsaAddress{24, 12}));
    for (const char* name :
         {"VELA TQ-550:MIDI In", "In 129:", "In :0", "In129:0", "129:0", "In 1290000000:0", ""})
        EXPECT_FALSE(AlsaAddressOfPortName(name).Valid()) << name;
}
