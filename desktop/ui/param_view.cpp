#include "ui/param_view.h"

#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "model/parameter_address.h"
#include "settings/settings_store.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/midi_warning_dlg.h"
#include "ui/set_grid_dlg.h"
#include "ui/wait_cursor.h"

using namespace TQ;

namespace {

GP::CDialogTemplate LibraryForm() {
    GP::CDialogTemplate form;
    form.id = 4136;
    form.size = QSize(332, 45);
    form.items = {{IDC_PATCH_LIST, QRect(45, 10, 281, 25)}, {IDC_TEMPORARY_LABEL, QRect(3, 5, 40, 17)}};
    return form;
}

// The documents of every template, as patch-window documents.
std::vector<CDoc*> AllPatchDocuments(GP::CDocManager* manager) {
    std::vector<CDoc*> documents;
    if (!manager) return documents;
    for (GP::CDocument* document : manager->GetDocuments())
        if (auto* doc = qobject_cast<CDoc*>(document)) documents.push_back(doc);
    return documents;
}

}  // namespace

CParamView::CParamView(GP::CDialogTemplate form, int listKind, CAppContext& context)
    : CFormViewEx(std::move(form)),
      context_(context),
      list_(new CPatchListCtrl(listKind)),
      temporaryLabel_(new QLabel) {
    list_->setObjectName(QStringLiteral("patchList"));
    temporaryLabel_->setText(tr("Temporary\nRead/Write"));
    temporaryLabel_->setAlignment(Qt::AlignCenter);
    temporaryLabel_->setObjectName(QStringLiteral("temporaryLabel"));
    AddControl(IDC_PATCH_LIST, list_);
    // The patch list takes the keyboard whenever the window is activated.
    setFocusProxy(list_);
    AddControl(IDC_TEMPORARY_LABEL, temporaryLabel_);
    SetControlAnchor(IDC_PATCH_LIST, GP::ANCHOR_STRETCH);
    SetControlAnchor(IDC_TEMPORARY_LABEL, GP::ANCHOR_KEEP);
    list_->SetSettings(context_.settings);
    list_->SetMemoCodec(&context_.memoCodec);
    list_->SetClipboard(&context_.clipboard);
    list_->SetUndoMode(context_.mode);
    connect(list_, &CParameterListCtrl::visibleRowsChanged, this, [this] {
        // Only the library view follows scrolling; the Main list's slotCount change with its size.
        if (!IsMain()) UpdateTemporaryButtons();
    });
    connect(list_, &CParameterListCtrl::contentEdited, this, [this] {
        if (!IsMain())
            if (CDoc* doc = GetDoc()) doc->SetModifiedFlag(true);
    });
    connect(list_, &CPatchListCtrl::patchesDropped, this, &CParamView::AfterChange);
    connect(list_, &CParameterListCtrl::patchDoubleClicked, this, [this](int index) {
        if (Mode() != 1) return;
        if (CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, context_.settings, this))
            WriteToTemporary(index);
    });
}

CParamView::~CParamView() {
    DestroyTemporaryButtons();
}

CDoc* CParamView::GetDoc() const {
    return qobject_cast<CDoc*>(GetDocument());
}

int CParamView::Mode() const {
    return context_.mode;
}

void CParamView::OnInitialUpdate() {
    if (CDoc* doc = GetDoc()) list_->SetPatches(&doc->Patches(), &doc->GetData());
    CFormViewEx::OnInitialUpdate();
}

void CParamView::OnUpdate(GP::CView*, int hint, QObject*) {
    setUpdatesEnabled(false);
    if (hint == HINT_INITIAL || hint == HINT_FONT) {
        if (hint == HINT_FONT) list_->SaveColumnWidths();
        ApplyListFont();
    }
    if (CDoc* doc = GetDoc()) list_->SetPatches(&doc->Patches(), &doc->GetData());
    list_->Rebuild();
    ApplyGrid();
    list_->Refresh(false);
    DestroyTemporaryButtons();
    UpdateTemporaryButtons();
    setUpdatesEnabled(true);
    update();
}

void CParamView::ApplyListFont() {
    const GP::CFontEx& font = context_.listFont;
    if (!font.HasFont()) return;
    list_->setFont(font.Font());
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Text, font.Color());
    list_->setPalette(palette);
}

void CParamView::ApplyGrid() {
    list_->SetGridLines(context_.gridSw != 0);
}

void CParamView::OnLayoutChanged() {
    UpdateTemporaryButtons();
}

// ---- temporary-area buttons -------------------------------------------------------------------------

