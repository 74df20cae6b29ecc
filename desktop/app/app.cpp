#include "app/app.h"

#include "app/app_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <clocale>
#include <cstdio>
#include <functional>

#include "app/data_files.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "app/single_instance.h"
#include "emu/virtual_tq550.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/util/path_util.h"
#include "gp/util/settings_catalog.h"
#include "import/reader.h"
#include "midi/virtual_midi.h"
#include "model/device_history.h"
#include "ports/midi_environment.h"
#include "rtmidi/normal_midi_device_factory.h"
#include "settings/settings_store.h"
#include "setup/auto_midi_setup.h"
#include "setup/midi_setup.h"
#include "textout/message_catalog.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/about_dialog.h"
#include "ui/app_context.h"
#include "ui/child_frame.h"
#include "ui/collection_window.h"
#include "ui/command_ids.h"
#include "ui/device_history_dialog.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/image_view.h"
#include "ui/midi_setup_dialog.h"
#include "ui/param_view.h"
#include "ui/progress_bar.h"
#include "ui/recovery_store.h"
#include "ui/syx_files.h"
#include "ui/text_out_box.h"
#include "ui/timer_text_out_window.h"
#include "ui/transfer_jobs.h"
#include "ui/ui_thread_text_out.h"

#ifndef TQ_FILE_VERSION
#define TQ_FILE_VERSION "0.0.0"
#endif

using namespace TQ;

namespace {

const char kLibraryTemplate[] =
    "\nUntitled\nTQ-550Librarian\nTQ-550 Librarian Files (*.tql)\n\nTQ-550Librarian.Document\nTQ-550 "
    "Librarian "
    "Document";
const char kMainTemplate[] = "\n\n\n\n\n\n";
const char kCollectionTemplate[] = "\n\n\n\n\n\n";
const char kInitialDataFile[] = "Script/InitialData.tql";

// The buffering sink, which asks for the idle delivery whenever it takes a text.
class CNotifyingTextOutBuffer : public CKivTextOutBuffer {
  public:
    explicit CNotifyingTextOutBuffer(std::function<void()> notify) : notify_(std::move(notify)) {}

  protected:
    void Output(const std::string& text) override {
        CKivTextOutBuffer::Output(text);
        if (notify_) notify_();
    }

  private:
    std::function<void()> notify_;
};

}  // namespace

CApp::CApp(ISettingsStore& settings, CAppOptions options)
    : settings_(settings),
      options_(std::move(options)),
      services_(std::make_unique<CAppServices>(settings_, options_)),
      context_(services_->Context()),
      textOut_(services_->textOut),
      environment_(services_->environment),
      jobs_(services_->jobs) {}

CApp::~CApp() {
    // A job that still runs ends before anything it uses goes.
    jobs_.CancelAndWait();
    // Windows closed a moment ago are still waiting to be deleted: they go before the frame that holds them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The ports close before the virtual processor and the windows go.
    environment_.SetInputWaker(nullptr);
    services_->pedal.Close();
    environment_.Shutdown();
}

CProgressBar* CApp::ProgressBar() const {
    return &services_->progress;
}

CRecoveryStore* CApp::Recovery() const {
    return &services_->recovery;
}

