#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/progress_sink.h"
#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "midi/midi_device_factory.h"
#include "ports/kiv_midi_in.h"
#include "ports/kiv_midi_out.h"
#include "textout/text_out.h"
#include "textout/text_out_hub.h"

// Everything MIDI of one program: the logical ports (one list of input and one of output ports, index i
// of both forming pair i), the physical ports bound to them and the signal their input arrives on, the
// factory that makes physical ports, the text-sink slots (those of the program's text-output hub), the
// notice sink for lost and regained ports, the progress sink of transfers, and the waiting helpers of
// transfers. All of it belongs to the user-interface thread, but for the arrival signal.
//
// The program builds one and hands it to whatever needs it (requester, reader, writer, setup); nothing
// reaches it any other way.
class MidiEnvironment : public IMidiPortOwner {
  public:
    // Indexes of the logical port pairs that BuildStandardPorts makes.
    static constexpr int kTq550Pair = 0;
    static constexpr int kThroughPair = 1;
    static constexpr int kTqMaxPair = 2;

    // textOut is the program's hub; it must outlive the environment.
    explicit MidiEnvironment(TextOutHub& textOut);
    ~MidiEnvironment() override;
    MidiEnvironment(const MidiEnvironment&) = delete;
    MidiEnvironment& operator=(const MidiEnvironment&) = delete;

    // ---- logical ports ----
    // Appends a copy of port; the copy lives as long as the environment (or RemoveAllPorts).
    CKivMidiIn& AddInPort(const CKivMidiIn& port);
    CKivMidiOut& AddOutPort(const CKivMidiOut& port);
    // Replaces all logical ports by the start-up table: 0 "TQ-550" (model 00 00 60H, device id 00H),
    // 1 the through pair (no name, no model, input device id 10H, output 00H; input 1 forwards to output 1),
    // 2 "TQ-MAX" (model 00 00 60H, device id 00H). Receivers are left to the program.
    void BuildStandardPorts();
    // ClearBindings, then forgets every logical port.
    void RemoveAllPorts();
    std::size_t InPortCount() const { return inPorts_.size(); }
    std::size_t OutPortCount() const { return outPorts_.size(); }
    CKivMidiIn& InPort(std::size_t index) { return *inPorts_[index]; }
    CKivMidiOut& OutPort(std::size_t index) { return *outPorts_[index]; }
    // The index of the port in its list, or -1.
    int IndexOfInPort(const CKivMidiIn& port) const;
    int IndexOfOutPort(const CKivMidiOut& port) const;
    // The first logical port whose profile name equals name exactly, or none.
    CKivMidiIn* FindInPortByName(const std::string& name);
    CKivMidiOut* FindOutPortByName(const std::string& name);

    // ---- physical ports ----
    CKivMidiInDevices& InDevices() { return inDevices_; }
    CKivMidiOutDevices& OutDevices() { return outDevices_; }
    // Makes a physical port through the factory (input ports notify this environment's arrival signal);
    // none when the factory cannot. The port is not yet in a list.
    std::unique_ptr<CKivMidiInDevice> CreateInDevice(const std::string& name);
    std::unique_ptr<CKivMidiOutDevice> CreateOutDevice(const std::string& name);
    // Takes a physical port into the list and becomes its owner; gives it back, or none for none.
    CKivMidiInDevice* AddInDevice(std::unique_ptr<CKivMidiInDevice> device);
    CKivMidiOutDevice* AddOutDevice(std::unique_ptr<CKivMidiOutDevice> device);
    // The first physical port in the list whose name equals name exactly, or none.
    CKivMidiInDevice* FindInDevice(const std::string& name);
    CKivMidiOutDevice* FindOutDevice(const std::string& name);
    bool HoldsOutDevice(const CKivMidiOutDevice& device) const;
    // The first physical input port whose bound list holds port, or none.
    CKivMidiInDevice* InPortOf(const CKivMidiIn& port);
    // Delivers what has arrived on the physical port of port; nothing when it is unbound.
    void PumpFor(const CKivMidiIn& port);
    // Unbinds every logical output port, then destroys every physical port (which unbinds the inputs).
    void ClearBindings();
    // Opens every physical port again under its name: input ports in list order (started again when
    // that worked), then output ports.
    void ReopenAll();

