#pragma once

#include <QPointer>
#include <QRect>
#include <vector>

#include "gp/docview/mdi_frame_wnd.h"

class QMenu;

namespace GP {

// A main frame that remembers its placement and offers its child windows by keyboard.
//
// Placement: on construction the normal placement is read from "Window"/"Position" ("left,top,right,
// bottom", default "0,0,800,600") and applied; when "Window"/"Maximized" is non-zero the frame is
// maximised before it is first shown. Closing writes "Maximized", "Position" and the tool-bar and
// dock layout ("ControlBar"/"BarState").
//
// Window menu: SetWindowMenu names the menu; before it opens, every item after the one carrying
// ID_WINDOW_ARRANGE is removed and the item at the window-selection position (SetWindowSelectionMenuPos,
// -1 = none) becomes a sub-menu with the same text listing up to 36 children in title order ("&1" to
// "&9", then "&A" to "&Z", a tab, the title; the 36th has no mnemonic; the active one checked).
//
// Layout: whenever the MDI area changes its size (the frame resized, a bar shown or hidden), the icons of
// the minimised children are lined up again along its bottom.
//
// Commands: ID_WINDOW_LIST (the window-list dialog), ID_WINDOW_POPUP_MENU (the window selection as a
// pop-up menu at the cursor), ID_WINDOW_SELECT_FIRST to ID_WINDOW_SELECT_LAST (child n in title order to
// the top, restored when minimised).
class CMDIFrameWndEx : public CMDIFrameWnd {
    Q_OBJECT

  public:
    explicit CMDIFrameWndEx(ISettingsStore* settings, QWidget* parent = nullptr);

    // The normal placement: frame position and client size.
    QRect NormalPlacement() const { return normal_; }
    void SaveFramePlacement();
    void SaveBarState();
    // Restores the bar layout stored by SaveBarState; false when none is stored or it does not fit.
    bool LoadBarState();

    void SetWindowSelectionMenuPos(int position) { selectionMenuPos_ = position; }
    void SetWindowMenu(QMenu* menu);
    QMenu* WindowMenu() const;
    void RebuildWindowMenu();

    // The children sorted by title (bytes of the UTF-8 text): from the documents of every template,
    // each frame once, or the MDI area's children when there are no templates.
    std::vector<QMdiSubWindow*> CollectChildrenByTitle() const;
    // Fills menu with the window-selection items.
    void BuildWindowSelectionMenu(QMenu& menu);
    // Brings child index (in title order) to the top; false when there is no such child.
    bool SelectWindow(int index);
    void ShowWindowPopupMenu();
    void ShowWindowList();
    // The command the window list's Help button runs (-1: none).
    void SetHelpCommand(int id) { helpCommand_ = id; }
    int HelpCommand() const { return helpCommand_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

  protected:
    void OnFrameClosing() override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LoadFramePlacement();
    void RememberNormal();

    QRect normal_;
    int selectionMenuPos_ = -1;
    int helpCommand_ = -1;
    QPointer<QMenu> windowMenu_;
    QPointer<QMenu> selectionMenu_;
};

}  // namespace GP
