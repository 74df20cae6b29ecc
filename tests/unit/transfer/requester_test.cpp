// The request/answer engine against a hand-made responder.
#include <gtest/gtest.h>

#include <algorithm>

#include "device/message_builders.h"
#include "midi/virtual_midi.h"
#include "textout/text_out_hub.h"
#include "transfer/midi_requester.h"
#include "transfer_rig.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
const char kPort[] = "Responder";
// The time-out of tries that are meant to go unanswered: short, so that the tests are quick.
constexpr std::chrono::milliseconds kUnanswered{200};
// The time-out of tries that are meant to be answered: long, so that a loaded machine cannot make an answer
// late. The wait ends as soon as the answer is there.
constexpr std::chrono::milliseconds kAnswered{20000};

// An environment whose pair 0 talks to a responder that answers every message with `answers(message)`.
struct ResponderRig {
    explicit ResponderRig(std::function<std::vector<Bytes>(const Bytes&)> respond)
        : answers(std::move(respond)) {
        system->AddSource(kPort);
        system->AddDestination(kPort, [this](std::span<const std::uint8_t> bytes) {
            ++received;
            for (const Bytes& answer : answers(Bytes(bytes.begin(), bytes.end())))
                system->Emit(kPort, answer);
        });
        auto factory = std::make_unique<CVirtualMidiDeviceFactory>(system);
        factory->SetWireRateMultiple(0);
        environment.SetFactory(std::move(factory));
        environment.BuildStandardPorts();
        environment.AddInDevice(environment.CreateInDevice(kPort))->Bind(environment.InPort(0));
        environment.OutPort(0).SetDevice(environment.AddOutDevice(environment.CreateOutDevice(kPort)));
        requester.Attach(&environment.InPort(0), &environment.OutPort(0));
        requester.SetTimeout(kUnanswered);
        hub.SetTextOut(TextOutHub::kMessageBoxSlot, messages);
    }
    ~ResponderRig() { environment.Shutdown(); }

    std::function<std::vector<Bytes>(const Bytes&)> answers;
    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CKivMidiRequester requester{environment};
    std::shared_ptr<RecordingTextOut> messages = std::make_shared<RecordingTextOut>();
    std::atomic<int> received{0};
};

Bytes DataSet(PackedAddress address, std::size_t size) {
    return MakeDataSetMessage(Tq550DeviceIds(), address, Bytes(size, 0x11)).Bytes();
}

Bytes IdentityReply(std::size_t length) {
    const Bytes full = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x60, 0x02,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7};
    // Cut or padded to length - 1 bytes, then ended. (Not by resize: GCC 12 at -O3 reports a false
    // out-of-bounds copy in the resize of a vector made from a list.)
    Bytes reply(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(std::min(length - 1, full.size())));
    while (reply.size() < length - 1)
        reply.push_back(0x00);
    reply.push_back(0xF7);
    return reply;
}
}  // namespace

TEST(Requester, OnlyAnAnswerOfTheRequestedAddressAndSizeEndsTheWait) {
    const PackedAddress address = 0x02000000;
    ResponderRig wrong([&](const Bytes&) {
        return std::vector<Bytes>{DataSet(address, 9), DataSet(address, 11), DataSet(address + 1, 10)};
    });
    EXPECT_FALSE(wrong.requester.Request(address, 10));
    EXPECT_EQ(wrong.received, 2);
    EXPECT_EQ(wrong.messages->texts.size(), 1u);
    EXPECT_EQ(wrong.requester.GetState(), CKivMidiRequester::kIdle);

    ResponderRig right([&](const Bytes&) {
        return std::vector<Bytes>{DataSet(address + 1, 10), DataSet(address, 10)};
    });
    right.requester.SetTimeout(kAnswered);
    EXPECT_TRUE(right.requester.Request(address, 10));
    EXPECT_EQ(right.received, 1);
    EXPECT_TRUE(right.messages->texts.empty());
}

TEST(Requester, IdentityRepliesOfTheWrongLengthDoNotIdentify) {
    for (std::size_t length : {14u, 16u}) {
        ResponderRig rig([&](const Bytes&) { return std::vector<Bytes>{IdentityReply(length)}; });
        AReader reader(rig.environment);
        reader.Attach(&rig.environment.InPort(0), &rig.environment.OutPort(0));
        reader.SetTimeout(kUnanswered);
        EXPECT_FALSE(reader.IdentifyDevice()) << length;
        EXPECT_EQ(rig.received, 2) << length;
        EXPECT_EQ(rig.messages->texts.size(), 1u) << length;
    }
    ResponderRig good([&](const Bytes&) { return std::vector<Bytes>{IdentityReply(15)}; });
    AReader reader(good.environment);
    reader.Attach(&good.environment.InPort(0), &good.environment.OutPort(0));
    reader.SetTimeout(kAnswered);
    EXPECT_TRUE(reader.IdentifyDevice());
}

TEST(Requester, TheSecondTrySucceedsWhenTheFirstGoesUnanswered) {
    // Only the second request is answered. The first try waits out its whole time-out, so it stays short;
    // the answer comes within microseconds of the second request, far inside the same time.
    ResponderRig rig([&](const Bytes&) {
        return rig.received == 2 ? std::vector<Bytes>{IdentityReply(15)} : std::vector<Bytes>{};
    });
    rig.requester.SetTimeout(std::chrono::milliseconds(2000));
    EXPECT_TRUE(rig.requester.Exchange(MakeIdentityRequest(0)));
    EXPECT_TRUE(rig.messages->texts.empty());
}

TEST(Requester, WithoutPortsNothingIsSentAndNothingShown) {
    ResponderRig rig([](const Bytes&) { return std::vector<Bytes>{}; });
    CKivMidiRequester unattached(rig.environment);
    EXPECT_FALSE(unattached.Exchange(MakeIdentityRequest(0)));
    EXPECT_FALSE(unattached.Request(0x02000000, 10));
    EXPECT_TRUE(rig.messages->texts.empty());
    EXPECT_EQ(rig.received, 0);
}

TEST(Requester, DetachingOnDestructionLeavesNoDanglingReceiver) {
    ResponderRig rig([](const Bytes&) { return std::vector<Bytes>{}; });
    {
        AReader reader(rig.environment);
        reader.Attach(&rig.environment.InPort(0), &rig.environment.OutPort(0));
        EXPECT_EQ(rig.environment.InPort(0).GetReceiver(), &reader);
    }
    EXPECT_EQ(rig.environment.InPort(0).GetReceiver(), nullptr);
}
