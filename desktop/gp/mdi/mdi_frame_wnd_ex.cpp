#include "gp/mdi/mdi_frame_wnd_ex.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/mdi/mdi_child_wnd_ex.h"
#include "gp/mdi/window_list_dlg.h"
#include "gp/util/settings_catalog.h"
#include "gp/util/settings_text.h"
#include "settings/settings_store.h"

namespace GP {

namespace {

const QRect kDefaultPlacement(0, 0, 800, 600);

// "&1" to "&9", then "&A" to "&Z". Nine digits and 26 letters label 35 items: the 36th has no
// mnemonic rather than the character after 'Z'.
QString SelectionLabel(int index) {
    if (index < 9) return QStringLiteral("&%1").arg(index + 1);
    if (index < 9 + 26) return QStringLiteral("&%1").arg(QChar('A' + (index - 9)));
    return QString();
}

}  // namespace

CMDIFrameWndEx::CMDIFrameWndEx(ISettingsStore* settings, QWidget* parent) : CMDIFrameWnd(settings, parent) {
    MdiArea()->viewport()->installEventFilter(this);
    MdiArea()->installEventFilter(this);
    LoadFramePlacement();
}

void CMDIFrameWndEx::LoadFramePlacement() {
    QRect placement = kDefaultPlacement;
    bool maximized = false;
    if (ISettingsStore* settings = Settings()) {
        std::vector<int> v;
        if (ParseIntegers(Profile::kFramePosition.Read(settings).toStdString(), 4, v)) {
            const QRect stored(v[0], v[1], v[2] - v[0], v[3] - v[1]);
            if (IsReasonableRect(stored)) placement = stored;
        }
        maximized = Profile::kFrameMaximized.Read(settings) != 0;
    }
    // A placement left from a screen that is gone moves to the primary screen.
    bool onScreen = QGuiApplication::screens().isEmpty();
    for (QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(placement);
    if (!onScreen) placement.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    normal_ = placement;
    move(placement.topLeft());
    resize(placement.size());
    if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CMDIFrameWndEx::SaveFramePlacement() {
    ISettingsStore* settings = Settings();
    if (!settings) return;
    RememberNormal();
    Profile::kFrameMaximized.Write(settings, isMaximized() ? 1 : 0);
    Profile::kFramePosition.Write(
        settings, QString::fromStdString(
                      FormatIntegers({normal_.left(), normal_.top(), normal_.left() + normal_.width(),
                                      normal_.top() + normal_.height()})));
}

void CMDIFrameWndEx::SaveBarState() {
    Profile::kBarState.Write(Settings(), QString::fromLatin1(saveState().toBase64()));
}

bool CMDIFrameWndEx::LoadBarState() {
    ISettingsStore* settings = Settings();
    if (!settings) return false;
    const QString text = Profile::kBarState.Read(settings);
    if (text.isEmpty()) return false;
    return restoreState(QByteArray::fromBase64(text.toLatin1()));
}

void CMDIFrameWndEx::SetWindowMenu(QMenu* menu) {
    if (windowMenu_) disconnect(windowMenu_, nullptr, this, nullptr);
    windowMenu_ = menu;
    if (menu) connect(menu, &QMenu::aboutToShow, this, &CMDIFrameWndEx::RebuildWindowMenu);
}

QMenu* CMDIFrameWndEx::WindowMenu() const {
    return windowMenu_;
}

void CMDIFrameWndEx::RebuildWindowMenu() {
    if (!windowMenu_) return;
    UpdateCommandActions();
    QList<QAction*> actions = windowMenu_->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->data().toInt() != ID_WINDOW_ARRANGE) continue;
        for (qsizetype j = actions.size() - 1; j > i; --j) {
            QAction* extra = actions[j];
            windowMenu_->removeAction(extra);
            if (extra->menu() != selectionMenu_ && extra->parent() == windowMenu_) extra->deleteLater();
        }
        actions = windowMenu_->actions();
        break;
    }
    if (selectionMenuPos_ < 0 || selectionMenuPos_ >= actions.size()) return;
    QAction* placeholder = actions[selectionMenuPos_];
    if (!selectionMenu_ || placeholder->menu() != selectionMenu_) {
        auto* sub = new QMenu(placeholder->text(), windowMenu_);
        windowMenu_->insertMenu(placeholder, sub);
        windowMenu_->removeAction(placeholder);
        selectionMenu_ = sub;
    }
    BuildWindowSelectionMenu(*selectionMenu_);
}

std::vector<QMdiSubWindow*> CMDIFrameWndEx::CollectChildrenByTitle() const {
    std::vector<QMdiSubWindow*> children;
    const CDocManager* manager = GetDocManager();
    if (manager && !manager->GetTemplates().empty()) {
        for (CDocument* document : manager->GetDocuments())
            for (CMDIChildWnd* frame : document->GetFrames())
                if (!frame->IsClosing() &&
                    std::find(children.begin(), children.end(), frame) == children.end())
                    children.push_back(frame);
    } else {
        children = GetChildren();
    }
    std::stable_sort(children.begin(), children.end(), [](QMdiSubWindow* a, QMdiSubWindow* b) {
        return a->windowTitle().toUtf8() < b->windowTitle().toUtf8();
    });
    return children;
}

void CMDIFrameWndEx::BuildWindowSelectionMenu(QMenu& menu) {
    menu.clear();
    const std::vector<QMdiSubWindow*> children = CollectChildrenByTitle();
    QMdiSubWindow* active = MDIGetActiveWindow();
    const int count = std::min(static_cast<int>(children.size()), kWindowSelectionCount);
    for (int i = 0; i < count; ++i) {
        QString title = children[static_cast<std::size_t>(i)]->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu.addAction(SelectionLabel(i) + QLatin1Char('\t') + title);
        action->setData(ID_WINDOW_SELECT_FIRST + i);
        action->setCheckable(true);
        action->setChecked(children[static_cast<std::size_t>(i)] == active);
        connect(action, &QAction::triggered, this, [this, i] { ExecuteCommand(ID_WINDOW_SELECT_FIRST + i); });
    }
}

bool CMDIFrameWndEx::SelectWindow(int index) {
    const std::vector<QMdiSubWindow*> children = CollectChildrenByTitle();
    if (index < 0 || index >= static_cast<int>(children.size())) return false;
    MDIActivate(children[static_cast<std::size_t>(index)]);
    return true;
}

void CMDIFrameWndEx::ShowWindowPopupMenu() {
    QMenu menu(this);
    BuildWindowSelectionMenu(menu);
    if (!menu.isEmpty()) menu.exec(QCursor::pos());
}

void CMDIFrameWndEx::ShowWindowList() {
    CWindowListDlg dialog(*this, Settings(), this);
    dialog.exec();
}

bool CMDIFrameWndEx::OnCommand(int id) {
    if (id == ID_WINDOW_LIST) {
        ShowWindowList();
        return true;
    }
    if (id == ID_WINDOW_POPUP_MENU) {
        ShowWindowPopupMenu();
        return true;
    }
    if (id >= ID_WINDOW_SELECT_FIRST && id <= ID_WINDOW_SELECT_LAST) {
        SelectWindow(id - ID_WINDOW_SELECT_FIRST);
        return true;
    }
    return CMDIFrameWnd::OnCommand(id);
}

bool CMDIFrameWndEx::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id == ID_WINDOW_LIST || id == ID_WINDOW_POPUP_MENU) {
        ui.enabled = true;
        return true;
    }
    if (id >= ID_WINDOW_SELECT_FIRST && id <= ID_WINDOW_SELECT_LAST) {
        ui.enabled = id - ID_WINDOW_SELECT_FIRST < static_cast<int>(CollectChildrenByTitle().size());
        return true;
    }
    return CMDIFrameWnd::OnUpdateCommand(id, ui);
}

