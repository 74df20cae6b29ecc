#include "gp/list/popup_combo_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace GP {

CPopupComboBox::CPopupComboBox(QWidget* parent) : QComboBox(parent), IPopup(KIND_LIST) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] {
        SetModified(true);
        Notify(POPUP_LIST_SELECT);
    });
}

void CPopupComboBox::SetText(const QString& text) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void CPopupComboBox::SetItems(const QStringList& items) {
    items_ = items;
    const QSignalBlocker blocker(this);
    clear();
    addItems(items_);
}

void CPopupComboBox::PlaceOverCell(const QRect& cell) {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& item : items_)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int width = std::max(cell.width(), widest + scrollBar + 2 * metrics.averageCharWidth() + 8);
    const int height = sizeHint().height();
    setGeometry(cell.left(), cell.top() + (cell.height() - height) / 2, width, height);
    const QScreen* screen = this->screen();
    const int rowHeight = std::max(1, metrics.height() + 2);
    const int screenHeight = screen ? screen->geometry().height() : 600;
    setMaxVisibleItems(std::max(1, screenHeight / 2 / rowHeight));
}

void CPopupComboBox::showPopup() {
    listOpen_ = true;
    QComboBox::showPopup();
}

void CPopupComboBox::hidePopup() {
    QComboBox::hidePopup();
    listOpen_ = false;
}

void CPopupComboBox::keyPressEvent(QKeyEvent* event) {
    if (!listOpen_ && HandleEndKey(event)) return;
    QComboBox::keyPressEvent(event);
}

}  // namespace GP
