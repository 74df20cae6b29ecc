#include "gp/docview/mdi_frame_wnd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>

#include "gp/docview/doc_manager.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/view.h"

namespace GP {

namespace {
const char* const kWatchedProperty = "gpFrameWatched";
}

CMDIFrameWnd::CMDIFrameWnd(ISettingsStore* settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings), mdiArea_(new QMdiArea(this)) {
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    appTitle_ = QGuiApplication::applicationDisplayName();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMDIFrameWnd::OnSubWindowActivated);
    mdiArea_->viewport()->installEventFilter(this);
    OnUpdateFrameTitle();
}

CMDIFrameWnd::~CMDIFrameWnd() {
    // The MDI area and its children outlive this part of the object: they must not call back into it.
    mdiArea_->viewport()->removeEventFilter(this);
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* child : mdiArea_->subWindowList())
        disconnect(child, nullptr, this, nullptr);
}

void CMDIFrameWnd::SetDocManager(CDocManager* manager) {
    docManager_ = manager;
    if (manager && manager->GetMainFrame() != this) manager->SetMainFrame(this);
}

void CMDIFrameWnd::SetAppTitle(const QString& title) {
    appTitle_ = title;
    OnUpdateFrameTitle();
}

QMdiSubWindow* CMDIFrameWnd::MDIGetActiveWindow() const {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    return active ? active : mdiArea_->currentSubWindow();
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
    return qobject_cast<CMDIChildWnd*>(MDIGetActiveWindow());
}

std::vector<QMdiSubWindow*> CMDIFrameWnd::GetChildren() const {
    std::vector<QMdiSubWindow*> children;
    for (QMdiSubWindow* child : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        auto* gpChild = qobject_cast<CMDIChildWnd*>(child);
        if (gpChild && gpChild->IsClosing()) continue;
        children.push_back(child);
    }
    return children;
}

void CMDIFrameWnd::MDIActivate(QMdiSubWindow* child) {
    if (!child) return;
    if (child->isMinimized()) child->showNormal();
    if (!child->isVisible()) child->show();
    mdiArea_->setActiveSubWindow(child);
    child->raise();
}

void CMDIFrameWnd::MDICascade() {
    mdiArea_->cascadeSubWindows();
}

void CMDIFrameWnd::MDITile(bool horizontal) {
    std::vector<QMdiSubWindow*> windows;
    bool anyMinimized = false;
    for (QMdiSubWindow* child : GetChildren()) {
        if (!child->isVisible()) continue;
        if (child->isMinimized()) {
            anyMinimized = true;
            continue;
        }
        if (child->isMaximized()) child->showNormal();
        windows.push_back(child);
    }
    if (windows.empty()) return;
    QRect area = mdiArea_->viewport()->rect();
    if (anyMinimized) area.setBottom(area.bottom() - MinimizedChildHeight());
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        if (horizontal) {
            const int top = area.top() + area.height() * i / count;
            const int bottom = area.top() + area.height() * (i + 1) / count;
            windows[static_cast<std::size_t>(i)]->setGeometry(area.left(), top, area.width(), bottom - top);
        } else {
            const int left = area.left() + area.width() * i / count;
            const int right = area.left() + area.width() * (i + 1) / count;
            windows[static_cast<std::size_t>(i)]->setGeometry(left, area.top(), right - left, area.height());
        }
    }
    MDIIconArrange();
}

void CMDIFrameWnd::MDIIconArrange() {
    const QRect area = mdiArea_->viewport()->rect();
    int x = area.left();
    int y = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* child : GetChildren()) {
        if (!child->isVisible() || !child->isMinimized()) continue;
        const QSize size = child->size();
        if (rowHeight == 0) {
            rowHeight = size.height();
            y -= rowHeight;
        }
        if (x > area.left() && x + size.width() > area.right() + 1) {
            x = area.left();
            y -= rowHeight;
        }
        child->move(x, y);
        x += size.width();
    }
}

int CMDIFrameWnd::MinimizedChildHeight() const {
    for (QMdiSubWindow* child : GetChildren())
        if (child->isVisible() && child->isMinimized()) return child->height();
    QStyleOptionTitleBar option;
    option.titleBarFlags = Qt::Window;
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, mdiArea_);
    const int frame = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, mdiArea_);
    return title + frame;
}