QPushButton* CParamView::TemporaryWriteButton(int slot) const {
    return slot >= 0 && slot < TemporaryButtonCount() ? writeButtons_[static_cast<std::size_t>(slot)].data()
                                                      : nullptr;
}

QPushButton* CParamView::TemporaryReadButton(int slot) const {
    return slot >= 0 && slot < TemporaryButtonCount() ? readButtons_[static_cast<std::size_t>(slot)].data()
                                                      : nullptr;
}

QRect CParamView::TemporaryButtonRect(int row, bool write) const {
    const QRect cell = list_->visualRect(list_->model()->index(row, 0));
    const QPoint topLeft = list_->viewport()->mapTo(Form(), cell.topLeft());
    const int listLeft = list_->mapTo(Form(), QPoint(0, 0)).x();
    const int rowHeight = cell.height();
    int top = topLeft.y() + 1;
    int height = rowHeight - 2;
    if (rowHeight > 13 && height < 14)
        height = 14;
    else if (rowHeight > 7 && height < 8)
        height = 8;
    if (height > rowHeight) top = topLeft.y() + (rowHeight - height) / 2;
    const int left = listLeft - 32 - (write ? 0 : 27);
    return QRect(left, top, 20, height);
}

void CParamView::UpdateTemporaryButtons() {
    if (Mode() != 1) return;
    const int top = list_->GetTopIndex();
    int slotCount = list_->GetItemCount() - top - (IsMain() ? 0 : 1);
    slotCount = std::min(slotCount, list_->GetCountPerPage());
    if (slotCount < 0) return;
    while (TemporaryButtonCount() < slotCount) {
        const int slot = TemporaryButtonCount();
        auto* write = new QPushButton(Form());
        auto* read = new QPushButton(Form());
        write->setObjectName(QStringLiteral("temporaryWrite%1").arg(slot));
        read->setObjectName(QStringLiteral("temporaryRead%1").arg(slot));
        write->setIcon(QIcon(QStringLiteral(":/icons/temporary-write.svg")));
        read->setIcon(QIcon(QStringLiteral(":/icons/temporary-read.svg")));
        write->setToolTip(tr("Write this patch to the temporary area of the TQ-550"));
        read->setToolTip(tr("Read the temporary area of the TQ-550 into this patch"));
        write->setFocusPolicy(Qt::NoFocus);
        read->setFocusPolicy(Qt::NoFocus);
        connect(write, &QPushButton::clicked, this, [this, slot] { OnTemporaryWrite(slot); });
        connect(read, &QPushButton::clicked, this, [this, slot] { OnTemporaryRead(slot); });
        writeButtons_.emplace_back(write);
        readButtons_.emplace_back(read);
    }
    bool dropped = false;
    while (TemporaryButtonCount() > slotCount) {
        // Later, not now: this runs from show and resize events while Qt walks the form's children.
        for (QPushButton* button : {writeButtons_.back().data(), readButtons_.back().data()})
            if (button) {
                button->hide();
                button->deleteLater();
            }
        writeButtons_.pop_back();
        readButtons_.pop_back();
        dropped = true;
    }
    for (int slot = 0; slot < TemporaryButtonCount(); ++slot) {
        const QRect writeRect = TemporaryButtonRect(top + slot, true);
        writeButtons_[static_cast<std::size_t>(slot)]->setGeometry(writeRect);
        readButtons_[static_cast<std::size_t>(slot)]->setGeometry(TemporaryButtonRect(top + slot, false));
        const int iconSide = std::max(6, writeRect.height() - 4);
        writeButtons_[static_cast<std::size_t>(slot)]->setIconSize(QSize(iconSide, iconSide));
        readButtons_[static_cast<std::size_t>(slot)]->setIconSize(QSize(iconSide, iconSide));
        writeButtons_[static_cast<std::size_t>(slot)]->show();
        readButtons_[static_cast<std::size_t>(slot)]->show();
    }
    if (dropped && !IsMain()) Form()->update();
    temporaryLabel_->show();
}

void CParamView::DestroyTemporaryButtons() {
    for (auto* buttons : {&writeButtons_, &readButtons_})
        for (auto& button : *buttons)
            if (button) {
                button->hide();
                button->deleteLater();
            }
    writeButtons_.clear();
    readButtons_.clear();
}

void CParamView::OnTemporaryWrite(int slot) {
    if (CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, context_.settings, this)) {
        const int row = list_->GetTopIndex() + slot;
        if (row < list_->GetItemCount() && !list_->IsEndOfLineRow(row))
            WriteToTemporary(static_cast<int>(list_->GetItemData(row)));
    }
    if (QPushButton* button = TemporaryWriteButton(slot)) button->setDefault(false);
}

