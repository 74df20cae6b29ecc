#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "midi/midi_packet.h"

// One physical MIDI input port, independent of the MIDI system behind it. Input passes three stages:
//
// 1. The MIDI system's callback (a thread of the backend) calls Record: a short message becomes an event
//    code in the event ring; a System Exclusive message is copied into the next free packet of the packet
//    ring and announced by an event code. The callback takes no lock, allocates nothing and does constant
//    work apart from the one copy.
// 2. The event thread drains the event ring every 10 ms and hands each event to the virtual handlers.
// 3. What the handlers do with it is up to the derived class (CMidiInDevice passes the bytes on to the
//    user-interface thread).
//
// Each ring has exactly one writer and one reader. When a ring is full the new event is dropped and counted:
// what was already recorded is never overwritten, so a message is delivered whole or not at all, and in the
// order it arrived. A handler may refuse an event for now (its own queue is full); the event thread then
// keeps it and tries again at the next drain, so back pressure ends at the callback, where it is counted.
//
// A backend derives from this class (through CMidiInDevice), implements the port hooks and calls Close in
// its own destructor, while its hooks still exist.
class CMidiIn {
  public:
    // Event codes. Codes of 0 and more are short messages, packed as ShortMessage.
    static constexpr std::int32_t kEventNone = -1;
    static constexpr std::int32_t kEventLongData = -2;
    static constexpr std::int32_t kEventOpen = -3;
    static constexpr std::int32_t kEventClose = -4;
    static constexpr std::int32_t kEventError = -5;
    static constexpr std::int32_t kEventLongError = -6;
    static constexpr std::int32_t kEventMoreData = -7;

    // Read and write positions of a single-reader, single-writer ring. Both run freely and are reduced
    // modulo the capacity (a power of two) when a slot is addressed, so that a full ring and an empty ring
    // differ: pending = write - read.
    class CRingIndex {
      public:
        virtual ~CRingIndex() = default;
        virtual std::uint32_t Capacity() const = 0;

        std::uint32_t Pending() const {
            return write_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire);
        }
        bool Empty() const { return Pending() == 0; }
        bool Full() const { return Pending() >= Capacity(); }

