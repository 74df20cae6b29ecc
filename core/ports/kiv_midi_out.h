#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/long_message.h"
#include "device/marlin_message.h"
#include "midi/short_message.h"
#include "ports/kiv_midi.h"

class CKivMidiOutDevice;

// A logical output port.
class IKivMidiOut {
  public:
    virtual ~IKivMidiOut() = default;
    virtual void SendShort(ShortMessage message) = 0;
    virtual void SendLong(const CKivLongMessage& message) = 0;
    // The same for an address/data message.
    virtual void SendLong(const CKivMarlinMessage& message) = 0;
    // Builds the data-set message of this port's profile for data at address and sends it.
    virtual void SendDataSet(std::int32_t address, std::span<const std::uint8_t> data) = 0;
    // Builds the request message of this port's profile for size bytes at address and sends it.
    virtual void SendRequest(std::int32_t address, std::int32_t size) = 0;
    // The byte form of the last message passed to this port, sent or not.
    virtual const std::vector<std::uint8_t>& LastSent() const = 0;
};

// A logical output port with its device profile; it sends through at most one physical output port.
// Without one, a send only records LastSent.
class CKivMidiOut : public IKivMidiOut, public CKivMidi {
  public:
    void SendShort(ShortMessage message) override;
    void SendLong(const CKivLongMessage& message) override;
    void SendLong(const CKivMarlinMessage& message) override;
    void SendDataSet(std::int32_t address, std::span<const std::uint8_t> data) override;
    void SendRequest(std::int32_t address, std::int32_t size) override;
    const std::vector<std::uint8_t>& LastSent() const override { return lastSent_; }

    // Whether the last message went out through a bound physical port.
    bool LastSendSucceeded() const { return lastSendSucceeded_; }

    CKivMidiOutDevice* GetDevice() const { return device_; }
    void SetDevice(CKivMidiOutDevice* device) { device_ = device; }

  private:
    void SendBytes(std::span<const std::uint8_t> bytes);

    CKivMidiOutDevice* device_ = nullptr;
    std::vector<std::uint8_t> lastSent_;
    bool lastSendSucceeded_ = false;
};
