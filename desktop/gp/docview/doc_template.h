#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace GP {

class CDocManager;
class CDocument;
class CMDIChildWnd;
class CView;

// A document type: how to make its document, child frame and view, its resource id and its strings.
//
// The strings come as one text of seven fields separated by '\n' (see DocStringIndex): window title,
// name of a new document, name offered by File New (empty: New never offers this type), filter name,
// filter extension (for example "*.abc", several joined by ';'; empty accepts every file), file type id
// and file type name.
//
// The template owns its documents. Frames belong to the MDI area of the main frame, views to frames.
class CDocTemplate {
  public:
    enum DocStringIndex {
        windowTitle = 0,
        docName = 1,
        fileNewName = 2,
        filterName = 3,
        filterExt = 4,
        regFileTypeId = 5,
        regFileTypeName = 6,
    };
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CMDIChildWnd>(const CDocTemplate&)>;
    using ViewFactory = std::function<std::unique_ptr<CView>()>;

    CDocTemplate(int resourceId, const QString& docStrings, DocumentFactory makeDocument,
                 FrameFactory makeFrame, ViewFactory makeView);
    virtual ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    int GetResourceId() const { return resourceId_; }
    QString GetDocString(DocStringIndex index) const;
    // The filter extensions without "*", for example ".abc"; empty when the filter names none.
    QStringList FilterExtensions() const;

    CDocManager* GetDocManager() const { return manager_; }
    std::vector<CDocument*> GetDocuments() const;

    // Opens path in a new document, or makes an empty new document when path is empty. Answers the
    // document, or nullptr when it could not be made or read (no window is left then).
    virtual CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) = 0;

    // Whether this template takes the file: 2 its extension is listed, 1 the template takes any file,
    // 0 it does not.
    int MatchDocType(const QString& path) const;

    // The building blocks used by OpenDocumentFile; derived templates and documents that need a second
    // window on a document use them directly.
    CDocument* CreateNewDocument();
    CMDIChildWnd* CreateNewFrame(CDocument* document);
    void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool makeVisible = true);
    // Gives a new document its default title: the name of a new document, or "Untitled".
    void SetDefaultTitle(CDocument* document);
    // Removes the document from the template and deletes it from the event loop.
    void RemoveDocument(CDocument* document);

  private:
    friend class CDocManager;

    int resourceId_;
    QStringList strings_;
    DocumentFactory makeDocument_;
    FrameFactory makeFrame_;
    ViewFactory makeView_;
    CDocManager* manager_ = nullptr;
    std::vector<std::unique_ptr<CDocument>> documents_;
};

// A template whose documents each open in their own MDI child frame of the main frame.
class CMultiDocTemplate : public CDocTemplate {
  public:
    using CDocTemplate::CDocTemplate;
    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) override;
};

// A multi-document template of document type D, frame type F and view type V. F is constructed from
// the template's resource id (the window type) and args, D and V from args; args are held by reference and
// must outlive the template.
template <typename D, typename F, typename V, typename... Args>
std::unique_ptr<CMultiDocTemplate> MakeMultiDocTemplate(int resourceId, const QString& docStrings,
                                                        Args&... args) {
    return std::make_unique<CMultiDocTemplate>(
        resourceId, docStrings,
        [&args...] { return std::unique_ptr<CDocument>(std::make_unique<D>(args...)); },
        [&args...](const CDocTemplate& t) {
            return std::unique_ptr<CMDIChildWnd>(std::make_unique<F>(t.GetResourceId(), args...));
        },
        [&args...] { return std::unique_ptr<CView>(std::make_unique<V>(args...)); });
}

}  // namespace GP
