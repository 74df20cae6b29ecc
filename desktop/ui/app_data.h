#pragma once

#include <memory>

#include "gp/util/font_ex.h"
#include "model/data.h"
#include "model/initial_file_document.h"
#include "ui/memo_codec.h"

class AReader;
class CWriter;
class ISettingsStore;
class MidiEnvironment;
class TextOutHub;
class CImageView;
namespace TQML {
class CReader;
}

// The application data of the desktop program, one for the process: the clipboard shared by all windows,
// the patch reader and writer (and the earlier model's reader), the mode and grid switches, and what the
// program's start-up built for the windows to use: settings, text output, the MIDI environment, the
// initial-data library and the memo codec of the interface language. Start-up fills it; windows read it.
class AppData {
  public:
    // The clipboard: copies of patches, independent of the system clipboard; it outlives every window.
    CData& Clipboard() { return clipboard_; }

    std::unique_ptr<AReader> reader;
    std::unique_ptr<CWriter> writer;
    std::unique_ptr<TQML::CReader> earlierReader;

    // "Option"/"Mode": 1 offers undo, the temporary-area buttons and the user area in transfers.
    int mode = 1;
    // "Option"/"GridSw": grid lines in every patch list.
    int gridSw = 0;

    ISettingsStore* settings = nullptr;
    TextOutHub* textOut = nullptr;
    MidiEnvironment* environment = nullptr;
    // Where new patches take their content from; never null (an empty library: zeroed INIT PATCH).
    std::shared_ptr<CInitialFileDocument> initial = std::make_shared<CInitialFileDocument>();
    CMemoCodec memoCodec;
    // The font and text colour of every patch list ("Option"/"Font...").
    GP::CFontEx listFont;
    // Child frames take their stored positions once the settings are loaded.
    bool useStoredPositions = false;
    // The Main window's view, once it exists.
    CImageView* mainView = nullptr;

    // The number of transfers with the processor under way (they pump the event loop while they wait).
    int transfers = 0;
    bool Busy() const { return transfers > 0; }

    // Releases the reader and writers (before the environment they use goes).
    void ReleaseTransfers();
    // Back to the state before start-up, for a new application object.
    void Clear();

  private:
    CData clipboard_;
};

// The process's application data, made on first use.
AppData& GetAppData();

// Marks a transfer with the processor as under way while it lives.
class CTransferScope {
  public:
    CTransferScope() { ++GetAppData().transfers; }
    ~CTransferScope() { --GetAppData().transfers; }
    CTransferScope(const CTransferScope&) = delete;
    CTransferScope& operator=(const CTransferScope&) = delete;
};
