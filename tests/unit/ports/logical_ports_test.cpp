#include <gtest/gtest.h>

#include <mutex>

#include "device/message_builders.h"
#include "midi/virtual_midi.h"
#include "ports/kiv_midi_in.h"
#include "ports/kiv_midi_out.h"
#include "ports/midi_environment.h"
#include "ports/ports_test_support.h"

namespace {

class CRecordingReceiver : public IKivMidiReceiver {
  public:
    bool OnShortMessage(ShortMessage message) override {
        events.push_back("short " + std::to_string(message.Packed()));
        return true;
    }
    bool OnUniversalMessage(const CKivLongMessage& message) override {
        events.push_back("universal " + std::to_string(message.Size()));
        return true;
    }
    bool OnDataSet(const CKivMarlinMessage& message) override {
        events.push_back("data set " + std::to_string(message.Field(MarlinField::Data).size()));
        return true;
    }
    std::vector<std::string> events;
};

// A TQ-550 input port that forwards to an output port bound to the virtual destination "Through".
struct ForwardingRig {
    ForwardingRig() {
        system->AddDestination("Through", [this](std::span<const std::uint8_t> bytes) {
            forwarded.emplace_back(bytes.begin(), bytes.end());
        });
        factory.SetWireRateMultiple(0);
        through = factory.CreateOutDevice("Through");
        out.SetDevice(through.get());
        in.SetName("TQ-550");
        in.SetModelId({0x00, 0x00, 0x60});
        in.SetDeviceId(0x00);
        in.SetReceiver(&receiver);
        in.SetForwardTo(&out);
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    CVirtualMidiDeviceFactory factory{system};
    std::unique_ptr<CKivMidiOutDevice> through;
    CKivMidiOut out;
    CKivMidiIn in;
    CRecordingReceiver receiver;
    std::vector<Bytes> forwarded;
};

}  // namespace

TEST(KivMidiIn, AcceptsDataSetsOfItsProfileAndForwardsThem) {
    ForwardingRig rig;
    const Bytes dataSet = MakeDataSetMessage(rig.in.Ids(), 0x02000000, Bytes(242, 0x11)).Bytes();
    rig.in.Receive(dataSet);
    EXPECT_EQ(rig.receiver.events, (std::vector<std::string>{"data set 242"}));
    EXPECT_EQ(rig.forwarded, (std::vector<Bytes>{dataSet}));
}

TEST(KivMidiIn, DropsAddressDataMessagesItDoesNotAcceptWithoutForwarding) {
    ForwardingRig rig;
    Bytes badChecksum = MakeDataSetMessage(rig.in.Ids(), 0x02000000, Bytes{1, 2, 3}).Bytes();
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    rig.in.Receive(badChecksum);
    rig.in.Receive(MakeRequestMessage(rig.in.Ids(), 0x02000000, 2178).Bytes());
    rig.in.Receive(MakeDataSetMessage(Tq550DeviceIds(0x05), 0x02000000, Bytes{1}).Bytes());
    rig.in.Receive(Bytes{0xF0, 0x43, 0x10, 0x01, 0xF7});  // another maker
    rig.in.Receive(Bytes{0xF0});
    EXPECT_TRUE(rig.receiver.events.empty());
    EXPECT_TRUE(rig.forwarded.empty());
}

TEST(KivMidiIn, PassesUniversalMessagesButNotIdentityRequests) {
    ForwardingRig rig;
    const Bytes reply{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02,
                      0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF7};
    rig.in.Receive(reply);
    rig.in.Receive(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7});
    rig.in.Receive(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x82, 0xF7});  // not a valid message: byte 80H or above
    EXPECT_EQ(rig.receiver.events, (std::vector<std::string>{"universal 15"}));
    EXPECT_EQ(rig.forwarded, (std::vector<Bytes>{reply}));
}

TEST(KivMidiIn, PassesShortMessagesAndOnlyForwardsRealTimeBytes) {
    ForwardingRig rig;
    rig.in.Receive(Bytes{0x90, 0x3C, 0x64});
    rig.in.Receive(Bytes{0xF8});
    rig.in.Receive(Bytes{0x3C, 0x64});  // a stray data byte is no message
    rig.in.Receive(Bytes{0xF7});
    EXPECT_EQ(rig.receiver.events, (std::vector<std::string>{"short " + std::to_string(0x643C90)}));
    EXPECT_EQ(rig.forwarded, (std::vector<Bytes>{{0x90, 0x3C, 0x64}, {0xF8}}));
}

TEST(KivMidiIn, WithoutReceiverOrForwardingMessagesAreDroppedAndNotKeptForLater) {
    ForwardingRig rig;
    rig.in.SetReceiver(nullptr);
    rig.in.SetForwardTo(nullptr);
    const Bytes dataSet = MakeDataSetMessage(rig.in.Ids(), 0x02000000, Bytes{1}).Bytes();
    for (const Bytes& message : {dataSet, Bytes{0x90, 0x3C, 0x64}, Bytes{0xF8}, Bytes{}})
        rig.in.Receive(message);
    EXPECT_TRUE(rig.receiver.events.empty());
    EXPECT_TRUE(rig.forwarded.empty());

    // Given a receiver and forwarding again, the port passes on only what arrives from then on.
    rig.in.SetReceiver(&rig.receiver);
    rig.in.SetForwardTo(&rig.out);
    rig.in.Receive(Bytes{0xF8});
    EXPECT_TRUE(rig.receiver.events.empty());
    EXPECT_EQ(rig.forwarded, (std::vector<Bytes>{{0xF8}}));

    // Forwarding to an output port without a physical port sends nothing; the receiver still gets its due.
    rig.out.SetDevice(nullptr);
    rig.in.Receive(dataSet);
    EXPECT_EQ(rig.receiver.events, (std::vector<std::string>{"data set 1"}));
    EXPECT_EQ(rig.forwarded, (std::vector<Bytes>{{0xF8}}));
}

TEST(KivMidiOut, BuildsDataSetsAndRequestsFromItsProfile) {
    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    std::vector<Bytes> written;
    system->AddDestination("Out", [&](std::span<const std::uint8_t> bytes) {
        written.emplace_back(bytes.begin(), bytes.end());
    });
    CVirtualMidiDeviceFactory factory(system);
    factory.SetWireRateMultiple(0);
    auto device = factory.CreateOutDevice("Out");

    CKivMidiOut out;
    out.SetDeviceId(0x00);
    out.SetModelId({0x00, 0x00, 0x60});
    // Unbound: only LastSent changes.
    out.SendDataSet(0, Bytes{0x00});
    EXPECT_EQ(out.LastSent(),
              (Bytes{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
    EXPECT_TRUE(written.empty());

    out.SetDevice(device.get());
    out.SendRequest(0x02000000, 0xCD);
    const Bytes request{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x11, 0x10, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0x01, 0x4D, 0x22, 0xF7};
    EXPECT_EQ(out.LastSent(), request);
    out.SendShort(ShortMessage(0xC0, 0x05));
    EXPECT_EQ(written, (std::vector<Bytes>{request, {0xC0, 0x05}}));
}
