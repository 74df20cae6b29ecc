#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "model/data.h"
#include "model/initial_file_document.h"

class AReader;
class CCollection;
class CDeviceHistory;
class CListAppearance;
class CMemoCodec;
class CRecoveryStore;
class CTemporaryArea;
class CTransferJobs;
class CWriter;
class ISettingsStore;
class MidiEnvironment;
class TextOutHub;

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

// What the windows use of the application: the settings, the text output, the MIDI environment with the
// patch reader and writers, the transfer jobs and the temporary area, the initial data, the memo codec of the
// interface language, the clipboard, the list appearance, the device history, the recovery store and the
// collection. The application makes every one of them before any window and hands this to the document types,
// frames, views and dialogs when it makes them; they outlive every window. Nothing in the program reaches
// them any other way.
class CAppContext {
  public:
    // Each service, by reference; the device history is optional (none: nothing is kept, and File >
    // Device History... is unavailable).
    struct Services {
        ISettingsStore& settings;
        TextOutHub& textOut;
        MidiEnvironment& environment;
        AReader& reader;
        CWriter& writer;
        CTransferJobs& jobs;
        // Every write to the processor's temporary area, and Audition.
        CTemporaryArea& temporary;
        std::shared_ptr<CInitialFileDocument> initial;
        CMemoCodec& memoCodec;
        CPatchClipboard& clipboard;
        CListAppearance& appearance;
        CRecoveryStore& recovery;
        CDeviceHistory* history = nullptr;
        // The collection of every patch (a program without a collection file keeps none: see HasFile).
        CCollection& collection;
    };

    explicit CAppContext(Services services) : services_(std::move(services)) {}
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    ISettingsStore& Settings() const { return services_.settings; }
    TextOutHub& TextOut() const { return services_.textOut; }
    MidiEnvironment& Environment() const { return services_.environment; }
    AReader& Reader() const { return services_.reader; }
    CWriter& Writer() const { return services_.writer; }
    CTransferJobs& Jobs() const { return services_.jobs; }
    CTemporaryArea& Temporary() const { return services_.temporary; }
    // Where new patches take their content from; an empty library gives zeroed INIT PATCH.
    const std::shared_ptr<CInitialFileDocument>& Initial() const { return services_.initial; }
    const CMemoCodec& MemoCodec() const { return services_.memoCodec; }
    CPatchClipboard& Clipboard() const { return services_.clipboard; }
    CListAppearance& Appearance() const { return services_.appearance; }
    CRecoveryStore& Recovery() const { return services_.recovery; }
    CDeviceHistory* History() const { return services_.history; }
    CCollection& Collection() const { return services_.collection; }
    // The program's Mode (1: undo, the temporary buttons, user-area transfers).
    int Mode() const;

    // Whether a transfer job of the user's runs now (an audition in the background gives way to one).
    bool Busy() const;
    // Shows a text of the program's own at once, in the message box of the catalogue's messages.
    void ShowText(const std::string& text) const;
    // Child frames take their stored positions once the settings are loaded.
    bool UseStoredPositions() const { return useStoredPositions_; }
    void SetUseStoredPositions(bool use) { useStoredPositions_ = use; }

  private:
    Services services_;
    bool useStoredPositions_ = false;
};
