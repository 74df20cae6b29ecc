#pragma once

#include <QString>
#include <string>

class ISettingsStore;

// Every value the desktop program keeps in the settings store ("Marlin"/"TQ-550 Librarian"): its section,
// its name, its type and its default, declared here and nowhere else. Integers are stored as numbers, all
// else as text. The MIDI setup ("MIDIInConnection", "MIDIOutConnection") belongs to the core's setup, which
// the command line shares.
namespace Profile {

// An integer value. Reading from no store gives the default; writing to none does nothing.
struct CIntValue {
    std::string section;
    std::string name;
    int fallback = 0;

    int Read(const ISettingsStore* store) const;
    void Write(ISettingsStore* store, int value) const;
};

// A text value (UTF-8 in the store).
struct CTextValue {
    std::string section;
    std::string name;
    std::string fallback;

    QString Read(const ISettingsStore* store) const;
    void Write(ISettingsStore* store, const QString& value) const;
    bool IsStored(const ISettingsStore* store) const;
};

// A font kept as three values: its face name and attribute text, and its colour (0x00BBGGRR).
struct CFontValue {
    CTextValue face;
    CTextValue attribute;
    CIntValue color;
};

// "Option": the program's switches.
extern const CIntValue kGridSw;        // grid lines in every patch list (0 off)
extern const CIntValue kMode;          // 1: undo, temporary-area buttons, user-area transfers
extern const CIntValue kVerifyWrite;   // writes are read back and compared (0 off)
extern const CIntValue kHistoryCount;  // how many Read All results the device history keeps
extern const CFontValue kListFont;     // the font and text colour of every patch list
// The confirmations that "Don't show this dialog again." switches off (1: not shown), by kind: read and
// write of the user patches, read and write of the temporary patch, Import SMF.
const CIntValue& ConfirmationSwitch(int kind);

// "Option"/"Collect": whether what the windows open, save, import and read from the processor, and every
// entry of the device history, goes into the collection on its own (1, the default) or not (0).
extern const CIntValue kCollect;
// "Option"/"Audition": whether the patch selected in a patch list is sent to the processor's temporary area
// as it is selected (1) or not (0, the default).
extern const CIntValue kAudition;
// "AuditionControls": the foot switch of Audition: its MIDI input port, and the Next and Previous presses,
// each as its kind (0: not learned, 1 Program Change, 2 Control Change, 3 Note On), number and channel (-1:
// any).
extern const CTextValue kPedalPort;
struct CPedalValues {
    CIntValue kind;
    CIntValue number;
    CIntValue channel;
};
extern const CPedalValues kPedalNext;
extern const CPedalValues kPedalPrevious;
// "Collection": the collection window's column widths (joined by ","), the folder Add Folder to Collection
// offers first, and whether the device history's entries kept before the collection existed were added (1).
extern const CTextValue kCollectionColumnWidths;
extern const CTextValue kCollectionFolder;
extern const CIntValue kCollectionHistoryAdded;

// "Document": the library files' dialogs.
extern const CTextValue kDocumentFolder;
extern const CIntValue kDocumentFilter;
// "SMF": the Standard MIDI File dialogs of the Main window.
extern const CTextValue kSmfFolder;
extern const CTextValue kSmfFileName;
extern const CIntValue kSmfFilter;
// "SysEx": the dialogs of the SysEx file import and export (both window kinds).
extern const CTextValue kSyxFolder;
extern const CTextValue kSyxFileName;
extern const CIntValue kSyxFilter;
// The imports of earlier models' files: kind 0 "TQ-MAX" (librarian files), 1 "TQ-4M" (TQ-4/TQ-MAX bulk
// dumps), 2 "TQ-2" (TQ-2 bulk dumps); the folder and the name without its extension of the last file.
const CTextValue& EarlierFolder(int kind);
const CTextValue& EarlierFileName(int kind);

// "PatchListCtrl": the column widths of every patch list, joined by ",".
extern const CTextValue kColumnWidths;

// "Window": the main frame's normal placement ("left,top,right,bottom") and whether it was maximised, a
// child frame's stored placement per window type ("left,top,width,height"), the window-list dialog's size.
extern const CTextValue kFramePosition;
extern const CIntValue kFrameMaximized;
CTextValue ChildPosition(int windowType);
extern const CTextValue kWindowListDialogRect;
// "ControlBar" and "Version": the tool bar and status bar layout and the program version that wrote it.
extern const CTextValue kBarState;
extern const CTextValue kBarVersion;
// "Recent File List": File1 to File8.
extern const std::string kRecentFileSection;
extern const QString kRecentFileEntry;  // with %1 for the number

// Remembers the folder of path (absolute, with its closing separator, in the platform's separators) under
// folder, where a file dialog starts next time.
void RememberFolder(ISettingsStore* store, const CTextValue& folder, const QString& path);

}  // namespace Profile
