#include "ports/midi_environment.h"

#include <gtest/gtest.h>

#include "device/message_builders.h"
#include "midi/virtual_midi.h"
#include "ports/ports_test_support.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {

struct EnvironmentRig {
    EnvironmentRig() {
        system->AddSource("Interface");
        system->AddDestination("Interface", [this](std::span<const std::uint8_t> bytes) {
            written.emplace_back(bytes.begin(), bytes.end());
        });
        auto created = std::make_unique<CVirtualMidiDeviceFactory>(system);
        created->SetWireRateMultiple(0);
        environment.SetFactory(std::move(created));
        environment.SetNoticeSink(notices);
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    TextOutHub hub;
    MidiEnvironment environment{hub};
    std::shared_ptr<CRecordingTextOut> notices = std::make_shared<CRecordingTextOut>();
    std::vector<Bytes> written;
};

}  // namespace

TEST(MidiEnvironment, BuildsTheThreePortPairsOfTheStartUpTable) {
    TextOutHub hub;
    MidiEnvironment environment(hub);
    environment.BuildStandardPorts();
    ASSERT_EQ(environment.InPortCount(), 3u);
    ASSERT_EQ(environment.OutPortCount(), 3u);
    const Bytes model{0x00, 0x00, 0x60};
    EXPECT_EQ(environment.InPort(0).GetName(), "TQ-550");
    EXPECT_EQ(environment.InPort(0).GetModelId(), model);
    EXPECT_EQ(environment.InPort(0).GetDeviceId(), 0x00);
    EXPECT_EQ(environment.InPort(1).GetName(), "");
    EXPECT_TRUE(environment.InPort(1).GetModelId().empty());
    EXPECT_EQ(environment.InPort(1).GetDeviceId(), 0x10);
    EXPECT_EQ(environment.OutPort(1).GetDeviceId(), 0x00);
    EXPECT_EQ(environment.InPort(1).GetForwardTo(), &environment.OutPort(1));
    EXPECT_EQ(environment.OutPort(2).GetName(), "TQ-MAX");
    EXPECT_EQ(environment.OutPort(2).GetModelId(), model);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(environment.InPort(i).GetManufacturerId(), 0x41);
        EXPECT_EQ(environment.OutPort(i).GetAddressWidth(), 4);
    }
    EXPECT_EQ(environment.FindInPortByName("TQ-MAX"), &environment.InPort(2));
    EXPECT_EQ(environment.FindOutPortByName("tq-550"), nullptr);
    EXPECT_EQ(environment.FindInPortByName(""), &environment.InPort(1));
}

TEST(MidiEnvironment, PortsBoundToOnePhysicalPortAllReceiveInBindingOrder) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    std::vector<std::string> order;
    struct COrderPort : CKivMidiIn {
        std::vector<std::string>* order;
        std::string tag;
        void Receive(std::span<const std::uint8_t>) override { order->push_back(tag); }
    };
    COrderPort first, second;
    first.order = second.order = &order;
    first.tag = "first";
    second.tag = "second";
    CKivMidiInDevice* device = environment.AddInDevice(environment.CreateInDevice("Interface"));
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->Bind(second));
    EXPECT_TRUE(device->Bind(first));
    EXPECT_FALSE(device->Bind(second));  // bound once only
    EXPECT_EQ(device->Bound().size(), 2u);
    rig.system->Emit("Interface", Bytes{0x90, 0x3C, 0x64});
    ASSERT_TRUE(WaitUntil(environment.Arrival(), [&] {
        environment.PumpFor(first);
        return order.size() >= 2;
    }));
    EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
}

TEST(MidiEnvironment, ThroughPairDoesNotForwardTq550DataSets) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    environment.BuildStandardPorts();
    CKivMidiInDevice* in = environment.AddInDevice(environment.CreateInDevice("Interface"));
    CKivMidiOutDevice* out = environment.AddOutDevice(environment.CreateOutDevice("Interface"));
    ASSERT_TRUE(in && out);
    in->Bind(environment.InPort(MidiEnvironment::kThroughPair));
    environment.OutPort(MidiEnvironment::kThroughPair).SetDevice(out);

    const Bytes dataSet = MakeDataSetMessage(Tq550DeviceIds(0x00), 0x02000000, Bytes{1, 2}).Bytes();
    rig.system->Emit("Interface", dataSet);
    rig.system->Emit("Interface", Bytes{0xB0, 0x07, 0x64});
    CKivMidiIn& through = environment.InPort(MidiEnvironment::kThroughPair);
    ASSERT_TRUE(WaitUntil(environment.Arrival(), [&] {
        environment.PumpFor(through);
        return !rig.written.empty();
    }));
    EXPECT_EQ(rig.written, (std::vector<Bytes>{{0xB0, 0x07, 0x64}}));
}

TEST(MidiEnvironment, ActiveSensingNeverReachesReceive) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    CRecordingMidiIn port;
    environment.AddInDevice(environment.CreateInDevice("Interface"))->Bind(port);
    rig.system->Emit("Interface", Bytes{0xFE});
    rig.system->Emit("Interface", Bytes{0x80, 0x3C, 0x00});
    ASSERT_TRUE(WaitUntil(environment.Arrival(), [&] {
        environment.PumpFor(port);
        return !port.received.empty();
    }));
    EXPECT_EQ(port.received, (std::vector<Bytes>{{0x80, 0x3C, 0x00}}));
}

