// A library of 100,000 patches in a library window: opening it against loading the same file into a
// CFileDocument alone, sorting it by name, painting one page of rows, scrolling from top to bottom, and the
// window's memory against the file's size. Run: build/bench/library_window_timing [PATCHES] [RUNS]

#include <malloc.h>
#include <time.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "gp/docview/doc_template.h"
#include "model/file_document.h"
#include "settings/memory_settings_store.h"
#include "textout/text_out.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/param_view.h"

namespace {

// A library of count patches with memos of 0 to 300 bytes.
void MakeLibrary(const QString& path, int count) {
    CFileDocument document;
    document.Patches().Resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CPatch& patch = document.Patches()[static_cast<std::size_t>(i)];
        Block& block = patch.PatchBlock();
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>((b * 7 + static_cast<std::size_t>(i)) & 0x7F);
        // Names in no particular order, so that the sort has work to do.
        std::string name = std::to_string((i * 7919) % count);
        name.insert(name.begin(), 'P');
        patch.SetName(name);
        for (int m = 0; m < 4; ++m)
            patch.SetMemo(m, std::string(static_cast<std::size_t>((i * 37 + m * 101) % 301),
                                         static_cast<char>('a' + m)));
    }
    document.Save(ToFilePath(path));
}

// The heap in use, in kilobytes (what the program holds, whatever the allocator keeps for later): the
// blocks of the heap and the large ones the allocator maps on their own (a loaded library's bytes).
long HeapKilobytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// The time this thread has run, in milliseconds: what a busy machine does not inflate.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.tql"));
    MakeLibrary(path, count);
    const double fileMb = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);

    std::vector<double> loads;
    std::vector<double> opens;
    std::vector<double> sorts;
    std::vector<double> sortCpu;
    std::vector<double> paints;
    std::vector<double> scrolls;
    long memoryKb = 0;
    int scrolledRows = 0;
    int temporaryButtons = 0;
    for (int run = 0; run < runs; ++run) {
        {
            QElapsedTimer timer;
            timer.start();
            CFileDocument alone;
            alone.Load(ToFilePath(path));
            loads.push_back(timer.nsecsElapsed() / 1e6);
        }
        CMemorySettingsStore settings;
        CAppOptions options;
        options.systemMidi = false;
        options.singleInstance = false;
        options.language = 0;
        // Messages (such as a missing initial-data library beside this program) are not shown.
        options.messageBox = std::make_shared<CKivTextOut>();
        CApp app(settings, options);
        app.InitInstance();
        QApplication::processEvents();
        const long before = HeapKilobytes();

        QElapsedTimer timer;
        timer.start();
        GP::CDocument* document = app.OpenDocumentFile(path);
        QApplication::processEvents();
        opens.push_back(timer.nsecsElapsed() / 1e6);
        auto* view = qobject_cast<CParamView*>(document->GetViews().front());
        view->parentWidget()->resize(900, 700);
        QApplication::processEvents();
        memoryKb = HeapKilobytes() - before;
        CPatchListCtrl& list = view->List();

        timer.restart();
        const double cpu = ThreadMilliseconds();
        list.SortByColumnPosition(1);
        sorts.push_back(timer.nsecsElapsed() / 1e6);
        sortCpu.push_back(ThreadMilliseconds() - cpu);

        timer.restart();
        list.viewport()->repaint();
        paints.push_back(timer.nsecsElapsed() / 1e6);

        // Page by page from the top to the bottom.
        timer.restart();
        QScrollBar* bar = list.verticalScrollBar();
        const int page = std::max(1, list.GetCountPerPage());
        for (int top = 0; top <= bar->maximum(); top += page) {
            bar->setValue(top);
            list.viewport()->repaint();
            ++scrolledRows;
            temporaryButtons = std::max(temporaryButtons, view->TemporaryButtonCount());
        }
        scrolls.push_back(timer.nsecsElapsed() / 1e6);
        app.ExitInstance();
    }

    const double load = Median(loads);
    const double open = Median(opens);
    std::printf("patches                         %d (file %.1f MB), median of %d runs\n", count, fileMb,
                runs);
    std::printf("load into CFileDocument alone   %8.1f ms\n", load);
    std::printf("open in a library window        %8.1f ms  (%.2f x the load; limit 1.5)\n", open,
                open / load);
    std::printf("sort by name                    %8.1f ms  (limit 300; %.1f ms of processor time)\n",
                Median(sorts), Median(sortCpu));
    std::printf("paint one page of rows          %8.2f ms  (limit 16)\n", Median(paints));
    std::printf("scroll top to bottom, by page   %8.1f ms  (%d pages painted; %.3f ms a page)\n",
                Median(scrolls), scrolledRows / runs, Median(scrolls) / std::max(1, scrolledRows / runs));
    std::printf("temporary button pairs at most  %8d     (one per visible row)\n", temporaryButtons);
    std::printf("window memory                   %8.1f MB  (%.2f x the file; limit 1.5)\n", memoryKb / 1024.0,
                memoryKb / 1024.0 / fileMb);
    return 0;
}
