#include "ui/child_frame.h"

#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

#include "gp/docview/document.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "settings/settings_store.h"
#include "ui/app_context.h"

CChildFrame::CChildFrame(int windowType, const CAppContext& context)
    : CMDIChildWndEx(windowType), context_(context) {}

bool CChildFrame::UsesStoredPosition() const {
    return context_.UseStoredPositions();
}

bool CChildFrame::InTitleBar(const QPoint& position) const {
    return position.y() >= 0 && position.y() < contentsRect().top() + (widget() ? widget()->y() : 0);
}

void CChildFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && InTitleBar(event->position().toPoint())) {
        event->accept();
        return;
    }
    CMDIChildWndEx::mousePressEvent(event);
}

void CChildFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && InTitleBar(event->position().toPoint())) {
        event->accept();
        if (GP::CMDIFrameWnd* frame = GetMDIFrame()) frame->ExecuteCommand(GP::ID_WINDOW_POPUP_MENU);
        return;
    }
    CMDIChildWndEx::mouseReleaseEvent(event);
}

void CChildFrame::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

bool CChildFrame::HasStoredPosition() const {
    return UsesStoredPosition() && PositionValue().IsStored(Settings());
}

void CFileFrame::OnCreateFrame() {
    CChildFrame::OnCreateFrame();
    if (HasStoredPosition()) return;
    QTimer::singleShot(0, this, [this] {
        const QMdiArea* area = mdiArea();
        if (!area || isMinimized() || isMaximized()) return;
        // Three fifths of the area's height, moved up where the area's placement left too little room below.
        const int available = area->viewport()->height();
        const int height = std::min(std::max(this->height(), available * 3 / 5), available);
        move(x(), std::max(0, std::min(y(), available - height)));
        resize(width(), height);
    });
}

void CFileFrame::OnUpdateFrameTitle() {
    if (GP::CDocument* document = GetActiveDocument())
        setWindowTitle(QStringLiteral("%1 %2").arg(document->GetTitle(),
                                                   document->IsModified() ? QStringLiteral("*") : QString()));
    if (GP::CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle();
}

void CImageFrame::OnUpdateFrameTitle() {
    setWindowTitle(QStringLiteral("Main"));
    if (GP::CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle();
}

void CImageFrame::OnCreateFrame() {
    CChildFrame::OnCreateFrame();
    // The system menu's Close (its last item) is greyed: the Main window stays for the whole run.
    if (QMenu* menu = systemMenu()) {
        const auto greyClose = [menu] {
            if (!menu->actions().isEmpty()) menu->actions().back()->setEnabled(false);
        };
        greyClose();
        connect(menu, &QMenu::aboutToShow, this, greyClose);
    }
    // Without a stored position it opens as tall as the main frame allows, so that its list shows many rows.
    if (!HasStoredPosition())
        QTimer::singleShot(0, this, [this] {
            if (!isMinimized() && !isMaximized()) ResizeToFullHeight();
        });
}
