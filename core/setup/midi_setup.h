#pragma once

#include <string>
#include <vector>

#include "ports/midi_environment.h"
#include "settings/settings_store.h"

// Binds the logical ports of the MIDI environment to physical ports by port name, and keeps the bindings
// and each port's device id in the settings, per logical port index. A remembered port that is absent
// stays remembered and shows as its name followed by " (Unconnected)".
class CMidiSetup {
  public:
    static constexpr const char* kNone = "(none)";
    static constexpr const char* kUnconnected = " (Unconnected)";
    static constexpr const char* kInSection = "MIDIInConnection";
    static constexpr const char* kOutSection = "MIDIOutConnection";

    CMidiSetup(MidiEnvironment& environment, ISettingsStore& settings)
        : environment_(environment), settings_(settings) {}
    virtual ~CMidiSetup() = default;

    // The physical port of that exact name from the environment's list, else a new one from the factory
    // (appended to the list); none when it cannot be opened.
    virtual CKivMidiInDevice* FindOrCreateInDevice(const std::string& portName);
    virtual CKivMidiOutDevice* FindOrCreateOutDevice(const std::string& portName);

    // Sets the port's device id, then binds it to the named physical port. "(none)" binds nothing and
    // records "(none)" for the port at once.
    void BindIn(CKivMidiIn& port, const std::string& portName, int deviceId);
    void BindOut(CKivMidiOut& port, const std::string& portName, int deviceId);
    void BindInByProfileName(const std::string& profileName, const std::string& portName, int deviceId);
    void BindOutByProfileName(const std::string& profileName, const std::string& portName, int deviceId);

    // The bound port's name; "(none)"; or the remembered name followed by " (Unconnected)".
    std::string InPortDisplayName(const CKivMidiIn& port);
    std::string OutPortDisplayName(const CKivMidiOut& port);

    // The choices for a port: the offered ports, "(none)", then remembered absent ports.
    std::vector<std::string> ListInPorts();
    std::vector<std::string> ListOutPorts();

    // Rebuilds every binding from the settings.
    void Load();
    // Stores every binding and device id; a remembered absent port stays remembered.
    void Save();

    MidiEnvironment& Environment() { return environment_; }

  private:
    template <class Port, class Bind>
    void LoadPort(bool output, int index, const Port& port, Bind bind);
    template <class Port>
    void SavePort(bool output, int index, const Port& port, const std::string& displayName);
    std::string StoredInDevice(int index) const;
    std::string StoredOutDevice(int index) const;

    MidiEnvironment& environment_;
    ISettingsStore& settings_;
};