    // ---- factory ----
    // The factory of physical ports; one that offers none until the program sets its own.
    IMidiDeviceFactory& Factory();
    void SetFactory(std::unique_ptr<IMidiDeviceFactory> factory);

    // ---- text ----
    // The text-sink slots are those of the program's hub: slot 0 shows messages at once and asks, slot 1
    // buffers. Setting a slot releases the sink that was there unless another slot holds it.
    TextOutHub& TextOut() const { return textOut_; }
    void SetTextOut(int slot, std::shared_ptr<CKivTextOut> sink);
    CKivTextOut* GetTextOut(int slot) const;
    // Where notices of lost and regained ports go (the desktop program's timed notice window, the console
    // of the command line). Without one they go to the buffering slot.
    void SetNoticeSink(std::shared_ptr<CKivTextOut> sink) { noticeSink_ = std::move(sink); }
    CKivTextOut* GetNoticeSink() const { return noticeSink_.get(); }
    // Writes the catalogue text of messageId as a notice.
    void ShowNotice(int messageId);

    // ---- progress ----
    void SetProgressBar(std::shared_ptr<CKivProgressBar> progress) { progress_ = std::move(progress); }
    CKivProgressBar* GetProgressBar() const { return progress_.get(); }

    // ---- waiting ----
    // A transfer waits on the thread it runs on (a program with an event loop runs it on a worker), blocking
    // on the arrival of input with a timeout; the thread that waits pumps the port it waits for.
    // Called (on an input port's event thread) whenever input arrives; it must only wake the program's
    // event loop, which then pumps.
    void SetInputWaker(std::function<void()> waker);
    // What the input ports made through this environment notify.
    CMidiArrivalSignal& Arrival() { return arrival_; }
    // Blocks until input has arrived since the last wait, or until timeout; true when it has.
    bool WaitForInput(std::chrono::microseconds timeout = std::chrono::milliseconds(2));
    // One step of a transfer's wait: pump port, block for input at most maxWait, and pump again.
    void PumpWait(const CKivMidiIn& port, std::chrono::microseconds maxWait = std::chrono::milliseconds(2));

    // Releases every physical port and the factory. Programs call it before they end, so that no MIDI
    // system connection outlives main.
    void Shutdown();

    // Called after the notice of every connection change (on the thread that found it): what the program
    // believed of the device's memory may no longer hold.
    void SetConnectionListener(std::function<void(MidiConnectionChange)> listener) {
        connectionListener_ = std::move(listener);
    }

    // A lost output port that this environment holds makes it re-open every port; another one re-opens
    // only itself. Connection changes become the notices "MIDI devices are disconnected." and "MIDI
    // devices are reconnected.", and go to the connection listener.
    void OnOutPortLost(CKivMidiOutDevice& port) override;
    void OnConnectionChange(MidiConnectionChange change) override;
    // Checks the ports that their MIDI system marked: a marked output port as before a send (so that a
    // lost one re-opens every port and is told at once, also while nothing is sent), a marked input port
    // that no longer receives is re-opened by itself.
    void OnPortsChanged() override;

  private:
    TextOutHub& textOut_;
    // Declared before the ports, so that it outlives every input port that notifies it.
    CMidiArrivalSignal arrival_;
    std::vector<std::unique_ptr<CKivMidiIn>> inPorts_;
    std::vector<std::unique_ptr<CKivMidiOut>> outPorts_;
    CKivMidiInDevices inDevices_;
    CKivMidiOutDevices outDevices_;
    std::unique_ptr<IMidiDeviceFactory> factory_;
    std::shared_ptr<CKivTextOut> noticeSink_;
    std::shared_ptr<CKivProgressBar> progress_;
    std::function<void(MidiConnectionChange)> connectionListener_;
    std::uint64_t arrivalSeen_ = 0;
    bool reopening_ = false;
};
