#include "midi/virtual_midi.h"

#include <gtest/gtest.h>

#include <mutex>

#include "midi/midi_test_support.h"
#include "ports/midi_environment.h"
#include "textout/text_out_hub.h"

namespace {

// A virtual system with one source and one destination named "Interface"; what reaches the destination is
// kept in written.
struct VirtualRig {
    VirtualRig() {
        system->AddSource("Interface");
        system->AddDestination("Interface", [this](std::span<const std::uint8_t> bytes) {
            std::lock_guard<std::mutex> lock(mutex);
            written.emplace_back(bytes.begin(), bytes.end());
        });
        factory.SetWireRateMultiple(0);
    }
    std::vector<Bytes> Written() {
        std::lock_guard<std::mutex> lock(mutex);
        return written;
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    CVirtualMidiDeviceFactory factory{system};
    CMidiArrivalSignal arrival;
    std::mutex mutex;
    std::vector<Bytes> written;
};

}  // namespace

TEST(VirtualMidi, ListsItsPortsAndOpensOnlyExactNames) {
    VirtualRig rig;
    rig.system->AddSource("Second");
    EXPECT_EQ(ListInPortNames(rig.factory), (std::vector<std::string>{"Interface", "Second"}));
    EXPECT_EQ(ListOutPortNames(rig.factory), (std::vector<std::string>{"Interface"}));
    EXPECT_EQ(rig.factory.CreateInDevice("interface", rig.arrival), nullptr);
    EXPECT_EQ(rig.factory.CreateOutDevice("Interface 2"), nullptr);
    auto in = rig.factory.CreateInDevice("Interface", rig.arrival);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->Name(), "Interface");
}

TEST(VirtualMidi, InputTravelsThroughTheRingsToPump) {
    VirtualRig rig;
    auto device = rig.factory.CreateInDevice("Interface", rig.arrival);
    ASSERT_NE(device, nullptr);
    CRecordingSink port;
    device->Bind(port);

    rig.system->Emit("Interface", Bytes{0x90, 0x3C, 0x64});
    rig.system->Emit("Interface", Bytes{0xFE});        // active sensing: dropped at the pump
    rig.system->Emit("Interface", Bytes{0xF8});        // timing clock: dropped at the pump
    rig.system->Emit("Interface", Bytes{0xF1, 0x10});  // system common: dropped at the pump
    rig.system->Emit("Interface", NumberedSysEx(2048, 9));
    ASSERT_TRUE(WaitUntil(rig.arrival, [&] {
        device->Pump();
        return port.received.size() >= 2;
    }));
    ASSERT_EQ(port.received.size(), 2u);
    EXPECT_EQ(port.received[0], (Bytes{0x90, 0x3C, 0x64}));
    EXPECT_EQ(port.received[1], NumberedSysEx(2048, 9));
}

TEST(VirtualMidi, NothingIsLostWhileTheUserInterfaceDoesNotPump) {
    VirtualRig rig;
    auto created = rig.factory.CreateInDevice("Interface", rig.arrival);
    auto* device = dynamic_cast<CVirtualMidiInDevice*>(created.get());
    ASSERT_NE(device, nullptr);
    CRecordingSink port;
    device->Bind(port);

    // 100 full packets fit into the delivery ring; of the next 100 only part does, the rest waits in the
    // input rings until the pump makes room.
    for (std::uint32_t i = 0; i < 100; ++i)
        rig.system->Emit("Interface", NumberedSysEx(2048, i));
    ASSERT_TRUE(WaitUntil(rig.arrival, [&] { return device->PendingEvents() == 0; }));
    for (std::uint32_t i = 100; i < 200; ++i)
        rig.system->Emit("Interface", NumberedSysEx(2048, i));
    ASSERT_TRUE(WaitUntil(rig.arrival, [&] { return device->PendingEvents() <= 73; }));
    EXPECT_GT(device->PendingEvents(), 0u);
    ASSERT_TRUE(WaitUntil(rig.arrival, [&] {
        device->Pump();
        return port.received.size() >= 200;
    }));
    EXPECT_EQ(device->DroppedCount(), 0u);
    ASSERT_EQ(port.received.size(), 200u);
    for (std::uint32_t i = 0; i < 200; ++i)
        ASSERT_EQ(port.received[i], NumberedSysEx(2048, i)) << i;
}

TEST(VirtualMidi, OutputSendsShortAndLongMessages) {
    VirtualRig rig;
    auto device = rig.factory.CreateOutDevice("Interface");
    ASSERT_NE(device, nullptr);
    // Bytes beginning 90H go as a short message of three bytes, whatever follows.
    EXPECT_TRUE(device->Send(Bytes{0x90, 0x3C, 0x64, 0x11, 0x22}));
    EXPECT_TRUE(device->Send(Bytes{0xC0, 0x05}));
    EXPECT_TRUE(device->Send(NumberedSysEx(2048, 1)));
    EXPECT_EQ(rig.Written(), (std::vector<Bytes>{{0x90, 0x3C, 0x64}, {0xC0, 0x05}, NumberedSysEx(2048, 1)}));
}

TEST(VirtualMidi, RefusesSysExLongerThan2048Bytes) {
    VirtualRig rig;
    auto created = rig.factory.CreateOutDevice("Interface");
    auto* device = dynamic_cast<CVirtualMidiOutDevice*>(created.get());
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->Send(NumberedSysEx(2049, 1)));
    EXPECT_EQ(device->RefusedCount(), 1u);
    EXPECT_TRUE(rig.Written().empty());
}

TEST(VirtualMidi, SysExSendWaitsForTheWireTime) {
    VirtualRig rig;
    rig.factory.SetWireRateMultiple(1);
    auto device = rig.factory.CreateOutDevice("Interface");
    ASSERT_NE(device, nullptr);
    // 17 bytes need 17 × 1000 / 3125 = 5 ms on the wire.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(device->Send(NumberedSysEx(17, 0)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5));
}

TEST(MidiArrival, WaitReturnsWhenInputArrivesAndTimesOutOtherwise) {
    VirtualRig rig;
    TextOutHub messages;
    MidiEnvironment environment(messages);
    environment.SetFactory(std::make_unique<CVirtualMidiDeviceFactory>(rig.system));
    CKivMidiIn& port = environment.AddInPort(CKivMidiIn());
    environment.AddInDevice(environment.CreateInDevice("Interface"))->Bind(port);
    environment.WaitForInput(std::chrono::milliseconds(0));  // forget earlier arrivals
    EXPECT_FALSE(environment.WaitForInput(std::chrono::milliseconds(20)));
    rig.system->Emit("Interface", Bytes{0x90, 0x3C, 0x64});
    EXPECT_TRUE(environment.WaitForInput(std::chrono::seconds(5)));
}
