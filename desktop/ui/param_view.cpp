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
#include "ui/list_appearance.h"
#include "ui/midi_warning_dlg.h"
#include "ui/set_grid_dlg.h"
#include "ui/transfer_jobs.h"
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
    list_->SetSettings(&context_.Settings());
    connect(list_, &CParameterListCtrl::visibleRowsChanged, this, [this] {
        // Only the library view follows scrolling; the Main list's slots change with its size.
        if (!IsMain()) UpdateTemporaryButtons();
    });
    // Rows come and go with the patches: the temporary buttons follow them.
    QAbstractItemModel* rows = list_->model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(rows, signal, this, [this] { UpdateTemporaryButtons(); });
    connect(rows, &QAbstractItemModel::modelReset, this, [this] { UpdateTemporaryButtons(); });
    connect(list_, &GP::CEditListCtrl::selectedRowsChanged, this, [this] {
        OnCommandStatesChanged();
        AuditionSelection();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { AuditionSelection(); });
    connect(&context_.Clipboard(), &CPatchClipboard::changed, this, [this] { OnCommandStatesChanged(); });
    connect(&context_.Jobs(), &CTransferJobs::stateChanged, this, [this] { OnCommandStatesChanged(); });
    // Every list follows the program's list appearance: a new font keeps the column widths stored first.
    connect(&context_.Appearance(), &CListAppearance::fontChanged, this, [this] {
        list_->SaveColumnWidths();
        ApplyAppearance();
        update();
    });
    connect(&context_.Appearance(), &CListAppearance::gridChanged, this, [this] {
        ApplyGrid();
        update();
    });
    connect(list_, &CParameterListCtrl::patchDoubleClicked, this, [this](int index) {
        if (Mode() != 1 || !CanTransferNow()) return;
        if (CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, &context_.Settings(), this))
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
    return context_.Mode();
}

void CParamView::OnInitialUpdate() {
    // The rows are made once, from the document as it is now; from then on they follow its changes.
    if (CDoc* doc = GetDoc()) {
        list_->SetDocument(doc);
        connect(doc, &CDoc::changed, this, [this] { OnCommandStatesChanged(); });
    }
    CFormViewEx::OnInitialUpdate();
}

void CParamView::OnUpdate(GP::CView*, int hint, QObject*) {
    if (hint == HINT_INITIAL) ApplyAppearance();
    update();
}

void CParamView::ApplyAppearance() {
    setUpdatesEnabled(false);
    ApplyListFont();
    list_->SetupColumns();
    ApplyGrid();
    DestroyTemporaryButtons();
    UpdateTemporaryButtons();
    setUpdatesEnabled(true);
}

void CParamView::ApplyListFont() {
    const GP::CFontEx& font = context_.Appearance().Font();
    if (!font.HasFont()) return;
    list_->setFont(font.Font());
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Text, font.Color());
    list_->setPalette(palette);
}

void CParamView::ApplyGrid() {
    list_->SetGridLines(context_.Appearance().Grid());
}

void CParamView::OnLayoutChanged() {
    UpdateTemporaryButtons();
}

void CParamView::OnCommandStatesChanged() {
    CommandStatesChanged();
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

bool CParamView::CanTransferNow() const {
    const CDoc* doc = GetDoc();
    return doc && doc->CanTransfer();
}

void CParamView::OnTemporaryWrite(int slot) {
    if (CanTransferNow() &&
        CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteTemporary, &context_.Settings(), this)) {
        const int row = list_->GetTopIndex() + slot;
        if (row < list_->GetItemCount() && !list_->IsEndOfLineRow(row))
            WriteToTemporary(static_cast<int>(list_->GetItemData(row)));
    }
    if (QPushButton* button = TemporaryWriteButton(slot)) button->setDefault(false);
}

void CParamView::OnTemporaryRead(int slot) {
    if (!CanTransferNow() ||
        !CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadTemporary, &context_.Settings(), this)) {
        if (QPushButton* button = TemporaryReadButton(slot)) button->setDefault(false);
        return;
    }
    const int row = list_->GetTopIndex() + slot;
    if (row < list_->GetItemCount() && !list_->IsEndOfLineRow(row))
        ReadFromTemporary(static_cast<int>(list_->GetItemData(row)));
    if (QPushButton* button = TemporaryReadButton(slot)) button->setDefault(false);
}

void CParamView::AuditionSelection() {
    CTemporaryArea& area = context_.Temporary();
    CDoc* doc = GetDoc();
    if (!area.IsAuditioning() || !doc || !IsInActiveWindow() || list_->GetSelectedCount() != 1) return;
    const int row = list_->FirstSelectedRow();
    if (row < 0 || list_->IsEndOfLineRow(row)) return;
    area.Select(doc->TemporaryPatch(static_cast<int>(list_->GetItemData(row))));
}

void CParamView::StepSelection(int direction) {
    // From the one selected row, else from the current one.
    const int from = list_->GetSelectedCount() == 1 ? list_->FirstSelectedRow() : list_->GetFocusedRow();
    int row = from < 0 ? (direction > 0 ? -1 : list_->GetItemCount()) : from;
    // The next patch row that way; none past the ends.
    do
        row += direction > 0 ? 1 : -1;
    while (row >= 0 && row < list_->GetItemCount() && list_->IsEndOfLineRow(row));
    if (row < 0 || row >= list_->GetItemCount()) {
        if (from < 0 || list_->IsEndOfLineRow(from)) return;
        row = from;
    }
    list_->SetFocusedRow(row);
    list_->SelectRowRuns([row](int r) { return r == row; }, QItemSelectionModel::ClearAndSelect);
    list_->EnsureVisible(row);
}

