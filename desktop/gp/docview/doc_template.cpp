#include "gp/docview/doc_template.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>

#include "gp/docview/doc_manager.h"
#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/docview/view.h"

namespace GP {

CDocTemplate::CDocTemplate(int resourceId, const QString& docStrings, DocumentFactory makeDocument,
                           FrameFactory makeFrame, ViewFactory makeView)
    : resourceId_(resourceId),
      strings_(docStrings.split(QLatin1Char('\n'))),
      makeDocument_(std::move(makeDocument)),
      makeFrame_(std::move(makeFrame)),
      makeView_(std::move(makeView)) {}

CDocTemplate::~CDocTemplate() {
    // Documents still open at exit go without their windows' help.
    for (auto& document : documents_)
        document->template_ = nullptr;
}

QString CDocTemplate::GetDocString(DocStringIndex index) const {
    const int i = static_cast<int>(index);
    return i < strings_.size() ? strings_[i] : QString();
}

QStringList CDocTemplate::FilterExtensions() const {
    QStringList extensions;
    for (QString pattern : GetDocString(filterExt).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern.startsWith(QLatin1Char('*'))) pattern.remove(0, 1);
        if (pattern.startsWith(QLatin1Char('.')) && pattern.size() > 1) extensions << pattern;
    }
    return extensions;
}

std::vector<CDocument*> CDocTemplate::GetDocuments() const {
    std::vector<CDocument*> documents;
    documents.reserve(documents_.size());
    for (const auto& document : documents_)
        documents.push_back(document.get());
    return documents;
}

int CDocTemplate::MatchDocType(const QString& path) const {
    const QStringList extensions = FilterExtensions();
    if (extensions.isEmpty()) return 1;
    const QString name = QFileInfo(path).fileName();
    for (const QString& extension : extensions)
        if (name.endsWith(extension, Qt::CaseInsensitive)) return 2;
    return 0;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (!makeDocument_) return nullptr;
    std::unique_ptr<CDocument> document = makeDocument_();
    if (!document) return nullptr;
    document->template_ = this;
    documents_.push_back(std::move(document));
    return documents_.back().get();
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* document) {
    CMDIFrameWnd* mainFrame = manager_ ? manager_->GetMainFrame() : nullptr;
    if (!mainFrame || !makeFrame_ || !makeView_) return nullptr;
    std::unique_ptr<CMDIChildWnd> frame = makeFrame_(*this);
    std::unique_ptr<CView> view = makeView_();
    if (!frame || !view) return nullptr;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->SetDocument(document);
    if (document) document->AddView(view.get());
    frame->setWidget(view.release());
    CMDIChildWnd* result = frame.get();
    mainFrame->MdiArea()->addSubWindow(frame.release());
    result->OnCreateFrame();
    return result;
}

void CDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool makeVisible) {
    if (frame) frame->InitialUpdateFrame(document, makeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* document) {
    QString title = GetDocString(docName);
    if (title.isEmpty()) title = QApplication::translate("GP::CDocTemplate", "Untitled");
    document->SetTitle(title);
}

void CDocTemplate::RemoveDocument(CDocument* document) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [document](const auto& owned) { return owned.get() == document; });
    if (it == documents_.end()) return;
    CDocument* released = it->release();
    documents_.erase(it);
    released->template_ = nullptr;
    released->deleteLater();
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible) {
    CDocument* document = CreateNewDocument();
    if (!document) return nullptr;
    CMDIChildWnd* frame = CreateNewFrame(document);
    if (!frame) {
        document->OnCloseDocument();
        RemoveDocument(document);
        return nullptr;
    }
    if (path.isEmpty()) {
        SetDefaultTitle(document);
        if (!document->OnNewDocument()) {
            document->OnCloseDocument();
            RemoveDocument(document);
            return nullptr;
        }
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool opened = document->OnOpenDocument(path);
        QApplication::restoreOverrideCursor();
        if (!opened) {
            document->OnCloseDocument();
            RemoveDocument(document);
            return nullptr;
        }
        document->SetPathName(path, false);
    }
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

}  // namespace GP