TEST(MidiEnvironment, ClearBindingsUnbindsEverything) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    environment.BuildStandardPorts();
    CKivMidiInDevice* in = environment.AddInDevice(environment.CreateInDevice("Interface"));
    in->Bind(environment.InPort(0));
    in->Bind(environment.InPort(2));
    environment.OutPort(0).SetDevice(environment.AddOutDevice(environment.CreateOutDevice("Interface")));
    EXPECT_EQ(environment.InPortOf(environment.InPort(0)), in);
    EXPECT_EQ(environment.InPortOf(environment.InPort(1)), nullptr);
    environment.ClearBindings();
    for (std::size_t i = 0; i < environment.InPortCount(); ++i)
        EXPECT_EQ(environment.InPortOf(environment.InPort(i)), nullptr);
    EXPECT_EQ(environment.OutPort(0).GetDevice(), nullptr);
    EXPECT_TRUE(environment.InDevices().empty());
    EXPECT_TRUE(environment.OutDevices().empty());
    environment.PumpFor(environment.InPort(0));  // unbound: nothing happens
}

TEST(MidiEnvironment, LostAndRegainedPortsGiveOneNoticeEachAndAreReopened) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    CRecordingMidiIn in;
    environment.AddInDevice(environment.CreateInDevice("Interface"))->Bind(in);
    CKivMidiOut out;
    out.SetDevice(environment.AddOutDevice(environment.CreateOutDevice("Interface")));

    out.SendShort(ShortMessage(0x90, 0x3C, 0x64));
    EXPECT_TRUE(rig.notices->lines.empty());  // the first check on a present port is silent
    ASSERT_EQ(rig.written.size(), 1u);

    // Unplugged: three sends, one notice, nothing written.
    rig.system->RemoveDestination("Interface");
    rig.system->RemoveSource("Interface");
    for (int i = 0; i < 3; ++i)
        out.SendShort(ShortMessage(0x90, 0x3C, 0x64));
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));
    EXPECT_EQ(rig.written.size(), 1u);

    // Plugged in again: the next send re-opens every port and gives one notice.
    rig.system->AddSource("Interface");
    rig.system->AddDestination("Interface", [&](std::span<const std::uint8_t> bytes) {
        rig.written.emplace_back(bytes.begin(), bytes.end());
    });
    out.SendShort(ShortMessage(0x80, 0x3C, 0x00));
    out.SendShort(ShortMessage(0x80, 0x3C, 0x00));
    EXPECT_EQ(rig.notices->lines,
              (std::vector<std::string>{"MIDI devices are disconnected.", "MIDI devices are reconnected."}));
    EXPECT_EQ(rig.written.size(), 3u);
    // The input port was re-opened too.
    rig.system->Emit("Interface", Bytes{0xC0, 0x01});
    ASSERT_TRUE(WaitUntil(environment.Arrival(), [&] {
        environment.PumpFor(in);
        return !in.received.empty();
    }));
    EXPECT_EQ(in.received, (std::vector<Bytes>{{0xC0, 0x01}}));
}

TEST(MidiEnvironment, PortsMarkedByTheirMidiSystemAreCheckedAtTheNextPumpWithoutASend) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    CRecordingMidiIn in;
    auto* inDevice =
        dynamic_cast<CMidiInDeviceA*>(environment.AddInDevice(environment.CreateInDevice("Interface")));
    ASSERT_NE(inDevice, nullptr);
    inDevice->Bind(in);
    CKivMidiOut out;
    CKivMidiOutDevice* outDevice = environment.AddOutDevice(environment.CreateOutDevice("Interface"));
    out.SetDevice(outDevice);
    out.SendShort(ShortMessage(0x90, 0x3C, 0x64));

    // A wake-up without marks checks nothing.
    rig.system->RemoveDestination("Interface");
    inDevice->NotifyPortsChanged();
    environment.PumpFor(in);
    EXPECT_TRUE(rig.notices->lines.empty());

    // Marked while the program only listens: told at once.
    outDevice->MarkConnectionChanged();
    inDevice->NotifyPortsChanged();
    environment.PumpFor(in);
    EXPECT_EQ(rig.notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));
    EXPECT_FALSE(outDevice->TakeConnectionChanged());

    rig.system->AddDestination("Interface", [&](std::span<const std::uint8_t> bytes) {
        rig.written.emplace_back(bytes.begin(), bytes.end());
    });
    outDevice->MarkConnectionChanged();
    inDevice->NotifyPortsChanged();
    environment.PumpFor(in);
    EXPECT_EQ(rig.notices->lines,
              (std::vector<std::string>{"MIDI devices are disconnected.", "MIDI devices are reconnected."}));
    out.SendShort(ShortMessage(0x80, 0x3C, 0x00));
    EXPECT_EQ(rig.written.size(), 2u);
}

TEST(MidiEnvironment, TextSlotsAreThoseOfTheHub) {
    TextOutHub hub;
    MidiEnvironment environment(hub);
    auto sink = std::make_shared<CRecordingTextOut>();
    environment.SetTextOut(TextOutHub::kBufferSlot, sink);
    EXPECT_EQ(hub.GetTextOut(TextOutHub::kBufferSlot), sink.get());
    hub.SetTextOut(3, sink);
    EXPECT_EQ(environment.GetTextOut(3), sink.get());
    EXPECT_EQ(&environment.TextOut(), &hub);
    // Without a notice sink, notices go to the buffering slot.
    environment.ShowNotice(MSG_DEVICES_RECONNECTED);
    EXPECT_EQ(sink->lines, (std::vector<std::string>{"MIDI devices are reconnected."}));
}

TEST(MidiEnvironment, PumpWaitDeliversInput) {
    EnvironmentRig rig;
    MidiEnvironment& environment = rig.environment;
    CRecordingMidiIn port;
    environment.AddInDevice(environment.CreateInDevice("Interface"))->Bind(port);
    rig.system->Emit("Interface", Bytes{0x90, 0x3C, 0x64});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (port.received.empty() && std::chrono::steady_clock::now() < deadline)
        environment.PumpWait(port);
    EXPECT_EQ(port.received.size(), 1u);
}
