#pragma once

#include "gp/list/popup.h"
#include "gp/list/spin_edit.h"

namespace GP {

// The in-place number editor: a CSpinEdit whose steps and slides are offered to the owner (the edit
// list control validates them against every edited row) and whose text changes and commands go to the
// owner as notifications. It grows while the user types, like CPopupEdit.
class CPopupSpinEdit : public CSpinEdit, public IPopup {
    Q_OBJECT

  public:
    explicit CPopupSpinEdit(QWidget* parent = nullptr);

    QWidget* Window() override { return this; }
    QString Text() const override { return text(); }
    void SetText(const QString& text) override;
    // Sets the first value without counting it as a change.
    void InitValue(double value);
    // Shows value without offering it to the owner (another editor's accepted step).
    void ShowValue(double value);
    void GrowToText();

  protected:
    bool OfferDelta(double oldValue, double delta) override;
    void NotifyParent(int code) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool initializing_ = false;
};

}  // namespace GP
