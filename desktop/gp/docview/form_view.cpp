#include "gp/docview/form_view.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace GP {

CFormView::CFormView(CDialogTemplate formTemplate, QWidget* parent)
    : CView(parent), template_(std::move(formTemplate)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    page_ = new QWidget;
    page_->setMinimumSize(TemplateSizePixels());
    scroll_->setWidget(page_);
    layout->addWidget(scroll_);
}

QSize CFormView::TemplateSizePixels() const {
    return MapDialogSize(template_.size, DialogBaseUnits(page_ ? page_->font() : font()));
}

QRect CFormView::ControlRect(int id) const {
    const CDialogItem* item = template_.Find(id);
    return item ? MapDialogRect(item->rect, DialogBaseUnits(page_->font())) : QRect();
}

void CFormView::AddControl(int id, QWidget* control) {
    if (!control) return;
    control->setParent(page_);
    if (template_.Find(id)) control->setGeometry(ControlRect(id));
    controls_[id] = control;
    control->show();
}

QSize CFormView::sizeHint() const {
    const int frame = 2 * scroll_->frameWidth();
    return TemplateSizePixels() + QSize(frame, frame);
}

QWidget* CFormView::GetDlgItem(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

}  // namespace GP
