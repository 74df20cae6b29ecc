#pragma once

#include <QString>
#include <vector>

#include "exchange/file_kind.h"
#include "exchange/patch_file.h"
#include "model/data.h"

class CAppContext;
class CFileDoc;
namespace GP {
class CDocTemplate;
}

// The exchange of patches with files other than the windows' own library files, for every window and
// command: the earlier models' files, TQ-4/TQ-MAX and TQ-2 bulk dumps and SysEx files opened as new
// libraries, Standard MIDI Files read into and written from the Main window, SysEx files written from any
// window. It reads and writes through the same core as the command line (ReadPatchFile, WritePatchFile),
// with the device ids of the program's MIDI setup; failures go to the buffering sink, shown when the program
// is idle, and are answered by false (or none). A file read in goes into the collection (an import).
class CFileExchange {
  public:
    explicit CFileExchange(CAppContext& context) : context_(context) {}

    // Reads path as kind into a new, modified, untitled library window of the template library.
    CFileDoc* OpenAsLibrary(GP::CDocTemplate* library, FileKind kind, const QString& path) const;
    // Applies the data sets of a Standard MIDI File onto patches (a copy of the Main window's), as the
    // Main window's Import SMF does.
    bool ReadSmfInto(const QString& path, CPatchArray& patches) const;
    // Writes the patches at positions as smf or syx, the i-th as user patch slotNumbers[i] (0-199), in the
    // data sets a Write sends (the device id of the processor's output port).
    bool Write(FileKind kind, const QString& path, const CPatchArray& patches,
               const std::vector<int>& positions, const std::vector<int>& slotNumbers) const;
    // How files are read here (the device ids of the MIDI setup; SysEx files for any id): also the
    // collection's reading of the files that were imported and of Add Folder.
    PatchFileOptions ReadOptions() const;

  private:
    CAppContext& context_;
};
