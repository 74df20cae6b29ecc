#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "midi/kiv_midi_device.h"
#include "midi/midi_packet.h"

// One physical MIDI output port, independent of the MIDI system behind it. Before every send it checks
// that the port is still offered; a lost port calls OnPortLost (which may re-open every port) and gives
// one notice per change of state. A System Exclusive send returns only after the bytes' wire time has
// passed, so that callers can pace messages with a fixed pause.
//
// A backend implements the port hooks and calls Close in its own destructor.
class CMidiOut {
  public:
    // The largest System Exclusive message sent; longer ones are refused.
    static constexpr std::size_t kMaxLongMessage = CMidiPacket::kSize;

    CMidiOut() = default;
    CMidiOut(const CMidiOut&) = delete;
    CMidiOut& operator=(const CMidiOut&) = delete;
    virtual ~CMidiOut() = default;

    // Opens the port whose name equals name exactly (case-sensitive, whole name).
    bool OpenByName(const std::string& name);
    // False when the port is not open.
    bool Reset();
    // Reset, then closes the port; false when it was not open.
    bool Close();
    // Close, then OpenByName.
    bool Reopen(const std::string& name);
    bool IsOpen() const { return open_; }

    // True when the port is open and still offered. Otherwise OnPortLost runs; OnConnectionChange tells of
    // the change (Lost when the port was connected, Regained when it was not and is open again after
    // OnPortLost), and the result is whether the port is open now.
    bool CheckConnection();
    // The result of the last connection check; false before the first.
    bool Connected() const { return connected_; }

    // A short message of 1 to 3 bytes (packed as ShortMessage; its status decides the length).
    bool SendShort(std::uint32_t packed);
    // A System Exclusive message of at most kMaxLongMessage bytes, then the wire-time wait.
    bool SendLong(std::span<const std::uint8_t> bytes);

    // 1 (as made): the wire time of 31 250 bit/s; n: n times as fast; 0: no wait.
    void SetWireRateMultiple(int multiple) { wireRateMultiple_ = multiple < 0 ? 0 : multiple; }
    int WireRateMultiple() const { return wireRateMultiple_; }
    // System Exclusive messages refused for their length.
    std::uint64_t RefusedCount() const { return refused_; }

  protected:
    // Port hooks of the backend, all on the sending thread.
    virtual bool OpenPort(const std::string& name) = 0;
    virtual void ClosePort() = 0;
    // True while the open port is still offered by the MIDI system.
    virtual bool PortPresent() = 0;
    virtual bool WritePort(std::span<const std::uint8_t> bytes) = 0;
    virtual void ResetPort() {}

    // The connection check found the port gone.
    virtual void OnPortLost() {}
    // A change of the connection state.
    virtual void OnConnectionChange(MidiConnectionChange /*change*/) {}

  private:
    CMidiPacket packet_;
    bool open_ = false;
    bool connected_ = false;
    int wireRateMultiple_ = 1;
    std::uint64_t refused_ = 0;
};
