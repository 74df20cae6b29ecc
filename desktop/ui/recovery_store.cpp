#include "ui/recovery_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "model/atomic_file.h"
#include "model/file_document.h"
#include "textout/text_out.h"
#include "ui/doc.h"
#include "ui/transfer_jobs.h"

namespace {

const QString kLockName = QStringLiteral("lock");
const QString kPatchesSuffix = QStringLiteral(".tql");
const QString kInfoSuffix = QStringLiteral(".json");
// A description larger than this is not one of ours.
constexpr qint64 kLargestInfo = 64 * 1024;

// Only the user may look into the folders: they hold the user's patches.
bool MakePrivateFolder(const QString& path) {
    if (!QDir().mkpath(path)) return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// What the description records of a library's file, so that the next start can tell whether it changed.
const QString kFileSize = QStringLiteral("fileSize");
const QString kFileModified = QStringLiteral("fileModified");

void RecordFile(QJsonObject& info, const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) return;
    info[kFileSize] = static_cast<double>(file.size());
    info[kFileModified] = static_cast<double>(file.lastModified().toMSecsSinceEpoch());
}

bool FileAsRecorded(const QJsonObject& info, const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || !info.contains(kFileSize) || !info.contains(kFileModified)) return false;
    return info.value(kFileSize).toDouble() == static_cast<double>(file.size()) &&
           info.value(kFileModified).toDouble() ==
               static_cast<double>(file.lastModified().toMSecsSinceEpoch());
}

bool WriteAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFileWriter file(ToFilePath(path));
    if (!file.IsOpen()) return false;
    file.Stream().write(bytes.constData(), bytes.size());
    return file.Stream().good() && file.Commit();
}

}  // namespace

CRecoveryStore::CRecoveryStore(QString root, QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Not in the middle of a transfer: its end writes.
        if (jobs_ && jobs_->IsRunning()) return;
        WriteChanged();
    });
    if (!root.isEmpty()) Open(std::move(root));
}

bool CRecoveryStore::Open(QString root) {
    if (ready_) return true;
    root_ = std::move(root);
    if (root_.isEmpty() || !MakePrivateFolder(root_)) return false;
    // This copy's folder: its process and the time, so that no two copies share one.
    folder_ = QDir(root_).filePath(QStringLiteral("%1-%2")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(QDateTime::currentMSecsSinceEpoch()));
    if (!MakePrivateFolder(folder_)) return false;
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(kLockName));
    lock_->setStaleLockTime(0);
    ready_ = lock_->tryLock(0);
    return ready_;
}

CRecoveryStore::~CRecoveryStore() {
    Finish();
}

void CRecoveryStore::Track(CDoc* doc) {
    if (!doc || Find(doc)) return;
    Entry entry;
    entry.doc = doc;
    entry.key = doc;
    entry.number = nextNumber_++;
    entry.mainWindow = !doc->IsLibrary();
    entries_.push_back(entry);
    const QObject* key = doc;
    connect(doc, &CDoc::changed, this, [this, key] {
        if (Entry* e = Find(key)) OnChanged(*e);
    });
    connect(doc, &GP::CDocument::titleChanged, this, [this, key] {
        if (Entry* e = Find(key)) OnChanged(*e);
    });
    connect(doc, &GP::CDocument::modifiedChanged, this, [this, key](bool modified) {
        Entry* e = Find(key);
        if (!e) return;
        if (modified)
            OnChanged(*e);
        else
            Remove(*e);  // saved
    });
    connect(doc, &QObject::destroyed, this, [this, key] {
        // Closed: saved before, or discarded.
        if (Entry* e = Find(key)) Remove(*e);
        std::erase_if(entries_, [key](const Entry& e) { return e.key == key; });
    });
}

void CRecoveryStore::FollowTransfers(CTransferJobs* jobs) {
    jobs_ = jobs;
    if (jobs)
        connect(jobs, &CTransferJobs::stateChanged, this, [this] {
            if (jobs_ && !jobs_->IsRunning()) WriteChanged();
        });
}

void CRecoveryStore::Start() {
    started_ = true;
}

CRecoveryStore::Entry* CRecoveryStore::Find(const QObject* doc) {
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [doc](const Entry& e) { return e.key == doc; });
    return found == entries_.end() ? nullptr : &*found;
}

void CRecoveryStore::OnChanged(Entry& entry) {
    // The Main window counts from its first change by the user; a library while it is modified.
    if (entry.mainWindow && !started_) return;
    entry.changed = true;
    if (entry.mainWindow) entry.touched = true;
    if (ready_ && !timer_.isActive()) timer_.start();
}

bool CRecoveryStore::IsUnsaved(const Entry& entry) const {
    if (!entry.doc) return false;
    return entry.mainWindow ? entry.touched : entry.doc->IsModified();
}

