#include <QApplication>
#include <QMouseEvent>
#include <cmath>

#include "gp/list/edit_list_ctrl.h"
#include "gp/list/edit_list_model.h"
#include "gp/list/popup_combo_box.h"
#include "gp/list/popup_edit.h"
#include "gp/list/popup_spin_edit.h"
#include "gp/list/replace_string_dlg.h"
#include "gp/list/spin_edit_button.h"

// In-place editing: the editors of the selected rows, the values they commit, Replace String, the editors'
// notifications, and the filter on every mouse press of the application while editing.

namespace GP {

namespace {

CEditListCtrl* g_editedControl = nullptr;
// The last search and replace strings of the process.
QString g_lastSearch;
QString g_lastReplace;

}  // namespace

void CEditListCtrl::ForgetEditedControl() {
    if (g_editedControl == this) g_editedControl = nullptr;
}

// ---- Hooks ------------------------------------------------------------------------------------------

bool CEditListCtrl::ValidateCellValue(int, int column, const QVariant& value) const {
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || record->Editor() != SELVColumn::EDITOR_NUMBER) return true;
    const double number = value.toDouble();
    return std::isfinite(number) && record->minimum <= number && number <= record->maximum;
}

void CEditListCtrl::SetCellValues(const std::vector<int>& rows, int column,
                                  const std::vector<QVariant>& values) {
    for (std::size_t i = 0; i < rows.size() && i < values.size(); ++i)
        SetCellValue(rows[i], column, values[i]);
}

void CEditListCtrl::OnEditorCommand1(int) {}

void CEditListCtrl::OnEditorCommand2(int) {}

void CEditListCtrl::OnEditorTextChange(IPopup& editor) {
    if (IsNumberSpinning()) return;
    const QString text = editor.Text();
    for (EditorSlot& slot : editors_)
        if (slot.popup != &editor && slot.widget) slot.popup->SetText(text);
    const SELVColumn* record = GetColumnRecord(editColumn_);
    if (record && record->Editor() == SELVColumn::EDITOR_NUMBER) {
        double value = 0;
        auto* spin = dynamic_cast<CPopupSpinEdit*>(&editor);
        editValueValid_ = spin && spin->Parse(text, value);
        if (editValueValid_) editValue_ = value;
        deltaMode_ = false;
    } else {
        editText_ = text;
    }
}

void CEditListCtrl::OnEditorListSelect(IPopup& editor) {
    const QString text = editor.Text();
    for (EditorSlot& slot : editors_)
        if (slot.popup != &editor && slot.widget) slot.popup->SetText(text);
    editText_ = text;
}

bool CEditListCtrl::BeginEdit(int row, int column) {
    if (IsEditing()) return false;
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || !record->IsEditable()) return false;
    const std::vector<int> rows = GetSelectedRows();
    const int top = GetTopIndex();
    const int last = std::min(GetItemCount(), top + GetCountPerPage()) - 1;
    std::vector<int> visible;
    for (int r : rows)
        if (r >= top && r <= last) visible.push_back(r);
    if (visible.empty()) return false;
    if (g_editedControl && g_editedControl != this) g_editedControl->EndEdit(false);

    editColumn_ = column;
    editRows_ = rows;
    for (int r : rows)
        emit beginLabelEdit(r, column, GetCellText(r, column), 1);
    if (!IsEditing()) return false;  // a receiver ended it meanwhile

    for (int r : visible) {
        IPopup* editor = CreateEditor(r, column);
        editors_.push_back(EditorSlot{r, editor, editor->Window()});
    }
    IPopup* activeEditor = GetEditor(row);
    SetActiveEditor(activeEditor ? activeEditor : editors_.front().popup);
    // Focusing the editor may end the edit at once (its window is activated and laid out again, and the
    // list scrolls): then there is nothing left to edit.
    if (!IsEditing() || !active_) return false;
    if (record->Editor() == SELVColumn::EDITOR_NUMBER) {
        editValue_ = 0;
        deltaMode_ = true;
        editValueValid_ = true;
    } else {
        editText_ = active_->Text();
    }
    passedPressTime_ = 0;
    qApp->installEventFilter(this);
    g_editedControl = this;
    return true;
}

