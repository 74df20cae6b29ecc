#pragma once

#include <memory>
#include <string>

#include "midi/virtual_midi.h"
#include "ports/midi_environment.h"
#include "settings/memory_settings_store.h"
#include "setup/midi_setup.h"

// An environment with the standard ports on an in-process MIDI system that offers the named ports.
struct SetupRig {
    explicit SetupRig(const std::vector<std::string>& ports = {}) : setup(environment, settings) {
        for (const std::string& port : ports) {
            system->AddSource(port);
            system->AddDestination(port, [](std::span<const std::uint8_t>) {});
        }
        environment.SetFactory(std::make_unique<CVirtualMidiDeviceFactory>(system));
        environment.BuildStandardPorts();
    }
    ~SetupRig() { environment.Shutdown(); }

    CKivMidiIn& In(int i) { return environment.InPort(static_cast<std::size_t>(i)); }
    CKivMidiOut& Out(int i) { return environment.OutPort(static_cast<std::size_t>(i)); }
    std::string Stored(const char* entry) const {
        const bool out = std::string(entry).rfind("MIDIOut", 0) == 0;
        return settings.GetString(out ? CMidiSetup::kOutSection : CMidiSetup::kInSection, entry, "<absent>");
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CMemorySettingsStore settings;
    CMidiSetup setup;
};