bool CApp::InitInstance() {
    std::setlocale(LC_ALL, "");

    // Paths as the user typed them are relative to this copy's working folder, which the running copy that
    // may receive them does not share: every file is made absolute (links resolved) before anything else.
    for (QString& file : options_.files)
        file = GP::NormalizePath(file);

    // One copy per user: a later copy hands over its file and ends.
    if (options_.singleInstance) {
        instance_ = std::make_unique<CSingleInstance>(
            options_.instanceName.isEmpty() ? CSingleInstance::DefaultName() : options_.instanceName);
        switch (instance_->Start(options_.files.mid(0, 1))) {
            case CSingleInstance::StartResult::Listening:
                break;
            case CSingleInstance::StartResult::HandedOver:
                return false;
            case CSingleInstance::StartResult::NotResponding:
                // Its socket stays: it may answer again, and this copy must not open what it holds.
                ReportRunningCopyNotResponding();
                exitStatus_ = 1;
                return false;
        }
        connect(instance_.get(), &CSingleInstance::requested, this, &CApp::OnRequestFromOtherCopy);
    }

    // Every window is followed by the recovery store from its start.
    if (!options_.recoveryFolder.isEmpty()) {
        services_->recovery.Open(options_.recoveryFolder);
        if (options_.recoveryIntervalMs > 0) services_->recovery.SetInterval(options_.recoveryIntervalMs);
    }

    // The document types: the library first, so that New makes a library window.
    docMan_ = std::make_unique<CDocMan>(context_);
    docMan_->SetTextOut(&textOut_);
    docMan_->LoadRecentFileList();
    templates_[IDR_LIBRARY] =
        docMan_->AddDocTemplate(GP::MakeMultiDocTemplate<CFileDoc, CFileFrame, CFileView>(
            IDR_LIBRARY, QString::fromLatin1(kLibraryTemplate), context_));
    templates_[IDR_MAIN] =
        docMan_->AddDocTemplate(GP::MakeMultiDocTemplate<CImageDoc, CImageFrame, CImageView>(
            IDR_MAIN, QString::fromLatin1(kMainTemplate), context_));
    templates_[IDR_COLLECTION] =
        docMan_->AddDocTemplate(GP::MakeMultiDocTemplate<CCollectionDoc, CCollectionFrame, CCollectionView>(
            IDR_COLLECTION, QString::fromLatin1(kCollectionTemplate), context_));

    frame_ = std::make_unique<CMainFrame>(&settings_);
    frame_->SetDocManager(docMan_.get());
    docMan_->SetMainFrame(frame_.get());
    frame_->SetApplicationTarget(this);
    // Closing the program during a transfer cancels its job and waits for its end first.
    frame_->SetBeforeClose([this] { jobs_.CancelAndWait(); });
    frame_->RestoreBars(QStringLiteral(TQ_FILE_VERSION));
    connect(frame_.get(), &CMainFrame::filesDropped, this, &CApp::OnFilesDropped);
    PrepareAudition();

    LoadSettings();
    CreateTextSinks();
    services_->recovery.SetNotices(notices_.get());
    PrepareDevices();

    const int language = options_.language >= 0 ? options_.language : ChooseLanguage();
    GetMessageCatalog().SetLanguage(language);
    services_->memoCodec.SetLanguage(language);

    midiSetup_ = std::make_unique<CMidiSetup>(environment_, settings_);
    LoadAndAutoSetup(*midiSetup_);
    services_->pedal.Reload();

    const QString file = options_.files.value(0);
    const QPointer<GP::CDocument> opened = file.isEmpty() ? nullptr : OpenCommandLineFile(file);
    if (!file.isEmpty() && !opened) {
        DeliverBufferedMessages();
        return false;
    }
    LoadInitialData();
    OpenCollection();
    OpenMainWindow();
    // The Main window opens last, over the others; the file the user asked for comes to the front again.
    if (opened && !opened->GetFrames().empty()) frame_->MDIActivate(opened->GetFrames().front());
    frame_->show();
    frame_->UpdateCommandActions();
    if (services_->recovery.IsReady()) {
        OfferRecovery();
        services_->recovery.Start();
    }
    started_ = true;
    return true;
}

void CApp::ReportRunningCopyNotResponding() {
    const QString text =
        tr("TQ-550 Librarian is already running but does not respond.\n"
           "Wait until it responds, or end it, and try again.");
    std::fprintf(stderr, "tq550-librarian: %s\n", text.toLocal8Bit().constData());
    if (options_.messageBox) {
        options_.messageBox->Ask(ASK_OK, text.toStdString(), ICON_EXCLAMATION);
        return;
    }
    QMessageBox::warning(nullptr, QString::fromLatin1(kAppName), text);
}

void CApp::LoadSettings() {
    services_->appearance.Load(settings_);
    context_.SetUseStoredPositions(true);
}

void CApp::SaveSettings() {
    services_->appearance.Save(settings_);
}

void CApp::CreateTextSinks() {
    buffer_ = std::make_shared<CNotifyingTextOutBuffer>([this] { ScheduleIdleDelivery(); });
    box_ = options_.messageBox ? options_.messageBox : std::make_shared<CTextOutBox>(frame_.get());
    notices_ = std::make_shared<UL::CTimerTextOutWindow>(frame_.get());
    // A transfer job reports from its worker: these sinks take its texts on this thread.
    textOut_.SetTextOut(TextOutHub::kMessageBoxSlot, std::make_shared<CUiThreadTextOut>(box_));
    textOut_.SetTextOut(TextOutHub::kBufferSlot, std::make_shared<CUiThreadTextOut>(buffer_));
}

