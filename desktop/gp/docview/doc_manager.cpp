#include "gp/docview/doc_manager.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <algorithm>

#include "gp/docview/doc_template.h"
#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/docview/view.h"
#include "gp/util/path_util.h"

namespace GP {

CDocManager::CDocManager(ISettingsStore* settings) : settings_(settings) {}

CDocManager::~CDocManager() = default;

void CDocManager::SetMainFrame(CMDIFrameWnd* frame) {
    mainFrame_ = frame;
    if (frame && frame->GetDocManager() != this) frame->SetDocManager(this);
}

CDocTemplate* CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    if (!docTemplate) return nullptr;
    docTemplate->manager_ = this;
    templates_.push_back(std::move(docTemplate));
    return templates_.back().get();
}

std::vector<CDocTemplate*> CDocManager::GetTemplates() const {
    std::vector<CDocTemplate*> templates;
    for (const auto& t : templates_)
        templates.push_back(t.get());
    return templates;
}

std::vector<CDocument*> CDocManager::GetDocuments() const {
    std::vector<CDocument*> documents;
    for (const auto& t : templates_)
        for (CDocument* document : t->GetDocuments())
            documents.push_back(document);
    return documents;
}

CDocument* CDocManager::OnFileNew() {
    std::vector<CDocTemplate*> candidates;
    for (const auto& t : templates_)
        if (!t->GetDocString(CDocTemplate::fileNewName).isEmpty()) candidates.push_back(t.get());
    if (candidates.empty()) return nullptr;
    CDocTemplate* chosen = candidates.size() == 1 ? candidates.front() : ChooseNewTemplate(candidates);
    return chosen ? chosen->OpenDocumentFile(QString()) : nullptr;
}

CDocument* CDocManager::OnFileOpen() {
    QString fileName;
    if (!DoPromptFileName(fileName, tr("Open"), true, nullptr)) return nullptr;
    return OpenDocumentFile(fileName);
}

CDocument* CDocManager::FindOpenDocument(const QString& path) const {
    for (CDocument* document : GetDocuments())
        if (SamePath(document->GetPathName(), path)) return document;
    return nullptr;
}

CDocument* CDocManager::OpenDocumentFile(const QString& path) {
    if (path.isEmpty()) return nullptr;
    const QString normalized = NormalizePath(path);
    if (CDocument* open = FindOpenDocument(normalized)) {
        const std::vector<CMDIChildWnd*> frames = open->GetFrames();
        if (!frames.empty() && mainFrame_) mainFrame_->MDIActivate(frames.front());
        return open;
    }
    CDocTemplate* best = nullptr;
    int bestMatch = 0;
    for (const auto& t : templates_) {
        const int match = t->MatchDocType(normalized);
        if (match > bestMatch) {
            bestMatch = match;
            best = t.get();
        }
    }
    if (!best) return nullptr;
    CDocument* document = best->OpenDocumentFile(normalized);
    if (document) AddToRecentFileList(normalized);
    return document;
}

bool CDocManager::DoPromptFileName(QString& fileName, const QString& title, bool openDialog,
                                   CDocTemplate* docTemplate) {
    QStringList filters;
    for (const auto& t : templates_) {
        if (docTemplate && t.get() != docTemplate) continue;
        const QString name = t->GetDocString(CDocTemplate::filterName);
        const QString patterns = t->GetDocString(CDocTemplate::filterExt);
        if (!name.isEmpty() && !patterns.isEmpty())
            filters << QStringLiteral("%1 (%2)").arg(
                name, QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')));
    }
    filters << tr("All Files (*)");
    QWidget* owner = mainFrame_;
    const QString chosen =
        openDialog ? QFileDialog::getOpenFileName(owner, title, fileName, filters.join(QStringLiteral(";;")))
                   : QFileDialog::getSaveFileName(owner, title, fileName, filters.join(QStringLiteral(";;")));
    if (chosen.isEmpty()) return false;
    fileName = chosen;
    return true;
}

std::vector<QPointer<CDocument>> CDocManager::GuardedDocuments() const {
    std::vector<QPointer<CDocument>> guarded;
    for (CDocument* document : GetDocuments())
        guarded.emplace_back(document);
    return guarded;
}

bool CDocManager::SaveAllModified() {
    // A save question runs an event loop, in which a document of the list may be closed and deleted.
    for (const QPointer<CDocument>& document : GuardedDocuments())
        if (document && !document->SaveModified()) return false;
    return true;
}

void CDocManager::CloseAllDocuments() {
    for (const QPointer<CDocument>& document : GuardedDocuments()) {
        if (!document) continue;
        document->OnCloseDocument();
        // A document that does not delete itself still leaves the template.
        if (!document) continue;
        if (CDocTemplate* t = document->GetDocTemplate()) t->RemoveDocument(document.data());
    }
}

void CDocManager::AddToRecentFileList(const QString& path) {
    recentFiles_.Add(path);
    emit recentFilesChanged();
}

CDocument* CDocManager::OpenRecentFile(int index) {
    const QString path = recentFiles_.File(index);
    if (path.isEmpty()) return nullptr;
    CDocument* document = OpenDocumentFile(path);
    if (!document) {
        // The entry may have moved meanwhile; remove it by name.
        for (int i = 0; i < recentFiles_.Count(); ++i) {
            if (recentFiles_.File(i) == path) {
                recentFiles_.Remove(i);
                break;
            }
        }
        emit recentFilesChanged();
    }
    return document;
}

void CDocManager::LoadRecentFileList() {
    if (settings_) recentFiles_.ReadList(*settings_);
    emit recentFilesChanged();
}

void CDocManager::SaveRecentFileList() const {
    if (settings_) recentFiles_.WriteList(*settings_);
}

void CDocManager::FillRecentFileMenu(QMenu* menu) {
    if (!menu) return;
    menu->clear();
    if (recentFiles_.Count() == 0) {
        menu->addAction(tr("Recent File"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < recentFiles_.Count(); ++i) {
        QAction* action = menu->addAction(recentFiles_.MenuText(i));
        action->setData(ID_FILE_MRU_FILE1 + i);
        action->setToolTip(recentFiles_.File(i));
        connect(action, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
    }
}

bool CDocManager::OnCommand(int id) {
    if (id == ID_FILE_NEW) {
        OnFileNew();
        return true;
    }
    if (id == ID_FILE_OPEN) {
        OnFileOpen();
        return true;
    }
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE8) {
        OpenRecentFile(id - ID_FILE_MRU_FILE1);
        return true;
    }
    return false;
}

bool CDocManager::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id == ID_FILE_NEW || id == ID_FILE_OPEN) {
        ui.enabled = !templates_.empty();
        return true;
    }
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE8) {
        ui.enabled = id - ID_FILE_MRU_FILE1 < recentFiles_.Count();
        return true;
    }
    return false;
}

CDocTemplate* CDocManager::ChooseNewTemplate(const std::vector<CDocTemplate*>& candidates) {
    return candidates.empty() ? nullptr : candidates.front();
}

}  // namespace GP
