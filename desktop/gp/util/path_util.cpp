#include "gp/util/path_util.h"

#include <QDir>
#include <QFileInfo>

namespace GP {

Qt::CaseSensitivity PlatformPathCase() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString NormalizePath(const QString& path) {
    if (path.isEmpty()) return path;
    const QFileInfo info(QDir::fromNativeSeparators(path));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool SamePath(const QString& a, const QString& b, Qt::CaseSensitivity caseSensitivity) {
    if (a.isEmpty() || b.isEmpty()) return false;
    return NormalizePath(a).compare(NormalizePath(b), caseSensitivity) == 0;
}

}  // namespace GP
