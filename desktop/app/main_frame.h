#pragma once

#include <QPointer>
#include <functional>
#include <vector>

#include "gp/mdi/mdi_frame_wnd_ex.h"

class QMenu;
class QToolBar;

// The program's main frame: menu bar, tool bar and status bar, the MDI area with the Main and library
// windows, dropped files, and the caption ("TQ-550 Librarian", or "TQ-550 Librarian - " and the active
// window's title while that window is not maximised).
//
// Two menu sets: while a child window is active the full set (File, Edit, View, MIDI, Setup, Window, Help),
// otherwise File (New, Open, Exit) and Help. Every command is an action of the frame, so that its shortcut
// works whichever set is shown. Commands go to the active window, the frame, the document manager, then the
// application (SetApplicationTarget).
class CMainFrame : public GP::CMDIFrameWndEx {
    Q_OBJECT

  public:
    struct Command;

    explicit CMainFrame(ISettingsStore* settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Where the application's own commands go (About, the manual, setup, imports).
    void SetApplicationTarget(GP::CCmdTarget* target) { application_ = target; }
    // What runs when the user closes the frame, before the windows are asked to save (the application ends
    // a transfer job there).
    void SetBeforeClose(std::function<void()> beforeClose) { beforeClose_ = std::move(beforeClose); }
    // The program version that wrote the bar layout last is compared with version: equal restores the
    // stored layout, otherwise the tool bar goes to its default place.
    void RestoreBars(const QString& version);
    void SaveBars(const QString& version);

    QToolBar* ToolBar() const { return toolBar_; }
    QAction* CommandAction(int id) const;
    // Shows the full menu set when a child window is active, the short one otherwise.
    void UpdateMenuSet();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

  signals:
    // Paths dropped on the frame, to be opened in turn.
    void filesDropped(const QStringList& paths);

  protected:
    bool CanCloseFrame() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* Action(int id);
    void BuildActions();
    void BuildFullMenus();
    void BuildShortMenus();
    void BuildToolBar();
    void FillRecentFiles(QMenu* file);

    GP::CCmdTarget* application_ = nullptr;
    std::function<void()> beforeClose_;
    std::vector<QPointer<QAction>> actions_;
    std::vector<QPointer<QMenu>> fullMenus;
    std::vector<QPointer<QMenu>> shortMenus;
    QPointer<QAction> recentSeparator_;
    std::vector<QPointer<QAction>> recentActions_;
    QToolBar* toolBar_ = nullptr;
    bool fullMenus_ = false;
};
