#include "gp/list/popup_edit.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace GP {

int PopupTextWidth(const QLineEdit& edit, const QString& text, int extra) {
    const QFontMetrics metrics(edit.font());
    const QMargins margins = edit.textMargins();
    const QMargins contents = edit.contentsMargins();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    const int frame =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    return metrics.horizontalAdvance(text) + margins.left() + margins.right() + contents.left() +
           contents.right() + 2 * frame + 4 /* the line edit's own inner margin */ + metrics.maxWidth() + 4 +
           extra;
}

QRect PopupGrownRect(const QRect& cell, int width, Qt::Alignment alignment) {
    QRect rect = cell;
    const int w = std::max(width, cell.width());
    if (alignment & Qt::AlignRight) {
        rect.setLeft(cell.right() + 1 - w);
    } else {
        rect.setWidth(w);
    }
    return rect;
}

CPopupEdit::CPopupEdit(QWidget* parent) : QLineEdit(parent), IPopup(KIND_TEXT) {
    setFrame(true);
    connect(this, &QLineEdit::textChanged, this, &CPopupEdit::OnTextChanged);
}

void CPopupEdit::SetText(const QString& text) {
    if (text != this->text()) setText(text);
}

void CPopupEdit::InitText(const QString& text) {
    initializing_ = true;
    setText(text);
    initializing_ = false;
    SetModified(false);
    GrowToText();
}

void CPopupEdit::GrowToText() {
    if (!CellRect().isValid()) return;
    setGeometry(PopupGrownRect(CellRect(), PopupTextWidth(*this, text()), alignment()));
}

void CPopupEdit::keyPressEvent(QKeyEvent* event) {
    if (HandleEndKey(event)) return;
    QLineEdit::keyPressEvent(event);
}

void CPopupEdit::OnTextChanged() {
    if (initializing_) return;
    SetModified(true);
    GrowToText();
    Notify(POPUP_TEXT_CHANGE);
}

}  // namespace GP
