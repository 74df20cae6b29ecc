// Audition: the switch MIDI > Audition, the status bar's field of the temporary area, and the foot switch
// that steps through the active patch list.

#include <QLabel>
#include <QStatusBar>

#include "app/app.h"
#include "app/app_services.h"
#include "app/main_frame.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/view.h"
#include "ui/audition_controls_dialog.h"
#include "ui/command_ids.h"
#include "ui/midi_warning_dlg.h"
#include "ui/temporary_area.h"

using namespace TQ;

void CApp::PrepareAudition() {
    CTemporaryArea& area = services_->temporary;
    auto* field = new QLabel(area.FieldText());
    field->setObjectName(QStringLiteral("temporaryField"));
    frame_->statusBar()->addPermanentWidget(field);
    connect(&area, &CTemporaryArea::fieldChanged, field, &QLabel::setText);
    connect(&area, &CTemporaryArea::auditioningChanged, frame_.get(),
            [this] { frame_->UpdateCommandActions(); });
    // Another window comes to the front: the processor plays what is selected there.
    connect(frame_.get(), &GP::CMDIFrameWnd::activeChildChanged, this, [this] {
        if (IAuditionList* list = ActiveAuditionList()) list->AuditionSelection();
    });
    connect(&services_->pedal, &CAuditionPedal::stepped, this, &CApp::StepAudition);
}

void CApp::SetUpAuditionControls() {
    CAuditionControlsDialog dialog(services_->pedal, environment_.Factory(), settings_, frame_.get());
    dialog.exec();
}

CAuditionPedal& CApp::Pedal() const {
    return services_->pedal;
}

IAuditionList* CApp::ActiveAuditionList() const {
    GP::CMDIChildWnd* child = frame_ ? frame_->MDIGetActive() : nullptr;
    return child ? dynamic_cast<IAuditionList*>(child->GetActiveView()) : nullptr;
}

void CApp::ToggleAudition() {
    CTemporaryArea& area = services_->temporary;
    if (area.IsAuditioning()) {
        area.SetAuditioning(false);
        return;
    }
    // Asked once, when it is turned on: from then on every selection is sent without a word.
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, &settings_, frame_.get())) {
        frame_->UpdateCommandActions();
        return;
    }
    area.SetAuditioning(true);
    if (IAuditionList* list = ActiveAuditionList()) list->AuditionSelection();
}

void CApp::StepAudition(int direction) {
    if (!services_->temporary.IsAuditioning()) return;
    if (IAuditionList* list = ActiveAuditionList()) list->StepSelection(direction);
}

bool CApp::RouteAuditionCommand(int id, GP::CCmdUI* ui) {
    switch (id) {
        case ID_MIDI_AUDITION:
            if (ui) {
                ui->enabled = true;
                ui->checkable = true;
                ui->checked = services_->temporary.IsAuditioning();
            } else {
                ToggleAudition();
            }
            return true;
        case ID_SETUP_AUDITION_CONTROLS:
            if (ui)
                ui->enabled = true;
            else
                SetUpAuditionControls();
            return true;
        default:
            return false;
    }
}
