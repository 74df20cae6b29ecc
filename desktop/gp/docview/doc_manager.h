#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "gp/docview/recent_file_list.h"
#include "gp/util/command_ids.h"

class ISettingsStore;
class QMenu;
class TextOutHub;

namespace GP {

class CDocTemplate;
class CDocument;
class CMDIFrameWnd;

// Routes New, Open and the recent-file list to the document templates.
//
// Hooks for the program: DoPromptFileName (the file dialog), OpenDocumentFile. File New makes the first
// type that offers a new-file name (ChooseNewTemplate).
//
// Commands: ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_MRU_FILE1 to ID_FILE_MRU_FILE8.
class CDocManager : public QObject, public CCmdTarget {
    Q_OBJECT

  public:
    explicit CDocManager(ISettingsStore* settings = nullptr);
    ~CDocManager() override;

    void SetMainFrame(CMDIFrameWnd* frame);
    CMDIFrameWnd* GetMainFrame() const { return mainFrame_; }
    ISettingsStore* Settings() const { return settings_; }
    // The program's text-output hub, through which documents show their messages; none: message boxes.
    void SetTextOut(TextOutHub* hub) { textOut_ = hub; }
    TextOutHub* TextOut() const { return textOut_; }

    // Registers a template; File New and Open consider templates in the order they were added.
    CDocTemplate* AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    std::vector<CDocTemplate*> GetTemplates() const;
    // Every open document of every template.
    std::vector<CDocument*> GetDocuments() const;
    // The same, each behind a guard that turns null when the document is deleted.
    std::vector<QPointer<CDocument>> GuardedDocuments() const;

    // New: a new document of the template that offers a new-file name (ChooseNewTemplate when several).
    CDocument* OnFileNew();
    // Open: asks for a file and opens it.
    CDocument* OnFileOpen();
    // Opens path: a file already open activates its window; otherwise the template that matches it
    // best opens it, and on success it goes to the top of the recent-file list.
    virtual CDocument* OpenDocumentFile(const QString& path);
    // The open document whose path names the same file, or nullptr.
    CDocument* FindOpenDocument(const QString& path) const;

    // Asks for a file name; fileName holds the proposal and receives the choice. The base shows the
    // platform file dialog with the filters of the templates (only docTemplate's when given).
    virtual bool DoPromptFileName(QString& fileName, const QString& title, bool openDialog,
                                  CDocTemplate* docTemplate);

    // Asks every modified document to save; false when the user cancelled.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();

    CRecentFileList& RecentFiles() { return recentFiles_; }
    void AddToRecentFileList(const QString& path);
    // Opens entry index of the recent-file list; an entry that fails to open is removed.
    CDocument* OpenRecentFile(int index);
    void LoadRecentFileList();
    void SaveRecentFileList() const;
    // Replaces the actions of menu by one action per recent file ("&1 name"), or a disabled
    // "Recent File" item when the list is empty.
    void FillRecentFileMenu(QMenu* menu);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

  signals:
    void recentFilesChanged();

  protected:
    // Which of several templates File New makes; the base takes the first.
    CDocTemplate* ChooseNewTemplate(const std::vector<CDocTemplate*>& candidates);

  private:
    ISettingsStore* settings_;
    TextOutHub* textOut_ = nullptr;
    CMDIFrameWnd* mainFrame_ = nullptr;
    std::vector<std::unique_ptr<CDocTemplate>> templates_;
    CRecentFileList recentFiles_;
};

}  // namespace GP
