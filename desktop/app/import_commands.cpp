// The imports of earlier models' files: TQ-MAX/TQ-4 librarian files, TQ-4/TQ-MAX bulk dumps and TQ-2 bulk
// dumps, each opened as a new library window.

#include <QDir>
#include <QFileInfo>

#include "app/app.h"
#include "app/main_frame.h"
#include "gp/docview/doc_template.h"
#include "gp/util/settings_catalog.h"
#include "import/reader.h"
#include "import/tq2_importer.h"
#include "import/tq4_importer.h"
#include "import/tqm_importer.h"
#include "settings/settings_store.h"
#include "textout/message_catalog.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/file_dialog.h"
#include "ui/wait_cursor.h"

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
    CAppContext& app = context_;
    GP::CDocTemplate* library = DocTemplateById(IDR_LIBRARY);
    if (!library) return nullptr;
    const std::shared_ptr<const IInitialData> initial = app.Initial();
    const std::filesystem::path file = ToFilePath(path);
    CPatchArray patches;
    switch (kind) {
        case kLibrarianFile: {
            CWaitCursor wait;
            // A file that is not one reports why to the buffering sink, shown when the program is idle.
            CTQMImporter importer(&textOut_, initial);
            if (!importer.Import(file)) return nullptr;
            patches.Swap(importer.GetDestination().Patches());
            break;
        }
        case kTq4BulkDump: {
            CTQ4Importer importer(app.EarlierReader(), initial);
            if (!importer.Import(file)) return nullptr;
            patches.Swap(importer.GetDestination().Patches());
            break;
        }
        case kTq2BulkDump: {
            CTQ2Importer importer(initial);
            if (!importer.Import(file)) return nullptr;
            patches.Swap(importer.GetDestination().Patches());
            break;
        }
    }
    auto* doc = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
    if (!doc) return nullptr;
    // An untitled library like any new one: saving it asks for a name.
    doc->SetPatches(std::move(patches));
    doc->SetModifiedFlag(true);
    return doc;
}
