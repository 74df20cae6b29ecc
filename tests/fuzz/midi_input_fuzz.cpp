// MIDI input: any byte stream, cut into messages, given to a logical input port (CKivMidiIn::Receive)
// directly, and recorded through the rings of a physical input port (CMidiIn::Record, the event thread,
// the delivery ring and Pump) into the same kind of logical port.
//
// The first input byte chooses how the rest is cut (bit 0: as a MIDI byte stream, or as chunks of any bytes
// each after a 16-bit length, where the lengths FFF8H to FFFFH stand for the driver events -8 to -1) and the
// port's device id (bits 1 to 5).
//
// The logical port hands exactly the data sets that its profile accepts to its receiver, universal messages
// other than identity requests, and short messages that begin with a status byte, and forwards those and
// real-time bytes unchanged. The physical port's handlers refuse everything while the messages are recorded,
// so the rings fill up: every message is then delivered once, in order and unchanged (short messages in
// their byte form), except System Exclusive messages over 2048 bytes and messages that found a ring full,
// each of which is counted.

#include <atomic>
#include <memory>

#include "device/device_ids.h"
#include "device/long_message.h"
#include "device/message_acceptance.h"
#include "device/protocol_constants.h"
#include "fuzz_support.h"
#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "midi/midi_in.h"
#include "midi/midi_in_device.h"
#include "midi/midi_packet.h"
#include "midi/short_message.h"
#include "ports/kiv_midi_in.h"
#include "ports/kiv_midi_out.h"
#include "ports/kiv_midi_receiver.h"

namespace {

// One thing the MIDI system hands over: a message, or (event not 0) a driver event.
struct Item {
    Bytes bytes;
    std::int32_t event = 0;
};

// Cuts data into messages as a MIDI driver would: System Exclusive up to its F7 (or the end), a status byte
// with the data bytes that follow it up to its length, a run of up to three stray data bytes.
std::vector<Item> CutStream(std::span<const std::uint8_t> data) {
    std::vector<Item> messages;
    std::size_t i = 0;
    while (i < data.size()) {
        const std::uint8_t b = data[i];
        std::size_t end = i + 1;
        if (b == kSysExStart) {
            while (end < data.size() && data[end] != kSysExEnd)
                ++end;
            if (end < data.size()) ++end;
        } else if (b >= 0x80) {
            const auto length = static_cast<std::size_t>(ShortMessage::LengthOf(b));
            while (end < data.size() && end - i < length && data[end] < 0x80)
                ++end;
        } else {
            while (end < data.size() && end - i < 3 && data[end] < 0x80)
                ++end;
        }
        messages.push_back({Bytes(data.begin() + static_cast<std::ptrdiff_t>(i),
                                  data.begin() + static_cast<std::ptrdiff_t>(end))});
        i = end;
    }
    return messages;
}

// Cuts data into chunks of any bytes, each after its 16-bit big-endian length (the last one may be short);
// a length of FFF8H or more is the driver event -8 (FFF8H) to -1 (FFFFH) instead.
std::vector<Item> CutChunks(std::span<const std::uint8_t> data) {
    std::vector<Item> messages;
    std::size_t i = 0;
    while (i + 2 <= data.size()) {
        const std::size_t length = static_cast<std::size_t>(data[i]) << 8 | data[i + 1];
        i += 2;
        if (length >= 0xFFF8) {
            messages.push_back({{}, -static_cast<std::int32_t>(0xFFFF - length) - 1});
            continue;
        }
        const std::size_t end = std::min(data.size(), i + length);
        messages.push_back({Bytes(data.begin() + static_cast<std::ptrdiff_t>(i),
                                  data.begin() + static_cast<std::ptrdiff_t>(end))});
        i = end;
    }
    return messages;
}

std::vector<Bytes> MessagesOf(const std::vector<Item>& items) {
    std::vector<Bytes> messages;
    for (const Item& item : items)
        if (item.event == 0) messages.push_back(item.bytes);
    return messages;
}

class CRecordingOutDevice : public CKivMidiOutDevice {
  public:
    bool Send(std::span<const std::uint8_t> bytes) override {
        sent.emplace_back(bytes.begin(), bytes.end());
        return true;
    }
    std::vector<Bytes> sent;
};

class CRecordingReceiver : public IKivMidiReceiver {
  public:
    bool OnShortMessage(ShortMessage message) override {
        shorts.push_back(message);
        return true;
    }
    bool OnUniversalMessage(const CKivLongMessage& message) override {
        universal.push_back(message.Bytes());
        return true;
    }
    bool OnDataSet(const CKivMarlinMessage& message) override {
        dataSets.push_back(message.Bytes());
        return true;
    }
    std::vector<ShortMessage> shorts;
    std::vector<Bytes> universal;
    std::vector<Bytes> dataSets;
};

// A TQ-550 logical input port that forwards to a recording output.
struct LogicalPort {
    explicit LogicalPort(std::uint8_t deviceId) {
        in.SetName("TQ-550");
        in.SetModelId({kTq550ModelId.begin(), kTq550ModelId.end()});
        in.SetDeviceId(deviceId);
        in.SetReceiver(&receiver);
        in.SetForwardTo(&out);
        out.SetDevice(&forward);
    }
    CKivMidiIn in;
    CKivMidiOut out;
    CRecordingOutDevice forward;
    CRecordingReceiver receiver;
};

// What the logical port must have made of messages, given to Receive in order.
void CheckLogicalPort(const LogicalPort& port, const std::vector<Bytes>& messages) {
    CRecordingReceiver expected;
    std::vector<Bytes> forwarded;
    for (const Bytes& m : messages) {
        if (m.empty()) continue;
        const std::uint8_t status = m[0];
        if (status == kSysExStart) {
            if (m.size() < 2) continue;
            if (m[1] == kMarlinManufacturerId) {
                CKivMarlinMessage message;
                if (!AcceptDataSet(m, port.in.Ids(), message)) continue;
                expected.dataSets.push_back(m);
            } else if (m[1] == kUniversalNonRealTime || m[1] == kUniversalRealTime) {
                if (!CKivLongMessage::IsValid(m) || IsIdentityRequest(m)) continue;
                expected.universal.push_back(m);
            } else {
                continue;
            }
        } else if (status < 0x80 || status == kSysExEnd) {
            continue;
        } else if (status < 0xF8) {
            expected.shorts.push_back(ShortMessage::FromBytes(m));
        }
        forwarded.push_back(m);
    }
    FUZZ_CHECK(port.receiver.dataSets == expected.dataSets);
    FUZZ_CHECK(port.receiver.universal == expected.universal);
    FUZZ_CHECK(port.receiver.shorts == expected.shorts);
    FUZZ_CHECK(port.forward.sent == forwarded);
}

// A physical input port whose handlers refuse every event until it is opened: the test thread records as
// the MIDI system's callback would, and the rings keep what it records.
class CGatedInDevice : public CMidiInDevice {
  public:
    explicit CGatedInDevice(CMidiArrivalSignal& arrival) : CMidiInDevice("Fuzz In", arrival) {}
    ~CGatedInDevice() override { Shutdown(); }

