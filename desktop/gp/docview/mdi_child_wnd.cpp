#include "gp/docview/mdi_child_wnd.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "gp/docview/document.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/docview/view.h"

namespace GP {

CMDIChildWnd::CMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildWnd::~CMDIChildWnd() = default;

CView* CMDIChildWnd::GetActiveView() const {
    return qobject_cast<CView*>(widget());
}

void CMDIChildWnd::SetDocument(CDocument* document) {
    document_ = document;
}

CDocument* CMDIChildWnd::GetActiveDocument() const {
    return document_;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    QMdiArea* area = mdiArea();
    return area ? qobject_cast<CMDIFrameWnd*>(area->window()) : nullptr;
}

void CMDIChildWnd::InitialUpdateFrame(CDocument*, bool makeVisible) {
    if (!initialUpdateDone_) {
        initialUpdateDone_ = true;
        if (CView* view = GetActiveView()) view->OnInitialUpdate();
    }
    OnUpdateFrameTitle();
    if (makeVisible) {
        show();
        if (CMDIFrameWnd* frame = GetMDIFrame()) frame->MDIActivate(this);
    }
}

void CMDIChildWnd::OnUpdateFrameTitle() {
    if (document_) setWindowTitle(document_->GetTitle());
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle();
}

void CMDIChildWnd::DestroyFrame() {
    destroying_ = true;
    close();
}

bool CMDIChildWnd::RouteCommand(int id, CCmdUI* ui) {
    const auto offer = [id, ui](CCmdTarget* target) {
        return target && (ui ? target->OnUpdateCommand(id, *ui) : target->OnCommand(id));
    };
    if (offer(GetActiveView())) return true;
    if (offer(document_.data())) return true;
    return offer(this);
}

bool CMDIChildWnd::CanCloseFrame() {
    return !document_ || document_->CanCloseFrame(this);
}

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (!destroying_ && !CanCloseFrame()) {
        event->ignore();
        return;
    }
    const bool wasDestroying = destroying_;
    destroying_ = true;
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) {
        destroying_ = wasDestroying;
        return;
    }
    // Leave the document now, so that it closes (or keeps its other windows) at once.
    if (CView* view = GetActiveView(); view && document_) document_->RemoveView(view);
}

}  // namespace GP
