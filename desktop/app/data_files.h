#pragma once

#include <QString>

// A data file of the program (Script/InitialData.tql, Manual/..., translations/...): looked up in the
// program's folder first, then in the installed data folder. Empty when it is in neither.
QString FindDataFile(const QString& relative);
// The folders searched, in order.
QStringList DataFolders();