IPopup* CEditListCtrl::CreateEditor(int row, int column) {
    const SELVColumn& record = columns_[static_cast<std::size_t>(column)];
    const QRect cell = visualRect(model_->index(row, column));
    IPopup* popup = nullptr;
    switch (record.Editor()) {
        case SELVColumn::EDITOR_LIST: {
            auto* combo = new CPopupComboBox(viewport());
            combo->setFont(font());
            combo->SetItems(record.items);
            combo->SetText(GetCellText(row, column));
            combo->PlaceOverCell(cell);
            popup = combo;
            break;
        }
        case SELVColumn::EDITOR_NUMBER: {
            auto* spin = new CPopupSpinEdit(viewport());
            spin->setFont(font());
            spin->setAlignment(record.Alignment() | Qt::AlignVCenter);
            spin->SetWholeNumbers(record.IsWholeNumber());
            spin->SetStepBase(record.StepBase());
            spin->SetStepExponent(record.stepExponent);
            spin->SetRange(record.minimum, record.maximum);
            if (!record.IsWholeNumber()) spin->SetPrecision(record.precision1, record.precision2);
            spin->SetCellRect(cell);
            spin->setGeometry(cell);
            spin->InitValue(GetCellNumber(row, column));
            spin->selectAll();
            popup = spin;
            break;
        }
        default: {
            auto* edit = new CPopupEdit(viewport());
            edit->setFont(font());
            edit->setAlignment(record.Alignment() | Qt::AlignVCenter);
            edit->SetCellRect(cell);
            edit->setGeometry(cell);
            edit->InitText(GetCellText(row, column));
            edit->selectAll();
            popup = edit;
            break;
        }
    }
    popup->SetRow(row);
    popup->SetOwner(this);
    popup->SetCellRect(cell);
    popup->Window()->setObjectName(QStringLiteral("popup%1").arg(100 + row));
    popup->Window()->show();
    return popup;
}

void CEditListCtrl::SetActiveEditor(IPopup* editor) {
    active_ = editor;
    if (editor) editor->Window()->setFocus(Qt::OtherFocusReason);
}

IPopup* CEditListCtrl::GetEditor(int row) const {
    for (const EditorSlot& slot : editors_)
        if (slot.row == row && slot.widget) return slot.popup;
    return nullptr;
}

CEditListCtrl* CEditListCtrl::EditedControl() {
    return g_editedControl;
}

bool CEditListCtrl::IsNumberSpinning() const {
    for (const EditorSlot& slot : editors_)
        if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data()); spin && spin->IsSpinning())
            return true;
    return false;
}

QVariant CEditListCtrl::RowValue(int row) const {
    const SELVColumn* record = GetColumnRecord(editColumn_);
    if (!record || record->Editor() != SELVColumn::EDITOR_NUMBER) return editText_;
    double value = deltaMode_ ? GetCellNumber(row, editColumn_) + editValue_ : editValue_;
    if (record->IsWholeNumber()) value = std::round(value);
    return value;
}

bool CEditListCtrl::EndEdit(bool commit) {
    if (!IsEditing() || applying_) return false;
    const int column = editColumn_;
    const std::vector<int> rows = editRows_;
    if (commit) {
        const SELVColumn* record = GetColumnRecord(column);
        const bool number = record && record->Editor() == SELVColumn::EDITOR_NUMBER;
        if (number && !deltaMode_ && !editValueValid_) {
            QApplication::beep();
            return false;
        }
        std::vector<QVariant> values;
        values.reserve(rows.size());
        applying_ = true;
        bool accepted = true;
        for (int row : rows) {
            values.push_back(RowValue(row));
            if (!ValidateCellValue(row, column, values.back())) {
                accepted = false;
                break;
            }
        }
        if (!accepted) {
            applying_ = false;
            QApplication::beep();
            return false;
        }
        SetCellValues(rows, column, values);
        applying_ = false;
    }
    qApp->removeEventFilter(this);
    if (g_editedControl == this) g_editedControl = nullptr;
    DestroyEditors();
    editColumn_ = -1;
    editRows_.clear();
    setFocus(Qt::OtherFocusReason);
    for (int row : rows)
        emit endLabelEdit(row, column, commit ? GetCellText(row, column) : QString(), commit ? 1 : 2);
    viewport()->update();
    return true;
}

void CEditListCtrl::DestroyEditors() {
    // Editors may be in the middle of their own key or mouse handling: they go from the event loop.
    for (EditorSlot& slot : editors_) {
        if (!slot.widget) continue;
        slot.popup->SetOwner(nullptr);
        if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data())) spin->StopSpinning();
        slot.widget->hide();
        slot.widget->deleteLater();
    }
    editors_.clear();
    active_ = nullptr;
}

