#include "ui/image_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <algorithm>

#include "gp/docview/doc_template.h"
#include "gp/util/settings_catalog.h"
#include "midi/midi_out.h"
#include "model/device_history.h"
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
    context.TextOut().ShowMessage(id);
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
    // The buttons are the commands' own: the same rules and handlers as the menu items.
    const std::pair<QPushButton*, int> buttons[] = {{readAll_, ID_MIDI_READ_ALL},
                                                    {readSelected_, ID_MIDI_READ_SELECTED},
                                                    {writeAll_, ID_MIDI_WRITE_ALL},
                                                    {writeSelected_, ID_MIDI_WRITE_SELECTED}};
    for (const auto& [button, id] : buttons)
        connect(button, &QPushButton::clicked, this, [this, id = id] { RouteViewCommand(id, nullptr); });
}

CImageView::~CImageView() = default;

void CImageView::OnInitialUpdate() {
    CParamView::OnInitialUpdate();
    OnCommandStatesChanged();
}

void CImageView::OnCommandStatesChanged() {
    readSelected_->setEnabled(CanTransferSelected());
    writeSelected_->setEnabled(CanTransferSelected());
    CParamView::OnCommandStatesChanged();
}

int CImageView::AreaCode() const {
    const CImageDoc* doc = MainDoc();
    return doc ? doc->AreaCode() : -1;
}

bool CImageView::CanTransfer() const {
    const CImageDoc* doc = MainDoc();
    return doc && doc->CanTransfer();
}

std::vector<int> CImageView::Indexes(bool all) const {
    const CPatchListCtrl& list = List();
    std::vector<int> indexes = all ? list.AllIndexes() : list.SelectedIndexes();
    // A sorted list shows its rows in another order; the transfers go by patch number.
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

QString CImageView::PatchLabel(int index) {
    return CPatchTableModel::MainNumber(index);
}

bool CImageView::VerifyAfterWriting() const {
    return Profile::kVerifyWrite.Read(&context_.Settings()) != 0;
}

bool CImageView::ReadPatches(bool all) {
    CImageDoc* doc = MainDoc();
    if (!doc || !CanTransfer()) return false;
    const std::vector<int> indexes = Indexes(all);
    if (indexes.empty()) return false;
    if (!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadUser, &context_.Settings(), this)) return false;
    return doc->StartRead(indexes, all);
}

CImageDoc* CImageView::MainDoc() const {
    return qobject_cast<CImageDoc*>(GetDoc());
}

bool CImageView::ConfirmWrite(bool& verify) {
    CAppContext& app = context_;
    verify = VerifyAfterWriting();
    if (Profile::ConfirmationSwitch(CMidiWarningDlg::kWriteUser).Read(&app.Settings()) != 0) return true;
    CMidiWarningDlg dialog(&app.Settings(), this);
    if (!dialog.NeedsConfirmation(CMidiWarningDlg::kWriteUser)) return true;
    auto* check = new QCheckBox(tr("&Verify after writing"));
    check->setObjectName(QStringLiteral("verifyAfterWriting"));
    check->setChecked(verify);
    dialog.AddExtraWidget(check);
    if (dialog.exec() != QDialog::Accepted) return false;
    verify = check->isChecked();
    Profile::kVerifyWrite.Write(&app.Settings(), verify ? 1 : 0);
    return true;
}

bool CImageView::WritePatches(bool all) {
    return WritePatchesAt(Indexes(all));
}

bool CImageView::WritePatchesAt(const std::vector<int>& indexes) {
    CImageDoc* doc = MainDoc();
    if (!doc || !CanTransfer() || indexes.empty()) return false;
    bool verify = false;
    if (!ConfirmWrite(verify)) return false;
    return doc->StartWrite(indexes, verify);
}

bool CImageView::WriteChanged() {
    CImageDoc* doc = MainDoc();
    if (!doc || !CanTransfer()) return false;
    const std::vector<int> changed = doc->ChangedSlots();
    if (changed.empty()) {
        context_.ShowText(tr("The TQ-550 holds every patch of the Main window already: nothing was written.")
                              .toStdString());
        return false;
    }
    return WritePatchesAt(changed);
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
    if (!CanTransfer() || !CMidiWarningDlg::Confirm(CMidiWarningDlg::kImportSmf, &app.Settings(), this))
        return;
    // A file that breaks off part way changes nothing: its patches arrive in a copy first. The import keeps
    // its undo copy whatever the program's Mode (Undo offers it while Mode is 1).
    CPatchArray incoming = CopyOf(doc->Patches());
    const CDocMan::SmfResult result = manager->ImportSmfFile(incoming);
    if (result == CDocMan::kSmfCancelled) return;
    if (result == CDocMan::kSmfFailed)
        ShowMessage(context_, MSG_LOAD_FAILED);
    else
        doc->TakePatches(incoming, List().AllIndexes(), UndoMode::Kept, false);
}

bool CImageView::RouteViewCommand(int id, GP::CCmdUI* ui) {
    static const Command<CImageView> kCommands[] = {
        {ID_MIDI_READ_ALL, &CImageView::CanTransfer, &CImageView::OnReadAll},
        {ID_MIDI_READ_SELECTED, &CImageView::CanTransferSelected, &CImageView::OnReadSelected},
        {ID_MIDI_WRITE_ALL, &CImageView::CanTransfer, &CImageView::OnWriteAll},
        {ID_MIDI_WRITE_SELECTED, &CImageView::CanTransferSelected, &CImageView::OnWriteSelected},
        {ID_MIDI_WRITE_CHANGED, &CImageView::CanTransfer, &CImageView::OnWriteChanged},
        {ID_FILE_EXPORT_SMF_ALL, &CImageView::AlwaysTrue, &CImageView::OnExportAll},
        {ID_FILE_EXPORT_SMF_SELECTED, &CImageView::CanTransferSelected, &CImageView::OnExportSelected},
        {ID_FILE_IMPORT_SMF, &CImageView::CanTransfer, &CImageView::ImportSmf},
    };
    return Route(*this, kCommands, id, ui) || CParamView::RouteViewCommand(id, ui);
}
