#include "gp/list/popup_spin_edit.h"

#include <QKeyEvent>

#include "gp/list/popup_edit.h"
#include "gp/list/spin_edit_button.h"

namespace GP {

CPopupSpinEdit::CPopupSpinEdit(QWidget* parent) : CSpinEdit(parent), IPopup(KIND_NUMBER) {}

void CPopupSpinEdit::SetText(const QString& text) {
    if (text != this->text()) setText(text);
}

void CPopupSpinEdit::InitValue(double value) {
    initializing_ = true;
    SetValue(value);
    initializing_ = false;
    SetModified(false);
    GrowToText();
}

void CPopupSpinEdit::ShowValue(double value) {
    ApplyValue(Limit(value));
}

void CPopupSpinEdit::GrowToText() {
    if (!CellRect().isValid()) return;
    setGeometry(PopupGrownRect(CellRect(), PopupTextWidth(*this, text()), alignment()));
}

bool CPopupSpinEdit::OfferDelta(double oldValue, double delta) {
    IPopupOwner* owner = Owner();
    return owner ? owner->OnPopupDelta(*this, oldValue, delta) : CSpinEdit::OfferDelta(oldValue, delta);
}

void CPopupSpinEdit::NotifyParent(int code) {
    if (initializing_) return;
    if (code == POPUP_TEXT_CHANGE) {
        SetModified(true);
        GrowToText();
    }
    Notify(code);
    CSpinEdit::NotifyParent(code);
}

void CPopupSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (Mode() == SPIN_IDLE && HandleEndKey(event)) return;
    CSpinEdit::keyPressEvent(event);
}

}  // namespace GP
