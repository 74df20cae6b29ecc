#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/data_files.h"

int LanguageOfLocaleName(const QString& name) {
    return name.trimmed().startsWith(QStringLiteral("ja"), Qt::CaseInsensitive) ? 1 : 0;
}

int ChooseLanguage() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // As gettext reads them: the messages locale from LC_ALL, LC_MESSAGES or LANG; LANGUAGE, a priority
    // list, counts only when that locale is not "C".
    QString locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty()) break;
    }
    if (locale.isEmpty() || locale == QStringLiteral("C") || locale == QStringLiteral("POSIX")) return 0;
    const QString list = qEnvironmentVariable("LANGUAGE");
    return LanguageOfLocaleName(list.isEmpty() ? locale : list.section(QLatin1Char(':'), 0, 0));
#else
    const QStringList languages = QLocale::system().uiLanguages();
    return LanguageOfLocaleName(languages.isEmpty() ? QLocale::system().name() : languages.front());
#endif
}

void InstallTranslations(QCoreApplication& application, int language) {
    if (language != 1) return;
    auto* program = new QTranslator(&application);
    const QString own = FindDataFile(QStringLiteral("translations/tq550_ja.qm"));
    if (!own.isEmpty() && program->load(own)) QCoreApplication::installTranslator(program);
    auto* qt = new QTranslator(&application);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}