    std::atomic<bool> open{false};

  protected:
    bool OpenPort(const std::string&) override { return true; }
    void ClosePort() override {}
    bool StartPort() override { return true; }
    void StopPort() override {}
    bool OnShortData(std::uint32_t packed) override {
        return open.load() && CMidiInDevice::OnShortData(packed);
    }
    bool OnLongData(std::span<const std::uint8_t> bytes) override {
        return open.load() && CMidiInDevice::OnLongData(bytes);
    }
};

class CRecordingSink : public IMidiMessageSink {
  public:
    void Receive(std::span<const std::uint8_t> bytes) override {
        received.emplace_back(bytes.begin(), bytes.end());
    }
    std::vector<Bytes> received;
};

struct PhysicalPort {
    PhysicalPort() { FUZZ_CHECK(device.Create() && device.Stop()); }
    CMidiArrivalSignal arrival;
    CGatedInDevice device{arrival};
};

void CheckRings(const std::vector<Item>& items, std::uint8_t deviceId) {
    static PhysicalPort physical;
    CGatedInDevice& device = physical.device;
    CRecordingSink sink;
    LogicalPort port(deviceId);
    device.Bind(sink);
    device.Bind(port.in);

    const std::uint64_t fullBefore = device.DroppedForFullRing();
    const std::uint64_t oversizedBefore = device.DroppedOversized();
    device.open = false;
    FUZZ_CHECK(device.Start());
    for (const Item& item : items) {
        if (item.event != 0)
            device.RecordEvent(item.event);
        else
            device.Record(item.bytes);
    }
    device.open = true;
    FUZZ_CHECK(device.Stop());
    FUZZ_CHECK(device.PendingEvents() == 0);
    device.Pump();
    device.Unbind(sink);
    device.Unbind(port.in);

    // Nothing was taken out of the rings while they were recorded, so they hold the first 2048 events and,
    // among them, the first 128 System Exclusive messages. Driver events take room but deliver nothing;
    // -1 is no event, and -2 belongs to System Exclusive messages alone.
    std::vector<Bytes> delivered;
    std::uint32_t events = 0, packets = 0;
    std::uint64_t full = 0, oversized = 0;
    for (const Item& item : items) {
        if (item.event != 0) {
            if (item.event >= CMidiIn::kEventNone || item.event == CMidiIn::kEventLongData) continue;
            if (events >= CMidiIn::CEventRing::kCapacity)
                ++full;
            else
                ++events;
            continue;
        }
        const Bytes& m = item.bytes;
        if (m.empty()) continue;
        if (m[0] == kSysExStart) {
            if (m.size() > CMidiPacket::kSize) {
                ++oversized;
            } else if (events >= CMidiIn::CEventRing::kCapacity ||
                       packets >= CMidiIn::CPacketRing::kCapacity) {
                ++full;
            } else {
                ++events;
                ++packets;
                delivered.push_back(m);
            }
            continue;
        }
        if (events >= CMidiIn::CEventRing::kCapacity) {
            ++full;
            continue;
        }
        ++events;
        const ShortMessage message = ShortMessage::FromBytes(m);
        const std::uint8_t status = message.Status();
        // System common and real-time messages end at the physical port.
        if ((status >= 0xF1 && status <= 0xF6) || status >= 0xF8) continue;
        delivered.push_back(message.Bytes());
    }
    FUZZ_CHECK(device.DroppedForFullRing() - fullBefore == full);
    FUZZ_CHECK(device.DroppedOversized() - oversizedBefore == oversized);
    FUZZ_CHECK(sink.received == delivered);
    CheckLogicalPort(port, delivered);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    const std::vector<Item> items = (mode & 1) ? CutChunks(rest) : CutStream(rest);
    const auto deviceId = static_cast<std::uint8_t>((mode >> 1) & 0x1F);

    const std::vector<Bytes> messages = MessagesOf(items);
    LogicalPort direct(deviceId);
    for (const Bytes& m : messages)
        direct.in.Receive(m);
    CheckLogicalPort(direct, messages);

    // The delivery ring holds 256 KiB: inputs up to a tenth of that (the runs use 8 KiB) always fit, so
    // whatever the event rings kept reaches the user-interface side.
    if (size <= 26 * 1024) CheckRings(items, deviceId);
    return 0;
}
