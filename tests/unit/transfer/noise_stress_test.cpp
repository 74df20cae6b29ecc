// Reads from the virtual processor while another thread floods the same input with System Exclusive
// messages that must not be taken (near misses of the processor's data sets among them) and bursts of
// real-time bytes. Not a timing test: the noise is paced only so that reads get through now and then.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "midi/midi_in.h"
#include "model/data.h"
#include "textout/message_catalog.h"
#include "transfer_rig.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kSysExMessages = 100000;
// Bursts of 50 messages 5 ms apart stay below what the rings take in 10 ms; every 400th burst is 300
// messages, more than the 128 receive buffers hold, so that messages (answers of the processor among them)
// are dropped for a full ring now and then.
constexpr int kBurst = 50;
constexpr int kFloodEvery = 400;
constexpr int kFlood = 300;
constexpr auto kPause = std::chrono::milliseconds(5);

const std::string kConnectionProblem = [] {
    MessageCatalog catalog;
    AddStandardMessages(catalog);
    return catalog.Text(MSG_CONNECTION_PROBLEM);
}();

// System Exclusive messages the TQ-550 profile of device 00H must not accept, of many kinds.
class NoiseMaker {
  public:
    explicit NoiseMaker(unsigned seed) : random_(seed) {}

    Bytes NextSysEx() {
        for (;;) {
            Bytes message = Make();
            CKivMarlinMessage parsed;
            // Whatever the dice made, it is noise only if the port would drop it.
            if (JudgeMarlinMessage(message, Tq550DeviceIds(0), parsed) != MarlinVerdict::DataSet)
                return message;
        }
    }

    // One to twenty real-time bytes.
    std::vector<Bytes> RealTimeBurst() {
        static constexpr std::uint8_t kRealTime[] = {0xF8, 0xFA, 0xFB, 0xFC, 0xFE, 0xFF};
        std::vector<Bytes> burst(Pick(1, 20));
        for (Bytes& byte : burst)
            byte = {kRealTime[Pick(0, 5)]};
        return burst;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  private:
    Bytes Data(int low, int high) {
        Bytes data(static_cast<std::size_t>(Pick(low, high)));
        for (std::uint8_t& b : data)
            b = static_cast<std::uint8_t>(Pick(0, 0x7F));
        return data;
    }

    // An address inside the user patches, where a read stores what it accepts.
    PackedAddress PatchAddress() {
        const CParameterAddress addresses;
        return addresses.GetAddress(AREA_USER_PATCH, Pick(0, USER_PATCH_COUNT - 1), BLOCK_PATCH, 0) +
               Pick(0, PATCH_BLOCK_SIZE - 1);
    }

    Bytes Make() {
        const int kind = Pick(0, 99);
        if (kind < 30) {  // anything
            Bytes message{0xF0};
            const Bytes body = Data(0, 300);
            message.insert(message.end(), body.begin(), body.end());
            message.push_back(0xF7);
            return message;
        }
        if (kind < 50) {  // a data set of the processor with a wrong checksum
            Bytes message = MakeDataSetMessage(Tq550DeviceIds(0), PatchAddress(), Data(1, 242)).Bytes();
            message[message.size() - 2] =
                static_cast<std::uint8_t>((message[message.size() - 2] + Pick(1, 127)) & 0x7F);
            return message;
        }
        if (kind < 62)  // a good data set of another device id
            return MakeDataSetMessage(Tq550DeviceIds(static_cast<std::uint8_t>(Pick(1, 31))), PatchAddress(),
                                      Data(1, 242))
                .Bytes();
        if (kind < 72) {  // a good data set of another model
            DeviceIds other = Tq550DeviceIds(0);
            other.modelId = {0x00, 0x00, static_cast<std::uint8_t>(Pick(0x61, 0x7F))};
            return MakeDataSetMessage(other, PatchAddress(), Data(1, 242)).Bytes();
        }
        if (kind < 80)  // a data request, as the program sends them
            return MakeRequestMessage(Tq550DeviceIds(0), PatchAddress(), Pick(1, 2178)).Bytes();
        if (kind < 86) {  // a data set whose body holds a byte above 7FH
            Bytes message = MakeDataSetMessage(Tq550DeviceIds(0), PatchAddress(), Data(1, 242)).Bytes();
            message[static_cast<std::size_t>(Pick(2, static_cast<int>(message.size()) - 2))] |= 0x80;
            return message;
        }
        if (kind < 92)  // an identity request
            return MakeIdentityRequest(static_cast<std::uint8_t>(Pick(0, 0x7F))).Bytes();
        if (kind < 96) {  // an identity reply for another device id, or of another length
            Bytes reply{0xF0, 0x7E, static_cast<std::uint8_t>(Pick(1, 0x7F)),
                        0x06, 0x02, 0x41,
                        0x60, 0x02, 0x00,
                        0x00, 0x00, 0x01,
                        0x00, 0x00, 0xF7};
            if (Pick(0, 1) == 0) {
                reply[2] = 0x00;
                reply.insert(reply.begin() + 8, 0x00);
            }
            return reply;
        }
        // A message longer than one receive buffer: dropped whole, and counted.
        Bytes message{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12};
        const Bytes body = Data(2100, 3000);
        message.insert(message.end(), body.begin(), body.end());
        message.push_back(0xF7);
        return message;
    }

    std::mt19937 random_;
};

// 200 patches named by their position, with a memo and data of their own.
CPatchArray MarkedList() {
    CPatchArray patches;
    patches.Resize(USER_PATCH_COUNT);
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        patches[i].SetName("LOCAL " + std::to_string(i));
        patches[i].SetMemo(0, "kept");
        Block& block = patches[i].PatchBlock();
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>(0x7F - ((b + i) & 0x3F));
    }
    return patches;
}

}  // namespace

