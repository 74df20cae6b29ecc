#include "ui/image_view.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QPushButton>

#include "gp/docview/doc_template.h"
#include "model/parameter_address.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_data.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/midi_warning_dlg.h"
#include "ui/wait_cursor.h"

using namespace TQ;

namespace {

GP::CDialogTemplate MainForm() {
    GP::CDialogTemplate form;
    form.id = 4111;
    form.size = QSize(332, 77);
    form.items = {{IDC_PATCH_LIST, QRect(45, 45, 281, 25)},     {IDC_READ_GROUP, QRect(44, 5, 95, 35)},
                  {IDC_READ_ALL, QRect(49, 17, 40, 15)},        {IDC_READ_SELECTED, QRect(94, 17, 40, 15)},
                  {IDC_WRITE_GROUP, QRect(145, 5, 95, 35)},     {IDC_WRITE_ALL, QRect(149, 17, 40, 15)},
                  {IDC_WRITE_SELECTED, QRect(195, 17, 40, 15)}, {IDC_TEMPORARY_LABEL, QRect(3, 40, 39, 17)}};
    return form;
}

void ShowMessage(int id) {
    if (TextOutHub* hub = GetAppData().textOut) hub->ShowMessage(id);
}

}  // namespace

CImageView::CImageView()
    : CParamView(MainForm(), CParameterListCtrl::kMainList),
      readGroup_(new QGroupBox(tr("Read"))),
      writeGroup_(new QGroupBox(tr("Write"))),
      readAll_(new QPushButton(tr("All"))),
      readSelected_(new QPushButton(tr("Selected"))),
      writeAll_(new QPushButton(tr("All"))),
      writeSelected_(new QPushButton(tr("Selected"))) {
    readAll_->setObjectName(QStringLiteral("readAll"));
    readSelected_->setObjectName(QStringLiteral("readSelected"));
    writeAll_->setObjectName(QStringLiteral("writeAll"));
    writeSelected_->setObjectName(QStringLiteral("writeSelected"));
    AddControl(IDC_READ_GROUP, readGroup_);
    AddControl(IDC_WRITE_GROUP, writeGroup_);
    AddControl(IDC_READ_ALL, readAll_);
    AddControl(IDC_READ_SELECTED, readSelected_);
    AddControl(IDC_WRITE_ALL, writeAll_);
    AddControl(IDC_WRITE_SELECTED, writeSelected_);
    // The groups are drawn behind their buttons.
    readGroup_->lower();
    writeGroup_->lower();
    for (int id : {IDC_READ_GROUP, IDC_READ_ALL, IDC_READ_SELECTED, IDC_WRITE_GROUP, IDC_WRITE_ALL,
                   IDC_WRITE_SELECTED})
        SetControlAnchor(id, GP::ANCHOR_KEEP);
    connect(readAll_, &QPushButton::clicked, this, [this] { ReadPatches(true); });
    connect(readSelected_, &QPushButton::clicked, this, [this] { ReadPatches(false); });
    connect(writeAll_, &QPushButton::clicked, this, [this] { WritePatches(true); });
    connect(writeSelected_, &QPushButton::clicked, this, [this] { WritePatches(false); });
    GetAppData().mainView = this;
}

CImageView::~CImageView() {
    if (GetAppData().mainView == this) GetAppData().mainView = nullptr;
}

void CImageView::OnInitialUpdate() {
    readSelected_->setEnabled(false);
    writeSelected_->setEnabled(false);
    CParamView::OnInitialUpdate();
    connect(List().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CImageView::UpdateSelectedButtons, Qt::UniqueConnection);
}

void CImageView::UpdateSelectedButtons() {
    const bool selected = List().GetSelectedCount() > 0;
    readSelected_->setEnabled(selected);
    writeSelected_->setEnabled(selected);
}

int CImageView::AreaCode() const {
    return GetAppData().mode == 1 ? AREA_USER_PATCH : -1;
}

