#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <map>
#include <memory>

#include "emu/tq550_emulator.h"
#include "gp/util/command_ids.h"
#include "rtmidi/midi_api.h"
#include "textout/text_out_hub.h"
#include "ui/app_context.h"

class CAddToCollection;
class CAuditionPedal;
class IAuditionList;
class CAppServices;
class CCollectionView;
class CDocMan;
class CMainFrame;
class CFileDoc;
class CImageView;
class CMidiSetup;
class CProgressBar;
class CRecoveryStore;
class CTransferJobs;
class CSingleInstance;
class CTextOutBox;
class CKivTextOut;
class CKivTextOutBuffer;
class CVirtualMidiSystem;
class CVirtualTq550;
class ISettingsStore;
class MidiEnvironment;
class QApplication;
namespace GP {
class CDocTemplate;
class CDocument;
}  // namespace GP
namespace UL {
class CTimerTextOutWindow;
}

// How the program was started.
struct CAppOptions {
    // Files named on the command line (the first is opened at start-up).
    QStringList files;
    // Adds the built-in virtual processor as the port pair "VELA TQ-550 (virtual)".
    bool virtualDevice = false;
    // Uses the MIDI system of the computer (off in tests: only the virtual processor, if asked for).
    bool systemMidi = true;
    // Which MIDI system that is: ALSA, JACK, or the first that works.
    MidiApiChoice midiApi = MidiApiChoice::Auto;
    // The pace of the built-in virtual processor's answers and of what the program sends it, as a multiple
    // of the MIDI wire rate (0: no pacing), and its faults; tests change them.
    int virtualDeviceRate = 1;
    Tq550EmulatorOptions virtualDeviceFaults;
    // Keeps one running copy per user (off in tests).
    bool singleInstance = true;
    QString instanceName;
    // Where every Read All that completes is kept (the program's: "History" in its data folder); none:
    // nothing is kept, and File > Device History... is unavailable.
    QString historyFolder;
    // 0 English, 1 Japanese, -1 from the system.
    int language = -1;
    // Where the unsaved patches of the windows are kept against a crash, and offered again at the next
    // start (empty: nowhere; the program sets the user's data location, tests a folder of their own).
    QString recoveryFolder;
    // The time from a window's change to its write to the recovery folder (0: the store's own, 30 s).
    int recoveryIntervalMs = 0;
    // The collection of every patch (the program's: collection.sqlite in its data folder); empty: none is
    // kept, and its commands are unavailable.
    QString collectionFile;
    // The sink that shows messages at once and asks (none: message boxes); tests record with it.
    std::shared_ptr<CKivTextOut> messageBox;
};

// The application: start-up and shut-down, settings, the document types, the composition of the objects
// the windows use (text output, the MIDI environment, the patch reader and writers, the initial data), and
// the application's own commands (About, the manual, MIDI and font setup, the imports of earlier models).
class CApp : public QObject, public GP::CCmdTarget {
    Q_OBJECT

  public:
    static constexpr const char* kAppName = "TQ-550 Librarian";

    CApp(ISettingsStore& settings, CAppOptions options);
    ~CApp() override;

    // Start-up in order; false when the program is to end (a running copy took over, a running copy does
    // not respond, or the file named on the command line could not be opened), with ExitStatus().
    bool InitInstance();
    // The status the program ends with when InitInstance failed: 1 when a running copy does not respond.
    int ExitStatus() const { return exitStatus_; }
    // Shut-down: stores the settings, closes the Main window and releases the ports.
    int ExitInstance();

    // Shows the messages collected during an operation together, once the program is idle.
    void DeliverBufferedMessages();
    void LoadSettings();
    void SaveSettings();

    GP::CDocTemplate* DocTemplateById(int id) const;
    GP::CDocument* OpenDocumentFile(const QString& path);
    // Opens a file named on a command line (links resolved); its document, or null when it did not open.
    GP::CDocument* OpenCommandLineFile(const QString& path);
    // Opens the manual of the interface language.
    void OpenManual();
    // The manual's path: beside the program or in the installed data folder.
    QString ManualPath() const;

    CMainFrame* MainFrame() const { return frame_.get(); }
    CDocMan* DocManager() const { return docMan_.get(); }
    MidiEnvironment* Environment() const { return &environment_; }
    TextOutHub& TextOut() { return textOut_; }
    UL::CTimerTextOutWindow* NoticeWindow() const { return notices_.get(); }
    CVirtualTq550* VirtualDevice() const { return virtualDevice_.get(); }
    // The in-process MIDI system of the virtual processor, where tests add ports of their own.
    CVirtualMidiSystem* VirtualMidi() const { return virtualSystem_.get(); }
    CAuditionPedal& Pedal() const;
    CMidiSetup* MidiSetup() const { return midiSetup_.get(); }
    CSingleInstance* SingleInstance() const { return instance_.get(); }
    CProgressBar* ProgressBar() const;
    CTransferJobs* Jobs() const { return &jobs_; }
    CRecoveryStore* Recovery() const;
    CAppContext& Context() { return context_; }
    // The Main window's view, once it exists.
    CImageView* MainView() const;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