TEST(TransferUnderNoise, AReadGivesTheRightDataOrTheConnectionMessageNeverWrongData) {
    TransferRig rig;
    const CPatchArray initial = MarkedList();
    std::vector<PatchImage> device(USER_PATCH_COUNT);
    for (int n = 0; n < USER_PATCH_COUNT; ++n)
        device[static_cast<std::size_t>(n)] =
            rig.device.WithEmulator([&](CTq550Emulator& e) { return e.UserPatch(n); });

    std::atomic<bool> noiseDone{false};
    std::thread noise([&] {
        NoiseMaker maker(20240611);
        for (int sent = 0, bursts = 0; sent < kSysExMessages; ++bursts) {
            const int burst = bursts % kFloodEvery == kFloodEvery - 1 ? kFlood : kBurst;
            for (int i = 0; i < burst && sent < kSysExMessages; ++i) {
                if (maker.Pick(0, 4) == 0) {
                    for (const Bytes& byte : maker.RealTimeBurst())
                        rig.system->Emit(rig.device.PortName(), byte);
                } else {
                    rig.system->Emit(rig.device.PortName(), maker.NextSysEx());
                    ++sent;
                }
            }
            std::this_thread::sleep_for(kPause);
        }
        noiseDone = true;
    });

    // Every patch holds, byte for byte, either what it held or what the processor holds; a read that
    // succeeds holds the processor's data in every patch it read, and one that fails says so once.
    const auto check = [&](const CPatchArray& patches, bool ok, std::span<const int> numbers) {
        for (std::size_t n = 0; n < patches.GetSize(); ++n) {
            const PatchImage image = patches[n].GetImage();
            const PatchImage before = initial[n].GetImage();
            for (std::size_t b = 0; b < image.size(); ++b)
                ASSERT_TRUE(image[b] == before[b] || image[b] == device[n][b])
                    << "patch " << n << " byte " << b;
        }
        if (ok) {
            for (int n : numbers)
                ASSERT_EQ(patches[static_cast<std::size_t>(n)].GetImage(),
                          device[static_cast<std::size_t>(n)]);
            ASSERT_TRUE(rig.messages->texts.empty());
        } else {
            ASSERT_EQ(rig.messages->texts, std::vector<std::string>{kConnectionProblem});
        }
    };

    int reads = 0;
    int completed = 0;
    while (!noiseDone) {
        const int numbers[] = {(reads * 37) % USER_PATCH_COUNT, (reads * 37 + 101) % USER_PATCH_COUNT,
                               (reads * 37 + 150) % USER_PATCH_COUNT};
        CPatchArray patches = initial;
        rig.messages->texts.clear();
        const bool ok = rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches);
        check(patches, ok, numbers);
        if (HasFatalFailure()) break;
        ++reads;
        completed += ok ? 1 : 0;
    }
    noise.join();
    const auto* port = dynamic_cast<const CMidiIn*>(rig.environment.InPortOf(rig.environment.InPort(0)));
    ASSERT_NE(port, nullptr);
    std::cout << reads << " reads during the noise, " << completed
              << " complete; dropped: " << port->DroppedForFullRing() << " for a full ring, "
              << port->DroppedOversized() << " longer than a buffer\n";
    // The messages over 2048 bytes were dropped at the port, whole.
    EXPECT_GT(port->DroppedOversized(), 0u);

    // Once the noise has passed, reading works as ever.
    const int numbers[] = {0, 99, 199};
    CPatchArray patches = initial;
    rig.messages->texts.clear();
    ASSERT_TRUE(rig.reader.ReadPatchesFromDevice(AREA_USER_PATCH, numbers, patches));
    check(patches, true, numbers);
    EXPECT_GT(reads, 0);
}
