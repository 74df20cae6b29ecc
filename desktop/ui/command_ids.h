#pragma once

#include "gp/util/command_ids.h"

// The program's command numbers (menus, tool bar, accelerators, buttons) and the control ids of its
// forms. The framework's own commands (New, Open, Save, the window commands) are in GP::CommandId.
namespace TQ {

enum CommandId : int {
    ID_EDIT_INSERT = 32779,
    ID_EDIT_REPLACE = 32780,
    ID_FILE_DUPLICATE = 32782,
    ID_MIDI_READ_ALL = 32784,
    ID_MIDI_READ_SELECTED = 32785,
    ID_MIDI_WRITE_ALL = 32797,
    ID_MIDI_WRITE_SELECTED = 32798,
    ID_SETUP_FONT = 32854,
    ID_SETUP_MIDI = 32855,
    ID_HELP_MANUAL = 32858,
    ID_FILE_EXPORT_SMF_ALL = 32859,
    ID_FILE_EXPORT_SMF_SELECTED = 32860,
    ID_FILE_IMPORT_SMF = 32861,
    ID_SETUP_GRID = 32863,
    ID_EDIT_EXCHANGE = 32864,
    ID_APP_ABOUT = 32865,
    ID_IMPORT_EARLIER_FILE = 32866,
    ID_IMPORT_TQ4_DUMP = 32867,
    ID_IMPORT_TQ2_DUMP = 32868,
    ID_EDIT_FIND = 32869,
    // SysEx files, comparing, duplicates, the device's history and Write Changed.
    ID_IMPORT_SYX = 32880,
    ID_FILE_EXPORT_SYX_ALL = 32881,
    ID_FILE_EXPORT_SYX_SELECTED = 32882,
    ID_FILE_DEVICE_HISTORY = 32883,
    ID_EDIT_COMPARE = 32884,
    ID_EDIT_SELECT_DUPLICATES = 32885,
    ID_MIDI_WRITE_CHANGED = 32886,
    // The collection: its window, Add Folder, the switch of adding on its own, and the window's commands.
    ID_WINDOW_COLLECTION = 32900,
    ID_FILE_ADD_TO_COLLECTION = 32901,
    ID_SETUP_COLLECT = 32902,
    ID_COLLECTION_OPEN_AS_LIBRARY = 32903,
    ID_COLLECTION_WHERE_SEEN = 32904,
    ID_COLLECTION_FAVOURITE = 32905,
    // Audition: the switch and the foot switch's setup.
    ID_MIDI_AUDITION = 32910,
    ID_SETUP_AUDITION_CONTROLS = 32911,
    ID_EDIT_DELETE = 57088,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// Controls of the Main and library forms.
enum ControlId : int {
    IDC_PATCH_LIST = 4130,
    IDC_READ_ALL = 4267,
    IDC_READ_SELECTED = 4268,
    IDC_WRITE_ALL = 4269,
    IDC_WRITE_SELECTED = 4270,
    IDC_READ_GROUP = 4271,
    IDC_WRITE_GROUP = 4272,
    IDC_TEMPORARY_LABEL = 4290,
};

// Resource ids of the two document types (and of their frames' stored positions).
enum TemplateId : int {
    IDR_MAIN = 4097,
    IDR_LIBRARY = 4107,
    IDR_COLLECTION = 4120,
};

// Hints of CDocument::UpdateAllViews.
enum UpdateHint : int {
    HINT_INITIAL = 0,
};

}  // namespace TQ