bool CParamView::WriteToTemporary(int index) {
    CDoc* doc = GetDoc();
    return doc && doc->StartWriteTemporary(index);
}

bool CParamView::ReadFromTemporary(int index) {
    CDoc* doc = GetDoc();
    return doc && doc->StartReadTemporary(index);
}

// ---- editing commands -------------------------------------------------------------------------------

int CParamView::SelectedCount() const {
    return list_->GetSelectedCount();
}

bool CParamView::CanUndo() const {
    const CDoc* doc = GetDoc();
    return doc && doc->CanUndo(EditUndoMode());
}

bool CParamView::CanCut() const {
    return GetDoc() && SelectedCount() >= 1 && (IsMain() || list_->HasRealSelection());
}

bool CParamView::CanInsert() const {
    return GetDoc() && SelectedCount() >= 1 && list_->HasClipboard();
}

bool CParamView::CanReplace() const {
    return CanInsert() && (IsMain() || list_->HasRealSelection());
}

bool CParamView::CanExchange() const {
    return GetDoc() && SelectedCount() == 2 && (IsMain() || !list_->IsEndOfLineRow(list_->LastSelectedRow()));
}

void CParamView::OnEditUndo() {
    GetDoc()->Undo();
    list_->ClearAllSelection();
}

void CParamView::OnEditCut() {
    CWaitCursor wait;
    GetDoc()->Cut(list_->SelectedIndexes(), context_.Clipboard(), EditUndoMode());
    list_->ClearAllSelection();
}

void CParamView::OnEditCopy() {
    context_.Clipboard().CopyFrom(GetDoc()->Patches(), list_->SelectedIndexes());
}

void CParamView::OnEditInsert() {
    CWaitCursor wait;
    // The patches are inserted before the first selected row; End of Line stands for the end.
    const std::vector<int> placed =
        GetDoc()->Insert(list_->FirstSelectedPosition(), context_.Clipboard().Patches(), EditUndoMode());
    list_->SelectIndexes(placed);
}

void CParamView::OnEditReplace() {
    CWaitCursor wait;
    GetDoc()->Replace(list_->SelectedIndexes(), context_.Clipboard().Patches(), EditUndoMode());
}

void CParamView::OnEditDelete() {
    CWaitCursor wait;
    GetDoc()->Delete(list_->SelectedIndexes(), EditUndoMode());
    list_->ClearAllSelection();
}

void CParamView::OnEditExchange() {
    CWaitCursor wait;
    GetDoc()->Exchange(list_->SelectedIndexes(), EditUndoMode());
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
    CPatchArray patches;
    patches.Assign(doc->Patches());
    copy->SetPatches(std::move(patches));
    copy->SetModifiedFlag(true);
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
    CSetGridDlg dialog(context_.Appearance().GridSwitch(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.Value() < 0) return;
    // Every list follows the appearance.
    context_.Appearance().SetGridSwitch(dialog.Value());
}

bool CParamView::OnCommand(int id) {
    return RouteViewCommand(id, nullptr);
}

bool CParamView::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    return RouteViewCommand(id, &ui);
}

bool CParamView::RouteViewCommand(int id, GP::CCmdUI* ui) {
    static const Command<CParamView> kCommands[] = {
        {ID_EDIT_UNDO, &CParamView::CanUndo, &CParamView::OnEditUndo},
        {ID_EDIT_CUT, &CParamView::CanCut, &CParamView::OnEditCut},
        {ID_EDIT_COPY, &CParamView::CanCopy, &CParamView::OnEditCopy},
        {ID_EDIT_INSERT, &CParamView::CanInsert, &CParamView::OnEditInsert},
        {ID_EDIT_REPLACE, &CParamView::CanReplace, &CParamView::OnEditReplace},
        {ID_EDIT_DELETE, &CParamView::CanDelete, &CParamView::OnEditDelete},
        {ID_EDIT_EXCHANGE, &CParamView::CanExchange, &CParamView::OnEditExchange},
        {ID_EDIT_SELECT_ALL, &CParamView::AlwaysTrue, &CParamView::OnEditSelectAll},
        {ID_FILE_DUPLICATE, &CParamView::AlwaysTrue, &CParamView::OnFileDuplicate},
        {ID_EDIT_FIND, &CParamView::AlwaysTrue, &CParamView::OnEditFind},
        {ID_SETUP_GRID, &CParamView::AlwaysTrue, &CParamView::OnSetupGrid},
        {ID_EDIT_COMPARE, &CParamView::CanCompare, &CParamView::OnEditCompare},
        {ID_EDIT_SELECT_DUPLICATES, &CParamView::CanSelectDuplicates, &CParamView::OnEditSelectDuplicates},
        {ID_FILE_EXPORT_SYX_ALL, &CParamView::CanExportSyxAll, &CParamView::OnExportSyxAll},
        {ID_FILE_EXPORT_SYX_SELECTED, &CParamView::CanExportSyxSelected, &CParamView::OnExportSyxSelected},
    };
    return Route(*this, kCommands, id, ui);
}

CFileView::CFileView(CAppContext& context)
    : CParamView(LibraryForm(), CParameterListCtrl::kLibraryList, context) {}
