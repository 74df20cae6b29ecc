#include "demo_list_ctrl.h"

#include "demo_document.h"

CDemoListCtrl::CDemoListCtrl(QWidget* parent) : CEditListCtrl(parent) {
    SELVColumn number;
    number.flags = SELVColumn::ALIGN_RIGHT | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_WHOLE;
    InsertColumn(COL_NUMBER, {tr("No."), 48}, number);
    SELVColumn name;
    name.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_TEXT;
    InsertColumn(COL_NAME, {tr("Name"), 160}, name);
    SELVColumn kind;
    kind.flags = SELVColumn::EDITABLE | SELVColumn::EDITOR_LIST;
    kind.items = CDemoDocument::Kinds();
    InsertColumn(COL_KIND, {tr("Kind"), 100}, kind);
    SELVColumn level;
    level.flags =
        SELVColumn::EDITABLE | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_WHOLE | SELVColumn::ALIGN_RIGHT;
    level.minimum = 0;
    level.maximum = 127;
    InsertColumn(COL_LEVEL, {tr("Level"), 80}, level);
    SELVColumn gain;
    gain.flags =
        SELVColumn::EDITABLE | SELVColumn::EDITOR_NUMBER | SELVColumn::NUMBER_REAL | SELVColumn::ALIGN_RIGHT;
    gain.minimum = -12;
    gain.maximum = 12;
    gain.stepExponent = -1;
    gain.precision1 = 0;
    gain.precision2 = 1;
    InsertColumn(COL_GAIN, {tr("Gain dB"), 80}, gain);
    SetCurrentColumn(COL_NAME);
}

void CDemoListCtrl::SetDocument(CDemoDocument* document) {
    document_ = document;
    SetItemCount(document ? static_cast<int>(document->Rows().size()) : 0);
}

CDemoRow* CDemoListCtrl::RowAt(int row) const {
    if (!document_) return nullptr;
    const qint64 index = GetItemData(row);
    if (index < 0 || index >= static_cast<qint64>(document_->Rows().size())) return nullptr;
    return &document_->Rows()[static_cast<std::size_t>(index)];
}

QString CDemoListCtrl::GetCellText(int row, int column) const {
    const CDemoRow* r = RowAt(row);
    if (!r) return QString();
    switch (column) {
        case COL_NUMBER:
            return QString::number(GetItemData(row) + 1);
        case COL_NAME:
            return r->name;
        case COL_KIND:
            return r->kind;
        case COL_LEVEL:
            return QString::number(r->level);
        default:
            return QString::number(r->gain, 'f', 1);
    }
}

double CDemoListCtrl::GetCellNumber(int row, int column) const {
    const CDemoRow* r = RowAt(row);
    if (!r) return 0;
    return column == COL_GAIN ? r->gain : column == COL_LEVEL ? r->level : GetItemData(row) + 1;
}

void CDemoListCtrl::SetCellValue(int row, int column, const QVariant& value) {
    CDemoRow* r = RowAt(row);
    if (!r) return;
    switch (column) {
        case COL_NAME:
            r->name = value.toString();
            break;
        case COL_KIND:
            r->kind = value.toString();
            break;
        case COL_LEVEL:
            r->level = value.toDouble();
            break;
        case COL_GAIN:
            r->gain = std::round(value.toDouble() * 10) / 10;
            break;
        default:
            return;
    }
    document_->SetModifiedFlag(true);
}
