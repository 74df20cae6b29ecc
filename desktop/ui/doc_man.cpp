#include "ui/doc_man.h"

#include <QFileInfo>

#include "gp/docview/mdi_frame_wnd.h"
#include "gp/util/settings_catalog.h"
#include "model/parameter_address.h"
#include "settings/settings_store.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/file_dialog.h"
#include "ui/file_exchange.h"

CDocMan::CDocMan(CAppContext& context) : CDocManager(&context.Settings()), context_(context) {}

bool CDocMan::DoPromptFileName(QString& fileName, const QString& title, bool openDialog, GP::CDocTemplate*) {
    const UL::CFileDialogA::Filters filters = {{tr("TQ-550 Librarian"), QStringLiteral(".tql")},
                                               {tr("All Files"), QStringLiteral("*.*")}};
    QString folder = Profile::kDocumentFolder.Read(Settings());
    QString name;
    if (!openDialog) {
        const QFileInfo current(fileName);
        if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
            folder = current.absolutePath();
        name = current.fileName();
    }
    UL::CFileDialogA dialog(openDialog, filters, QStringLiteral(".tql"), folder, name, Settings(),
                            &Profile::kDocumentFilter, GetMainFrame());
    dialog.setWindowTitle(title);
    const bool ok = dialog.Run();
    fileName = dialog.ChosenPath();
    return ok;
}

bool CDocMan::PromptSmfFile(bool openDialog, QString& path) {
    const UL::CFileDialogA::Filters filters = {{tr("Standard MIDI Files"), QStringLiteral(".mid")},
                                               {tr("All Files"), QStringLiteral("*.*")}};
    const QString folder = Profile::kSmfFolder.Read(Settings());
    const QString name = openDialog ? QString() : Profile::kSmfFileName.Read(Settings());
    UL::CFileDialogA dialog(openDialog, filters, QStringLiteral(".mid"), folder, name, Settings(),
                            &Profile::kSmfFilter, GetMainFrame());
    dialog.setWindowTitle(openDialog ? tr("Import SMF") : tr("Export SMF"));
    if (!dialog.Run()) return false;
    path = dialog.ChosenPath();
    return true;
}

void CDocMan::RememberSmf(const QString& path) {
    Profile::RememberFolder(Settings(), Profile::kSmfFolder, path);
    Profile::kSmfFileName.Write(Settings(), QFileInfo(path).fileName());
}

bool CDocMan::ReadSmf(const QString& path, CPatchArray& patches) {
    if (!CFileExchange(context_).ReadSmfInto(path, patches)) return false;
    RememberSmf(path);
    return true;
}

bool CDocMan::WriteSmf(const QString& path, int area, const std::vector<int>& indexes,
                       const CPatchArray& patches) {
    // Each patch as the user patch of its index; without the user area (Mode other than 1) none at all.
    const std::vector<int> written = IsPatchArea(area) ? indexes : std::vector<int>();
    if (!CFileExchange(context_).Write(FileKind::Smf, path, patches, written, written)) return false;
    RememberSmf(path);
    return true;
}

CDocMan::SmfResult CDocMan::ImportSmfFile(CPatchArray& patches) {
    QString path;
    if (!PromptSmfFile(true, path)) return kSmfCancelled;
    return ReadSmf(path, patches) ? kSmfDone : kSmfFailed;
}

CDocMan::SmfResult CDocMan::ExportSmfFile(int area, const std::vector<int>& indexes,
                                          const CPatchArray& patches) {
    QString path;
    if (!PromptSmfFile(false, path)) return kSmfCancelled;
    return WriteSmf(path, area, indexes, patches) ? kSmfDone : kSmfFailed;
}
