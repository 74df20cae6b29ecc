#pragma once

#include "gp/layout/form_view_ex.h"

class CDemoListCtrl;
class QCheckBox;
class QLabel;

// The demo's form: a note and a grid switch that stay in place (anchor 5) above the edit list, which
// stretches with the window (anchor 15). Edit notifications are shown in the note.
class CDemoView : public GP::CFormViewEx {
    Q_OBJECT

  public:
    CDemoView();
    void OnInitialUpdate() override;
    void OnUpdate(GP::CView* sender, int hint, QObject* hintObject) override;

  private:
    void UpdateAllViewsOfDocument();

    CDemoListCtrl* list_;
    QLabel* note_;
    QCheckBox* grid_;
};
