#pragma once

#include "gp/docview/form_view.h"
#include "gp/layout/anchor_layout.h"

namespace GP {

// A form view whose controls follow the view's size by anchor codes (anchor_layout.h), measured
// against the page, which is never smaller than the form template.
//
// Set the anchors with SetControlAnchor (controls start with ANCHOR_KEEP). The layout is recorded from
// the template at the first initial update (so that the font in force then maps the dialog units) and
// re-applied on every resize; OnLayoutChanged runs after each layout.
class CFormViewEx : public CFormView {
    Q_OBJECT

  public:
    explicit CFormViewEx(CDialogTemplate formTemplate, QWidget* parent = nullptr);

    void AddControl(int id, QWidget* control) override;
    void SetControlAnchor(int id, int anchor);
    int ControlAnchor(int id) const;
    void RecalcLayout();

    void OnInitialUpdate() override;

  protected:
    virtual void OnLayoutChanged() {}
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RecordLayout();

    CAnchorLayout layout_;
    std::map<int, int> anchors_;
    bool firstUpdate_ = true;
};

}  // namespace GP
