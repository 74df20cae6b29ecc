#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "gp/util/command_ids.h"

namespace GP {

class CDocTemplate;
class CMDIChildWnd;
class CView;

// A document: the data behind one or more views, with its file path, its title and its modified flag.
// The framework knows nothing about the data; derived documents load and save it in the hooks below.
//
// Life: a document template makes the document, a frame and a view (CDocTemplate::OpenDocumentFile),
// then calls OnNewDocument or OnOpenDocument. When its last view goes away the document closes itself
// (OnCloseDocument) and the template deletes it, unless auto-delete is switched off.
//
// Commands handled here (routed from the active child frame): ID_FILE_SAVE, ID_FILE_SAVE_AS and
// ID_FILE_CLOSE. A derived document disables them by answering OnUpdateCommand.
class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT

  public:
    enum SaveAnswer { SAVE_YES, SAVE_NO, SAVE_CANCEL };

    CDocument();
    ~CDocument() override;

    const QString& GetPathName() const { return pathName_; }
    // Sets the path and makes its file name the title; adds it to the recent-file list when asked.
    void SetPathName(const QString& path, bool addToRecentFiles = true);
    const QString& GetTitle() const { return title_; }
    // Sets the title and refreshes the titles of every frame showing the document.
    void SetTitle(const QString& title);
    virtual bool IsModified() const { return modified_; }
    // Stores the flag; when it changes, refreshes the frame titles and emits modifiedChanged.
    virtual void SetModifiedFlag(bool modified = true);

    CDocTemplate* GetDocTemplate() const { return template_; }
    bool IsAutoDelete() const { return autoDelete_; }
    void SetAutoDelete(bool autoDelete) { autoDelete_ = autoDelete; }

    // Views, in the order they were added.
    const std::vector<CView*>& GetViews() const { return views_; }
    void AddView(CView* view);
    void RemoveView(CView* view);
    // The frames holding the views, each once.
    std::vector<CMDIChildWnd*> GetFrames() const;
    // Calls OnUpdate(sender, hint, hintObject) of every view except sender.
    void UpdateAllViews(CView* sender, int hint = 0, QObject* hintObject = nullptr);

    // Hooks. OnNewDocument empties the document (DeleteContents) and clears the modified flag; it answers
    // true. OnOpenDocument and OnSaveDocument read and write the file: the base cannot and answers false.
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // Closes every frame without asking, empties the document and, with auto-delete, has the template
    // delete it (later, from the event loop).
    virtual void OnCloseDocument();
    // Removes the document's data; the base has none.
    virtual void DeleteContents() {}
    // Called when views are added or removed; the base closes the document when the last view went.
    void OnChangedViewList();

    // Asks "Save changes to %1?" with Yes, No and Cancel when the document is modified; Yes saves.
    // Answers false when the user cancelled or the save failed.
    virtual bool SaveModified();
    // Whether the frame may close: when it is the document's last frame, SaveModified decides.
    virtual bool CanCloseFrame(CMDIChildWnd* frame);
    // Saves to path, or asks for a path when it is empty (Save As). With replace the document takes the
    // new path; without, a copy is written.
    virtual bool DoSave(const QString& path, bool replace = true);
    // Save: under the current path, or as Save As when there is none or the file is read-only.
    bool DoFileSave();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

  signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);

  protected:
    // Shows the save prompt text (already formatted) and returns the answer; the base uses a message box.
    virtual SaveAnswer AskSaveChanges(const QString& prompt);
    // The name Save As proposes: the path, or when there is none (or with replace and no path) the title
    // cut at the first ':', '/' or '\' with the first extension of the template's filter appended.
    QString ProposeSaveName(bool replace) const;
    // Asks the document manager for a save path, starting at name; false when cancelled.
    bool PromptSaveName(QString& name, bool replace);
    // Refreshes the title of every frame showing the document.
    void UpdateFrameTitles();

  private:
    friend class CDocTemplate;

    QString pathName_;
    QString title_;
    bool modified_ = false;
    bool autoDelete_ = true;
    bool closing_ = false;
    CDocTemplate* template_ = nullptr;
    std::vector<CView*> views_;
};

}  // namespace GP
