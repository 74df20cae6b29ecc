#include "gp/docview/recent_file_list.h"

#include <QFileInfo>

#include "gp/util/path_util.h"
#include "settings/settings_store.h"

namespace GP {

CRecentFileList::CRecentFileList(int size, QString section, QString entryFormat)
    : size_(size > 0 ? size : 1), section_(std::move(section)), entryFormat_(std::move(entryFormat)) {}

QString CRecentFileList::File(int index) const {
    return index >= 0 && index < Count() ? files_[static_cast<std::size_t>(index)] : QString();
}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty()) return;
    for (auto it = files_.begin(); it != files_.end(); ++it) {
        if (SamePath(*it, path)) {
            files_.erase(it);
            break;
        }
    }
    files_.insert(files_.begin(), path);
    if (Count() > size_) files_.resize(static_cast<std::size_t>(size_));
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < Count()) files_.erase(files_.begin() + index);
}

void CRecentFileList::ReadList(const ISettingsStore& store) {
    files_.clear();
    for (int number = 1; number <= size_; ++number) {
        const QString path = QString::fromStdString(
            store.GetString(section_.toStdString(), EntryName(number).toStdString(), std::string()));
        if (path.isEmpty()) continue;
        bool duplicate = false;
        for (const QString& file : files_)
            duplicate = duplicate || SamePath(file, path);
        if (!duplicate) files_.push_back(path);
    }
}

void CRecentFileList::WriteList(ISettingsStore& store) const {
    const std::string section = section_.toStdString();
    for (int number = 1; number <= size_; ++number) {
        const std::string name = EntryName(number).toStdString();
        if (number <= Count())
            store.WriteString(section, name, files_[static_cast<std::size_t>(number - 1)].toStdString());
        else
            store.Remove(section, name);
    }
}

QString CRecentFileList::MenuText(int index) const {
    QString name = QFileInfo(File(index)).fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

QString CRecentFileList::EntryName(int number) const {
    return entryFormat_.arg(number);
}

}  // namespace GP