void CEditListCtrl::ReplaceString(int column) {
    if (IsEditing()) return;
    const SELVColumn* record = GetColumnRecord(column);
    if (!record || !record->IsEditable() || record->Editor() != SELVColumn::EDITOR_TEXT) return;
    const std::vector<int> rows = GetSelectedRows();
    if (rows.empty()) return;
    QString search = g_lastSearch;
    QString replace = g_lastReplace;
    if (!AskReplaceStrings(search, replace)) return;
    g_lastSearch = search;
    g_lastReplace = replace;

    std::vector<QVariant> values;
    for (int row : rows)
        values.emplace_back(ReplaceAll(GetCellText(row, column), search, replace));
    for (int row : rows)
        emit beginLabelEdit(row, column, GetCellText(row, column), 1);
    applying_ = true;
    bool accepted = true;
    for (std::size_t i = 0; i < rows.size() && accepted; ++i)
        accepted = ValidateCellValue(rows[i], column, values[i]);
    if (!accepted) {
        applying_ = false;
        QApplication::beep();
        for (int row : rows)
            emit endLabelEdit(row, column, QString(), 2);
        return;
    }
    SetCellValues(rows, column, values);
    applying_ = false;
    for (int row : rows)
        emit endLabelEdit(row, column, GetCellText(row, column), 1);
    viewport()->update();
}

QString CEditListCtrl::ReplaceAll(const QString& text, const QString& search, const QString& replace) {
    if (search.isEmpty()) return replace;
    QString result = text;
    return result.replace(search, replace, Qt::CaseSensitive);
}

bool CEditListCtrl::AskReplaceStrings(QString& search, QString& replace) {
    CReplaceStringDlg dialog(this);
    dialog.SetStrings(search, replace);
    if (dialog.exec() != QDialog::Accepted) return false;
    search = dialog.SearchString();
    replace = dialog.ReplaceString();
    return true;
}

// ---- Editor notifications ---------------------------------------------------------------------------

void CEditListCtrl::OnPopupNotify(IPopup& popup, int code) {
    if (!IsEditing()) return;
    switch (code) {
        case POPUP_ENTER:
            EndEdit(active_ && active_->IsModified());
            break;
        case POPUP_ESCAPE:
            EndEdit(false);
            break;
        case POPUP_TEXT_CHANGE:
            if (&popup == active_) OnEditorTextChange(popup);
            break;
        case POPUP_LIST_SELECT:
            if (&popup == active_) OnEditorListSelect(popup);
            break;
        case POPUP_COMMAND1:
            OnEditorCommand1(popup.Row());
            break;
        case POPUP_COMMAND2:
            OnEditorCommand2(popup.Row());
            break;
        default:
            break;
    }
}

bool CEditListCtrl::OnPopupDelta(IPopup& popup, double oldValue, double delta) {
    if (!IsEditing()) return true;
    if (!deltaMode_ && !editValueValid_) {
        editValue_ = oldValue;
        editValueValid_ = true;
    }
    const double previous = editValue_;
    editValue_ += delta;
    applying_ = true;
    bool accepted = true;
    for (int row : editRows_) {
        if (!ValidateCellValue(row, editColumn_, RowValue(row))) {
            accepted = false;
            break;
        }
    }
    applying_ = false;
    if (!accepted) {
        editValue_ = previous;
        return false;
    }
    for (EditorSlot& slot : editors_) {
        if (slot.popup == &popup || !slot.widget) continue;
        if (auto* spin = dynamic_cast<CPopupSpinEdit*>(slot.popup)) spin->ShowValue(spin->Value() + delta);
    }
    return true;
}

bool CEditListCtrl::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!IsEditing() || applying_ ||
        (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
         type != QEvent::NonClientAreaMouseButtonPress))
        return QTableView::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        return QTableView::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return QTableView::eventFilter(watched, event);

    // The same press travelling on to the parents of a widget it was already let through to.
    const QPoint global = mouse->globalPosition().toPoint();
    if (passedPressTime_ != 0 && mouse->timestamp() == passedPressTime_ && global == passedPressPos_)
        return false;

    bool onEditor = false;
    if (auto* combo = dynamic_cast<CPopupComboBox*>(active_);
        combo && combo->IsListOpen() && combo->view() && IsWidgetWithin(widget, combo->view()->window()))
        onEditor = true;
    for (EditorSlot& slot : editors_) {
        if (onEditor || !slot.widget) break;
        if (IsWidgetWithin(widget, slot.widget)) {
            if (slot.popup != active_) SetActiveEditor(slot.popup);
            onEditor = true;
        } else if (auto* spin = qobject_cast<CSpinEdit*>(slot.widget.data());
                   spin && spin->Slider() && IsWidgetWithin(widget, spin->Slider())) {
            onEditor = true;
        }
    }
    if (onEditor) {
        passedPressTime_ = mouse->timestamp();
        passedPressPos_ = global;
        return false;
    }
    const bool commit = mouse->button() == Qt::LeftButton && active_ && active_->IsModified();
    if (!EndEdit(commit)) return true;  // a value failed validation: the press is swallowed
    return false;
}

}  // namespace GP
