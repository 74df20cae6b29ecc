#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ports/midi_environment.h"
#include "setup/midi_setup.h"

// What the automatic setup needs of a MIDI setup: the choices, and binding by name.
class IKivMidiSetup {
  public:
    virtual ~IKivMidiSetup() = default;
    virtual std::vector<std::string> ListInPorts() = 0;
    virtual std::vector<std::string> ListOutPorts() = 0;
    virtual void BindIn(CKivMidiIn& port, const std::string& portName) = 0;
    virtual void BindOut(CKivMidiOut& port, const std::string& portName) = 0;
};

// The automatic setup's view of a CMidiSetup: binds keep each port's current device id.
class CAutoMidiSetup : public IKivMidiSetup {
  public:
    explicit CAutoMidiSetup(CMidiSetup& setup) : setup_(setup) {}
    std::vector<std::string> ListInPorts() override { return setup_.ListInPorts(); }
    std::vector<std::string> ListOutPorts() override { return setup_.ListOutPorts(); }
    void BindIn(CKivMidiIn& port, const std::string& portName) override {
        setup_.BindIn(port, portName, port.GetDeviceId());
    }
    void BindOut(CKivMidiOut& port, const std::string& portName) override {
        setup_.BindOut(port, portName, port.GetDeviceId());
    }

  private:
    CMidiSetup& setup_;
};

// Chooses the device's ports by name when the settings left them unbound. Only the first port pair is
// touched, and only its unbound halves; nothing is sent to the device.
class CKivAutoMidiSetupper {
  public:
    CKivAutoMidiSetupper(std::unique_ptr<IKivMidiSetup> setup, MidiEnvironment& environment)
        : setup_(std::move(setup)), environment_(environment) {}
    virtual ~CKivAutoMidiSetupper() = default;

    // True when it bound anything.
    virtual bool Run();
    virtual bool MatchesIn(const std::string& portName) const = 0;
    virtual bool MatchesOut(const std::string& portName) const = 0;

  private:
    std::unique_ptr<IKivMidiSetup> setup_;
    MidiEnvironment& environment_;
};

// Matches port names that contain a pattern, with the same letter case.
class CKivAutoMidiSetupperA : public CKivAutoMidiSetupper {
  public:
    CKivAutoMidiSetupperA(std::unique_ptr<IKivMidiSetup> setup, MidiEnvironment& environment,
                          std::string inPattern, std::string outPattern)
        : CKivAutoMidiSetupper(std::move(setup), environment),
          inPattern_(std::move(inPattern)),
          outPattern_(std::move(outPattern)) {}

    bool MatchesIn(const std::string& portName) const override {
        return portName.find(inPattern_) != std::string::npos;
    }
    bool MatchesOut(const std::string& portName) const override {
        return portName.find(outPattern_) != std::string::npos;
    }

  private:
    std::string inPattern_;
    std::string outPattern_;
};

// The pattern both halves look for: the brand, a blank and the model.
inline constexpr const char* kDevicePortPattern = "VELA TQ-550";

// The start-up binding: the stored setup, then the automatic setup, which is stored when it bound
// anything. Gives whether the automatic setup bound anything.
bool LoadAndAutoSetup(CMidiSetup& setup);
