// Times Read All, Write Changed of three edited patches and Write All of the desktop program against the
// processor found by the automatic setup (tq550-emu, over JACK): the program's own start-up, Main window,
// commands, progress dialog and idle hook, with the confirmations switched off. Read All and Write All run
// once with the progress dialog and once without (no progress sink), so that the dialog's share shows. Run
// by desktop_transfer_timing.sh.
//
//   desktop_transfer_timing [--read-only]
//
// Prints one line per run: wall seconds and the CPU seconds of the whole process (all threads) meanwhile.

#include <sys/resource.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

#include "app/app.h"
#include "gp/util/settings_catalog.h"
#include "ports/midi_environment.h"
#include "settings/memory_settings_store.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/image_view.h"
#include "ui/midi_warning_dlg.h"
#include "ui/progress_bar.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs transfer and prints how long it took; false when it failed.
bool Time(const char* what, const std::function<bool()>& transfer) {
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = transfer();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-28s %8.3f s   cpu %7.3f s%s\n", what, wall, CpuSeconds() - cpu, ok ? "" : "   FAILED");
    std::fflush(stdout);
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CApp::kAppName));
    const bool readOnly = argc > 1 && QString::fromLatin1(argv[1]) == QStringLiteral("--read-only");

    CMemorySettingsStore settings;
    for (int kind = 0; kind < 5; ++kind)
        Profile::ConfirmationSwitch(kind).Write(&settings, 1);
    CAppOptions options;
    options.singleInstance = false;
    options.midiApi = MidiApiChoice::Jack;
    options.language = 0;
    CApp app(settings, options);
    if (!app.InitInstance()) return 1;
    MidiEnvironment* environment = app.Context().environment;
    if (!environment->InPortOf(environment->InPort(MidiEnvironment::kTq550Pair)) ||
        !environment->OutPort(MidiEnvironment::kTq550Pair).GetDevice()) {
        std::fprintf(stderr, "desktop_transfer_timing: the automatic setup found no \"VELA TQ-550\" ports\n");
        app.ExitInstance();
        return 1;
    }

    int status = 0;
    QTimer::singleShot(0, &app, [&] {
        CImageView* main = app.MainView();
        std::shared_ptr<CProgressBar> progress(app.ProgressBar(), [](CProgressBar*) {});
        auto settle = [&] {
            // The dialog's second after the transfer is not part of it.
            app.ProgressBar()->Dismiss();
            QCoreApplication::processEvents();
        };
        bool ok = Time("read all, progress dialog", [&] { return main->ReadPatches(true); });
        settle();
        environment->SetProgressBar(nullptr);
        ok = Time("read all, no progress sink", [&] { return main->ReadPatches(true); }) && ok;
        // The processor's patches are known now: three edits, and Write Changed sends those three.
        environment->SetProgressBar(progress);
        main->GetDoc()->EditCells(
            {4, 77, 150}, CPatchTableModel::kNameColumn,
            {QStringLiteral("EDITED 1"), QStringLiteral("EDITED 2"), QStringLiteral("EDITED 3")});
        ok = Time("changed write, three patches", [&] { return main->WriteChanged(); }) && ok;
        settle();
        if (!readOnly) {
            environment->SetProgressBar(progress);
            ok = Time("write all, progress dialog", [&] { return main->WritePatches(true); }) && ok;
            settle();
            environment->SetProgressBar(nullptr);
            ok = Time("write all, no progress sink", [&] { return main->WritePatches(true); }) && ok;
        }
        environment->SetProgressBar(progress);
        status = ok ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    app.ExitInstance();
    return status;
}
