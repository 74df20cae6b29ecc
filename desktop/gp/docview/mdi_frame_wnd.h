#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <vector>

#include "gp/util/command_ids.h"

class ISettingsStore;
class QMdiArea;
class QMdiSubWindow;

namespace GP {

class CDocManager;
class CMDIChildWnd;

// The main frame of a multiple-document program: a main window whose centre is an MDI area holding the
// child frames.
//
// Commands are numbers (command_ids.h). CreateCommandAction makes a menu or tool-bar action for one;
// ExecuteCommand routes it to the active child frame (its view, its document, the frame itself), then to
// this frame, then to the document manager; a command nobody handles is disabled.
// UpdateCommandActions sets the enabled and checked states anew from the commands' rules. It runs when
// what they depend on changes: a child is activated, a view tells that its selection or document changed
// (CView::CommandStatesChanged), the application that its clipboard or a transfer did, a command ran; and
// before a menu opens.
//
// Hooks: CanCloseFrame (the base asks the documents to save), OnFrameClosing (before the documents
// close and the window goes), OnUpdateFrameTitle (the caption), and OnCommand/OnUpdateCommand.
class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT

  public:
    explicit CMDIFrameWnd(ISettingsStore* settings = nullptr, QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    QMdiArea* MdiArea() const { return mdiArea_; }
    ISettingsStore* Settings() const { return settings_; }
    void SetDocManager(CDocManager* manager);
    CDocManager* GetDocManager() const { return docManager_; }

    // The caption's base, the program name; defaults to the application's display name.
    void SetAppTitle(const QString& title);
    const QString& AppTitle() const { return appTitle_; }

    // The active child, or the current one while the main window itself is not active.
    QMdiSubWindow* MDIGetActiveWindow() const;
    CMDIChildWnd* MDIGetActive() const;
    // The child frames in creation order.
    std::vector<QMdiSubWindow*> GetChildren() const;
    // Brings child to the top and activates it, restoring it when minimised.
    void MDIActivate(QMdiSubWindow* child);
    void MDICascade();
    // Tiles the children that are not minimised: horizontal puts them one above the other at full
    // width, vertical side by side at full height. The row of minimised windows stays free.
    void MDITile(bool horizontal);
    // Lines up the minimised children along the bottom of the MDI area, left to right, rows upwards.
    void MDIIconArrange();
    // The height of a minimised child.
    int MinimizedChildHeight() const;

    bool ExecuteCommand(int id);
    // The state of a command; handled tells whether anyone answered.
    CCmdUI QueryCommand(int id, bool* handled = nullptr);
    QAction* CreateCommandAction(int id, const QString& text, const QKeySequence& shortcut = QKeySequence());
    void UpdateCommandActions();

    // Sets the caption: the program name alone when no child is active or the active one is maximised,
    // otherwise the program name, " - " and the active child's title.
    virtual void OnUpdateFrameTitle();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

  signals:
    void activeChildChanged(QMdiSubWindow* child);

  protected:
    virtual bool CanCloseFrame();
    virtual void OnFrameClosing() {}
    void closeEvent(QCloseEvent* event) override;
    // Qt's MDI area writes "title - [child]" into the caption while a child is maximised; the caption rule
    // of OnUpdateFrameTitle is put back after every such change.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool RouteCommand(int id, CCmdUI* ui);
    void OnSubWindowActivated(QMdiSubWindow* child);

    ISettingsStore* settings_;
    QMdiArea* mdiArea_;
    CDocManager* docManager_ = nullptr;
    QString appTitle_;
    bool updatingTitle_ = false;
    std::vector<QPointer<QAction>> commandActions_;
};

}  // namespace GP
