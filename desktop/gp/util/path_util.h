#pragma once

#include <QString>
#include <Qt>

namespace GP {

// How file names compare on this platform: letter case counts on Linux and other Unix systems, not on
// Windows and macOS.
Qt::CaseSensitivity PlatformPathCase();

// An absolute, cleaned path with native separators turned into '/'; the real path when the file exists
// (links resolved). Empty stays empty.
QString NormalizePath(const QString& path);

// Whether two paths name the same file after NormalizePath, comparing with the given letter case rule.
bool SamePath(const QString& a, const QString& b, Qt::CaseSensitivity caseSensitivity = PlatformPathCase());

}  // namespace GP
