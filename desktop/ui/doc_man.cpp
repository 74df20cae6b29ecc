#include "ui/doc_man.h"

#include <QFileInfo>
#include <fstream>

#include "gp/docview/mdi_frame_wnd.h"
#include "gp/util/settings_catalog.h"
#include "model/atomic_file.h"
#include "settings/settings_store.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/file_dialog.h"
#include "ui/wait_cursor.h"

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
    AReader* reader = &context_.Reader();
    std::ifstream stream(ToFilePath(path), std::ios::binary);
    if (!stream) return false;
    if (!reader->ReadPatchesFromSmf(stream, patches)) return false;
    RememberSmf(path);
    return true;
}

bool CDocMan::WriteSmf(const QString& path, int area, const std::vector<int>& indexes,
                       const CPatchArray& patches) {
    CWriter* writer = &context_.Writer();
    // The file that was there stays until the new one is complete.
    AtomicFileWriter file(ToFilePath(path));
    if (!file.IsOpen() || !writer->WritePatchesToSmf(file.Stream(), area, indexes, patches) || !file.Commit())
        return false;
    RememberSmf(path);
    return true;
}

CDocMan::SmfResult CDocMan::ImportSmfFile(CPatchArray& patches) {
    QString path;
    if (!PromptSmfFile(true, path)) return kSmfCancelled;
    CWaitCursor wait;
    return ReadSmf(path, patches) ? kSmfDone : kSmfFailed;
}

CDocMan::SmfResult CDocMan::ExportSmfFile(int area, const std::vector<int>& indexes,
                                          const CPatchArray& patches) {
    QString path;
    if (!PromptSmfFile(false, path)) return kSmfCancelled;
    CWaitCursor wait;
    return WriteSmf(path, area, indexes, patches) ? kSmfDone : kSmfFailed;
}
