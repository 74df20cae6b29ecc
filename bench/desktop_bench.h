#pragma once

// What the desktop program's benchmarks share: its options on JACK, and the stall probe.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/app.h"
#include "gp/util/settings_catalog.h"
#include "settings/memory_settings_store.h"

// The desktop program against the processor the automatic setup finds on JACK, in English, with the
// confirmations switched off in settings.
inline CAppOptions BenchOptions(CMemorySettingsStore& settings) {
    for (int kind = 0; kind < 5; ++kind)
        Profile::ConfirmationSwitch(kind).Write(&settings, 1);
    CAppOptions options;
    options.singleInstance = false;
    options.midiApi = MidiApiChoice::Jack;
    options.language = 0;
    return options;
}

// The longest gap between the ticks of a 5 ms timer on this thread, from Start until Stop.
class CStallProbe {
  public:
    CStallProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double StopMs() {
        Tick();
        timer_.stop();
        return static_cast<double>(longest_) / 1e6;
    }

  private:
    void Tick() {
        const qint64 now = clock_.nsecsElapsed();
        if (now - last_ > 10000000 && qEnvironmentVariableIsSet("TQ_STALLS"))
            std::fprintf(stderr, "stall %.1f ms ending at %.3f s\n", (now - last_) / 1e6, now / 1e9);
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};
