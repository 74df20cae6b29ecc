// The virtual processor (tq550-emu) and the program's MIDI layers talking through real JACK ports.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "device/value7.h"
#include "e2e_support.h"
#include "emu/tq550_emulator.h"
#include "jack_server.h"

namespace {

using namespace std::chrono_literals;

class EmulatorOverJack : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Start()) << server.Problem(); }

    // Starts tq550-emu with arguments and waits for its "ready" line.
    bool StartEmulator(CChildProcess& emulator, std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), {"--api", "jack"});
        const std::string log = "/tmp/" + server.Name() + "-emu.log";
        if (!emulator.Start(TQ550_EMU, arguments, log)) return false;
        if (emulator.WaitForLine("ready", 20s)) return true;
        std::ifstream text(log);
        ADD_FAILURE() << "tq550-emu did not start:\n"
                      << std::string(std::istreambuf_iterator<char>(text), {});
        return false;
    }

    // The accepted data sets as (packed address, data).
    static std::vector<std::pair<std::int32_t, Bytes>> Decode(const std::vector<Bytes>& dataSets) {
        std::vector<std::pair<std::int32_t, Bytes>> result;
        for (const Bytes& bytes : dataSets) {
            CKivMarlinMessage message;
            EXPECT_TRUE(message.Parse(bytes, 4));
            result.emplace_back(DecodeValue7(message.Field(MarlinField::Address)),
                                message.Field(MarlinField::Data));
        }
        return result;
    }

    // Requests user patch n and gives its 2178 bytes as answered (empty when the answer is incomplete).
    Bytes ReadPatch(CProgramSide& program, int n) {
        program.receiver.dataSets.clear();
        const std::int32_t base = 0x02000000 + n * 0x4000;
        program.Out().SendRequest(base, 2178);
        if (!program.PumpUntil([&] { return program.receiver.dataSets.size() >= 9; })) return {};
        Bytes image;
        const auto answers = Decode(program.receiver.dataSets);
        for (std::size_t k = 0; k < answers.size(); ++k) {
            EXPECT_EQ(answers[k].first, base + static_cast<std::int32_t>(k) * 242);
            image.insert(image.end(), answers[k].second.begin(), answers[k].second.end());
        }
        return image;
    }

    bool Identify(CProgramSide& program) {
        program.receiver.universal.clear();
        program.Out().SendLong(MakeIdentityRequest(program.Out().GetDeviceId()));
        return program.PumpUntil([&] { return !program.receiver.universal.empty(); }, 10s) &&
               CheckIdentityReply(program.receiver.universal[0], program.Out().GetDeviceId()) ==
                   IdentityVerdict::Accepted;
    }

    CJackTestServer server;
};

}  // namespace

TEST_F(EmulatorOverJack, IdentityAndPatchRequestsTravelThroughJack) {
    CChildProcess emulator;
    ASSERT_TRUE(StartEmulator(emulator, {"--rate", "0"}));
    CProgramSide program;
    ASSERT_TRUE(program.BindToProcessor());
    EXPECT_TRUE(Identify(program));

    const CTq550Emulator reference;
    for (int n : {0, 77, 199}) {
        const Bytes image = ReadPatch(program, n);
        EXPECT_EQ(image, Bytes(reference.UserPatch(n).begin(), reference.UserPatch(n).end())) << n;
    }
    EXPECT_TRUE(program.notices->lines.empty());
}

TEST_F(EmulatorOverJack, DataSetsAreStoredAndSavedAtTheEnd) {
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / (server.Name() + "-saved.tql");
    std::filesystem::remove(saved);
    CChildProcess emulator;
    ASSERT_TRUE(StartEmulator(emulator, {"--rate", "0", "--save", saved.string(), "--device-id", "17"}));
    CProgramSide program;
    ASSERT_TRUE(program.BindToProcessor());
    program.Out().SetDeviceId(16);
    program.In().SetDeviceId(16);
    ASSERT_TRUE(Identify(program));

    Bytes written(2178);
    for (std::size_t i = 0; i < written.size(); ++i)
        written[i] = static_cast<std::uint8_t>((i * 13 + 5) & 0x7F);
    const std::int32_t base = 0x02000000 + 42 * 0x4000;
    for (int k = 0; k < 9; ++k)
        program.Out().SendDataSet(base + k * 242,
                                  std::span<const std::uint8_t>(written).subspan(k * 242u, 242));
    EXPECT_EQ(ReadPatch(program, 42), written);

    EXPECT_EQ(emulator.Terminate(), 0);
    CTq550Emulator reloaded;
    ASSERT_TRUE(reloaded.LoadLibrary(saved));
    EXPECT_EQ(Bytes(reloaded.UserPatch(42).begin(), reloaded.UserPatch(42).end()), written);
    std::filesystem::remove(saved);
}

