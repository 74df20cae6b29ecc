#pragma once

#include <QString>
#include <vector>

#include "model/data.h"

class CAppContext;
class CDoc;
class CFileDoc;
class QWidget;
namespace GP {
class CDocTemplate;
}

// SysEx files (.syx) in the windows. File > Import > SysEx File... reads one into a new, modified library
// window; Export SysEx File writes patches of a window as exactly the data sets a Write of their user slots
// sends, in the device id of the MIDI setup. The file dialogs start where the last SysEx file was and
// remember its folder and name (settings section "SysEx").
//
// A file that holds no TQ-550 patch, a message cut off or a data set with a wrong checksum opens nothing;
// its message, like that of a file that cannot be read or written, goes to the buffering sink and shows
// when the program is idle.
class CSyxFiles {
  public:
    CSyxFiles(CAppContext& context, QWidget* parent) : context_(context), parent_(parent) {}

    // Asks for a file to read (openDialog) or to write; false on cancel.
    bool Prompt(bool openDialog, QString& path) const;

    // Reads path into a new library window of the template library, its patches in slot order; its
    // document, or none when the file was refused.
    CFileDoc* Import(GP::CDocTemplate* library, const QString& path) const;
    // Writes the patches at positions of patches, the i-th as user patch slotNumbers[i] (0-199); false when
    // the file was not written.
    bool Export(const QString& path, const CPatchArray& patches, const std::vector<int>& positions,
                const std::vector<int>& slotNumbers) const;

    // The commands: ask for the file, then import or export. Export writes patches of doc; it refuses more
    // than 200 patches at once, before it asks, and a file that a window holds open (its library would be
    // overwritten behind its back), after; an empty list does nothing.
    CFileDoc* OnImport(GP::CDocTemplate* library) const;
    void OnExport(const CDoc& doc, const std::vector<int>& positions,
                  const std::vector<int>& slotNumbers) const;

  private:
    void Remember(const QString& path) const;

    CAppContext& context_;
    QWidget* parent_;
};
