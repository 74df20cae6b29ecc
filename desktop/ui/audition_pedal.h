#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "midi/kiv_midi_device.h"
#include "midi/midi_arrival.h"
#include "midi/pedal_message.h"

class ISettingsStore;
class MidiEnvironment;

// The foot switch of Audition: a MIDI input of its own (any port the MIDI system offers, the processor's
// too, which then delivers to both) and the two learned presses, Next and Previous, kept in the settings
// ("AuditionControls").
//
// The port is pumped on a thread of the pedal's own, so that a press is taken at once, also while a transfer
// runs on its worker; each press reaches the user-interface thread by a queued call. Once a second the
// pedal looks whether its port is still offered: one that disappears is told with the processor's notices
// ("MIDI devices are disconnected.", and "MIDI devices are reconnected." when it is opened again on its
// return).
class CAuditionPedal : public QObject, private IMidiMessageSink {
    Q_OBJECT

  public:
    struct Setup {
        std::string port;
        CPedalMessage next;
        CPedalMessage previous;
    };
    static Setup Load(const ISettingsStore& settings);
    static void Store(ISettingsStore& settings, const Setup& setup);

    CAuditionPedal(MidiEnvironment& environment, ISettingsStore& settings, QObject* parent = nullptr);
    ~CAuditionPedal() override;

    // Opens the stored port with the stored presses (none stored, or not offered now: no port is open).
    void Reload();
    // Listens on port (empty: none) for learning, the presses kept as they are; false when it is offered
    // but did not open.
    bool Open(const std::string& port);
    void Close();
    const std::string& Port() const { return port_; }
    bool IsOpen() const { return device_ != nullptr; }
    // Looks whether the port is still offered, or offered again (the timer does so once a second).
    void Watch();
    // While learning, the next press goes to learned() instead of stepping.
    void SetLearning(bool learning);

    // How a press reads in the interface language: "Control Change 64", "Program Change 6", "Note On 60".
    static QString Text(const CPedalMessage& message);

  signals:
    // +1 for Next, -1 for Previous.
    void stepped(int direction);
    void learned(const CPedalMessage& press);

  private:
    // Opens port_ and starts the pedal's thread; false when it is not offered or did not open.
    bool OpenDevice();
    void CloseDevice();
    bool Offered() const;
    // The pedal's thread.
    void Run();
    // On the pedal's thread.
    void Receive(std::span<const std::uint8_t> bytes) override;
    // On the user-interface thread.
    void Pressed(const CPedalMessage& press);

    MidiEnvironment& environment_;
    ISettingsStore& settings_;
    Setup setup_;
    std::string port_;
    CMidiArrivalSignal arrival_;
    std::unique_ptr<CKivMidiInDevice> device_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    QTimer watch_;
    // The port went away after it was open (told); it is opened again when it is back.
    bool lost_ = false;
    bool learning_ = false;
};