void CApp::PrepareDevices() {
    std::unique_ptr<IMidiDeviceFactory> factory;
    if (options_.systemMidi) factory = std::make_unique<CNormalMidiDeviceFactory>(options_.midiApi);
    if (options_.virtualDevice) {
        virtualSystem_ = std::make_shared<CVirtualMidiSystem>();
        virtualDevice_ =
            std::make_unique<CVirtualTq550>(virtualSystem_, options_.virtualDeviceFaults,
                                            CVirtualTq550::kDefaultPortName, options_.virtualDeviceRate);
        // A real processor found first is preferred by the automatic setup.
        auto virtualFactory = std::make_unique<CVirtualMidiDeviceFactory>(virtualSystem_);
        virtualFactory->SetWireRateMultiple(options_.virtualDeviceRate);
        factory = factory ? std::make_unique<CCombinedMidiDeviceFactory>(std::move(factory),
                                                                         std::move(virtualFactory))
                          : std::unique_ptr<IMidiDeviceFactory>(std::move(virtualFactory));
    }
    if (factory) environment_.SetFactory(std::move(factory));
    environment_.SetNoticeSink(std::make_shared<CUiThreadTextOut>(notices_));
    // Transfers run as jobs on a worker, one at a time, with the progress dialog over the main frame.
    services_->progress.SetOwner(frame_.get());
    services_->progress.Prepare();
    connect(&jobs_, &CTransferJobs::stateChanged, frame_.get(), &CMainFrame::UpdateCommandActions);
    // Input that arrives outside a job is delivered when the event loop wakes; while a job runs, its worker
    // pumps the input it waits for, and nothing else may.
    environment_.SetInputWaker([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!jobs_.IsRunning())
                    for (auto& device : environment_.InDevices())
                        device->Pump();
            },
            Qt::QueuedConnection);
    });
    // Unplugged or plugged in again, the processor may be another one, or the same one edited on its panel:
    // what this run read or wrote there is known no longer, so Write Changed sends every slot again.
    environment_.SetConnectionListener([this](MidiConnectionChange) {
        QMetaObject::invokeMethod(
            this, [this] { ForgetDeviceSlots(); }, Qt::QueuedConnection);
    });
}

bool CApp::TransferUnderWay() const {
    return jobs_.IsForegroundRunning();
}

GP::CDocument* CApp::OpenCommandLineFile(const QString& path) {
    // A link opens the file it points to.
    return OpenDocumentFile(GP::NormalizePath(path));
}

void CApp::LoadInitialData() {
    CAppContext& app = context_;
    const QString path = FindDataFile(QString::fromLatin1(kInitialDataFile));
    if (path.isEmpty() || !app.Initial()->Load(ToFilePath(path))) {
        app.Initial()->Reset();
        if (box_) box_->Write("Unable to read initial file.");
    }
}

CImageView* CApp::MainView() const {
    GP::CDocTemplate* main = DocTemplateById(IDR_MAIN);
    for (GP::CDocument* document : main ? main->GetDocuments() : std::vector<GP::CDocument*>())
        for (GP::CView* view : document->GetViews())
            if (auto* image = qobject_cast<CImageView*>(view)) return image;
    return nullptr;
}

void CApp::OpenMainWindow() {
    if (GP::CDocTemplate* main = DocTemplateById(IDR_MAIN)) main->OpenDocumentFile(QString());
}

GP::CDocTemplate* CApp::DocTemplateById(int id) const {
    const auto found = templates_.find(id);
    return found == templates_.end() ? nullptr : found->second;
}

GP::CDocument* CApp::OpenDocumentFile(const QString& path) {
    return docMan_ ? docMan_->OpenDocumentFile(path) : nullptr;
}

void CApp::OnRequestFromOtherCopy(const QStringList& files) {
    // A transfer job touches no window: the files open at once, whatever runs.
    OpenRequestedFiles(files);
}

void CApp::OpenRequestedFiles(const QStringList& files) {
    if (!frame_) return;
    if (frame_->isMinimized()) frame_->showNormal();
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
    for (const QString& file : files)
        OpenCommandLineFile(file);
}

void CApp::OnFilesDropped(const QStringList& paths) {
    for (const QString& path : paths)
        OpenDocumentFile(path);
}

void CApp::ScheduleIdleDelivery() {
    if (idleDeliveryPending_) return;
    idleDeliveryPending_ = true;
    // Not in the middle of the operation that reported them: when the program is idle again, after the
    // transfers of the session and after the dialog that is open, if any.
    QMetaObject::invokeMethod(
        this, [this] { DeliverWhenIdle(); }, Qt::QueuedConnection);
}

