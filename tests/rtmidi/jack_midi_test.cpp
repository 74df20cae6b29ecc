// The parts of the backend's JACK ports that need no server: the joining of input events into messages and
// the ring that hands output to the process thread.

#include <gtest/gtest.h>

#include <thread>

#include "midi/midi_test_support.h"
#include "rtmidi/jack_input_joiner.h"
#include "rtmidi/jack_output_ring.h"

namespace {

// The messages the joiner delivers for events.
std::vector<Bytes> Join(CJackInputJoiner& joiner, const std::vector<Bytes>& events) {
    std::vector<Bytes> messages;
    for (const Bytes& event : events)
        joiner.Take(event, [&](std::span<const std::uint8_t> message) {
            messages.emplace_back(message.begin(), message.end());
        });
    return messages;
}

// Splits message into events of at most size bytes.
std::vector<Bytes> Split(const Bytes& message, std::size_t size) {
    std::vector<Bytes> events;
    for (std::size_t start = 0; start < message.size(); start += size)
        events.emplace_back(
            message.begin() + static_cast<std::ptrdiff_t>(start),
            message.begin() + static_cast<std::ptrdiff_t>(std::min(message.size(), start + size)));
    return events;
}

}  // namespace

// What RtMidi 5's JACK input made of the same events (seen on a JACK server), after the input filter.
TEST(JackInputJoiner, JoinsEventsAsRtMidisJackInputDid) {
    CJackInputJoiner joiner;
    using Events = std::vector<Bytes>;
    EXPECT_EQ(Join(joiner, Events{{0xF0, 1, 2}, {3, 4, 0xF7}}), (Events{{0xF0, 1, 2, 3, 4, 0xF7}}));
    EXPECT_EQ(Join(joiner, Events{{0x90, 0x40, 0x7F}, {0xF0, 5, 0xF7}, {0xF0, 6, 0xF7}}),
              (Events{{0x90, 0x40, 0x7F}, {0xF0, 5, 0xF7}, {0xF0, 6, 0xF7}}));
    // Clock, time code and active sensing are dropped; inside an open message RtMidi joined them into it
    // (F0 01 F8 02 F7), which the filter drops.
    EXPECT_TRUE(Join(joiner, Events{{0xF8}, {0xF1, 0x10}, {0xFE}, {}}).empty());
    EXPECT_TRUE(Join(joiner, Events{{0xF0, 1}, {0xF8}, {2, 0xF7}}).empty());
    EXPECT_TRUE(Join(joiner, Events{{0xF0, 1}, {0xFE}, {2, 0xF7}}).empty());
    // A note inside an open message joins it (F0 01 90 40 7F F7): dropped.
    EXPECT_TRUE(Join(joiner, Events{{0xF0, 1}, {0x90, 0x40, 0x7F}, {0xF7}}).empty());
    EXPECT_EQ(Join(joiner, Events{{0x80, 0x40, 0}}), (Events{{0x80, 0x40, 0}}));

    // The longest message a packet takes, in pieces, comes whole.
    const Bytes longest = NumberedSysEx(CMidiPacket::kSize, 3);
    EXPECT_EQ(Join(joiner, Split(longest, 100)), (Events{longest}));
    // A longer one comes with one byte more than a packet takes, its last byte last, so that recording
    // counts it as too long...
    const Bytes tooLong = NumberedSysEx(3000, 7);
    const Events joined = Join(joiner, Split(tooLong, 1000));
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].size(), CMidiPacket::kSize + 1);
    EXPECT_TRUE(std::equal(joined[0].begin(), joined[0].end() - 1, tooLong.begin()));
    EXPECT_EQ(joined[0].back(), 0xF7);
    // ... unless a byte left out would have failed the filter.
    Bytes broken = tooLong;
    broken[2500] = 0x90;
    EXPECT_TRUE(Join(joiner, Split(broken, 1000)).empty());
    EXPECT_EQ(Join(joiner, Events{{0xF0, 9, 0xF7}}), (Events{{0xF0, 9, 0xF7}}));

    // A reset forgets an open message.
    EXPECT_TRUE(Join(joiner, Events{{0xF0, 1, 2}}).empty());
    joiner.Reset();
    EXPECT_EQ(Join(joiner, Events{{0x90, 0x40, 0x7F}}), (Events{{0x90, 0x40, 0x7F}}));
}

// One thread writes, another reads, as the sending thread and the process thread do; every message comes
// out whole and in order, also across the end of the storage, and a full ring refuses a message.
TEST(JackOutputRing, MessagesComeOutWholeAndInOrderBetweenTwoThreads) {
    CJackOutputRing ring;
    EXPECT_EQ(ring.FrontSize(), 0u);
    ring.Drop();
    EXPECT_FALSE(ring.Push(Bytes(CJackOutputRing::kMaxMessage + 1)));
    EXPECT_FALSE(ring.Push(Bytes()));
    std::size_t stored = 0;
    while (ring.Push(NumberedSysEx(1000, 0)))
        ++stored;
    EXPECT_EQ(stored, CJackOutputRing::kCapacity / 1002);
    EXPECT_FALSE(ring.Fits(1000));
    ring.Clear();

    constexpr std::uint32_t kCount = 20000;
    auto message = [](std::uint32_t i) { return NumberedSysEx(3 + i * 7919 % 2046, i); };
    std::thread reader([&] {
        Bytes bytes;
        for (std::uint32_t i = 0; i < kCount;) {
            const std::size_t size = ring.FrontSize();
            if (size == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            bytes.resize(size);
            ring.PopInto(bytes.data());
            ASSERT_EQ(bytes, message(i)) << i;
            ++i;
        }
    });
    for (std::uint32_t i = 0; i < kCount; ++i) {
        const Bytes bytes = message(i);
        while (!ring.Push(bytes))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    reader.join();
    EXPECT_EQ(ring.FrontSize(), 0u);
}
