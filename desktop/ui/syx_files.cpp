#include "ui/syx_files.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "gp/docview/doc_template.h"
#include "gp/util/settings_catalog.h"
#include "model/parameter_address.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/file_dialog.h"
#include "ui/file_exchange.h"

bool CSyxFiles::Prompt(bool openDialog, QString& path) const {
    const UL::CFileDialogA::Filters filters = {
        {QCoreApplication::translate("CSyxFiles", "SysEx Files"), QStringLiteral(".syx")},
        {QCoreApplication::translate("CSyxFiles", "All Files"), QStringLiteral("*.*")}};
    const QString folder = Profile::kSyxFolder.Read(&context_.Settings());
    const QString name = openDialog ? QString() : Profile::kSyxFileName.Read(&context_.Settings());
    UL::CFileDialogA dialog(openDialog, filters, QStringLiteral(".syx"), folder, name, &context_.Settings(),
                            &Profile::kSyxFilter, parent_);
    dialog.setWindowTitle(openDialog ? QCoreApplication::translate("CSyxFiles", "Import SysEx File")
                                     : QCoreApplication::translate("CSyxFiles", "Export SysEx File"));
    if (!dialog.Run()) return false;
    path = dialog.ChosenPath();
    return true;
}

void CSyxFiles::Remember(const QString& path) const {
    Profile::RememberFolder(&context_.Settings(), Profile::kSyxFolder, path);
    Profile::kSyxFileName.Write(&context_.Settings(), QFileInfo(path).fileName());
}

CFileDoc* CSyxFiles::Import(GP::CDocTemplate* library, const QString& path) const {
    if (!library) return nullptr;
    CFileDoc* doc = CFileExchange(context_).OpenAsLibrary(library, FileKind::Syx, path);
    if (doc) Remember(path);
    return doc;
}

bool CSyxFiles::Export(const QString& path, const CPatchArray& patches, const std::vector<int>& positions,
                       const std::vector<int>& slotNumbers) const {
    if (!CFileExchange(context_).Write(FileKind::Syx, path, patches, positions, slotNumbers)) return false;
    Remember(path);
    return true;
}

CFileDoc* CSyxFiles::OnImport(GP::CDocTemplate* library) const {
    QString path;
    if (!Prompt(true, path)) return nullptr;
    return Import(library, path);
}

void CSyxFiles::OnExport(const CDoc& doc, const std::vector<int>& positions,
                         const std::vector<int>& slotNumbers) const {
    if (positions.empty()) return;
    if (positions.size() > static_cast<std::size_t>(USER_PATCH_COUNT)) {
        // Said before the file is chosen, not after.
        context_.TextOut().ShowMessage(MSG_SYX_TOO_MANY);
        return;
    }
    QString path;
    if (!Prompt(false, path)) return;
    if (doc.IsPathInUse(path)) {
        context_.TextOut().ShowMessage(MSG_FILE_IN_USE);
        return;
    }
    Export(path, doc.Patches(), positions, slotNumbers);
}
