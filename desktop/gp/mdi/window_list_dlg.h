#pragma once

#include <QPointer>
#include <vector>

#include "gp/layout/resize_dlg.h"
#include "gp/util/settings_catalog.h"

class QListWidget;
class QMdiSubWindow;
class QPushButton;

namespace GP {

class CMDIFrameWndEx;

// The window-list dialog (28419): every child window of the frame in title order, several selectable.
// Each line is "*", a tab and the title for windows that are not minimised, a tab and the title for
// minimised ones; the active child starts selected.
//
// Open (and a double-click) brings each selected window to the top, restored (also from maximised); Close
// asks each selected window to close; Leave restores the selected windows and minimises the others; TileH and
// TileV do the same and then tile them (one above the other, side by side). After each action the list is
// refilled with the selection and the caret kept. The list stretches with the dialog; the buttons follow its
// right edge. The rectangle is kept in "Window"/"WindowListDialogSize". Help runs the frame's help command.
class CWindowListDlg : public CResizeDlg {
    Q_OBJECT

  public:
    enum ControlId : int {
        IDD_WINDOW_LIST = 28419,
        IDC_LIST = 57159,
        IDC_OPEN = 57163,
        IDC_CLOSE = 57157,
        IDC_LEAVE = 57162,
        IDC_TILE_HORZ = 57161,
        IDC_TILE_VERT = 57170,
        IDC_HELP = 57160,
        IDC_DONE = 1,
    };

    CWindowListDlg(CMDIFrameWndEx& frame, ISettingsStore* settings, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    // The window of list row, or nullptr.
    QMdiSubWindow* WindowAt(int row) const;
    // The text of every list line, in order.
    QStringList Lines() const;
    void Refill();

    void OnOpen();
    void OnCloseWindows();
    void OnLeave();
    void OnTile(bool horizontal);
    // Help: the frame's help command (CMDIFrameWndEx::SetHelpCommand); unavailable without one.
    void OnHelp();

  protected:
    QString SettingsSection() const override {
        return QString::fromStdString(Profile::kWindowListDialogRect.section);
    }
    QString RectValueName() const override {
        return QString::fromStdString(Profile::kWindowListDialogRect.name);
    }

  private:
    std::vector<QMdiSubWindow*> SelectedWindows() const;
    // Restores the selected windows and minimises the others.
    void LeaveSelected();

    CMDIFrameWndEx& frame_;
    QListWidget* list_;
    std::vector<QPointer<QMdiSubWindow>> rows_;
};

}  // namespace GP
