#include "ui/image_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <algorithm>

#include "gp/docview/doc_template.h"
#include "gp/util/settings_catalog.h"
#include "midi/midi_out.h"
#include "model/parameter_address.h"
#include "settings/settings_store.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
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

void ShowMessage(const CAppContext& context, int id) {
    if (TextOutHub* hub = context.textOut) hub->ShowMessage(id);
}

// A text of the program's own at once, in the message box of the catalogue's messages.
void ShowText(const CAppContext& context, const QString& text) {
    TextOutHub* hub = context.textOut;
    if (CKivTextOut* box = hub ? hub->GetTextOut(TextOutHub::kMessageBoxSlot) : nullptr)
        box->Write(text.toStdString());
}

// After a transfer that failed, looks at the processor's output port: an interface that was unplugged is
// then reported at once (the notice "MIDI devices are disconnected."), not only at the next transfer.
void CheckProcessorPort(const CAppContext& context) {
    CWriter* writer = context.writer.get();
    CKivMidiOut* output = writer ? writer->SenderOutput() : nullptr;
    if (auto* port = output ? dynamic_cast<CMidiOut*>(output->GetDevice()) : nullptr) port->CheckConnection();
}

// A list of the Main window's shape that new data can arrive in: a copy of patches.
CPatchArray CopyOf(const CPatchArray& patches) {
    CPatchArray copy;
    copy.SetInitialData(patches.GetInitialData());
    copy.Assign(patches);
    return copy;
}

}  // namespace

CImageView::CImageView(CAppContext& context)
    : CParamView(MainForm(), CParameterListCtrl::kMainList, context),
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
}

CImageView::~CImageView() = default;

void CImageView::OnInitialUpdate() {
    readSelected_->setEnabled(false);
    writeSelected_->setEnabled(false);
    CParamView::OnInitialUpdate();
    connect(&List(), &GP::CEditListCtrl::selectedRowsChanged, this, &CImageView::UpdateSelectedButtons,
            Qt::UniqueConnection);
}

void CImageView::UpdateSelectedButtons() {
    const bool selected = List().GetSelectedCount() > 0;
    readSelected_->setEnabled(selected);
    writeSelected_->setEnabled(selected);
}

int CImageView::AreaCode() const {
    return context_.mode == 1 ? AREA_USER_PATCH : -1;
}

std::vector<int> CImageView::Indexes(bool all) const {
    const CPatchListCtrl& list = List();
    std::vector<int> indexes = all ? list.AllIndexes() : list.SelectedIndexes();
    // A sorted list shows its rows in another order; the transfers go by patch number.
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

QString CImageView::PatchLabel(int index) {
    return CParameterListCtrl::MainNumber(index);
}

bool CImageView::VerifyAfterWriting() const {
    return Profile::kVerifyWrite.Read(context_.settings) != 0;
}

bool CImageView::ReadPatches(bool all) {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    if (!doc || !app.reader || app.Busy()) return false;
    const std::vector<int> indexes = Indexes(all);
    if (indexes.empty()) return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadUser, app.settings, this)) return false;
    CWaitCursor wait;
    CTransferScope transfer(context_);
    CPatchArray incoming = CopyOf(doc->Patches());
    const bool read = app.reader->ReadPatchesFromDevice(AreaCode(), indexes, incoming);
    if (read) {
        doc->GetData().TakeUndoCopy(app.mode);
        doc->Patches().Swap(incoming);
    } else if (!app.reader->WasCancelled()) {
        CheckProcessorPort(context_);
    }
    List().Refresh(true);
    return read;
}

bool CImageView::ConfirmWrite(bool& verify) {
    CAppContext& app = context_;
    verify = VerifyAfterWriting();
    CMidiWarningDlg dialog(app.settings, this);
    if (!dialog.NeedsConfirmation(CMidiWarningDlg::kWriteUser)) return true;
    auto* check = new QCheckBox(tr("&Verify after writing"));
    check->setObjectName(QStringLiteral("verifyAfterWriting"));
    check->setChecked(verify);
    dialog.AddExtraWidget(check);
    if (dialog.exec() != QDialog::Accepted) return false;
    verify = check->isChecked();
    Profile::kVerifyWrite.Write(app.settings, verify ? 1 : 0);
    return true;
}

bool CImageView::WritePatches(bool all) {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    if (!doc || !app.writer || !app.reader || app.Busy()) return false;
    const std::vector<int> indexes = Indexes(all);
    if (indexes.empty()) return false;
    bool verify = false;
    if (!ConfirmWrite(verify)) return false;
    CWaitCursor wait;
    CTransferScope transfer(context_);
    if (!app.writer->WritePatchesToDevice(*app.reader, AreaCode(), indexes, doc->Patches())) {
        if (!app.writer->WasCancelled()) CheckProcessorPort(context_);
        return false;
    }
    if (verify && IsPatchArea(AreaCode())) VerifyWritten(indexes);
    return true;
}

bool CImageView::VerifyWritten(const std::vector<int>& indexes) {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    if (!doc || !app.reader) return false;
    const CPatchArray& written = doc->Patches();
    // Never into the Main window: the processor's answer goes into a list of its own.
    CPatchArray readBack;
    readBack.SetInitialData(written.GetInitialData());
    readBack.Resize(written.GetSize());
    if (!app.reader->ReadPatchesFromDevice(AreaCode(), indexes, readBack)) {
        if (!app.reader->WasCancelled()) {
            CheckProcessorPort(context_);
            ShowText(context_, tr("The written patches could not be read back for checking."));
        }
        return false;
    }
    for (int index : indexes) {
        const auto position = static_cast<std::size_t>(index);
        if (position >= written.GetSize() || written[position].GetImage() != readBack[position].GetImage()) {
            ShowText(context_, tr("%1 differs from what was written.").arg(PatchLabel(index)));
            return false;
        }
    }
    ShowText(context_, tr("The TQ-550 holds what was written: every patch read back unchanged."));
    return true;
}

void CImageView::ExportSmf(bool all) {
    CDoc* doc = GetDoc();
    auto* manager = doc && doc->GetDocTemplate()
                        ? qobject_cast<CDocMan*>(doc->GetDocTemplate()->GetDocManager())
                        : nullptr;
    const std::vector<int> indexes = Indexes(all);
    if (!manager || indexes.empty()) return;
    if (manager->ExportSmfFile(AreaCode(), indexes, doc->Patches()) == CDocMan::kSmfFailed)
        ShowMessage(context_, MSG_SAVE_FAILED);
}

void CImageView::ImportSmf() {
    CAppContext& app = context_;
    CDoc* doc = GetDoc();
    auto* manager = doc && doc->GetDocTemplate()
                        ? qobject_cast<CDocMan*>(doc->GetDocTemplate()->GetDocManager())
                        : nullptr;
    if (!manager) return;
    if (app.Busy() || !CMidiWarningDlg::Confirm(CMidiWarningDlg::kImportSmf, app.settings, this)) return;
    // Always taken (Undo offers it while Mode is 1), also when the file dialog is cancelled.
    doc->GetData().TakeUndoCopy(0);
    // A file that breaks off part way changes nothing: its patches arrive in a copy first.
    CPatchArray incoming = CopyOf(doc->Patches());
    const CDocMan::SmfResult result = manager->ImportSmfFile(incoming);
    if (result == CDocMan::kSmfCancelled) return;
    if (result == CDocMan::kSmfFailed)
        ShowMessage(context_, MSG_LOAD_FAILED);
    else
        doc->Patches().Swap(incoming);
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
