#pragma once

#include <memory>
#include <string>

#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"

// Makes physical ports of one MIDI system and lists the ports it offers. Ports are named exactly as the
// lists give them; ids are positions in the current list.
class IMidiDeviceFactory {
  public:
    virtual ~IMidiDeviceFactory() = default;

    // Opens and starts the input port of that exact name, which notifies arrival whenever input has
    // arrived; none when it is not offered or fails.
    virtual std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string& name,
                                                             CMidiArrivalSignal& arrival) = 0;
    // Opens the output port of that exact name; none when it is not offered or fails.
    virtual std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string& name) = 0;

    virtual int InPortCount() = 0;
    virtual bool InPortUsable(int id) = 0;
    virtual std::string InPortName(int id) = 0;
    virtual int OutPortCount() = 0;
    virtual bool OutPortUsable(int id) = 0;
    virtual std::string OutPortName(int id) = 0;

    // Why no ports are offered when the MIDI system cannot be reached; empty when it can.
    virtual std::string Problem() { return {}; }
};

// A factory that offers no ports, for a program that has chosen no MIDI system.
class CNoMidiDeviceFactory : public IMidiDeviceFactory {
  public:
    std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string&, CMidiArrivalSignal&) override {
        return nullptr;
    }
    std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string&) override { return nullptr; }
    int InPortCount() override { return 0; }
    bool InPortUsable(int) override { return false; }
    std::string InPortName(int) override { return {}; }
    int OutPortCount() override { return 0; }
    bool OutPortUsable(int) override { return false; }
    std::string OutPortName(int) override { return {}; }
};

// The ports of two factories in one list: those of the first, then those of the second. A port name is
// looked up in the first factory's list first.
class CCombinedMidiDeviceFactory : public IMidiDeviceFactory {
  public:
    CCombinedMidiDeviceFactory(std::unique_ptr<IMidiDeviceFactory> first,
                               std::unique_ptr<IMidiDeviceFactory> second)
        : first_(std::move(first)), second_(std::move(second)) {}

    std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string& name,
                                                     CMidiArrivalSignal& arrival) override;
    std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string& name) override;
    int InPortCount() override { return first_->InPortCount() + second_->InPortCount(); }
    bool InPortUsable(int id) override;
    std::string InPortName(int id) override;
    int OutPortCount() override { return first_->OutPortCount() + second_->OutPortCount(); }
    bool OutPortUsable(int id) override;
    std::string OutPortName(int id) override;
    std::string Problem() override;

  private:
    std::unique_ptr<IMidiDeviceFactory> first_;
    std::unique_ptr<IMidiDeviceFactory> second_;
};

// The names of the usable input or output ports of a factory, in id order.
std::vector<std::string> ListInPortNames(IMidiDeviceFactory& factory);
std::vector<std::string> ListOutPortNames(IMidiDeviceFactory& factory);
