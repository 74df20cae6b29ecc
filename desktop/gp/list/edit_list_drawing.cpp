#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>

#include "gp/list/edit_list_ctrl.h"
#include "gp/list/edit_list_model.h"

// Drawing of the edit list: every cell through DrawItem, shortened texts, the row height.

namespace GP {

namespace {

const QString kEllipsis = QStringLiteral("...");

// Hands the painting of every cell to CEditListCtrl::DrawItem.
class CEditListDelegate : public QStyledItemDelegate {
  public:
    explicit CEditListDelegate(CEditListCtrl& control) : QStyledItemDelegate(&control), control_(control) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        control_.DrawItem(painter, option, index);
    }

  private:
    CEditListCtrl& control_;
};

}  // namespace

QStyledItemDelegate* CEditListCtrl::MakeDelegate() {
    return new CEditListDelegate(*this);
}

// ---- Drawing ----------------------------------------------------------------------------------------

QString CEditListCtrl::ShortenText(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    // The longest beginning that fits together with "..." (the width grows with the length).
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + kEllipsis) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && text.at(low - 1).isHighSurrogate()) --low;
    return text.left(low) + kEllipsis;
}

QString CEditListCtrl::CellDisplayText(int row, int column) const {
    const QFontMetrics metrics(font());
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    return ShortenText(GetCellText(row, column), metrics, columnWidth(column) - 2 * blank);
}

void CEditListCtrl::DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    const bool enabled = isEnabled();
    const QPalette& pal = palette();
    QColor text = enabled ? pal.color(QPalette::Active, QPalette::Text) : QColor(128, 128, 128);
    QColor back = pal.color(QPalette::Active, QPalette::Base);
    if (text == back) text = QColor(192, 192, 192);
    if (enabled && IsItemSelected(row)) {
        back = pal.color(QPalette::Active, QPalette::Highlight);
        text = pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    painter->save();
    painter->fillRect(option.rect, back);
    const QFontMetrics metrics(font());
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const QRect textRect = option.rect.adjusted(blank, 0, -blank, 0);
    const QString full = GetCellText(row, column);
    const QString shown = ShortenText(full, metrics, textRect.width());
    const SELVColumn* record = GetColumnRecord(column);
    const Qt::Alignment alignment =
        shown.size() != full.size() || !record ? Qt::AlignLeft : record->Alignment();
    painter->setFont(font());
    painter->setPen(text);
    painter->drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    if (row == GetFocusedRow() && hasFocus()) {
        // One focus rectangle around the whole row, drawn piece by piece in each cell.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(columnViewportPosition(0), option.rect.top(),
                           columnViewportPosition(GetColumnCount() - 1) + columnWidth(GetColumnCount() - 1) -
                               columnViewportPosition(0),
                           option.rect.height());
        focus.backgroundColor = back;
        painter->setClipRect(option.rect, Qt::IntersectClip);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
    painter->restore();
}

void CEditListCtrl::UpdateRowHeight() {
    const QFontMetrics metrics(font());
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

}  // namespace GP
