#include "gp/util/dialog_template.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <cmath>

namespace GP {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

const CDialogItem* CDialogTemplate::Find(int itemId) const {
    for (const CDialogItem& item : items)
        if (item.id == itemId) return &item;
    return nullptr;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded to nearest, as dialog layouts expect.
    static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int letters = metrics.horizontalAdvance(kLetters);
    const int width = (letters / 26 + 1) / 2;
    return QSize(width > 0 ? width : 1, metrics.height() > 0 ? metrics.height() : 1);
}

QRect MapDialogRect(const QRect& dialogUnits, const QSize& baseUnits) {
    const int left = MulDiv(dialogUnits.left(), baseUnits.width(), 4);
    const int top = MulDiv(dialogUnits.top(), baseUnits.height(), 8);
    const int right = MulDiv(dialogUnits.left() + dialogUnits.width(), baseUnits.width(), 4);
    const int bottom = MulDiv(dialogUnits.top() + dialogUnits.height(), baseUnits.height(), 8);
    return QRect(left, top, right - left, bottom - top);
}

QSize MapDialogSize(const QSize& dialogUnits, const QSize& baseUnits) {
    return QSize(MulDiv(dialogUnits.width(), baseUnits.width(), 4),
                 MulDiv(dialogUnits.height(), baseUnits.height(), 8));
}

}  // namespace GP
