#pragma once

#include <QString>

class QCoreApplication;

// The interface language, chosen once at start-up from the system's: Japanese (1) for a Japanese locale,
// English (0) otherwise. The first entry of LANGUAGE counts first, then the locale (LC_ALL, LC_MESSAGES,
// LANG).
int ChooseLanguage();
// The language of a locale or LANGUAGE text such as "ja_JP.UTF-8" or "ja:en".
int LanguageOfLocaleName(const QString& name);

// Installs the program's translations of the language (and Qt's own for its standard dialogs).
void InstallTranslations(QCoreApplication& application, int language);