bool CMDIFrameWnd::RouteCommand(int id, CCmdUI* ui) {
    if (CMDIChildWnd* child = MDIGetActive())
        if (!child->IsClosing() && child->RouteCommand(id, ui)) return true;
    if (ui ? OnUpdateCommand(id, *ui) : OnCommand(id)) return true;
    if (docManager_ && (ui ? docManager_->OnUpdateCommand(id, *ui) : docManager_->OnCommand(id))) return true;
    return false;
}

CCmdUI CMDIFrameWnd::QueryCommand(int id, bool* handled) {
    CCmdUI ui;
    const bool answered = RouteCommand(id, &ui);
    if (!answered) ui.enabled = false;
    if (handled) *handled = answered;
    return ui;
}

bool CMDIFrameWnd::ExecuteCommand(int id) {
    bool handled = false;
    const CCmdUI ui = QueryCommand(id, &handled);
    if (!handled || !ui.enabled) return false;
    const QPointer<CMDIFrameWnd> self(this);
    const bool done = RouteCommand(id, nullptr);
    // What the command changed that tells nobody (a bar shown or hidden, a window arranged).
    if (self) UpdateCommandActions();
    return done;
}

QAction* CMDIFrameWnd::CreateCommandAction(int id, const QString& text, const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setData(id);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    commandActions_.push_back(action);
    return action;
}

void CMDIFrameWnd::UpdateCommandActions() {
    commandActions_.erase(std::remove_if(commandActions_.begin(), commandActions_.end(),
                                         [](const QPointer<QAction>& a) { return a.isNull(); }),
                          commandActions_.end());
    for (const QPointer<QAction>& action : commandActions_) {
        const CCmdUI ui = QueryCommand(action->data().toInt());
        action->setEnabled(ui.enabled);
        action->setCheckable(ui.checkable || ui.checked);
        if (action->isCheckable()) action->setChecked(ui.checked);
    }
}

void CMDIFrameWnd::OnUpdateFrameTitle() {
    QMdiSubWindow* active = MDIGetActiveWindow();
    if (!active || active->isMaximized() || active->windowTitle().isEmpty())
        setWindowTitle(appTitle_);
    else
        setWindowTitle(appTitle_ + QStringLiteral(" - ") + active->windowTitle());
}

bool CMDIFrameWnd::OnCommand(int id) {
    switch (id) {
        case ID_WINDOW_CASCADE:
            MDICascade();
            return true;
        case ID_WINDOW_TILE_HORZ:
            MDITile(true);
            return true;
        case ID_WINDOW_TILE_VERT:
            MDITile(false);
            return true;
        case ID_WINDOW_ARRANGE:
            MDIIconArrange();
            return true;
        case ID_APP_EXIT:
            close();
            return true;
        default:
            return false;
    }
}

bool CMDIFrameWnd::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
        case ID_WINDOW_CASCADE:
        case ID_WINDOW_TILE_HORZ:
        case ID_WINDOW_TILE_VERT:
        case ID_WINDOW_ARRANGE:
            ui.enabled = !GetChildren().empty();
            return true;
        case ID_APP_EXIT:
            ui.enabled = true;
            return true;
        default:
            return false;
    }
}

bool CMDIFrameWnd::CanCloseFrame() {
    return !docManager_ || docManager_->SaveAllModified();
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event) {
    if (!CanCloseFrame()) {
        event->ignore();
        return;
    }
    OnFrameClosing();
    if (docManager_) docManager_->CloseAllDocuments();
    QMainWindow::closeEvent(event);
}

void CMDIFrameWnd::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && !updatingTitle_ && !appTitle_.isEmpty()) {
        updatingTitle_ = true;
        OnUpdateFrameTitle();
        updatingTitle_ = false;
    }
}

bool CMDIFrameWnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdiArea_->viewport() && event->type() == QEvent::ChildAdded) {
        auto* child = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child());
        if (child && !child->property(kWatchedProperty).toBool()) {
            child->setProperty(kWatchedProperty, true);
            connect(child, &QMdiSubWindow::windowStateChanged, this, [this] { OnUpdateFrameTitle(); });
            connect(child, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMDIFrameWnd::OnSubWindowActivated(QMdiSubWindow* child) {
    // The keyboard works in the window that was activated at once: its view takes the focus (a view hands
    // it on to its focus proxy), unless a widget inside it has it already.
    if (auto* gpChild = qobject_cast<CMDIChildWnd*>(child))
        if (CView* view = gpChild->GetActiveView(); view && !view->isAncestorOf(QApplication::focusWidget()))
            view->setFocus(Qt::OtherFocusReason);
    OnUpdateFrameTitle();
    UpdateCommandActions();
    emit activeChildChanged(child);
}

}  // namespace GP
