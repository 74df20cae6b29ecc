#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "gp/list/edit_list_ctrl.h"
#include "gp/list/edit_list_model.h"
#include "gp/list/popup.h"

// Keys and mouse of the edit list: the table keys, selection by mouse, the right button's editing, and what
// scrolling and the wheel do to an edit in progress.

namespace GP {

// ---- Events -----------------------------------------------------------------------------------------

bool CEditListCtrl::IsTableKey(const QKeyEvent* event) const {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    return text == QLatin1String("h") || text == QLatin1String("l") || text == QLatin1String("j") ||
           text == QLatin1String("J") || text == QLatin1String("k") || text == QLatin1String("K") ||
           text == QLatin1String("^") || text == QLatin1String("_") || text == QLatin1String("|") ||
           text == QLatin1String("$");
}

bool CEditListCtrl::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !IsEditing()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const bool enter =
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && AnyColumnEditable();
        const bool arrow = plain && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right);
        if (enter || arrow || IsTableKey(key)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void CEditListCtrl::keyPressEvent(QKeyEvent* event) {
    if (IsEditing()) {
        QTableView::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    const QString text = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const SELVColumn* record = GetColumnRecord(currentColumn_);
        if (!record || !record->IsEditable()) {
            if (AnyColumnEditable())
                event->accept();
            else
                event->ignore();
            return;
        }
        const std::vector<int> rows = GetSelectedRows();
        if (!rows.empty()) {
            const int top = GetTopIndex();
            const int last = top + GetCountPerPage() - 1;
            auto it = std::find_if(rows.begin(), rows.end(), [&](int r) { return r >= top && r <= last; });
            int row = it != rows.end() ? *it : rows.front();
            if (it == rows.end()) EnsureVisible(row);
            BeginEdit(row, currentColumn_);
        }
        event->accept();
        return;
    }
    if ((plain && key == Qt::Key_Left) || text == QLatin1String("h")) {
        MoveCurrentColumn(-1);
    } else if ((plain && key == Qt::Key_Right) || text == QLatin1String("l")) {
        MoveCurrentColumn(+1);
    } else if (plain &&
               (text == QLatin1String("^") || text == QLatin1String("_") || text == QLatin1String("|"))) {
        SetCurrentColumn(0);
    } else if (plain && text == QLatin1String("$")) {
        SetCurrentColumn(GetColumnCount() - 1);
    } else if (plain && (text == QLatin1String("j") || text == QLatin1String("J") ||
                         text == QLatin1String("k") || text == QLatin1String("K"))) {
        const bool down = text.compare(QLatin1String("j"), Qt::CaseInsensitive) == 0;
        QKeyEvent arrow(QEvent::KeyPress, down ? Qt::Key_Down : Qt::Key_Up, event->modifiers());
        QTableView::keyPressEvent(&arrow);
    } else if (key == Qt::Key_R && (event->modifiers() & Qt::ControlModifier)) {
        const SELVColumn* record = GetColumnRecord(currentColumn_);
        if (record && record->IsEditable() && record->Editor() == SELVColumn::EDITOR_TEXT &&
            GetSelectedCount() > 0)
            ReplaceString(currentColumn_);
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

int CEditListCtrl::RowFromY(int y) const {
    const int row = rowAt(y);
    return row >= 0 ? row : (y < 0 ? GetTopIndex() : GetItemCount() - 1);
}

void CEditListCtrl::SelectRange(int from, int to) {
    if (from < 0) from = to;
    if (to < 0 || GetColumnCount() == 0) return;
    const int first = std::min(from, to);
    const int last = std::max(from, to);
    selectionModel()->select(
        QItemSelection(model_->index(first, 0), model_->index(last, GetColumnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void CEditListCtrl::ApplyToggle(int to) {
    if (GetColumnCount() == 0) return;
    const int first = std::min(mark_, to);
    const int last = std::max(mark_, to);
    SelectRowRuns(
        [&](int row) {
            return row >= first && row <= last ? toggleState_ : snapshot_[static_cast<std::size_t>(row)];
        },
        QItemSelectionModel::ClearAndSelect);
}

void CEditListCtrl::mousePressEvent(QMouseEvent* event) {
    if (!multipleSelection_ && event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        leftPressed_ = true;
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        rightPressed_ = true;
        const SELVColumn* record = GetColumnRecord(column);
        if (row >= 0 && record && record->IsEditable()) {
            SetCurrentColumn(column);
            if (IsItemSelected(row)) BeginEdit(row, column);
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    leftPressed_ = true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (row < 0) {
        if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) ClearAllSelection();
        mouseMode_ = MOUSE_NONE;
        event->accept();
        return;
    }
    if (modifiers & Qt::ShiftModifier) {
        mouseMode_ = MOUSE_RANGE;
        if (mark_ < 0 || mark_ >= GetItemCount()) mark_ = row;
        SelectRange(mark_, row);
    } else if (modifiers & Qt::ControlModifier) {
        mouseMode_ = MOUSE_TOGGLE;
        snapshot_.assign(static_cast<std::size_t>(GetItemCount()), false);
        for (int r : GetSelectedRows())
            snapshot_[static_cast<std::size_t>(r)] = true;
        mark_ = row;
        toggleState_ = !snapshot_[static_cast<std::size_t>(row)];
        ApplyToggle(row);
    } else {
        mouseMode_ = MOUSE_SINGLE;
        mark_ = row;
        SelectRange(row, row);
    }
    SetFocusedRow(row);
    event->accept();
}

void CEditListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!multipleSelection_) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    if (!leftPressed_ || mouseMode_ == MOUSE_NONE || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    const int y = event->position().toPoint().y();
    int row = 0;
    if (y < 0) {
        SetTopIndex(GetTopIndex() - 1);
        row = GetTopIndex();
    } else if (y >= viewport()->height()) {
        SetTopIndex(GetTopIndex() + 1);
        row = std::min(GetItemCount() - 1, GetTopIndex() + std::max(0, GetCountPerPage() - 1));
    } else {
        row = RowFromY(y);
    }
    if (row < 0) return;
    if (mouseMode_ == MOUSE_TOGGLE)
        ApplyToggle(row);
    else
        SelectRange(mark_, row);
    SetFocusedRow(row);
    event->accept();
}

void CEditListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && leftPressed_) {
        if (!multipleSelection_) QTableView::mouseReleaseEvent(event);
        leftPressed_ = false;
        mouseMode_ = MOUSE_NONE;
        emit listClicked();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && rightPressed_) {
        rightPressed_ = false;
        emit listRightClicked();
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void CEditListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        leftPressed_ = true;
        if (index.isValid()) emit doubleClicked(index);
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        // A second right press acts like the first.
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers());
        mousePressEvent(&press);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CEditListCtrl::wheelEvent(QWheelEvent* event) {
    if (IsEditing()) EndEdit(false);
    QTableView::wheelEvent(event);
}

void CEditListCtrl::focusInEvent(QFocusEvent* event) {
    if (IsEditing() && active_) {
        active_->Window()->setFocus(event->reason());
        return;
    }
    QTableView::focusInEvent(event);
}

void CEditListCtrl::scrollContentsBy(int dx, int dy) {
    if (IsEditing() && !applying_) EndEdit(false);
    QTableView::scrollContentsBy(dx, dy);
}

void CEditListCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateRowHeight();
}

}  // namespace GP
