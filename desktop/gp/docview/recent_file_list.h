#pragma once

#include <QString>
#include <vector>

#include "gp/util/settings_catalog.h"

class ISettingsStore;

namespace GP {

// The list of recently used files, newest first, kept in the settings store as section "Recent File
// List", values "File1" to "File8" (for the default size of 8).
class CRecentFileList {
  public:
    explicit CRecentFileList(int size = 8,
                             QString section = QString::fromStdString(Profile::kRecentFileSection),
                             QString entryFormat = Profile::kRecentFileEntry);

    int Size() const { return size_; }
    int Count() const { return static_cast<int>(files_.size()); }
    const std::vector<QString>& Files() const { return files_; }
    QString File(int index) const;

    // Puts path first; a path already in the list moves up, the oldest entry falls off when full.
    void Add(const QString& path);
    void Remove(int index);
    void Clear() { files_.clear(); }

    // Reads the entries 1 to size, skipping empty ones; writes them back and removes values no longer used.
    void ReadList(const ISettingsStore& store);
    void WriteList(ISettingsStore& store) const;

    // The menu text of entry index: "&1 name" (the file name with '&' doubled).
    QString MenuText(int index) const;

  private:
    QString EntryName(int number) const;

    int size_;
    QString section_;
    QString entryFormat_;
    std::vector<QString> files_;
};

}  // namespace GP