    // Set Up MIDI Devices: the dialog over the stored setup; OK stores the new one at once.
    void SetUpMidiDevices();

    // The imports of earlier models' files (import_commands.cpp): each asks for the file, reads and
    // converts it and opens the patches in a new, modified library window; failures show "This file could
    // not be loaded.". The Import... functions do the same for a path already chosen and give the new
    // window's document (none on failure).
    enum EarlierKind { kLibrarianFile, kTq4BulkDump, kTq2BulkDump };
    void OnImportEarlierFile(EarlierKind kind);
    CFileDoc* ImportEarlierFile(EarlierKind kind, const QString& path);

    // Tells the user of windows a copy that ended left unsaved, and reopens them (modified, with their path
    // and title; the Main window's patches as a new library) or removes them, as the user chooses
    // (recovery.cpp).
    void OfferRecovery();
    // Forgets what the processor holds in each slot (the Main window's slot knowledge) and in its temporary
    // area.
    void ForgetDeviceSlots();
    // Tells the user (a message box, and standard error) that a running copy does not answer.
    void ReportRunningCopyNotResponding();

    // True while a foreground transfer job runs (an audition in the background gives way to any).
    bool TransferUnderWay() const;
    bool IsIdle() const { return !TransferUnderWay(); }
    bool AlwaysTrue() const { return true; }

    // File > Device History...: the kept reads of the processor; the chosen one opens in a library window.
    bool CanOpenDeviceHistory() const;
    void OpenDeviceHistory();

    // The collection (collection_commands.cpp). Window > Collection brings its window to the front, made on
    // first use; its view. File > Add Folder to Collection... asks for a folder and adds it with the
    // progress dialog and the summary; AddToCollection does the same for paths already chosen (false when
    // it did not start). Setup > Add to Collection Automatically is the switch "Option"/"Collect".
    bool CanOpenCollection() const;
    CCollectionView* OpenCollectionWindow();
    bool CanAddToCollection() const;
    void OnAddFolderToCollection();
    CAddToCollection* AddToCollection(const QStringList& paths);

    // Audition (audition_commands.cpp): MIDI > Audition asks the temporary write's confirmation when it is
    // turned on (declined: it stays off) and then auditions the active list's selection; StepAudition moves
    // the active list's selection a row down (+1) or up (-1) while Audition is on (the foot switch).
    void ToggleAudition();
    void StepAudition(int direction);
    // Setup > Audition Controls...: the foot switch's port and presses.
    void SetUpAuditionControls();
    // The patch list of the active window, if it is one Audition follows.
    IAuditionList* ActiveAuditionList() const;

  private:
    // Runs id (ui null) or fills its state; false when it is not an application command.
    bool RouteAppCommand(int id, GP::CCmdUI* ui);
    // The same for the collection's commands, and for Audition's.
    bool RouteCollectionCommand(int id, GP::CCmdUI* ui);
    bool RouteAuditionCommand(int id, GP::CCmdUI* ui);
    // The status bar's field of the temporary area; Audition follows the active window and the foot switch.
    void PrepareAudition();
    // Opens the collection on its worker; once open, says once what keeps it from being used and offers to
    // start a new one (a damaged, locked or newer file), and adds the device history kept before, once.
    void OpenCollection();
    void TellCollectionState();
    void AddKeptHistoryOnce();
    void CreateTextSinks();
    void PrepareDevices();
    void LoadInitialData();
    void OpenMainWindow();
    void OnRequestFromOtherCopy(const QStringList& files);
    void OnFilesDropped(const QStringList& paths);
    void ScheduleIdleDelivery();
    void ShowAbout();
    void SetUpFont();
    void OpenRequestedFiles(const QStringList& files);
    void DeliverWhenIdle();
    // Asks for the file of an import; false on cancel.
    bool PromptEarlierFile(EarlierKind kind, QString& path);
    void RememberEarlierFile(EarlierKind kind, const QString& path);

    ISettingsStore& settings_;
    CAppOptions options_;
    // What the windows use; it goes after everything below.
    std::unique_ptr<CAppServices> services_;
    CAppContext& context_;
    TextOutHub& textOut_;
    MidiEnvironment& environment_;
    CTransferJobs& jobs_;
    std::unique_ptr<CSingleInstance> instance_;
    std::shared_ptr<CKivTextOutBuffer> buffer_;
    std::shared_ptr<CKivTextOut> box_;
    std::shared_ptr<UL::CTimerTextOutWindow> notices_;
    std::shared_ptr<CVirtualMidiSystem> virtualSystem_;
    std::unique_ptr<CVirtualTq550> virtualDevice_;
    std::unique_ptr<CMidiSetup> midiSetup_;
    std::unique_ptr<CDocMan> docMan_;
    std::unique_ptr<CMainFrame> frame_;
    std::map<int, GP::CDocTemplate*> templates_;
    bool collectionStateTold_ = false;
    bool idleDeliveryPending_ = false;
    bool started_ = false;
    int exitStatus_ = 0;
};
