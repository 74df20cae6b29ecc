#include "gp/docview/view.h"

#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/mdi_frame_wnd.h"

namespace GP {

CView::CView(QWidget* parent) : QWidget(parent) {}

CView::~CView() {
    if (document_) document_->RemoveView(this);
}

CDocument* CView::GetDocument() const {
    return document_;
}

CMDIChildWnd* CView::GetParentFrame() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CMDIChildWnd*>(w)) return frame;
    return nullptr;
}

bool CView::IsInActiveWindow() const {
    CMDIChildWnd* frame = GetParentFrame();
    CMDIFrameWnd* main = frame ? frame->GetMDIFrame() : nullptr;
    return !main || main->MDIGetActive() == frame;
}

void CView::CommandStatesChanged() {
    CMDIChildWnd* frame = GetParentFrame();
    CMDIFrameWnd* main = frame ? frame->GetMDIFrame() : nullptr;
    if (main && main->MDIGetActive() == frame) main->UpdateCommandActions();
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, int, QObject*) {
    update();
}

}  // namespace GP