TEST_F(EmulatorOverJack, EndingAndRestartingTheProcessorGivesOneNoticeEach) {
    CChildProcess emulator;
    ASSERT_TRUE(StartEmulator(emulator, {"--rate", "0"}));
    CProgramSide program;
    ASSERT_TRUE(program.BindToProcessor());
    ASSERT_TRUE(Identify(program));

    ASSERT_EQ(emulator.Terminate(), 0);
    for (int i = 0; i < 3; ++i)
        program.Out().SendLong(MakeIdentityRequest(0));
    EXPECT_EQ(program.notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));

    CChildProcess restarted;
    ASSERT_TRUE(StartEmulator(restarted, {"--rate", "0"}));
    EXPECT_TRUE(Identify(program));
    EXPECT_TRUE(Identify(program));
    EXPECT_EQ(program.notices->lines,
              (std::vector<std::string>{"MIDI devices are disconnected.", "MIDI devices are reconnected."}));
}

TEST_F(EmulatorOverJack, FaultsOfTheProcessor) {
    {
        CChildProcess emulator;
        ASSERT_TRUE(StartEmulator(emulator, {"--rate", "0", "--wrong-family"}));
        CProgramSide program;
        ASSERT_TRUE(program.BindToProcessor());
        program.Out().SendLong(MakeIdentityRequest(0));
        ASSERT_TRUE(program.PumpUntil([&] { return !program.receiver.universal.empty(); }, 10s));
        EXPECT_EQ(CheckIdentityReply(program.receiver.universal[0], 0), IdentityVerdict::OtherModel);
    }
    {
        // Ending after two messages, like an unplugged interface.
        CChildProcess emulator;
        ASSERT_TRUE(StartEmulator(emulator, {"--rate", "0", "--exit-after", "2"}));
        CProgramSide program;
        ASSERT_TRUE(program.BindToProcessor());
        EXPECT_TRUE(Identify(program));
        program.Out().SendLong(MakeIdentityRequest(0));
        EXPECT_EQ(emulator.Wait(10s), 0);
        program.Out().SendLong(MakeIdentityRequest(0));
        EXPECT_EQ(program.notices->lines, (std::vector<std::string>{"MIDI devices are disconnected."}));
    }
    {
        CChildProcess emulator;
        ASSERT_TRUE(
            StartEmulator(emulator, {"--rate", "0", "--bad-checksum", "--stop-answering-after", "1"}));
        CProgramSide program;
        ASSERT_TRUE(program.BindToProcessor());
        CRecordingPort raw;
        program.environment.InPortOf(program.In())->Bind(raw);
        program.Out().SendRequest(0x02000000, 2178);
        ASSERT_TRUE(program.PumpUntil([&] { return raw.received.size() >= 9; }));
        // Every answer arrived, and the port dropped every one for its checksum.
        EXPECT_TRUE(program.receiver.dataSets.empty());
        // The second request is not answered.
        program.Out().SendRequest(0x02000000, 2178);
        EXPECT_FALSE(program.PumpUntil([&] { return raw.received.size() > 9; }, 1s));
    }
}

TEST_F(EmulatorOverJack, WireRatePacingSpreadsAnswersOverTheirWireTime) {
    CChildProcess emulator;
    ASSERT_TRUE(StartEmulator(emulator));
    CProgramSide program;
    ASSERT_TRUE(program.BindToProcessor());
    const auto start = std::chrono::steady_clock::now();
    program.Out().SendRequest(0x0C000000, 2178);
    ASSERT_TRUE(program.PumpUntil([&] { return program.receiver.dataSets.size() >= 9; }));
    // Nine messages of 255 bytes take at least 8 × 81 ms before the last one goes out.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 8 * 81ms);
}

TEST_F(EmulatorOverJack, PortsCommandListsTheProcessorsPorts) {
    CChildProcess emulator;
    ASSERT_TRUE(StartEmulator(emulator));
    CChildProcess ports;
    ASSERT_TRUE(ports.Start(TQ550_CLI, {"ports", "--api", "jack"}));
    const std::string output = ports.ReadAll(20s);
    EXPECT_EQ(ports.Wait(10s), 0);
    EXPECT_NE(output.find("in: VELA TQ-550 Out:MIDI Out\n"), std::string::npos) << output;
    EXPECT_NE(output.find("out: VELA TQ-550 In:MIDI In\n"), std::string::npos) << output;
}
