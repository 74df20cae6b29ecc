// The imports of earlier models' files: TQ-MAX/TQ-4 librarian files, TQ-4/TQ-MAX bulk dumps and TQ-2 bulk
// dumps, each opened as a new library window.

#include <QDir>
#include <QFileInfo>

#include "app/app.h"
#include "app/main_frame.h"
#include "gp/docview/doc_template.h"
#include "gp/util/settings_catalog.h"
#include "settings/settings_store.h"
#include "textout/message_catalog.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/file_dialog.h"
#include "ui/file_exchange.h"

using namespace TQ;

namespace {

// What each import asks for.
struct EarlierKindInfo {
    const char* filterName;
    const char* extension;
    const char* title;
};

// The texts are translated in the context "CApp".
const EarlierKindInfo& InfoOf(CApp::EarlierKind kind) {
    static const EarlierKindInfo kinds[] = {
        {QT_TRANSLATE_NOOP("CApp", "TQ-MAX Librarian"), ".tqx",
         QT_TRANSLATE_NOOP("CApp", "Import TQ-MAX Librarian File")},
        {QT_TRANSLATE_NOOP("CApp", "TQ-4/TQ-MAX Bulk Dump"), ".mid",
         QT_TRANSLATE_NOOP("CApp", "Import TQ-4/TQ-MAX Bulk Dump File")},
        {QT_TRANSLATE_NOOP("CApp", "TQ-2 Bulk Dump"), ".mid",
         QT_TRANSLATE_NOOP("CApp", "Import TQ-2 Bulk Dump File")},
    };
    return kinds[static_cast<int>(kind)];
}

}  // namespace

bool CApp::PromptEarlierFile(EarlierKind kind, QString& path) {
    const EarlierKindInfo& info = InfoOf(kind);
    const UL::CFileDialogA::Filters filters = {{tr(info.filterName), QString::fromLatin1(info.extension)},
                                               {tr("All Files"), QStringLiteral("*.*")}};
    const QString folder = Profile::EarlierFolder(kind).Read(&context_.Settings());
    const QString file = Profile::EarlierFileName(kind).Read(&context_.Settings());
    // The filter chosen is not remembered for these.
    UL::CFileDialogA dialog(true, filters, QString::fromLatin1(info.extension), folder, file, nullptr,
                            nullptr, frame_.get());
    dialog.setWindowTitle(tr(info.title));
    if (!dialog.Run()) return false;
    path = dialog.ChosenPath();
    return true;
}

void CApp::RememberEarlierFile(EarlierKind kind, const QString& path) {
    // The folder, and the file's name without its extension.
    Profile::RememberFolder(&context_.Settings(), Profile::EarlierFolder(kind), path);
    Profile::EarlierFileName(kind).Write(&context_.Settings(), QFileInfo(path).completeBaseName());
}

void CApp::OnImportEarlierFile(EarlierKind kind) {
    QString path;
    if (!PromptEarlierFile(kind, path)) return;
    if (!ImportEarlierFile(kind, path)) {
        textOut_.ShowMessage(MSG_LOAD_FAILED);
        return;
    }
    RememberEarlierFile(kind, path);
}

CFileDoc* CApp::ImportEarlierFile(EarlierKind kind, const QString& path) {
    // A file that is not one reports why to the buffering sink, shown when the program is idle.
    const FileKind kinds[] = {FileKind::EarlierLibrary, FileKind::Tq4Dump, FileKind::Tq2Dump};
    return CFileExchange(context_).OpenAsLibrary(DocTemplateById(IDR_LIBRARY), kinds[kind], path);
}
