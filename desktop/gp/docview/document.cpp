#include "gp/docview/document.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <algorithm>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/docview/view.h"

namespace GP {

CDocument::CDocument() = default;

CDocument::~CDocument() {
    for (CView* view : views_)
        view->document_ = nullptr;
}

void CDocument::SetPathName(const QString& path, bool addToRecentFiles) {
    pathName_ = path;
    SetTitle(QFileInfo(path).fileName());
    if (addToRecentFiles && template_ && template_->GetDocManager())
        template_->GetDocManager()->AddToRecentFileList(path);
}

void CDocument::SetTitle(const QString& title) {
    title_ = title;
    UpdateFrameTitles();
    emit titleChanged(title_);
}

void CDocument::SetModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    UpdateFrameTitles();
    emit modifiedChanged(modified_);
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
    if (view->document_ && view->document_ != this) view->document_->RemoveView(view);
    views_.push_back(view);
    view->document_ = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end()) return;
    views_.erase(it);
    view->document_ = nullptr;
    OnChangedViewList();
}

std::vector<CMDIChildWnd*> CDocument::GetFrames() const {
    std::vector<CMDIChildWnd*> frames;
    for (CView* view : views_) {
        CMDIChildWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end()) frames.push_back(frame);
    }
    return frames;
}

void CDocument::UpdateAllViews(CView* sender, int hint, QObject* hintObject) {
    // A view may add or remove views while it updates; work on a copy and skip views that went.
    const std::vector<CView*> views = views_;
    for (CView* view : views) {
        if (view == sender || std::find(views_.begin(), views_.end(), view) == views_.end()) continue;
        view->OnUpdate(sender, hint, hintObject);
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    pathName_.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString&) {
    return false;
}

bool CDocument::OnSaveDocument(const QString&) {
    return false;
}

void CDocument::OnCloseDocument() {
    if (closing_) return;
    closing_ = true;
    const std::vector<CMDIChildWnd*> frames = GetFrames();
    for (CView* view : views_)
        view->document_ = nullptr;
    views_.clear();
    for (CMDIChildWnd* frame : frames)
        frame->DestroyFrame();
    DeleteContents();
    if (autoDelete_ && template_) template_->RemoveDocument(this);
}

void CDocument::OnChangedViewList() {
    if (views_.empty() && autoDelete_ && !closing_) {
        OnCloseDocument();
        return;
    }
    UpdateFrameTitles();
}

bool CDocument::SaveModified() {
    if (!IsModified()) return true;
    QString name = pathName_.isEmpty() ? title_ : QFileInfo(pathName_).fileName();
    if (name.isEmpty()) name = tr("Untitled");
    switch (AskSaveChanges(tr("Save changes to %1?").arg(name))) {
        case SAVE_CANCEL:
            return false;
        case SAVE_NO:
            return true;
        case SAVE_YES:
            break;
    }
    return DoFileSave();
}

bool CDocument::CanCloseFrame(CMDIChildWnd* frame) {
    for (CMDIChildWnd* other : GetFrames())
        if (other != frame && !other->IsClosing()) return true;  // another window stays open
    return SaveModified();
}

bool CDocument::DoSave(const QString& path, bool replace) {
    QString newName = path;
    if (newName.isEmpty()) {
        newName = ProposeSaveName(replace);
        if (!PromptSaveName(newName, replace)) return false;
    }
    if (!OnSaveDocument(newName)) return false;
    if (replace) SetPathName(newName);
    return true;
}

bool CDocument::DoFileSave() {
    const QFileInfo info(pathName_);
    if (pathName_.isEmpty() || (info.exists() && !info.isWritable())) return DoSave(QString());
    return DoSave(pathName_);
}

bool CDocument::OnCommand(int id) {
    switch (id) {
        case ID_FILE_SAVE:
            DoFileSave();
            return true;
        case ID_FILE_SAVE_AS:
            DoSave(QString());
            return true;
        case ID_FILE_CLOSE:
            if (SaveModified()) OnCloseDocument();
            return true;
        default:
            return false;
    }
}

bool CDocument::OnUpdateCommand(int id, CCmdUI& ui) {
    switch (id) {
        case ID_FILE_SAVE:
        case ID_FILE_SAVE_AS:
        case ID_FILE_CLOSE:
            ui.enabled = true;
            return true;
        default:
            return false;
    }
}

CDocument::SaveAnswer CDocument::AskSaveChanges(const QString& prompt) {
    QWidget* owner = QApplication::activeWindow();
    const auto answer =
        QMessageBox::question(owner, QApplication::applicationDisplayName(), prompt,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return SAVE_YES;
    if (answer == QMessageBox::No) return SAVE_NO;
    return SAVE_CANCEL;
}

QString CDocument::ProposeSaveName(bool replace) const {
    QString name = pathName_;
    if (replace && name.isEmpty()) {
        name = title_;
        const qsizetype bad = name.indexOf(QRegularExpression(QStringLiteral("[:/\\\\]")));
        if (bad >= 0) name.truncate(bad);
        if (template_) {
            const QStringList extensions = template_->FilterExtensions();
            if (!extensions.isEmpty()) name += extensions.front();
        }
    }
    return name;
}

bool CDocument::PromptSaveName(QString& name, bool replace) {
    CDocManager* manager = template_ ? template_->GetDocManager() : nullptr;
    if (!manager) return false;
    return manager->DoPromptFileName(name, replace ? tr("Save As") : tr("Save a Copy As"), false, template_);
}

void CDocument::UpdateFrameTitles() {
    for (CMDIChildWnd* frame : GetFrames())
        frame->OnUpdateFrameTitle();
}

}  // namespace GP
