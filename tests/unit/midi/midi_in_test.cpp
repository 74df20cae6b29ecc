#include "midi/midi_in.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "midi_test_support.h"

namespace {

// An input port without a MIDI system: the test thread plays the callback. While held, the handlers refuse
// every event, as a port whose user-interface thread does not pump would.
class CTestMidiIn : public CMidiIn {
  public:
    ~CTestMidiIn() override { Close(); }

    std::atomic<bool> hold{false};
    std::atomic<int> handled{0};
    std::vector<std::uint32_t> shorts;
    std::vector<Bytes> longs;
    std::vector<std::string> order;  // "short" and "long", as handled
    int opens = 0;
    std::mutex mutex;

    std::size_t Received() {
        std::lock_guard<std::mutex> lock(mutex);
        return shorts.size() + longs.size();
    }

  protected:
    bool OpenPort(const std::string& name) override { return name == "Port A"; }
    void ClosePort() override {}
    bool StartPort() override { return true; }
    void StopPort() override {}
    void OnOpen() override { ++opens; }
    bool OnShortData(std::uint32_t packed) override {
        if (hold) return false;
        std::lock_guard<std::mutex> lock(mutex);
        shorts.push_back(packed);
        order.push_back("short");
        ++handled;
        return true;
    }
    bool OnLongData(std::span<const std::uint8_t> bytes) override {
        if (hold) return false;
        std::lock_guard<std::mutex> lock(mutex);
        longs.emplace_back(bytes.begin(), bytes.end());
        order.push_back("long");
        ++handled;
        return true;
    }
};

bool WaitForCount(CTestMidiIn& in, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (in.Received() < count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

TEST(MidiIn, OpensOnlyTheExactName) {
    CTestMidiIn in;
    EXPECT_FALSE(in.OpenByName("port a"));
    EXPECT_FALSE(in.OpenByName("Port A "));
    EXPECT_FALSE(in.IsOpen());
    EXPECT_FALSE(in.Start());
    EXPECT_TRUE(in.OpenByName("Port A"));
}

TEST(MidiIn, DeliversShortAndLongMessagesInArrivalOrder) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    ASSERT_TRUE(in.Start());
    in.Record(Bytes{0x90, 0x3C, 0x64});
    in.Record(NumberedSysEx(2048, 1));
    in.RecordEvent(CMidiIn::kEventOpen);
    in.Record(Bytes{0xC0, 0x05});
    ASSERT_TRUE(WaitForCount(in, 3));
    EXPECT_EQ(in.shorts, (std::vector<std::uint32_t>{0x643C90, 0x05C0}));
    ASSERT_EQ(in.longs.size(), 1u);
    EXPECT_EQ(in.longs[0], NumberedSysEx(2048, 1));
    EXPECT_TRUE(in.Stop());
    EXPECT_EQ(in.opens, 1);
}

TEST(MidiIn, ADriverEventCannotStandInForSystemExclusiveData) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    in.hold = true;
    ASSERT_TRUE(in.Start());
    // Only a recorded System Exclusive message announces a filled buffer: a "buffer came back" event of its
    // own would take the next message's buffer and let that message overtake the short one.
    in.RecordEvent(CMidiIn::kEventLongData);
    in.Record(Bytes{0x90, 0x3C, 0x64});
    in.Record(NumberedSysEx(20, 1));
    EXPECT_EQ(in.PendingEvents(), 2u);
    in.hold = false;
    ASSERT_TRUE(in.Stop());
    EXPECT_EQ(in.order, (std::vector<std::string>{"short", "long"}));
    ASSERT_EQ(in.longs.size(), 1u);
    EXPECT_EQ(in.longs[0], NumberedSysEx(20, 1));
}

TEST(MidiIn, RecordsNothingWhileNotRunning) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    in.Record(Bytes{0x90, 0x3C, 0x64});
    EXPECT_EQ(in.PendingEvents(), 0u);
    // Stopping a port that does not run gives true and does nothing.
    EXPECT_TRUE(in.Stop());
    ASSERT_TRUE(in.Start());
    ASSERT_TRUE(in.Stop());
    in.Record(Bytes{0x90, 0x3C, 0x64});
    EXPECT_EQ(in.PendingEvents(), 0u);
    // The same object starts again after a stop.
    ASSERT_TRUE(in.Start());
    in.Record(Bytes{0x80, 0x3C, 0x00});
    ASSERT_TRUE(WaitForCount(in, 1));
    EXPECT_EQ(in.shorts, (std::vector<std::uint32_t>{0x3C80}));
}

