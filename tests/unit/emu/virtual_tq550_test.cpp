#include "emu/virtual_tq550.h"

#include <gtest/gtest.h>

#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "midi/midi_arrival.h"
#include "ports/midi_environment.h"
#include "ports/ports_test_support.h"

namespace {

// The program's side: an environment with the standard ports, pair 0 bound to the virtual processor.
struct Rig {
    explicit Rig(Tq550EmulatorOptions options = {})
        : device(system, options, CVirtualTq550::kDefaultPortName, 0) {
        auto factory = std::make_unique<CVirtualMidiDeviceFactory>(system);
        factory->SetWireRateMultiple(0);
        environment.SetFactory(std::move(factory));
        environment.SetNoticeSink(notices);
        environment.BuildStandardPorts();
        in().SetReceiver(&receiver);
        environment.AddInDevice(environment.CreateInDevice(device.PortName()))->Bind(in());
        out().SetDevice(environment.AddOutDevice(environment.CreateOutDevice(device.PortName())));
    }
    CKivMidiIn& in() { return environment.InPort(0); }
    CKivMidiOut& out() { return environment.OutPort(0); }
    // Pumps, blocking on input, until done() or five seconds.
    bool PumpUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            environment.PumpWait(in());
        }
        return true;
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    CVirtualTq550 device;
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CCollectingReceiver receiver;
    std::shared_ptr<CRecordingTextOut> notices = std::make_shared<CRecordingTextOut>();
};

}  // namespace

TEST(VirtualTq550, IdentifiesItselfAndAnswersRequestsThroughTheEnvironment) {
    Rig rig;
    rig.out().SendLong(MakeIdentityRequest(0x00));
    ASSERT_TRUE(rig.PumpUntil([&] { return !rig.receiver.universal.empty(); }));
    EXPECT_EQ(CheckIdentityReply(rig.receiver.universal[0], 0x00), IdentityVerdict::Accepted);

    rig.out().SendRequest(0x02000000 + 7 * 0x4000, 2178);
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.receiver.dataSets.size() >= 9; }));
    EXPECT_EQ(rig.receiver.dataSets.size(), 9u);
}

TEST(VirtualTq550, StoresWhatTheProgramWrites) {
    Rig rig;
    rig.out().SendDataSet(0x0C000000, Bytes{'N', 'E', 'W'});
    rig.device.WaitIdle();
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.TemporaryPatch()[0]; }), 'N');
}

TEST(VirtualTq550, EndingLikeAnUnpluggedInterfaceGivesOneNotice) {
    Rig rig({.exitAfter = 1});
    rig.out().SendLong(MakeIdentityRequest(0x00));
    rig.device.WaitIdle();
    ASSERT_TRUE(rig.device.Unplugged());
    rig.out().SendLong(MakeIdentityRequest(0x00));
    rig.out().SendLong(MakeIdentityRequest(0x00));
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));
}

TEST(VirtualTq550, ReplugGivesThePortsBackWithoutTheFault) {
    Rig rig({.exitAfter = 1});
    rig.device.Replug();  // nothing while plugged in
    rig.out().SendLong(MakeIdentityRequest(0x00));
    rig.device.WaitIdle();
    ASSERT_TRUE(rig.device.Unplugged());
    EXPECT_FALSE(rig.system->HasDestination(rig.device.PortName()));

    rig.device.Replug();
    EXPECT_FALSE(rig.device.Unplugged());
    EXPECT_TRUE(rig.system->HasSource(rig.device.PortName()));
    EXPECT_TRUE(rig.system->HasDestination(rig.device.PortName()));
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.Options().exitAfter; }), -1);
    // Written data is stored again, and the processor stays.
    rig.environment.OutPort(0).GetDevice()->CheckConnection();
    rig.out().SendDataSet(0x0C000000, Bytes{'B', 'A', 'C', 'K'});
    rig.device.WaitIdle();
    EXPECT_FALSE(rig.device.Unplugged());
    EXPECT_EQ(rig.device.WithEmulator([](CTq550Emulator& e) { return e.TemporaryPatch()[0]; }), 'B');
}