void CMDIFrameWndEx::OnFrameClosing() {
    CMDIFrameWnd::OnFrameClosing();
    SaveFramePlacement();
    SaveBarState();
}

void CMDIFrameWndEx::moveEvent(QMoveEvent* event) {
    CMDIFrameWnd::moveEvent(event);
    RememberNormal();
}

void CMDIFrameWndEx::resizeEvent(QResizeEvent* event) {
    CMDIFrameWnd::resizeEvent(event);
    RememberNormal();
}

bool CMDIFrameWndEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MdiArea()->viewport() && event->type() == QEvent::ChildAdded) {
        // Children that are not CMDIChildWndEx restack their always-on-top siblings through this filter.
        auto* child = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child());
        if (child && !qobject_cast<CMDIChildWndEx*>(child)) child->installEventFilter(this);
    } else if (event->type() == QEvent::ZOrderChange) {
        if (auto* child = qobject_cast<QMdiSubWindow*>(watched))
            CMDIChildWndEx::KeepAlwaysOnTopAbove(MdiArea(), child);
    } else if (watched == MdiArea() && event->type() == QEvent::Resize) {
        const std::vector<QMdiSubWindow*> children = GetChildren();
        if (std::any_of(children.begin(), children.end(), [](QMdiSubWindow* c) { return c->isMinimized(); }))
            MDIIconArrange();
    }
    return CMDIFrameWnd::eventFilter(watched, event);
}

void CMDIFrameWndEx::RememberNormal() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    if (!isVisible()) return;
    normal_ = QRect(pos(), size());
}

}  // namespace GP
