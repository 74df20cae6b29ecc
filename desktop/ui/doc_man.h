#pragma once

#include <QString>
#include <vector>

#include "gp/docview/doc_manager.h"
#include "model/data.h"

class CAppContext;

// The program's document manager: New, Open, Save As, the recent files, and opens from the command line,
// from a second start of the program and from drops all end in OpenDocumentFile. Its file dialogs remember
// folder, file name and filter per kind of file: library files under "Document", Standard MIDI Files (of
// the Main window's SMF commands) under "SMF".
class CDocMan : public GP::CDocManager {
    Q_OBJECT

  public:
    enum SmfResult { kSmfDone = 1, kSmfCancelled = 2, kSmfFailed = 3 };

    explicit CDocMan(CAppContext& context);

    bool DoPromptFileName(QString& fileName, const QString& title, bool openDialog,
                          GP::CDocTemplate* docTemplate) override;
    // Asks for a Standard MIDI File; false on cancel.
    bool PromptSmfFile(bool openDialog, QString& path);
    // Reads or writes a Standard MIDI File through the program's patch reader or writer; on success the
    // folder and file name are remembered under "SMF".
    bool ReadSmf(const QString& path, CPatchArray& patches);
    bool WriteSmf(const QString& path, int area, const std::vector<int>& indexes, const CPatchArray& patches);
    // Prompt, then read or write: kSmfDone, kSmfCancelled or kSmfFailed (the caller shows the message).
    SmfResult ImportSmfFile(CPatchArray& patches);
    SmfResult ExportSmfFile(int area, const std::vector<int>& indexes, const CPatchArray& patches);

  private:
    void RememberSmf(const QString& path);

    CAppContext& context_;
};