void CParamView::OnTemporaryRead(int slot) {
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadTemporary, context_.settings, this)) {
        if (QPushButton* button = TemporaryReadButton(slot)) button->setDefault(false);
        return;
    }
    const int row = list_->GetTopIndex() + slot;
    if (row < list_->GetItemCount() && !list_->IsEndOfLineRow(row))
        ReadFromTemporary(static_cast<int>(list_->GetItemData(row)));
    if (QPushButton* button = TemporaryReadButton(slot)) button->setDefault(false);
    if (!IsMain())
        if (CDoc* doc = GetDoc()) doc->SetModifiedFlag(true);
}

bool CParamView::WriteToTemporary(int index) {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    if (!app.writer || !app.reader || !doc) return false;
    CWaitCursor wait;
    CTransferScope transfer(context_);
    const int numbers[] = {index};
    return app.writer->WritePatchesToDevice(*app.reader, AREA_TEMPORARY_PATCH, numbers, doc->Patches());
}

bool CParamView::ReadFromTemporary(int index) {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    if (!app.reader || !doc) return false;
    CWaitCursor wait;
    CTransferScope transfer(context_);
    doc->GetData().TakeUndoCopy(1);
    const int numbers[] = {index};
    const bool read = app.reader->ReadPatchesFromDevice(AREA_TEMPORARY_PATCH, numbers, doc->Patches());
    if (!read) doc->GetData().Undo();
    list_->Refresh(true);
    return read;
}

// ---- editing commands -------------------------------------------------------------------------------

int CParamView::SelectedCount() const {
    return list_->GetSelectedCount();
}

bool CParamView::HasRealSelection() const {
    const int first = list_->FirstSelectedRow();
    return first >= 0 && !list_->IsEndOfLineRow(first);
}

void CParamView::AfterChange() {
    if (!IsMain())
        if (CDoc* doc = GetDoc()) doc->SetModifiedFlag(true);
    UpdateTemporaryButtons();
}

void CParamView::OnEditUndo() {
    CDoc* doc = GetDoc();
    if (!doc || !doc->GetData().CanUndo(Mode())) return;
    doc->GetData().Undo();
    list_->Refresh(false);
    AfterChange();
}

void CParamView::OnEditCut() {
    CDoc* doc = GetDoc();
    if (!doc || SelectedCount() < 1 || (!IsMain() && !HasRealSelection())) return;
    CWaitCursor wait;
    doc->GetData().TakeUndoCopy(Mode());
    list_->CopySelection();
    list_->DeleteSelection();
    if (IsMain()) list_->Resize(CPatchListCtrl::kMainCapacity);
    list_->Refresh(false);
    AfterChange();
}

void CParamView::OnEditCopy() {
    if (SelectedCount() < 1 || (!IsMain() && !HasRealSelection())) return;
    list_->CopySelection();
}

void CParamView::OnEditInsert() {
    CDoc* doc = GetDoc();
    if (!doc || SelectedCount() < 1 || !list_->HasClipboard()) return;
    CWaitCursor wait;
    doc->GetData().TakeUndoCopy(Mode());
    const int first = static_cast<int>(list_->GetItemData(list_->FirstSelectedRow()));
    int inserted = list_->InsertClipboard();
    if (IsMain()) {
        // Whatever moves past the 200th patch is gone (Undo brings it back).
        list_->Resize(CPatchListCtrl::kMainCapacity);
        inserted = std::min(inserted, CPatchListCtrl::kMainCapacity - first);
    }
    list_->Refresh(true, inserted);
    AfterChange();
}

void CParamView::OnEditReplace() {
    CDoc* doc = GetDoc();
    if (!doc || SelectedCount() < 1 || !list_->HasClipboard() || (!IsMain() && !HasRealSelection())) return;
    CWaitCursor wait;
    doc->GetData().TakeUndoCopy(Mode());
    list_->ReplaceSelection();
    list_->Refresh(true);
    AfterChange();
}

void CParamView::OnEditDelete() {
    CDoc* doc = GetDoc();
    if (!doc || SelectedCount() < 1 || (!IsMain() && !HasRealSelection())) return;
    CWaitCursor wait;
    doc->GetData().TakeUndoCopy(Mode());
    list_->DeleteSelection();
    if (IsMain()) list_->Resize(CPatchListCtrl::kMainCapacity);
    list_->Refresh(false);
    AfterChange();
}

