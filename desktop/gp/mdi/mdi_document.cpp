#include "gp/mdi/mdi_document.h"

#include <QApplication>
#include <QMessageBox>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/util/path_util.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace GP {

namespace {

// Shows the wait cursor for as long as it lives.
class CWaitCursor {
  public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { Restore(); }
    void Restore() {
        if (active_) QApplication::restoreOverrideCursor();
        active_ = false;
    }

  private:
    bool active_ = true;
};

}  // namespace

bool CMDIDocument::DoSave(const QString& path, bool replace) {
    QString newName = path;
    if (newName.isEmpty()) {
        newName = ProposeSaveName(replace);
        if (!PromptSaveName(newName, replace)) return false;
    }
    CWaitCursor wait;
    if (IsPathInUseByOther(newName)) {
        wait.Restore();
        ReportFileInUse();
        return false;
    }
    if (!OnSaveDocument(newName)) return false;
    if (replace) SetPathName(newName);
    return true;
}

bool CMDIDocument::IsPathInUseByOther(const QString& path) const {
    const CDocTemplate* docTemplate = GetDocTemplate();
    const CDocManager* manager = docTemplate ? docTemplate->GetDocManager() : nullptr;
    if (!manager) return false;
    for (const CDocument* other : manager->GetDocuments())
        if (other != this && SamePath(other->GetPathName(), path, Qt::CaseInsensitive)) return true;
    return false;
}

bool CMDIDocument::SamePathName(const QString& path) const {
    return SamePath(GetPathName(), path, Qt::CaseInsensitive);
}

void CMDIDocument::ReportFileInUse() {
    const CDocTemplate* docTemplate = GetDocTemplate();
    const CDocManager* manager = docTemplate ? docTemplate->GetDocManager() : nullptr;
    const TextOutHub* hub = manager ? manager->TextOut() : nullptr;
    if (hub && hub->GetTextOut(TextOutHub::kMessageBoxSlot)) {
        hub->ShowMessage(MSG_FILE_IN_USE);
        return;
    }
    QMessageBox::warning(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                         QString::fromStdString(GetMessageCatalog().Text(MSG_FILE_IN_USE)));
}

}  // namespace GP
