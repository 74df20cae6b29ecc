// gui_monkey: the desktop program driven at random (see monkey.h).
//
//   gui_monkey [--regressions FILE] [--seed N] [--steps N] [--total-steps N] [--minutes M] [--failures FILE]
//
// First every seed of the regression list runs (lines "SEED STEPS"), then seeds from --seed on (default: one
// from the clock), each for --steps steps on a new program, until --total-steps steps or --minutes minutes
// have run. A seed that breaks an invariant or crashes is printed with its last steps and appended to the
// failures file, ready to be added to the regression list; the exit status is then 1. With the environment
// variable TQ_MONKEY_TRACE set, every step is written out as it runs.

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "dialog_answerer.h"
#include "monkey.h"
#include "textout/message_catalog.h"

namespace {

struct Options {
    QString regressions;
    QString failures = QStringLiteral("monkey-failures.txt");
    std::uint64_t seed = 0;
    bool seedGiven = false;
    long steps = 300;
    long totalSteps = -1;
    double minutes = -1;
};

bool Parse(const QStringList& arguments, Options& options) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i + 1 >= arguments.size()) return false;
        const QString value = arguments[++i];
        if (argument == QLatin1String("--regressions"))
            options.regressions = value;
        else if (argument == QLatin1String("--failures"))
            options.failures = value;
        else if (argument == QLatin1String("--seed")) {
            options.seed = value.toULongLong();
            options.seedGiven = true;
        } else if (argument == QLatin1String("--steps"))
            options.steps = value.toLong();
        else if (argument == QLatin1String("--total-steps"))
            options.totalSteps = value.toLong();
        else if (argument == QLatin1String("--minutes"))
            options.minutes = value.toDouble();
        else
            return false;
    }
    return options.steps > 0;
}

// The seeds of the regression list with their step counts.
std::vector<std::pair<std::uint64_t, long>> ReadRegressions(const QString& path) {
    std::vector<std::pair<std::uint64_t, long>> seeds;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) return seeds;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).section(QLatin1Char('#'), 0, 0).trimmed();
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 2) seeds.emplace_back(parts[0].toULongLong(), parts[1].toLong());
    }
    return seeds;
}

// Leaves out what the offscreen platform says about the window functions it lacks.
QtMessageHandler g_standardHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (g_standardHandler) g_standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    g_standardHandler = qInstallMessageHandler(FilterMessages);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Options options;
    if (!Parse(QApplication::arguments(), options)) {
        std::fputs(
            "usage: gui_monkey [--regressions FILE] [--seed N] [--steps N] [--total-steps N] [--minutes M] "
            "[--failures FILE]\n",
            stderr);
        return 2;
    }
    // The manual is not opened during a run; its requests are only counted.
    CUrlRecorder manuals;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &manuals, "Open");

    std::vector<std::pair<std::uint64_t, long>> seeds = ReadRegressions(options.regressions);
    const std::size_t regressionCount = seeds.size();
    std::uint64_t next =
        options.seedGiven ? options.seed : static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
    QElapsedTimer clock;
    clock.start();
    long steps = 0;
    int programs = 0;
    int failed = 0;
    for (std::size_t i = 0;; ++i) {
        if (i >= seeds.size()) {
            const bool stepsLeft = options.totalSteps < 0 || steps < options.totalSteps;
            const bool timeLeft = options.minutes < 0 || clock.elapsed() < options.minutes * 60000;
            // Without a budget, one seed after the regression list.
            const bool budget = options.totalSteps >= 0 || options.minutes >= 0;
            if (!stepsLeft || !timeLeft || (!budget && i > regressionCount)) break;
            seeds.emplace_back(next++, options.steps);
        }
        const auto [seed, count] = seeds[i];
        std::fprintf(stderr, "monkey: seed %llu, %ld steps%s\n", static_cast<unsigned long long>(seed), count,
                     i < regressionCount ? " (regression case)" : "");
        std::fflush(stderr);
        CMonkey monkey(seed, QStringLiteral(TQ_SOURCE_DIR));
        const bool ok = monkey.Run(count);
        steps += monkey.Steps();
        programs += monkey.Programs();
        if (!ok) {
            ++failed;
            std::fprintf(stderr, "monkey: seed %llu FAILED at %s\nmonkey: its last steps:\n",
                         static_cast<unsigned long long>(seed), qPrintable(monkey.Failure()));
            for (const QString& line : monkey.Trace())
                std::fprintf(stderr, "    %s\n", qPrintable(line));
            std::fprintf(stderr,
                         "monkey: keep it as a regression case: add \"%llu %ld\" to "
                         "tests/gui/monkey/regression_seeds.txt\n",
                         static_cast<unsigned long long>(seed), monkey.Steps());
            QFile record(options.failures);
            if (record.open(QIODevice::Append | QIODevice::Text))
                QTextStream(&record) << seed << ' ' << monkey.Steps() << "  # " << monkey.Failure() << '\n';
        }
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const double seconds = clock.elapsed() / 1000.0;
    std::fprintf(stderr, "monkey: %ld steps on %d programs in %.1f s (%.1f steps/s), %d failing seed(s)\n",
                 steps, programs, seconds, seconds > 0 ? steps / seconds : 0.0, failed);
    return failed == 0 ? 0 : 1;
}
