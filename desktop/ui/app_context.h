#pragma once

#include <QObject>
#include <memory>

#include "gp/util/font_ex.h"
#include "model/data.h"
#include "model/initial_file_document.h"
#include "ui/memo_codec.h"

class AReader;
class CDeviceHistory;
class CWriter;
class ISettingsStore;
class MidiEnvironment;
class TextOutHub;
class CTransferJobs;
class CRecoveryStore;
namespace TQML {
class CReader;
}

// The program's clipboard of patches: copies, independent of the system clipboard, shared by all windows
// and outliving every one of them. It tells when its content changed (Insert and Replace depend on it).
class CPatchClipboard : public QObject {
    Q_OBJECT

  public:
    const CPatchArray& Patches() const { return data_.GetArray(); }
    bool IsEmpty() const { return data_.GetArray().IsEmpty(); }
    // Replaces the content with copies of these patches of source.
    void CopyFrom(const CPatchArray& source, const std::vector<int>& indexes);
    void Clear();

  signals:
    void changed();

  private:
    CData data_;
};

// What the application builds at start-up for the windows it creates: the settings, the text output, the
// MIDI environment with the patch reader and writers, the initial data, the memo codec of the interface
// language, the clipboard, the device history, the list font and the program's switches. The application owns
// it and hands it to the document types, frames, views and dialogs; nothing in the program reaches it any
// other way.
class CAppContext {
  public:
    CAppContext() = default;
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;
    ~CAppContext();

    ISettingsStore* settings = nullptr;
    TextOutHub* textOut = nullptr;
    MidiEnvironment* environment = nullptr;
    std::unique_ptr<AReader> reader;
    std::unique_ptr<CWriter> writer;
    std::unique_ptr<TQML::CReader> earlierReader;
    // Where new patches take their content from; never null (an empty library: zeroed INIT PATCH).
    std::shared_ptr<CInitialFileDocument> initial = std::make_shared<CInitialFileDocument>();
    CMemoCodec memoCodec;
    CPatchClipboard clipboard;
    // The font and text colour of every patch list.
    GP::CFontEx listFont;
    // Profile::kMode: 1 offers undo, the temporary-area buttons and the user area in transfers.
    int mode = 1;
    // Profile::kGridSw: grid lines in every patch list.
    int gridSw = 0;
    // Child frames take their stored positions once the settings are loaded.
    bool useStoredPositions = false;

    // Where every Read All that completes is kept (none: nothing is kept).
    std::unique_ptr<CDeviceHistory> history;

    // Where transfers with the processor run: one job at a time, on a worker.
    CTransferJobs* jobs = nullptr;
    // Where the unsaved patches of the windows are kept against a crash (none: nowhere).
    CRecoveryStore* recovery = nullptr;
    // Whether a transfer job runs now.
    bool Busy() const;

    // Releases the reader and writers (before the environment they use goes).
    void ReleaseTransfers();
};