int CRecoveryStore::WriteChanged() {
    int count = 0;
    bool failed = false;
    for (Entry& entry : entries_) {
        if (!entry.changed) continue;
        if (!IsUnsaved(entry)) {
            Remove(entry);
            continue;
        }
        if (Write(entry))
            ++count;
        else
            failed = true;
    }
    if (failed)
        OnWriteFailed();
    else if (count > 0)
        failureTold_ = false;
    return count;
}

void CRecoveryStore::OnWriteFailed() {
    // What could not be written is still changed: the next interval tries again, edit or not.
    if (ready_) timer_.start();
    if (failureTold_) return;
    failureTold_ = true;
    if (notices_)
        notices_->Write(
            tr("Unsaved changes cannot be kept against a crash: the disk is full or write-protected.")
                .toStdString());
}

bool CRecoveryStore::Write(Entry& entry) {
    if (!ready_ || !entry.doc) return false;
    CDoc& doc = *entry.doc;
    // The patches first: a description is only read beside its patches.
    CFileDocument file;
    file.Patches().Assign(doc.Patches());
    QJsonObject info;
    info[QStringLiteral("path")] = doc.IsLibrary() ? doc.GetPathName() : QString();
    info[QStringLiteral("title")] = doc.IsLibrary() ? doc.GetTitle() : QString();
    info[QStringLiteral("main")] = entry.mainWindow;
    if (doc.IsLibrary() && !doc.GetPathName().isEmpty()) RecordFile(info, doc.GetPathName());
    if (!file.Save(ToFilePath(PatchesPath(entry.number))) ||
        !WriteAtomically(InfoPath(entry.number), QJsonDocument(info).toJson()))
        return false;
    entry.changed = false;
    entry.onDisk = true;
    ++written_;
    return true;
}

void CRecoveryStore::Remove(Entry& entry) {
    entry.changed = false;
    if (!entry.onDisk) return;
    // The description first: patches without one are never offered.
    QFile::remove(InfoPath(entry.number));
    QFile::remove(PatchesPath(entry.number));
    entry.onDisk = false;
}

QString CRecoveryStore::PatchesPath(int number) const {
    return QDir(folder_).filePath(QString::number(number) + kPatchesSuffix);
}

QString CRecoveryStore::InfoPath(int number) const {
    return QDir(folder_).filePath(QString::number(number) + kInfoSuffix);
}

QString CRecoveryStore::FileOf(const CDoc* doc) const {
    for (const Entry& entry : entries_)
        if (entry.key == doc && entry.onDisk) return PatchesPath(entry.number);
    return QString();
}

void CRecoveryStore::Finish() {
    timer_.stop();
    if (!ready_) return;
    ready_ = false;
    // The files go while the lock is held: a copy starting now must not find them in an unlocked folder.
    QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name != kLockName) folder.remove(name);
    lock_->unlock();
    folder.removeRecursively();
}

CRecoveryStore::LeftBehind CRecoveryStore::FindLeftBehind() {
    LeftBehind found;
    if (root_.isEmpty()) return found;
    const QDir root(root_);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = root.filePath(name);
        if (QDir(folder) == QDir(folder_)) continue;
        // A copy that still runs holds its lock.
        auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(kLockName));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue;
        heldLocks_.push_back(std::move(lock));
        found.folders << folder;
        const QDir dir(folder);
        QStringList infos = dir.entryList({QStringLiteral("*") + kInfoSuffix}, QDir::Files);
        std::sort(infos.begin(), infos.end(), [](const QString& a, const QString& b) {
            return a.section(QLatin1Char('.'), 0, 0).toInt() < b.section(QLatin1Char('.'), 0, 0).toInt();
        });
        for (const QString& infoName : infos) {
            QFile infoFile(dir.filePath(infoName));
            if (infoFile.size() > kLargestInfo || !infoFile.open(QIODevice::ReadOnly)) continue;
            const QJsonDocument json = QJsonDocument::fromJson(infoFile.readAll());
            if (!json.isObject()) continue;
            const QJsonObject info = json.object();
            CRecoveredWindow window;
            window.path = info.value(QStringLiteral("path")).toString();
            window.title = info.value(QStringLiteral("title")).toString();
            window.mainWindow = info.value(QStringLiteral("main")).toBool();
            if (!window.path.isEmpty() && !QDir::isAbsolutePath(window.path)) window.path.clear();
            window.fileUnchanged = !window.path.isEmpty() && FileAsRecorded(info, window.path);
            CFileDocument patches;
            const QString patchesName = infoName.left(infoName.size() - kInfoSuffix.size()) + kPatchesSuffix;
            if (!patches.Load(ToFilePath(dir.filePath(patchesName)))) continue;
            window.patches.Swap(patches.Patches());
            found.windows.push_back(std::move(window));
        }
    }
    return found;
}

void CRecoveryStore::Forget(const QStringList& folders) {
    for (const QString& folder : folders)
        QDir(folder).removeRecursively();
    heldLocks_.clear();
}
