#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "model/data.h"
#include "model/device_history.h"

class CAppContext;
class CFileDoc;
class QLabel;
class QPushButton;
class QTreeWidget;
namespace GP {
class CDocTemplate;
}

// File > Device History...: the reads of the device that the history keeps, newest first, each with its
// date and time and how many of its patches differ in their data from the Main window's. The counts come
// in entry by entry once the dialog shows (each entry is a library file to read). Open (or a double-click)
// ends the dialog with the chosen entry.
class CDeviceHistoryDialog : public QDialog {
    Q_OBJECT

  public:
    CDeviceHistoryDialog(const CDeviceHistory& history, const CPatchArray& main, QWidget* parent = nullptr);

    QTreeWidget* List() const { return list_; }
    // The entry chosen when the dialog ended with Open; none otherwise.
    std::optional<HistoryEntry> Chosen() const { return chosen_; }
    // Counts the differing patches of the entries not yet counted, now.
    void CountAll();
    // How an entry is named in the list and in its window's title: its file name without the extension
    // ("2026-12-08 13-45-07", "2026-12-08 13-45-07 (2)").
    static QString EntryName(const HistoryEntry& entry);

  private:
    // Counts one more entry, and asks for the next one after the events waiting now.
    void CountNext();
    void Count(std::size_t row);
    void UpdateOpen();

    const CPatchArray& main_;
    std::vector<HistoryEntry> entries_;
    std::size_t counted_ = 0;
    QTreeWidget* list_;
    QLabel* note_;
    QPushButton* open_;
    std::optional<HistoryEntry> chosen_;
};

// Opens entry as a new library window of the template library, titled "Device History" and the entry's
// name, not modified (closing it asks nothing; saving it asks for a name). Its document, or none when the
// file could not be loaded (the message waits in the buffering sink).
CFileDoc* OpenHistoryEntry(CAppContext& context, GP::CDocTemplate* library, const HistoryEntry& entry);

// The command: the dialog over parent, then the chosen entry opened; its document, or none.
CFileDoc* RunDeviceHistory(CAppContext& context, GP::CDocTemplate* library, const CPatchArray& main,
                           QWidget* parent);
