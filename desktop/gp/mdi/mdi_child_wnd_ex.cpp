#include "gp/mdi/mdi_child_wnd_ex.h"

#include <QEvent>
#include <QMdiArea>

#include "gp/docview/mdi_frame_wnd.h"
#include "gp/util/settings_catalog.h"
#include "gp/util/settings_text.h"
#include "settings/settings_store.h"

namespace GP {

namespace {}

CMDIChildWndEx::CMDIChildWndEx(int windowType, QWidget* parent)
    : CMDIChildWnd(parent), windowType_(windowType) {}

void CMDIChildWndEx::SetAlwaysOnTop(bool on) {
    if (!OffersAlwaysOnTop()) return;
    alwaysOnTop_ = on;
    raise();
}

QRect CMDIChildWndEx::FullClientRect() const {
    QMdiArea* area = mdiArea();
    if (!area) return QRect();
    QRect rect = area->viewport()->rect();
    int minimizedHeight = 0;
    if (CMDIFrameWnd* frame = GetMDIFrame()) minimizedHeight = frame->MinimizedChildHeight();
    rect.setHeight(std::max(1, rect.height() - minimizedHeight));
    return rect;
}

void CMDIChildWndEx::ResizeToFull() {
    if (!IsNormalState()) return;
    setGeometry(FullClientRect());
}

void CMDIChildWndEx::ResizeToFullHeight() {
    if (!IsNormalState()) return;
    const QRect full = FullClientRect();
    setGeometry(x(), full.top(), width(), full.height());
}

void CMDIChildWndEx::ResizeToFullWidth() {
    if (!IsNormalState()) return;
    const QRect full = FullClientRect();
    setGeometry(full.left(), y(), full.width(), height());
}

QRect CMDIChildWndEx::NormalPlacement() const {
    if (IsNormalState()) return geometry();
    return normal_.isValid() ? normal_ : geometry();
}

Profile::CTextValue CMDIChildWndEx::PositionValue() const {
    return Profile::ChildPosition(windowType_);
}

void CMDIChildWndEx::SaveCurrentPosition() {
    ISettingsStore* settings = Settings();
    if (!settings) return;
    const QRect r = NormalPlacement();
    PositionValue().Write(settings,
                          QString::fromStdString(FormatIntegers({r.left(), r.top(), r.width(), r.height()})));
}

bool CMDIChildWndEx::LoadStoredPosition() {
    ISettingsStore* settings = Settings();
    if (!settings) return false;
    std::vector<int> values;
    if (!ParseIntegers(PositionValue().Read(settings).toStdString(), 4, values)) return false;
    const QRect r(values[0], values[1], values[2], values[3]);
    if (!IsReasonableRect(r)) return false;
    setGeometry(r);
    normal_ = r;
    return true;
}

void CMDIChildWndEx::KeepAlwaysOnTopAbove(QMdiArea* area, QMdiSubWindow* changed) {
    static bool restacking = false;
    if (restacking || !area || (changed && changed->isMaximized())) return;
    restacking = true;
    for (QMdiSubWindow* child : area->subWindowList(QMdiArea::StackingOrder)) {
        auto* ex = qobject_cast<CMDIChildWndEx*>(child);
        if (ex && ex->alwaysOnTop_ && !ex->IsClosing()) ex->raise();
    }
    restacking = false;
}

bool CMDIChildWndEx::OnCommand(int id) {
    switch (id) {
        case ID_WINDOW_RESIZE_FULL:
            ResizeToFull();
            return true;
        case ID_WINDOW_RESIZE_FULL_HEIGHT:
            ResizeToFullHeight();
            return true;
        case ID_WINDOW_RESIZE_FULL_WIDTH:
            ResizeToFullWidth();
            return true;
        case ID_WINDOW_SAVE_POSITION:
            SaveCurrentPosition();
            return true;
        case ID_WINDOW_ALWAYS_ON_TOP:
            ToggleAlwaysOnTop();
            return true;
        default:
            return CMDIChildWnd::OnCommand(id);
    }
}

bool CMDIChildWndEx::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
        case ID_WINDOW_RESIZE_FULL:
        case ID_WINDOW_RESIZE_FULL_HEIGHT:
        case ID_WINDOW_RESIZE_FULL_WIDTH:
            ui.enabled = IsNormalState();
            return true;
        case ID_WINDOW_SAVE_POSITION:
            ui.enabled = true;
            return true;
        case ID_WINDOW_ALWAYS_ON_TOP:
            ui.enabled = OffersAlwaysOnTop();
            ui.checkable = true;
            ui.checked = alwaysOnTop_;
            return true;
        default:
            return CMDIChildWnd::OnUpdateCommand(id, ui);
    }
}

void CMDIChildWndEx::OnCreateFrame() {
    CMDIChildWnd::OnCreateFrame();
    if (UsesStoredPosition()) LoadStoredPosition();
}

bool CMDIChildWndEx::event(QEvent* event) {
    const bool result = CMDIChildWnd::event(event);
    if (event->type() == QEvent::ZOrderChange) KeepAlwaysOnTopAbove(mdiArea(), this);
    return result;
}

void CMDIChildWndEx::moveEvent(QMoveEvent* event) {
    CMDIChildWnd::moveEvent(event);
    RememberNormal();
}

void CMDIChildWndEx::resizeEvent(QResizeEvent* event) {
    CMDIChildWnd::resizeEvent(event);
    RememberNormal();
}

ISettingsStore* CMDIChildWndEx::Settings() const {
    CMDIFrameWnd* frame = GetMDIFrame();
    return frame ? frame->Settings() : nullptr;
}

bool CMDIChildWndEx::IsNormalState() const {
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void CMDIChildWndEx::RememberNormal() {
    if (IsNormalState() && isVisible()) normal_ = geometry();
}

}  // namespace GP