void CApp::DeliverWhenIdle() {
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &services_->progress) {
        // Whichever comes first; the other one finds nothing left to show.
        const auto again = Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection);
        connect(
            modal, &QObject::destroyed, this, [this] { DeliverWhenIdle(); }, again);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            connect(
                dialog, &QDialog::finished, this, [this] { DeliverWhenIdle(); }, again);
        return;
    }
    // Not in the middle of a transfer: when its job has ended.
    if (TransferUnderWay()) {
        connect(
            &jobs_, &CTransferJobs::stateChanged, this, [this] { DeliverWhenIdle(); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    idleDeliveryPending_ = false;
    DeliverBufferedMessages();
}

void CApp::DeliverBufferedMessages() {
    if (buffer_) buffer_->FlushTo(box_.get());
}

QString CApp::ManualPath() const {
    return FindDataFile(QString::fromStdString(GetMessageCatalog().Text(MSG_MANUAL_PATH)));
}

void CApp::OpenManual() {
    static QString manual;
    if (manual.isEmpty()) manual = ManualPath();
    if (!manual.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void CApp::ShowAbout() {
    UL::CAboutDialogA dialog(QIcon(QStringLiteral(":/icons/tq550-librarian.svg")),
                             QString::fromLatin1(kAppName), QStringLiteral(TQ_FILE_VERSION),
                             QStringLiteral("Copyright \u00A9 2026 The TQ-550 Librarian developers"),
                             frame_.get());
    dialog.exec();
}

void CApp::SetUpMidiDevices() {
    if (!midiSetup_) return;
    CMidiSetupDialog dialog(*midiSetup_, frame_.get());
    if (dialog.exec() != QDialog::Accepted) return;
    // Another processor, or another device id, may answer now.
    ForgetDeviceSlots();
}

void CApp::ForgetDeviceSlots() {
    services_->temporary.Forget();
    if (CImageView* main = MainView())
        if (auto* doc = qobject_cast<CImageDoc*>(main->GetDoc())) doc->ForgetAllSlots();
}

void CApp::SetUpFont() {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, services_->appearance.Font().Font(), frame_.get());
    if (!ok) return;
    // Every list follows the appearance.
    services_->appearance.SetFont(chosen);
}

int CApp::ExitInstance() {
    // Only a start that reached the Main window stores settings.
    if (started_) {
        SaveSettings();
        docMan_->SaveRecentFileList();
        if (frame_) frame_->SaveBars(QStringLiteral(TQ_FILE_VERSION));
    }
    // A job still running ends first; then the Main window (and any other left) closes without asking.
    jobs_.CancelAndWait();
    if (docMan_) docMan_->CloseAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    environment_.SetInputWaker(nullptr);
    services_->pedal.Close();
    environment_.Shutdown();
    if (instance_) instance_->Stop();
    // A clean end: nothing is left to recover.
    services_->recovery.Finish();
    return 0;
}

bool CApp::RouteAppCommand(int id, GP::CCmdUI* ui) {
    // Each command's rule and handler: what changes the setup or opens windows waits for the transfers.
    struct Command {
        int id;
        bool (CApp::*can)() const;
        std::function<void(CApp&)> run;
    };
    static const Command kCommands[] = {
        {ID_APP_ABOUT, &CApp::AlwaysTrue, &CApp::ShowAbout},
        {ID_HELP_MANUAL, &CApp::AlwaysTrue, &CApp::OpenManual},
        {ID_SETUP_FONT, &CApp::AlwaysTrue, &CApp::SetUpFont},
        {ID_SETUP_MIDI, &CApp::IsIdle, &CApp::SetUpMidiDevices},
        {ID_IMPORT_EARLIER_FILE, &CApp::IsIdle, [](CApp& app) { app.OnImportEarlierFile(kLibrarianFile); }},
        {ID_IMPORT_TQ4_DUMP, &CApp::IsIdle, [](CApp& app) { app.OnImportEarlierFile(kTq4BulkDump); }},
        {ID_IMPORT_TQ2_DUMP, &CApp::IsIdle, [](CApp& app) { app.OnImportEarlierFile(kTq2BulkDump); }},
        {ID_IMPORT_SYX, &CApp::IsIdle,
         [](CApp& app) {
             CSyxFiles(app.Context(), app.MainFrame()).OnImport(app.DocTemplateById(IDR_LIBRARY));
         }},
        {ID_FILE_DEVICE_HISTORY, &CApp::CanOpenDeviceHistory, &CApp::OpenDeviceHistory},
    };
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        const bool can = (this->*command.can)();
        if (ui)
            ui->enabled = can;
        else if (can)
            command.run(*this);
        return true;
    }
    return RouteCollectionCommand(id, ui) || RouteAuditionCommand(id, ui);
}

bool CApp::CanOpenDeviceHistory() const {
    return IsIdle() && context_.History() && MainView();
}

void CApp::OpenDeviceHistory() {
    RunDeviceHistory(context_, DocTemplateById(IDR_LIBRARY), MainView()->GetDoc()->Patches(), frame_.get());
}

bool CApp::OnCommand(int id) {
    return RouteAppCommand(id, nullptr);
}

bool CApp::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    return RouteAppCommand(id, &ui);
}
