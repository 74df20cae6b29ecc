#include "demo_view.h"

#include <QCheckBox>
#include <QLabel>

#include "demo_document.h"
#include "demo_list_ctrl.h"
#include "gp/layout/anchor_layout.h"

namespace {

enum { IDC_NOTE = 1001, IDC_GRID = 1002, IDC_LIST = 1003 };

GP::CDialogTemplate DemoForm() {
    GP::CDialogTemplate t;
    t.id = 100;
    t.size = QSize(330, 120);
    t.items = {{IDC_NOTE, QRect(5, 5, 250, 12)},
               {IDC_GRID, QRect(265, 5, 60, 12)},
               {IDC_LIST, QRect(5, 22, 320, 93)}};
    return t;
}

}  // namespace

CDemoView::CDemoView()
    : CFormViewEx(DemoForm()), list_(new CDemoListCtrl), note_(new QLabel), grid_(new QCheckBox) {
    note_->setText(tr("Enter, right click or Ctrl+R edits; Left/Right pick the column."));
    grid_->setText(tr("&Grid"));
    AddControl(IDC_NOTE, note_);
    AddControl(IDC_GRID, grid_);
    AddControl(IDC_LIST, list_);
    SetControlAnchor(IDC_NOTE, GP::ANCHOR_KEEP);
    SetControlAnchor(IDC_GRID, GP::ANCHOR_KEEP);
    SetControlAnchor(IDC_LIST, GP::ANCHOR_STRETCH);
    connect(grid_, &QCheckBox::toggled, list_, &CDemoListCtrl::SetGridLines);
    connect(list_, &GP::CEditListCtrl::beginLabelEdit, this,
            [this](int row, int column, const QString& text, int) {
                note_->setText(tr("Editing row %1, column %2: \"%3\"").arg(row + 1).arg(column).arg(text));
            });
    connect(list_, &GP::CEditListCtrl::endLabelEdit, this,
            [this](int row, int, const QString& text, int param) {
                note_->setText(param == 1 ? tr("Row %1 now \"%2\"").arg(row + 1).arg(text)
                                          : tr("Edit cancelled"));
                UpdateAllViewsOfDocument();
            });
}

void CDemoView::OnInitialUpdate() {
    list_->SetDocument(qobject_cast<CDemoDocument*>(GetDocument()));
    CFormViewEx::OnInitialUpdate();
}

void CDemoView::OnUpdate(GP::CView*, int, QObject*) {
    list_->viewport()->update();
}

void CDemoView::UpdateAllViewsOfDocument() {
    if (GP::CDocument* document = GetDocument()) document->UpdateAllViews(this);
}
