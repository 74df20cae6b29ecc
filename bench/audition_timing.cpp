// Audition against the processor found by the automatic setup (tq550-emu over JACK, at the wire's pace):
// the desktop program's own start-up, a library window of 30 patches ("BENCH 00" on) and Audition on, with
// the confirmations switched off. One run: the first row is selected and sent; after a rest, the selection
// moves one row down 20 times, 50 ms apart (as a held key or a foot switch would move it); after another
// rest, one more row far away is selected alone. A 5 ms timer on the user-interface thread records the
// longest stall meanwhile. Run by audition_timing.sh, which reads the emulator's log of its temporary patch.
//
//   audition_timing RUNS
//
// Prints, per run, the times of the system's steady clock (milliseconds, as the emulator's log gives them):
//   run N burst FIRST LAST END stall MS     (the first and the last change, and when all had been sent)
//   run N single AT END
// and FAILED when the program did not end up holding the expected selection in the processor. With
// TQ_AUDITION_OFF set, Audition stays off: the same selections without sends, for the stall probe's baseline
// (every run FAILS then); with TQ_STALLS set, every stall over 10 ms goes to standard error.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/app.h"
#include "app/main_frame.h"
#include "desktop_bench.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/util/settings_catalog.h"
#include "model/data.h"
#include "settings/memory_settings_store.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/param_view.h"
#include "ui/temporary_area.h"
#include "ui/transfer_jobs.h"

namespace {

long long SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs the event loop for ms.
void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until nothing is sent or waits to be sent (at most 30 s).
bool Settle(CApp& app) {
    CTemporaryArea& area = app.Context().Temporary();
    for (int waited = 0; waited < 30000; waited += 10) {
        if (!area.IsSending() && !area.HasPending() && !app.Jobs()->IsRunning()) return true;
        Pause(10);
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CApp::kAppName));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;

    CMemorySettingsStore settings;
    Profile::kAudition.Write(&settings, qEnvironmentVariableIsSet("TQ_AUDITION_OFF") ? 0 : 1);
    CApp app(settings, BenchOptions(settings));
    if (!app.InitInstance()) return 1;

    int status = 0;
    QTimer::singleShot(0, &app, [&] {
        auto* library =
            qobject_cast<CFileDoc*>(app.DocTemplateById(TQ::IDR_LIBRARY)->OpenDocumentFile(QString()));
        CPatchArray patches;
        patches.Resize(30);
        for (std::size_t i = 0; i < patches.GetSize(); ++i) {
            patches[i].SetName((i < 10 ? "BENCH 0" : "BENCH ") + std::to_string(i));
        }
        library->SetPatches(std::move(patches));
        app.MainFrame()->MDIActivate(library->GetFrames().front());
        auto* view = qobject_cast<CParamView*>(library->GetViews().front());
        CStallProbe probe;
        for (int run = 1; run <= runs; ++run) {
            Pause(500);
            view->List().SelectIndexes({0});
            bool ok = Settle(app);
            Pause(1000);
            probe.Start();
            const long long first = SteadyMs();
            long long last = first;
            for (int step = 0; step < 20; ++step) {
                if (step > 0) Pause(50);
                view->StepSelection(+1);
                last = SteadyMs();
            }
            ok = Settle(app) && ok;
            const double stall = probe.StopMs();
            ok = ok && app.Context().Temporary().Known().startsWith(QStringLiteral("BENCH 20"));
            std::printf("run %d burst %lld %lld %lld stall %.1f%s\n", run, first, last, SteadyMs(), stall,
                        ok ? "" : " FAILED");
            Pause(1000);
            view->List().SelectIndexes({27});
            const long long single = SteadyMs();
            ok = Settle(app) && app.Context().Temporary().Known().startsWith(QStringLiteral("BENCH 27"));
            std::printf("run %d single %lld %lld%s\n", run, single, SteadyMs(), ok ? "" : " FAILED");
            std::fflush(stdout);
            if (!ok) status = 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    app.ExitInstance();
    return status;
}
