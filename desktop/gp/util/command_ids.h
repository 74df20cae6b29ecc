#pragma once

// Numbered commands of the toolkit and of the framework layer. Menu items, tool-bar buttons and
// accelerators carry these numbers (GP::CMDIFrameWnd::CreateCommandAction), so that one command reaches
// the same handler from every place it is offered.
namespace GP {

enum CommandId : int {
    // Window list and window selection (GP::CMDIFrameWndEx).
    ID_WINDOW_LIST = 57111,
    ID_WINDOW_POPUP_MENU = 57112,
    ID_WINDOW_SELECT_FIRST = 57113,
    ID_WINDOW_SELECT_LAST = 57148,
    // Child window commands (GP::CMDIChildWndEx).
    ID_WINDOW_RESIZE_FULL = 57149,
    ID_WINDOW_RESIZE_FULL_HEIGHT = 57150,
    ID_WINDOW_RESIZE_FULL_WIDTH = 57151,
    ID_WINDOW_SAVE_POSITION = 57152,
    ID_WINDOW_ALWAYS_ON_TOP = 57153,
    // Framework commands.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE8 = 57623,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_APP_EXIT = 57665,
};

// Number of entries of the window-selection menu: labels &1 to &9, then &A to &Z.
inline constexpr int kWindowSelectionCount = ID_WINDOW_SELECT_LAST - ID_WINDOW_SELECT_FIRST + 1;

// The state of one command, filled in by the object that handles it.
struct CCmdUI {
    bool enabled = true;
    bool checked = false;
    bool checkable = false;
};

// Something that handles numbered commands. OnCommand runs the command and answers whether this
// object handled it; OnUpdateCommand fills the command's state and answers the same question.
class CCmdTarget {
  public:
    virtual ~CCmdTarget() = default;
    virtual bool OnCommand(int /*id*/) { return false; }
    virtual bool OnUpdateCommand(int /*id*/, CCmdUI& /*ui*/) { return false; }
};

}  // namespace GP
