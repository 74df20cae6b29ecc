// tq550-librarian: the desktop program of the TQ-550 Librarian.

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/language.h"
#include "platform/program_arguments.h"
#include "qsettings/qsettings_store.h"

namespace {

const char kHelp[] =
    "Usage: tq550-librarian [--virtual-device] [--api alsa|jack|auto] [FILE.tql]\n"
    "The TQ-550 Librarian: back up, restore and organise the patches of a VELA TQ-550.\n"
    "\n"
    "  --virtual-device  add a built-in virtual TQ-550 as the MIDI ports \"VELA TQ-550 (virtual)\", chosen\n"
    "                    when no real processor is found: try every command without hardware\n"
    "  --api SYSTEM      the MIDI system: alsa, jack, or auto (default: ALSA when its sequencer opens,\n"
    "                    else a running JACK server)\n"
    "  --help            show this text\n"
    "\n"
    "A file given while the program runs already is opened in the running copy.\n";

// Reads the command line into options; gives the exit status of --help or a usage error, or -1 to go on. It
// runs before the application object, so that --help needs no display. On Windows the words are UTF-8 from
// the wide command line, so that a file name outside the ANSI code page arrives whole.
int ParseArguments(int argc, char* argv[], CAppOptions& options) {
    const std::vector<std::string> words = ProgramArguments(argc, argv);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& argument = words[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (argument == "--virtual-device") {
            options.virtualDevice = true;
        } else if (argument == "--api") {
            if (i + 1 >= words.size() || !ParseMidiApiChoice(words[i + 1], options.midiApi)) {
                std::fprintf(stderr, "tq550-librarian: --api takes alsa, jack or auto\n%s", kHelp);
                return 2;
            }
            ++i;
        } else if (argument.rfind("--", 0) == 0) {
            std::fprintf(stderr, "tq550-librarian: unknown option %s\n%s", argument.c_str(), kHelp);
            return 2;
        } else {
#ifdef _WIN32
            options.files << QString::fromStdString(argument);
#else
            options.files << QString::fromLocal8Bit(argument.c_str());
#endif
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    CAppOptions options;
    if (const int status = ParseArguments(argc, argv, options); status >= 0) return status;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CApp::kAppName));
    QApplication::setOrganizationName(QStringLiteral("Marlin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tq550-librarian"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tq550-librarian.svg")));
    options.historyFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/History");
    options.language = ChooseLanguage();
    InstallTranslations(application, options.language);
    // The user's own data location: copies of other users never share it.
    options.recoveryFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Recovery");
    // The collection of every patch, the file tq550 uses too (DefaultCollectionPath names the same).
    options.collectionFile = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                             QStringLiteral("/collection.sqlite");
    // Tests that kill the program wait less than the 30 s between a change and its write.
    options.recoveryIntervalMs = qEnvironmentVariableIntValue("TQ_RECOVERY_INTERVAL_MS");

    CQSettingsStore settings;
    CApp app(settings, options);
    if (!app.InitInstance()) return app.ExitStatus();
    const int status = QApplication::exec();
    app.ExitInstance();
    settings.Sync();
    return status;
}
