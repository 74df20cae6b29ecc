// tq550-librarian: the desktop program of the TQ-550 Librarian.

#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/app.h"
#include "app/language.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(CApp::kAppName));
    QApplication::setOrganizationName(QStringLiteral("Marlin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tq550-librarian"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tq550-librarian.svg")));

    CAppOptions options;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (argument == QStringLiteral("--virtual-device")) {
            options.virtualDevice = true;
        } else if (argument == QStringLiteral("--api")) {
            if (i + 1 >= arguments.size() ||
                !ParseMidiApiChoice(arguments[i + 1].toStdString(), options.midiApi)) {
                std::fprintf(stderr, "tq550-librarian: --api takes alsa, jack or auto\n%s", kHelp);
                return 2;
            }
            ++i;
        } else if (argument.startsWith(QStringLiteral("--"))) {
            std::fprintf(stderr, "tq550-librarian: unknown option %s\n%s", argument.toLocal8Bit().constData(),
                         kHelp);
            return 2;
        } else {
            options.files << argument;
        }
    }
    options.language = ChooseLanguage();
    InstallTranslations(application, options.language);

    CQSettingsStore settings;
    CApp app(settings, options);
    if (!app.InitInstance()) return 0;
    const int status = QApplication::exec();
    app.ExitInstance();
    settings.Sync();
    return status;
}
