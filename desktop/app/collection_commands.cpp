// The collection in the application: opening it at start-up and what is said about its file, Window >
// Collection, File > Add Folder to Collection... and the switch Setup > Add to Collection Automatically.

#include <QApplication>
#include <QFileDialog>

#include "app/app.h"
#include "app/app_services.h"
#include "app/main_frame.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/document.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/util/settings_catalog.h"
#include "model/device_history.h"
#include "textout/message_catalog.h"
#include "ui/add_to_collection.h"
#include "ui/collection.h"
#include "ui/collection_window.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/file_exchange.h"

using namespace TQ;

namespace {

CollectionTime SecondsOf(std::chrono::system_clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

}  // namespace

void CApp::OpenCollection() {
    CCollection& collection = context_.Collection();
    connect(&collection, &CCollection::opened, this, [this] {
        TellCollectionState();
        AddKeptHistoryOnce();
    });
    connect(&collection, &CCollection::stateChanged, this, &CApp::TellCollectionState);
    connect(&collection, &CCollection::addFinished, frame_.get(), &CMainFrame::UpdateCommandActions);
    collection.Open();
}

void CApp::TellCollectionState() {
    CCollection& collection = context_.Collection();
    const StoreState state = collection.State();
    if (collectionStateTold_ || !collection.IsOpen() || state == StoreState::Ready ||
        state == StoreState::Unavailable)
        return;
    // Not over another question: once the dialog that is open has gone.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        connect(
            modal, &QObject::destroyed, this, [this] { TellCollectionState(); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            connect(
                dialog, &QDialog::finished, this, [this] { TellCollectionState(); },
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    collectionStateTold_ = true;
    const std::string message = GetMessageCatalog().Text(StoreStateMessage(state));
    if (state != StoreState::Damaged && state != StoreState::Locked) {
        if (box_) box_->Write(message);
        return;
    }
    const QString question =
        tr("Set the collection file aside and start a new, empty collection? The libraries, imports and "
           "device history it was made from stay where they are, and can be added again.");
    if (!box_ ||
        box_->Ask(ASK_YES_NO, message + "\n\n" + question.toStdString(), ICON_EXCLAMATION) != ANSWER_YES)
        return;
    connect(
        &collection, &CCollection::opened, this,
        [this] {
            if (context_.Collection().SetAsidePath().empty() && box_)
                box_->Write(tr("The collection file could not be set aside.").toStdString());
        },
        Qt::SingleShotConnection);
    collection.StartOver();
}

void CApp::AddKeptHistoryOnce() {
    CCollection& collection = context_.Collection();
    if (!collection.CanWrite() || Profile::kCollectionHistoryAdded.Read(&settings_) != 0) return;
    // The reads the history kept before there was a collection, the oldest first, each at its own time.
    if (context_.History() && collection.Collects()) {
        const std::vector<HistoryEntry> entries = context_.History()->Entries();
        for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
            collection.AddHistoryEntry(entry->path, SecondsOf(entry->time));
    }
    Profile::kCollectionHistoryAdded.Write(&settings_, 1);
}

bool CApp::CanOpenCollection() const {
    return context_.Collection().HasFile();
}

CCollectionView* CApp::OpenCollectionWindow() {
    GP::CDocTemplate* collection = DocTemplateById(IDR_COLLECTION);
    if (!collection) return nullptr;
    GP::CDocument* document = nullptr;
    const std::vector<GP::CDocument*> open = collection->GetDocuments();
    if (!open.empty()) {
        document = open.front();
        if (!document->GetFrames().empty()) frame_->MDIActivate(document->GetFrames().front());
    } else {
        document = collection->OpenDocumentFile(QString());
    }
    if (!document || document->GetViews().empty()) return nullptr;
    auto* view = qobject_cast<CCollectionView*>(document->GetViews().front());
    if (view) view->OnEditFind();
    return view;
}

bool CApp::CanAddToCollection() const {
    const CCollection& collection = context_.Collection();
    return IsIdle() && collection.HasFile() && !collection.IsAdding() &&
           (!collection.IsOpen() || collection.CanWrite());
}

void CApp::OnAddFolderToCollection() {
    QFileDialog dialog(frame_.get(), tr("Add Folder to Collection"));
    dialog.setObjectName(QStringLiteral("FolderDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const QString folder = Profile::kCollectionFolder.Read(&settings_);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString chosen = dialog.selectedFiles().front();
    Profile::kCollectionFolder.Write(&settings_, chosen);
    AddToCollection({chosen});
}

CAddToCollection* CApp::AddToCollection(const QStringList& paths) {
    if (!CanAddToCollection()) return nullptr;
    std::vector<std::filesystem::path> files;
    for (const QString& path : paths)
        files.push_back(ToFilePath(path));
    auto* run = new CAddToCollection(context_.Collection(), services_->progress, frame_.get());
    if (!run->Start(std::move(files), CFileExchange(context_).ReadOptions())) return nullptr;
    frame_->UpdateCommandActions();
    return run;
}

bool CApp::RouteCollectionCommand(int id, GP::CCmdUI* ui) {
    CCollection& collection = context_.Collection();
    switch (id) {
        case ID_WINDOW_COLLECTION:
            if (ui)
                ui->enabled = CanOpenCollection();
            else if (CanOpenCollection())
                OpenCollectionWindow();
            return true;
        case ID_FILE_ADD_TO_COLLECTION:
            if (ui)
                ui->enabled = CanAddToCollection();
            else if (CanAddToCollection())
                OnAddFolderToCollection();
            return true;
        case ID_SETUP_COLLECT:
            if (ui) {
                ui->enabled = collection.HasFile();
                ui->checkable = true;
                ui->checked = collection.Collects();
            } else if (collection.HasFile()) {
                collection.SetCollects(!collection.Collects());
            }
            return true;
        default:
            return false;
    }
}