      protected:
        void ResetIndexes() {
            read_.store(0, std::memory_order_relaxed);
            write_.store(0, std::memory_order_relaxed);
        }
        std::atomic<std::uint32_t> read_{0};   // written by the reader only
        std::atomic<std::uint32_t> write_{0};  // written by the writer only
    };

    // 2048 event codes; an empty slot holds kEventNone.
    class CEventRing : public CRingIndex {
      public:
        static constexpr std::uint32_t kCapacity = 2048;

        CEventRing() { Reset(); }
        std::uint32_t Capacity() const override { return kCapacity; }

        // Empties the ring. Only while neither side uses it.
        void Reset();
        // Writer: stores code; false, storing nothing, when the ring is full.
        bool Push(std::int32_t code);
        // Reader: the oldest code without taking it; kEventNone when the ring is empty.
        std::int32_t Peek() const;
        // Reader: takes the oldest code (kEventNone when empty) and clears its slot.
        std::int32_t Pop();

      private:
        std::array<std::int32_t, kCapacity> codes_{};
    };

    // 128 receive buffers of 2048 bytes, all made with the ring. The writer fills the packet at the write
    // position and publishes it; the reader consumes the oldest published packet and releases it. A packet
    // is filled again only after its reader has released it.
    class CPacketRing : public CRingIndex {
      public:
        static constexpr std::uint32_t kCapacity = 128;

        std::uint32_t Capacity() const override { return kCapacity; }

        // Empties the ring. Only while neither side uses it.
        void Reset();
        // Writer: the packet to fill next, or none when every packet is still in use.
        CMidiPacket* NextToFill();
        // Writer: hands the filled packet to the reader.
        void Publish();
        // Reader: the oldest published packet, or none.
        CMidiPacket* NextToConsume();
        // Reader: gives the consumed packet back to the writer.
        void Release();

      private:
        std::array<CMidiPacket, kCapacity> packets_;
    };

    CMidiIn() = default;
    CMidiIn(const CMidiIn&) = delete;
    CMidiIn& operator=(const CMidiIn&) = delete;
    // Ends the event thread if it still runs. The port itself must have been closed by the derived class.
    virtual ~CMidiIn();

    // Opens the port whose name equals name exactly (case-sensitive, whole name).
    bool OpenByName(const std::string& name);
    // Close, then OpenByName; the caller starts the port again.
    bool Reopen(const std::string& name);
    // Starts recording and the event thread; false when the port is not open or the backend fails.
    bool Start();
    // Stops recording, delivers what was recorded and ends the event thread. True at once when the port is
    // not running; otherwise false when the port is not open.
    bool Stop();
    // Stop, then closes the port. False (port left open) when Stop fails, or when the port was not open.
    bool Close();

    bool IsOpen() const { return open_; }
    bool IsRunning() const { return running_.load(); }

    // Callback entry points, for the backend's thread. Record takes one complete message: a System
    // Exclusive message (first byte F0H, at most 2048 bytes; a longer one is dropped and counted) or a
    // short message of one to three bytes. RecordEvent records one of the negative codes above, except
    // kEventLongData, which only comes with a System Exclusive message.
    void Record(std::span<const std::uint8_t> bytes);
    void RecordShort(std::uint32_t packed);
    void RecordLong(std::span<const std::uint8_t> bytes);
    void RecordEvent(std::int32_t code);

    // Events recorded and not yet handled.
    std::uint32_t PendingEvents() const { return events_.Pending(); }

    // Messages dropped because the event ring or the packet ring was full, and System Exclusive messages
    // dropped because they were longer than one packet.
    std::uint64_t DroppedForFullRing() const { return droppedFull_.load(std::memory_order_relaxed); }
    std::uint64_t DroppedOversized() const { return droppedOversized_.load(std::memory_order_relaxed); }
    std::uint64_t DroppedCount() const { return DroppedForFullRing() + DroppedOversized(); }

  protected:
    // Port hooks of the backend, called on the thread that opens, starts, stops and closes the port.
    virtual bool OpenPort(const std::string& name) = 0;
    virtual void ClosePort() = 0;
    // From now on the backend calls Record for every message that arrives.
    virtual bool StartPort() = 0;
    // The backend stops calling Record (a call already under way may still finish).
    virtual void StopPort() = 0;
    // True while the started port still receives from the port it was opened on (a MIDI system that ends
    // connections of ports that go away tells so here).
    virtual bool PortPresent() { return true; }

    // Handlers, called on the event thread. OnShortData and OnLongData give false to refuse the event for
    // now; it is offered again at the next drain. The bytes of OnLongData are valid during the call only.
    virtual void OnOpen() {}
    virtual void OnClose() {}
    virtual bool OnShortData(std::uint32_t /*packed*/) { return true; }
    virtual bool OnLongData(std::span<const std::uint8_t> /*bytes*/) { return true; }
    virtual void OnError() {}
    virtual void OnLongError() {}
    virtual void OnMoreData() {}

  private:
    static constexpr auto kDrainPeriod = std::chrono::milliseconds(10);

    // Counts a callback under way, so that Stop can wait until none is left.
    class CCallbackGuard {
      public:
        explicit CCallbackGuard(CMidiIn& in) : in_(in) { in_.callbacks_.fetch_add(1); }
        ~CCallbackGuard() {
            if (in_.callbacks_.fetch_sub(1) == 1) in_.callbacks_.notify_all();
        }

      private:
        CMidiIn& in_;
    };

    void RunEventThread();
    // Processes events until the ring is empty or a handler refuses one.
    void Drain();
    // Ends the event thread, if there is one.
    void JoinEventThread();

    CEventRing events_;
    CPacketRing packets_;
    bool open_ = false;
    std::atomic<bool> running_{false};
    std::atomic<int> callbacks_{0};
    std::atomic<std::uint64_t> droppedFull_{0};
    std::atomic<std::uint64_t> droppedOversized_{0};

    std::thread eventThread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
};
