// Times Read All, Write Changed of three edited patches and Write All of the desktop program against the
// processor found by the automatic setup (tq550-emu, over JACK): the program's own start-up, Main window,
// commands, transfer jobs and progress dialog, with the confirmations switched off. While each transfer runs,
// a 5 ms timer on the user-interface thread records the longest gap between two of its ticks: the longest
// the program did not answer. Run by desktop_transfer_timing.sh.
//
//   desktop_transfer_timing [--read-only]
//
// Prints one line per run: wall seconds, the CPU seconds of the whole process (all threads) meanwhile and
// the longest stall of the user-interface thread; with TQ_STALLS set, every stall over 10 ms and when it
// ended go to standard error.

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "app/app.h"
#include "desktop_bench.h"
#include "gp/util/settings_catalog.h"
#include "ports/midi_environment.h"
#include "settings/memory_settings_store.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/image_view.h"
#include "ui/midi_warning_dlg.h"
#include "ui/progress_bar.h"
#include "ui/transfer_jobs.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Starts a transfer, runs the event loop until its job has ended and prints how long it took and the
// longest stall meanwhile; false when it did not start or did not end done.
bool Time(CApp& app, CStallProbe& probe, const char* what, const std::function<bool()>& start) {
    CTransferJobs& jobs = *app.Jobs();
    const double cpu = CpuSeconds();
    probe.Start();
    const auto begin = std::chrono::steady_clock::now();
    bool ok = start();
    if (ok && jobs.IsRunning()) {
        QEventLoop loop;
        QObject::connect(&jobs, &CTransferJobs::stateChanged, &loop, [&] {
            if (!jobs.IsRunning()) loop.quit();
        });
        loop.exec();
    }
    ok = ok && jobs.LastOutcome() == JobOutcome::Done;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const double stall = probe.StopMs();
    std::printf("%-28s %8.3f s   cpu %7.3f s   stall %6.1f ms%s\n", what, wall, CpuSeconds() - cpu, stall,
                ok ? "" : "   FAILED");
    std::fflush(stdout);
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CApp::kAppName));
    const bool readOnly = argc > 1 && QString::fromLatin1(argv[1]) == QStringLiteral("--read-only");

    CMemorySettingsStore settings;
    CApp app(settings, BenchOptions(settings));
    if (!app.InitInstance()) return 1;
    MidiEnvironment* environment = &app.Context().Environment();
    if (!environment->InPortOf(environment->InPort(MidiEnvironment::kTq550Pair)) ||
        !environment->OutPort(MidiEnvironment::kTq550Pair).GetDevice()) {
        std::fprintf(stderr, "desktop_transfer_timing: the automatic setup found no \"VELA TQ-550\" ports\n");
        app.ExitInstance();
        return 1;
    }

    int status = 0;
    QTimer::singleShot(0, &app, [&] {
        CImageView* main = app.MainView();
        CStallProbe probe;
        auto settle = [&] {
            // The dialog's second after the transfer is not part of it.
            app.ProgressBar()->Dismiss();
            QCoreApplication::processEvents();
        };
        bool ok = Time(app, probe, "read all", [&] { return main->ReadPatches(true); });
        settle();
        // The processor's patches are known now: three edits, and Write Changed sends those three.
        main->GetDoc()->EditCells(
            {4, 77, 150}, CPatchTableModel::kNameColumn,
            {QStringLiteral("EDITED 1"), QStringLiteral("EDITED 2"), QStringLiteral("EDITED 3")});
        ok = Time(app, probe, "changed write, three patches", [&] { return main->WriteChanged(); }) && ok;
        settle();
        if (!readOnly) {
            ok = Time(app, probe, "write all", [&] { return main->WritePatches(true); }) && ok;
            settle();
        }
        status = ok ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    app.ExitInstance();
    return status;
}
