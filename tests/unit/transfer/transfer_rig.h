#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emu/virtual_tq550.h"
#include "midi/virtual_midi.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "settings/memory_settings_store.h"
#include "setup/midi_setup.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

// Records what reaches a text sink: shown messages and asked questions alike.
class RecordingTextOut : public CKivTextOut {
  public:
    std::vector<std::string> texts;
    int Ask(int, const std::string& text, int) override {
        texts.push_back(text);
        return ANSWER_OK;
    }

  protected:
    void Output(const std::string& text) override { texts.push_back(text); }
};

// A progress sink that remembers its calls and can cancel after a number of captions.
class RecordingProgress : public CKivProgressBar {
  public:
    int begins = 0, ends = 0;
    int cancelAfterCaptions = -1;
    std::vector<std::string> captions;
    void Begin(int range, const std::string&, bool cancellable) override {
        ++begins;
        range_ = range;
        cancellable_ = cancellable;
    }
    void End() override { ++ends; }
    void SetPatch(int area, int number) override {
        captions.push_back(CParameterAddress().GetSlotName(area, number));
    }
    bool IsCancelled() override {
        return cancelAfterCaptions >= 0 && static_cast<int>(captions.size()) > cancelAfterCaptions;
    }
};

// The program's side of a transfer on an in-process MIDI system: an environment with the standard ports,
// the TQ-550 pair bound to a virtual processor's ports, the reader and the writer on it, and the message
// box and progress sinks recorded.
struct TransferRig {
    explicit TransferRig(Tq550EmulatorOptions options = {}, bool bind = true)
        : device(system, options, CVirtualTq550::kDefaultPortName, 0), setup(environment, settings) {
        auto factory = std::make_unique<CVirtualMidiDeviceFactory>(system);
        factory->SetWireRateMultiple(0);
        environment.SetFactory(std::move(factory));
        environment.BuildStandardPorts();
        environment.SetProgressBar(progress);
        hub.SetTextOut(TextOutHub::kMessageBoxSlot, messages);
        if (bind) {
            setup.BindIn(environment.InPort(0), device.PortName(), 0);
            setup.BindOut(environment.OutPort(0), device.PortName(), 0);
        }
        reader.Attach(&environment.InPort(0), &environment.OutPort(0));
        writer.SetOutput(&environment.OutPort(0));
    }
    ~TransferRig() { environment.Shutdown(); }

    std::uint8_t EmulatorByte(int patch, int offset) {
        return device.WithEmulator(
            [&](CTq550Emulator& e) { return e.UserPatch(patch)[static_cast<std::size_t>(offset)]; });
    }

    std::shared_ptr<CVirtualMidiSystem> system = std::make_shared<CVirtualMidiSystem>();
    CVirtualTq550 device;
    TextOutHub hub;
    MidiEnvironment environment{hub};
    CMemorySettingsStore settings;
    CMidiSetup setup;
    std::shared_ptr<RecordingTextOut> messages = std::make_shared<RecordingTextOut>();
    std::shared_ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
    AReader reader{environment};
    CWriter writer{environment};
};