TEST(MidiIn, StopDeliversWhatWasRecordedBeforeIt) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    ASSERT_TRUE(in.Start());
    for (int i = 0; i < 100; ++i)
        in.Record(Bytes{0x90, static_cast<std::uint8_t>(i), 0x40});
    ASSERT_TRUE(in.Stop());
    EXPECT_EQ(in.Received(), 100u);
}

TEST(MidiIn, ShortMessagesBeyondTheEventRingAreDroppedAndCounted) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    in.hold = true;
    ASSERT_TRUE(in.Start());
    for (std::uint32_t i = 0; i < 3000; ++i)
        in.RecordShort(0x90 | (i & 0x7F) << 8 | (i >> 7 & 0x7F) << 16);
    EXPECT_EQ(in.DroppedForFullRing(), 3000u - 2048u);
    EXPECT_EQ(in.PendingEvents(), 2048u);
    in.hold = false;
    ASSERT_TRUE(WaitForCount(in, 2048));
    ASSERT_TRUE(in.Stop());
    // The first 2048 arrived, in order; none of the dropped ones took the place of a pending one.
    ASSERT_EQ(in.shorts.size(), 2048u);
    for (std::uint32_t i = 0; i < 2048; ++i)
        ASSERT_EQ(in.shorts[i], 0x90 | (i & 0x7F) << 8 | (i >> 7 & 0x7F) << 16) << i;
}

TEST(MidiIn, SysExBeyondThePacketRingIsDroppedAndNothingIsTornOrStale) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    in.hold = true;
    ASSERT_TRUE(in.Start());
    for (std::uint32_t i = 0; i < 200; ++i)
        in.Record(NumberedSysEx(255 + i, i));
    // A short message still fits into the event ring.
    in.Record(Bytes{0xB0, 0x07, 0x64});
    EXPECT_EQ(in.DroppedForFullRing(), 72u);
    in.hold = false;
    ASSERT_TRUE(WaitForCount(in, 129));
    ASSERT_TRUE(in.Stop());
    ASSERT_EQ(in.longs.size(), 128u);
    for (std::uint32_t i = 0; i < 128; ++i)
        ASSERT_EQ(in.longs[i], NumberedSysEx(255 + i, i)) << i;
    EXPECT_EQ(in.shorts, (std::vector<std::uint32_t>{0x6407B0}));
}

TEST(MidiIn, SysExLongerThanOnePacketIsDroppedWhole) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    ASSERT_TRUE(in.Start());
    in.Record(NumberedSysEx(2049, 0));
    in.Record(NumberedSysEx(20, 3));
    ASSERT_TRUE(WaitForCount(in, 1));
    ASSERT_TRUE(in.Stop());
    EXPECT_EQ(in.DroppedOversized(), 1u);
    ASSERT_EQ(in.longs.size(), 1u);
    EXPECT_EQ(in.longs[0], NumberedSysEx(20, 3));
}

TEST(MidiIn, ConcurrentRecordingKeepsEveryMessageIntactAndInOrder) {
    CTestMidiIn in;
    ASSERT_TRUE(in.OpenByName("Port A"));
    ASSERT_TRUE(in.Start());
    // The producer never lets more than the packet ring be outstanding, so nothing may be lost.
    std::thread producer([&] {
        for (std::uint32_t i = 0; i < 2000; ++i) {
            while (in.PendingEvents() >= 100)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            in.Record(NumberedSysEx(64 + i % 300, i));
        }
    });
    producer.join();
    ASSERT_TRUE(WaitForCount(in, 2000));
    ASSERT_TRUE(in.Stop());
    EXPECT_EQ(in.DroppedCount(), 0u);
    for (std::uint32_t i = 0; i < 2000; ++i)
        ASSERT_EQ(in.longs[i], NumberedSysEx(64 + i % 300, i)) << i;
}
