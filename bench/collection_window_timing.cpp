// The collection window of the desktop program at full size (the collection of collection_timing: 100,000
// sounds seen in 10,000 library files): the index built on the collection's worker at start, opening the
// window (made and its first page of rows painted), one search keystroke (the search, the rows made again and
// the page painted) while words are typed, and a tag edited in place; with --add-folder also Add Folder to
// Collection of those 10,000 files into a new collection against loading the same files alone.
//
// Run: build/bench/collection_timing FOLDER (once: it makes FOLDER/files and FOLDER/collection.sqlite), then
//      build/bench/collection_window_timing FOLDER [RUNS] [--add-folder]
// The window's runs work on a copy, FOLDER/window.sqlite; Add Folder adds to FOLDER/add-folder.sqlite.

#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "exchange/patch_file.h"
#include "settings/memory_settings_store.h"
#include "textout/text_out.h"
#include "textout/text_out_hub.h"
#include "ui/add_to_collection.h"
#include "ui/collection.h"
#include "ui/collection_model.h"
#include "ui/collection_window.h"
#include "ui/doc.h"

namespace fs = std::filesystem;

namespace {

// The time this thread has run, in milliseconds: what a busy machine does not inflate.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

CAppOptions OptionsFor(const fs::path& collection) {
    CAppOptions options;
    options.systemMidi = false;
    options.singleInstance = false;
    options.language = 0;
    options.collectionFile = QString::fromStdString(collection.string());
    options.messageBox = std::make_shared<CKivTextOut>();
    return options;
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    return QTest::qWaitFor(condition, ms);
}

// Loading alone, as the program loads a file: recognising it and reading its patches (the second of two runs,
// so that the files are in the system's cache, as for the add after it). Seconds.
double LoadAlone(const fs::path& folder, std::size_t& files, std::size_t& patches) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    double seconds = 0;
    for (int run = 0; run < 2; ++run) {
        QElapsedTimer timer;
        timer.start();
        patches = 0;
        TextOutHub messages;
        for (const fs::path& path : paths) {
            CPatchArray list;
            const std::optional<FileKind> kind = RecognizeFile(path);
            if (kind && ReadPatchFile(*kind, path, list, messages)) patches += list.GetSize();
        }
        seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    files = paths.size();
    return seconds;
}

void AddFolder(const fs::path& folder) {
    const fs::path files = folder / "files";
    const fs::path database = folder / "add-folder.sqlite";
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(fs::path(database.string() + suffix));
    std::size_t count = 0;
    std::size_t patches = 0;
    const double load = LoadAlone(files, count, patches);
    std::printf("load alone: %.2f s (%zu files, %zu patches)\n", load, count, patches);

    CMemorySettingsStore settings;
    CApp app(settings, OptionsFor(database));
    if (!app.InitInstance()) return;
    CCollection& collection = app.Context().Collection();
    WaitFor([&] { return collection.IsOpen(); }, 60000);
    QElapsedTimer timer;
    timer.start();
    CAddToCollection* run = app.AddToCollection({QString::fromStdString(files.string())});
    if (!run) {
        std::printf("Add Folder did not start\n");
        app.ExitInstance();
        return;
    }
    AddSummary summary;
    bool finished = false;
    QObject::connect(&collection, &CCollection::addFinished, [&](const AddSummary& s) {
        summary = s;
        finished = true;
    });
    WaitFor([&] { return finished; }, 3600 * 1000);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("Add Folder: %.2f s (%.2f x load alone): files %d, patches %d, new %d, refused %zu\n",
                seconds, seconds / load, summary.files, summary.patches, summary.newSounds,
                summary.refused.size());
    app.ExitInstance();
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: collection_window_timing FOLDER [RUNS] [--add-folder]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const int runs = argc > 2 && argv[2][0] != '-' ? std::max(1, std::atoi(argv[2])) : 3;
    const bool addFolder = std::string(argv[argc - 1]) == "--add-folder";
    const fs::path source = folder / "collection.sqlite";
    const fs::path database = folder / "window.sqlite";
    if (!fs::exists(source)) {
        std::fprintf(stderr, "%s is missing: run build/bench/collection_timing %s first\n", source.c_str(),
                     folder.c_str());
        return 1;
    }
    if (!fs::exists(database)) fs::copy_file(source, database);

    const std::vector<QString> words = {
        QStringLiteral("lead 12"),      QStringLiteral("crunch"), QStringLiteral("memo of sound 4"),
        QStringLiteral("ambient 9999"), QStringLiteral("solo"),   QStringLiteral("ギター 27"),
        QStringLiteral("ZZZ"),          QStringLiteral("pad 5"),  QStringLiteral("set"),
        QStringLiteral("ｆｕｚｚ")};
    std::vector<double> indexReady;
    std::vector<double> opens;
    std::vector<double> openCpu;
    std::vector<double> keystrokes;
    std::vector<double> keystrokeCpu;
    std::vector<double> edits;
    std::size_t sounds = 0;
    for (int run = 0; run < runs; ++run) {
        CMemorySettingsStore settings;
        CApp app(settings, OptionsFor(database));
        QElapsedTimer timer;
        timer.start();
        if (!app.InitInstance()) return 1;
        CCollection& collection = app.Context().Collection();
        if (!WaitFor([&] { return collection.IsOpen(); }, 60000) || !collection.CanRead()) {
            std::fprintf(stderr, "the collection did not open\n");
            return 1;
        }
        indexReady.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        sounds = collection.Index().Size();

        timer.restart();
        double cpu = ThreadMilliseconds();
        CCollectionView* view = app.OpenCollectionWindow();
        QTableView* table = view->Table();
        (void)table->viewport()->grab();
        opens.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        openCpu.push_back(ThreadMilliseconds() - cpu);

        for (const QString& word : words) {
            view->SearchField()->clear();
            for (const QChar c : word) {
                timer.restart();
                cpu = ThreadMilliseconds();
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(view->SearchField(), &press);
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(view->SearchField(), &release);
                (void)table->viewport()->grab();
                keystrokes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                keystrokeCpu.push_back(ThreadMilliseconds() - cpu);
            }
        }

        // A tag edited in place on the first row of every sound, and the list painted again.
        view->SearchField()->clear();
        CCollectionModel& model = view->Model();
        timer.restart();
        model.setData(model.index(0, CCollectionModel::kTags), QStringLiteral("bench %1").arg(run),
                      Qt::EditRole);
        QCoreApplication::processEvents();
        (void)table->viewport()->grab();
        edits.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        app.ExitInstance();
    }
    std::printf("sounds: %zu\n", sounds);
    std::printf("index ready after start (on the worker): median %.0f ms, slowest %.0f ms\n",
                Percentile(indexReady, 0.5), Percentile(indexReady, 1.0));
    std::printf("open window: median %.1f ms, slowest %.1f ms; processor median %.1f ms\n",
                Percentile(opens, 0.5), Percentile(opens, 1.0), Percentile(openCpu, 0.5));
    std::printf("keystroke: %zu of them, median %.2f ms, 95th percentile %.2f ms, slowest %.2f ms\n",
                keystrokes.size(), Percentile(keystrokes, 0.5), Percentile(keystrokes, 0.95),
                Percentile(keystrokes, 1.0));
    std::printf("keystroke processor time: median %.2f ms, 95th percentile %.2f ms\n",
                Percentile(keystrokeCpu, 0.5), Percentile(keystrokeCpu, 0.95));
    std::printf("tag edit: median %.1f ms, slowest %.1f ms\n", Percentile(edits, 0.5),
                Percentile(edits, 1.0));
    if (addFolder) AddFolder(folder);
    return 0;
}
