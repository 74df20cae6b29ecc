// What a copy of the program that ended without saving left behind: offered again at start-up.

#include <QDir>
#include <QFileInfo>

#include "app/app.h"
#include "gp/docview/doc_template.h"
#include "gp/util/path_util.h"
#include "textout/text_out.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/recovery_store.h"

using namespace TQ;

void CApp::OfferRecovery() {
    CRecoveryStore* store = &context_.Recovery();
    if (!store->IsReady()) return;
    CRecoveryStore::LeftBehind found = store->FindLeftBehind();
    if (found.windows.empty()) {
        store->Forget(found.folders);
        return;
    }
    QStringList lines;
    for (const CRecoveredWindow& window : found.windows) {
        if (window.mainWindow)
            lines << tr("The Main window (its patches open as a new library)");
        else if (!window.path.isEmpty())
            lines << tr("%1 (in %2)")
                         .arg(QFileInfo(window.path).fileName(),
                              QDir::toNativeSeparators(QFileInfo(window.path).absolutePath()));
        else
            lines << (window.title.isEmpty() ? tr("A new library") : window.title);
    }
    const QString text = tr("The TQ-550 Librarian ended before these windows were saved:\n\n%1\n\n"
                            "Open them again? \"No\" discards them.")
                             .arg(lines.join(QLatin1Char('\n')));
    const bool reopen = box_ && box_->Ask(ASK_YES_NO, text.toStdString(), ICON_QUESTION) == ANSWER_YES;
    GP::CDocTemplate* library = DocTemplateById(IDR_LIBRARY);
    if (reopen && library) {
        for (CRecoveredWindow& window : found.windows) {
            auto* doc = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
            if (!doc) continue;
            doc->SetPatches(std::move(window.patches));
            // Where it came from, not in the recent files until it is saved there; but a file that another
            // window holds, or that changed on the disk since, is not saved over with a plain Save.
            const bool keepsPath = !window.path.isEmpty() && window.fileUnchanged &&
                                   !docMan_->FindOpenDocument(GP::NormalizePath(window.path));
            if (keepsPath)
                doc->SetPathName(window.path, false);
            else if (!window.path.isEmpty())
                doc->SetTitle(
                    tr("%1 (recovered)")
                        .arg(window.title.isEmpty() ? QFileInfo(window.path).fileName() : window.title));
            else if (!window.mainWindow && !window.title.isEmpty())
                doc->SetTitle(window.title);
            doc->SetModifiedFlag(true);
        }
        // Kept at once in this copy's folder, before the old ones go.
        store->WriteChanged();
    }
    store->Forget(found.folders);
}
