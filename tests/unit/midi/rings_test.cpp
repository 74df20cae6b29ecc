#include <gtest/gtest.h>

#include "midi/delivery_ring.h"
#include "midi/midi_in.h"
#include "midi_test_support.h"

TEST(EventRing, GivesCodesBackInOrderAndClearsTheirSlots) {
    CMidiIn::CEventRing ring;
    EXPECT_EQ(ring.Pop(), CMidiIn::kEventNone);
    EXPECT_TRUE(ring.Push(0x643C90));
    EXPECT_TRUE(ring.Push(CMidiIn::kEventLongData));
    EXPECT_EQ(ring.Peek(), 0x643C90);
    EXPECT_EQ(ring.Pop(), 0x643C90);
    EXPECT_EQ(ring.Pop(), CMidiIn::kEventLongData);
    EXPECT_EQ(ring.Pop(), CMidiIn::kEventNone);
    EXPECT_TRUE(ring.Empty());
}

TEST(EventRing, RefusesTheCodeThatWouldOverwriteAPendingOne) {
    CMidiIn::CEventRing ring;
    for (std::int32_t i = 0; i < 2048; ++i)
        ASSERT_TRUE(ring.Push(i));
    EXPECT_TRUE(ring.Full());
    EXPECT_FALSE(ring.Push(99999));
    // Nothing pending was overwritten, and wrapping around keeps the order.
    for (std::int32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(ring.Pop(), i);
    for (std::int32_t i = 0; i < 1000; ++i)
        ASSERT_TRUE(ring.Push(5000 + i));
    EXPECT_FALSE(ring.Push(1));
    for (std::int32_t i = 1000; i < 2048; ++i)
        ASSERT_EQ(ring.Pop(), i);
    for (std::int32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(ring.Pop(), 5000 + i);
    EXPECT_EQ(ring.Pop(), CMidiIn::kEventNone);
}

TEST(PacketRing, HandsPacketsOverInOrderAndRefillsOnlyReleasedOnes) {
    CMidiIn::CPacketRing ring;
    for (std::uint32_t i = 0; i < CMidiIn::CPacketRing::kCapacity; ++i) {
        CMidiPacket* packet = ring.NextToFill();
        ASSERT_NE(packet, nullptr);
        ASSERT_TRUE(packet->Assign(NumberedSysEx(10, i)));
        ring.Publish();
    }
    EXPECT_EQ(ring.NextToFill(), nullptr);
    CMidiPacket* first = ring.NextToConsume();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Bytes(first->Bytes().begin(), first->Bytes().end()), NumberedSysEx(10, 0));
    ring.Release();
    EXPECT_NE(ring.NextToFill(), nullptr);
    CMidiPacket* second = ring.NextToConsume();
    EXPECT_EQ(Bytes(second->Bytes().begin(), second->Bytes().end()), NumberedSysEx(10, 1));
}

TEST(MidiPacket, HoldsAt2048Bytes) {
    CMidiPacket packet;
    EXPECT_TRUE(packet.Assign(Bytes(2048, 0x01)));
    EXPECT_EQ(packet.Recorded(), 2048u);
    EXPECT_FALSE(packet.Assign(Bytes(2049, 0x02)));
    EXPECT_EQ(packet.Recorded(), 2048u);
    EXPECT_EQ(packet.Bytes()[0], 0x01);
}

TEST(DeliveryRing, KeepsMessagesWholeAcrossTheWrap) {
    CMidiDeliveryRing ring;
    Bytes out;
    CMidiDeliveryRing::Kind kind;
    // Messages of an odd length walk the write position across the end of the storage several times.
    for (std::uint32_t i = 0; i < 1000; ++i) {
        const Bytes message = NumberedSysEx(997, i);
        ASSERT_TRUE(ring.Push(CMidiDeliveryRing::Kind::Long, message));
        ASSERT_TRUE(ring.Pop(kind, out));
        ASSERT_EQ(out, message) << i;
        EXPECT_EQ(kind, CMidiDeliveryRing::Kind::Long);
    }
    EXPECT_FALSE(ring.Pop(kind, out));
}

TEST(DeliveryRing, RefusesAMessageThatDoesNotFitAndKeepsTheOthers) {
    CMidiDeliveryRing ring;
    const Bytes big = NumberedSysEx(2048, 7);
    int stored = 0;
    while (ring.Push(CMidiDeliveryRing::Kind::Long, big))
        ++stored;
    EXPECT_EQ(stored, static_cast<int>(CMidiDeliveryRing::kCapacity / (2048 + 3)));
    // A short message still fits into the rest.
    EXPECT_TRUE(ring.Push(CMidiDeliveryRing::Kind::Short, Bytes{0x90, 0x3C, 0x64}));
    CMidiDeliveryRing::Kind kind;
    Bytes out;
    for (int i = 0; i < stored; ++i) {
        ASSERT_TRUE(ring.Pop(kind, out));
        ASSERT_EQ(out, big);
    }
    ASSERT_TRUE(ring.Pop(kind, out));
    EXPECT_EQ(kind, CMidiDeliveryRing::Kind::Short);
    EXPECT_EQ(out, (Bytes{0x90, 0x3C, 0x64}));
    EXPECT_TRUE(ring.Empty());
}