void CParamView::OnEditExchange() {
    CDoc* doc = GetDoc();
    if (!doc || SelectedCount() != 2 || (!IsMain() && list_->IsEndOfLineRow(list_->LastSelectedRow())))
        return;
    CWaitCursor wait;
    doc->GetData().TakeUndoCopy(Mode());
    list_->ExchangeSelection();
    list_->Refresh(true);
    AfterChange();
}

void CParamView::OnEditSelectAll() {
    list_->SelectAll();
}

void CParamView::OnFileDuplicate() {
    CDoc* doc = GetDoc();
    GP::CDocTemplate* own = doc ? doc->GetDocTemplate() : nullptr;
    GP::CDocManager* manager = own ? own->GetDocManager() : nullptr;
    if (!manager) return;
    GP::CDocTemplate* library = nullptr;
    for (GP::CDocTemplate* t : manager->GetTemplates())
        if (t->GetResourceId() == IDR_LIBRARY) library = t;
    if (!library) return;
    CWaitCursor wait;
    auto* copy = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
    if (!copy) return;
    copy->Patches().Assign(doc->Patches());
    if (Mode() == 1)
        for (GP::CView* view : copy->GetViews())
            if (auto* paramView = qobject_cast<CParamView*>(view)) paramView->List().Refresh(true);
    copy->SetModifiedFlag(true);
    copy->UpdateAllViews(nullptr, HINT_CONTENT);
}

void CParamView::OnEditFind() {
    static QString last;
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, tr("Find"), tr("Select the patches whose name or memo holds:"), QLineEdit::Normal, last, &ok);
    if (!ok || text.isEmpty()) return;
    last = text;
    if (list_->FindText(text) == 0)
        QMessageBox::information(this, tr("Find"), tr("No patch holds \"%1\".").arg(text));
    list_->setFocus();
}

void CParamView::OnSetupGrid() {
    CAppContext& app = context_;
    CSetGridDlg dialog(app.gridSw, this);
    if (dialog.exec() != QDialog::Accepted || dialog.Value() < 0) return;
    app.gridSw = dialog.Value();
    GP::CDocTemplate* own = GetDoc() ? GetDoc()->GetDocTemplate() : nullptr;
    for (CDoc* doc : AllPatchDocuments(own ? own->GetDocManager() : nullptr))
        for (GP::CView* view : doc->GetViews())
            if (auto* paramView = qobject_cast<CParamView*>(view)) paramView->ApplyGrid();
}

bool CParamView::OnCommand(int id) {
    switch (id) {
        case ID_EDIT_UNDO:
            OnEditUndo();
            return true;
        case ID_EDIT_CUT:
            OnEditCut();
            return true;
        case ID_EDIT_COPY:
            OnEditCopy();
            return true;
        case ID_EDIT_INSERT:
            OnEditInsert();
            return true;
        case ID_EDIT_REPLACE:
            OnEditReplace();
            return true;
        case ID_EDIT_DELETE:
            OnEditDelete();
            return true;
        case ID_EDIT_EXCHANGE:
            OnEditExchange();
            return true;
        case ID_EDIT_SELECT_ALL:
            OnEditSelectAll();
            return true;
        case ID_FILE_DUPLICATE:
            OnFileDuplicate();
            return true;
        case ID_EDIT_FIND:
            OnEditFind();
            return true;
        case ID_SETUP_GRID:
            OnSetupGrid();
            return true;
        default:
            return false;
    }
}

bool CParamView::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    const int selected = SelectedCount();
    const bool clipboard = list_->HasClipboard();
    const bool main = IsMain();
    switch (id) {
        case ID_EDIT_UNDO:
            ui.enabled = GetDoc() && GetDoc()->GetData().CanUndo(Mode());
            return true;
        case ID_EDIT_CUT:
        case ID_EDIT_COPY:
        case ID_EDIT_DELETE:
            ui.enabled = selected >= 1 && (main || HasRealSelection());
            return true;
        case ID_EDIT_INSERT:
            ui.enabled = selected >= 1 && clipboard;
            return true;
        case ID_EDIT_REPLACE:
            ui.enabled = selected >= 1 && clipboard && (main || HasRealSelection());
            return true;
        case ID_EDIT_EXCHANGE:
            ui.enabled = selected == 2 && (main || !list_->IsEndOfLineRow(list_->LastSelectedRow()));
            return true;
        case ID_EDIT_SELECT_ALL:
        case ID_FILE_DUPLICATE:
        case ID_EDIT_FIND:
        case ID_SETUP_GRID:
            ui.enabled = true;
            return true;
        default:
            return false;
    }
}

CFileView::CFileView(CAppContext& context)
    : CParamView(LibraryForm(), CParameterListCtrl::kLibraryList, context) {}
