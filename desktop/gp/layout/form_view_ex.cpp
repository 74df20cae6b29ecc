#include "gp/layout/form_view_ex.h"

#include <QEvent>

namespace GP {

CFormViewEx::CFormViewEx(CDialogTemplate formTemplate, QWidget* parent)
    : CFormView(std::move(formTemplate), parent) {
    Form()->installEventFilter(this);
    layout_.SetTemplateSize(TemplateSizePixels());
}

void CFormViewEx::AddControl(int id, QWidget* control) {
    CFormView::AddControl(id, control);
    if (!control) return;
    const QRect rect = FormTemplate().Find(id) ? ControlRect(id) : control->geometry();
    layout_.Add(id, control, rect, ControlAnchor(id));
    RecalcLayout();
}

void CFormViewEx::SetControlAnchor(int id, int anchor) {
    anchors_[id] = anchor;
    layout_.SetAnchor(id, anchor);
}

int CFormViewEx::ControlAnchor(int id) const {
    auto it = anchors_.find(id);
    return it == anchors_.end() ? ANCHOR_KEEP : it->second;
}

void CFormViewEx::RecalcLayout() {
    layout_.Apply(Form()->size().expandedTo(layout_.TemplateSize()));
    OnLayoutChanged();
}

void CFormViewEx::OnInitialUpdate() {
    if (firstUpdate_) {
        firstUpdate_ = false;
        RecordLayout();
    }
    RecalcLayout();
    CFormView::OnInitialUpdate();
}

bool CFormViewEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Form() && event->type() == QEvent::Resize) RecalcLayout();
    return CFormView::eventFilter(watched, event);
}

void CFormViewEx::RecordLayout() {
    const QSize templateSize = TemplateSizePixels();
    Form()->setMinimumSize(templateSize);
    layout_.SetTemplateSize(templateSize);
    for (const CDialogItem& item : FormTemplate().items)
        if (QWidget* control = GetDlgItem(item.id))
            layout_.Add(item.id, control, ControlRect(item.id), ControlAnchor(item.id));
}

}  // namespace GP
