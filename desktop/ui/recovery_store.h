#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "model/data.h"

class CDoc;
class CKivTextOut;
class CTransferJobs;

// What a copy of the program that ended without saving left of one window.
struct CRecoveredWindow {
    // The library's file, empty when it had none (an untitled library, the Main window).
    QString path;
    // Whether that file is still as it was when the patches were kept (its size and modification time as
    // recorded then). A file changed, removed or made since, or one of which nothing was recorded, is not
    // saved over without asking: the patches are then opened untitled.
    bool fileUnchanged = false;
    QString title;
    bool mainWindow = false;
    CPatchArray patches;
};

// Keeps the unsaved patches of the open windows on the disk, so that a crash of the program, the session or
// the machine loses at most the last 30 seconds of work.
//
// Each running copy writes into a folder of its own below the recovery folder (in the user's data
// location), which holds a lock file for as long as the copy runs. A window with changes that are not saved
// (a modified library; the Main window once it was read or edited) is written there, atomically, as a
// library file and a small description (its path and title): 30 seconds after its first change since the
// last write, and at the end of each transfer, only when it changed since its last write. A write that fails
// (a full or read-only disk) is tried again at the next interval, and the user is told once until a write
// succeeds again. A save, a discard (closing without saving) and the window's end remove its files; a clean
// exit removes the files, then releases the lock, then removes the folder.
//
// At start-up, LeftBehind() gives the windows in the folders of copies that no longer run (their lock can
// be taken); Forget() removes those folders.
class CRecoveryStore : public QObject {
    Q_OBJECT

  public:
    static constexpr int kIntervalMs = 30000;

    // root: the recovery folder shared by the copies of one user; this copy's folder is made in it (none:
    // nothing is kept until Open).
    explicit CRecoveryStore(QString root = {}, QObject* parent = nullptr);
    // Makes this copy's folder in root and takes its lock; false (and nothing is kept) when it cannot.
    bool Open(QString root);
    ~CRecoveryStore() override;

    // Whether this copy's folder and lock could be made (otherwise nothing is written).
    bool IsReady() const { return ready_; }
    const QString& Folder() const { return folder_; }
    const QString& Root() const { return root_; }

    // Follows a window's document from now on (its changes, its modified flag, its end).
    void Track(CDoc* doc);
    // Writes at the end of each transfer job.
    void FollowTransfers(CTransferJobs* jobs);
    // Changes before this are not the user's (the windows being set up at start-up).
    void Start();
    // The time from a window's first change to its write (tests shorten it).
    void SetInterval(int ms) { timer_.setInterval(ms); }
    // Where the user is told that windows could not be kept.
    void SetNotices(CKivTextOut* notices) { notices_ = notices; }
    // Writes every window that changed since its last write and is unsaved now, and removes the files of
    // windows that are saved; the number of windows written.
    int WriteChanged();
    // The files of a tracked document in this copy's folder, for a check: its patches file, or empty.
    QString FileOf(const CDoc* doc) const;
    int WrittenCount() const { return written_; }
    // Removes this copy's folder (a clean exit); nothing is written afterwards.
    void Finish();

    // The windows left by copies that no longer run, and the folders they are in.
    struct LeftBehind {
        std::vector<CRecoveredWindow> windows;
        QStringList folders;
    };
    // Their locks are held until Forget, so that no other copy starting now offers them too.
    LeftBehind FindLeftBehind();
    // Removes folders of copies that no longer run.
    void Forget(const QStringList& folders);

  private:
    struct Entry {
        QPointer<CDoc> doc;
        const QObject* key = nullptr;
        int number = 0;
        bool mainWindow = false;
        // Changed since the last write; something of it is on the disk; (the Main window) changed by the
        // user.
        bool changed = false;
        bool onDisk = false;
        bool touched = false;
    };

    Entry* Find(const QObject* doc);
    void OnChanged(Entry& entry);
    bool IsUnsaved(const Entry& entry) const;
    bool Write(Entry& entry);
    void Remove(Entry& entry);
    void OnWriteFailed();
    QString PatchesPath(int number) const;
    QString InfoPath(int number) const;

    QString root_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::vector<std::unique_ptr<QLockFile>> heldLocks_;
    bool ready_ = false;
    bool started_ = false;
    QPointer<CTransferJobs> jobs_;
    std::vector<Entry> entries_;
    int nextNumber_ = 1;
    int written_ = 0;
    CKivTextOut* notices_ = nullptr;
    bool failureTold_ = false;
    QTimer timer_;
};
