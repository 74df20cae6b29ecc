#pragma once

// The ALSA side of the monitor: only built where the ALSA library is (TQ_HAVE_ALSA).

#include <alsa/asoundlib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "rtmidi/alsa_monitor.h"

// The backend's own client of the ALSA sequencer: one port that receives the events of the announce port,
// and the questions of the monitor. Every call may come from any thread.
class CAlsaSequencer : public IAlsaSequencer {
    struct Key {};

  public:
    // None when the sequencer cannot be opened or the announce port not read.
    static std::shared_ptr<CAlsaSequencer> Open();

    // For Open only.
    CAlsaSequencer(Key, snd_seq_t* sequencer, int wakeRead, int wakeWrite);
    ~CAlsaSequencer() override;
    CAlsaSequencer(const CAlsaSequencer&) = delete;
    CAlsaSequencer& operator=(const CAlsaSequencer&) = delete;

    std::string PortName(AlsaAddress address) override;
    AlsaAddress FindClientPort(const std::string& clientName) override;
    bool Subscribed(AlsaAddress sender, AlsaAddress dest) override;

    // Blocks until announce events arrive, Stop is called or a second has passed, and hands each event the
    // monitor needs to handler (not holding any lock). False once stopped.
    bool ReadAnnounces(const std::function<void(const AlsaAnnounce&)>& handler);
    // Ends the wait of ReadAnnounces, which gives false from now on.
    void Stop();

  private:
    snd_seq_t* sequencer_;
    int wakeRead_;
    int wakeWrite_;
    std::mutex mutex_;
    std::atomic<bool> stopped_{false};
};

// The announce event that event is, when it is one the monitor needs.
std::optional<AlsaAnnounce> AnnounceOf(const snd_seq_event_t& event);
