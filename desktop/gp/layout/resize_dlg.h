#pragma once

#include <QDialog>
#include <QString>

#include "gp/layout/anchor_layout.h"
#include "gp/util/dialog_template.h"

class ISettingsStore;

namespace GP {

// A dialog whose controls follow its size by anchor codes (anchor_layout.h). Controls are placed from
// the dialog template in dialog units; the template size is the dialog's first and smallest size. An
// optional size grip sits in the bottom right corner.
//
// The size ("width,height") and the rectangle ("left,top,right,bottom") are stored on close and
// restored when the dialog is first shown, under the names the derived dialog supplies
// (SettingsSection, SizeValueName, RectValueName; an empty name is not stored). A restored rectangle
// that lies off every screen is moved onto the screen.
//
// Hook: OnLayoutChanged runs after every layout.
class CResizeDlg : public QDialog {
    Q_OBJECT

  public:
    CResizeDlg(CDialogTemplate dialogTemplate, ISettingsStore* settings, QWidget* parent = nullptr,
               bool sizeGrip = true);

    // Puts control into the dialog under id at its template rectangle, with an anchor code.
    void AddControl(int id, QWidget* control, int anchor = ANCHOR_KEEP);
    void SetControlAnchor(int id, int anchor) { layout_.SetAnchor(id, anchor); }
    int ControlAnchor(int id) const { return layout_.Anchor(id); }
    QWidget* GetDlgItem(int id) const { return layout_.Control(id); }
    // The template size in pixels, also the minimum size.
    QSize InitialSize() const { return initialSize_; }
    ISettingsStore* Settings() const { return settings_; }
    void RecalcLayout();

    void done(int result) override;

  protected:
    virtual QString SettingsSection() const { return QString(); }
    virtual QString SizeValueName() const { return QString(); }
    virtual QString RectValueName() const { return QString(); }
    virtual void OnLayoutChanged() {}

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void RestorePlacement();
    void StorePlacement();

    CDialogTemplate template_;
    ISettingsStore* settings_;
    QSize baseUnits_;
    QSize initialSize_;
    CAnchorLayout layout_;
    bool restored_ = false;
};

}  // namespace GP
