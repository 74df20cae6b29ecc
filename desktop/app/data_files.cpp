#include "app/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef TQ_INSTALLED_DATA_DIR
#define TQ_INSTALLED_DATA_DIR ""
#endif

QStringList DataFolders() {
    QStringList folders{QCoreApplication::applicationDirPath()};
    const QString installed = QString::fromUtf8(TQ_INSTALLED_DATA_DIR);
    if (!installed.isEmpty()) folders << installed;
    return folders;
}

QString FindDataFile(const QString& relative) {
    for (const QString& folder : DataFolders()) {
        const QFileInfo candidate(QDir(folder).filePath(relative));
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    return QString();
}