std::vector<int> CImageView::Indexes(bool all) const {
    auto& list = const_cast<CImageView*>(this)->List();
    return all ? list.AllIndexes() : list.SelectedIndexes();
}

bool CImageView::ReadPatches(bool all) {
    AppData& app = GetAppData();
    CDoc* doc = GetDoc();
    if (!doc || !app.reader || (!all && List().GetSelectedCount() == 0)) return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadUser, app.settings, this)) return false;
    CWaitCursor wait;
    CTransferScope transfer;
    const std::vector<int> indexes = Indexes(all);
    doc->GetData().TakeUndoCopy(app.mode);
    const bool read = app.reader->ReadPatchesFromDevice(AreaCode(), indexes, doc->Patches());
    // A failed read leaves the Main window as it was.
    if (!read) doc->GetData().Undo();
    List().Refresh(true);
    return read;
}

bool CImageView::WritePatches(bool all) {
    AppData& app = GetAppData();
    CDoc* doc = GetDoc();
    if (!doc || !app.writer || !app.reader || (!all && List().GetSelectedCount() == 0)) return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, app.settings, this)) return false;
    CWaitCursor wait;
    CTransferScope transfer;
    return app.writer->WritePatchesToDevice(*app.reader, AreaCode(), Indexes(all), doc->Patches());
}

void CImageView::ExportSmf(bool all) {
    CDoc* doc = GetDoc();
    auto* manager = doc && doc->GetDocTemplate()
                        ? qobject_cast<CDocMan*>(doc->GetDocTemplate()->GetDocManager())
                        : nullptr;
    const std::vector<int> indexes = Indexes(all);
    if (!manager || indexes.empty()) return;
    if (manager->ExportSmfFile(AreaCode(), indexes, doc->Patches()) == CDocMan::kSmfFailed)
        ShowMessage(MSG_SAVE_FAILED);
}

void CImageView::ImportSmf() {
    AppData& app = GetAppData();
    CDoc* doc = GetDoc();
    auto* manager = doc && doc->GetDocTemplate()
                        ? qobject_cast<CDocMan*>(doc->GetDocTemplate()->GetDocManager())
                        : nullptr;
    if (!manager) return;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kImportSmf, app.settings, this)) return;
    // Always taken (Undo offers it while Mode is 1), also when the dialog is cancelled.
    doc->GetData().TakeUndoCopy(0);
    const CDocMan::SmfResult result = manager->ImportSmfFile(doc->Patches());
    if (result == CDocMan::kSmfCancelled) return;
    if (result == CDocMan::kSmfFailed) ShowMessage(MSG_LOAD_FAILED);
    List().Refresh(true);
}

bool CImageView::OnCommand(int id) {
    switch (id) {
        case ID_MIDI_READ_ALL:
            ReadPatches(true);
            return true;
        case ID_MIDI_READ_SELECTED:
            ReadPatches(false);
            return true;
        case ID_MIDI_WRITE_ALL:
            WritePatches(true);
            return true;
        case ID_MIDI_WRITE_SELECTED:
            WritePatches(false);
            return true;
        case ID_FILE_EXPORT_SMF_ALL:
            ExportSmf(true);
            return true;
        case ID_FILE_EXPORT_SMF_SELECTED:
            ExportSmf(false);
            return true;
        case ID_FILE_IMPORT_SMF:
            ImportSmf();
            return true;
        default:
            return CParamView::OnCommand(id);
    }
}

bool CImageView::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    switch (id) {
        case ID_MIDI_READ_SELECTED:
        case ID_MIDI_WRITE_SELECTED:
        case ID_FILE_EXPORT_SMF_SELECTED:
            ui.enabled = List().GetSelectedCount() > 0;
            return true;
        case ID_MIDI_READ_ALL:
        case ID_MIDI_WRITE_ALL:
        case ID_FILE_EXPORT_SMF_ALL:
        case ID_FILE_IMPORT_SMF:
            ui.enabled = true;
            return true;
        default:
            return CParamView::OnUpdateCommand(id, ui);
    }
}
