// The recovery of unsaved windows: what is written when, what a save, a discard and a clean exit remove, and
// what the next start offers of a copy that no longer runs.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "app_rig.h"
#include "model/file_document.h"
#include "ui/recovery_store.h"

using namespace TQ;

namespace {

// Answers the start-up question as told, and keeps what it asked.
class CAnsweringBox : public CKivTextOut {
  public:
    explicit CAnsweringBox(int answer) : answer_(answer) {}
    int Ask(int, const std::string& text, int) override {
        questions.push_back(QString::fromStdString(text));
        return answer_;
    }
    QStringList questions;

  protected:
    void Output(const std::string&) override {}

  private:
    int answer_;
};

CAppOptions Options(const QString& root) {
    CAppOptions options = AppRig::Defaults();
    options.recoveryFolder = root;
    return options;
}

// The program with its recovery folder in root and its questions answered by box.
struct RecoveryRig {
    RecoveryRig(const QString& root, std::shared_ptr<CKivTextOut> box, const QStringList& files = {}) {
        CAppOptions options = Options(root);
        options.messageBox = std::move(box);
        options.files = files;
        app = std::make_unique<CApp>(settings, options);
        started = app->InitInstance();
    }
    ~RecoveryRig() {
        if (started) app->ExitInstance();
    }
    std::vector<CFileDoc*> Libraries() const {
        std::vector<CFileDoc*> libraries;
        for (GP::CDocument* document : app->DocManager()->GetDocuments())
            if (auto* doc = qobject_cast<CFileDoc*>(document)) libraries.push_back(doc);
        return libraries;
    }
    CMemorySettingsStore settings;
    std::unique_ptr<CApp> app;
    bool started = false;
};

std::vector<std::string> NamesInFile(const QString& path) {
    CFileDocument file;
    if (!file.Load(ToFilePath(path))) return {"(cannot be loaded)"};
    return NamesOf(file.Patches());
}

QJsonObject InfoBeside(const QString& patchesPath) {
    QFile file(patchesPath.left(patchesPath.size() - 4) + QStringLiteral(".json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A folder as a copy that ended would have left it: one window's patches and description, no lock.
void LeaveWindow(const QString& folder, int number, const CPatchArray& patches, const QJsonObject& info) {
    QDir().mkpath(folder);
    CFileDocument file;
    file.Patches().Assign(patches);
    QVERIFY(file.Save(ToFilePath(QDir(folder).filePath(QStringLiteral("%1.tql").arg(number)))));
    QFile json(QDir(folder).filePath(QStringLiteral("%1.json").arg(number)));
    QVERIFY(json.open(QIODevice::WriteOnly));
    json.write(QJsonDocument(info).toJson());
}

// A library file of patches named names at path, and the description a window of it leaves: its path,
// title and the file's size and time as they were when its patches were kept.
QJsonObject LibraryLeft(const QString& path, const std::vector<std::string>& names) {
    CFileDocument file;
    file.Patches().Assign(PatchesNamed(names));
    if (!file.Save(ToFilePath(path))) return {};
    const QFileInfo info(path);
    return {{"path", path},
            {"title", info.fileName()},
            {"main", false},
            {"fileSize", static_cast<double>(info.size())},
            {"fileModified", static_cast<double>(info.lastModified().toMSecsSinceEpoch())}};
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void unsavedWindowsAreWrittenUntilSavedDiscardedOrTheProgramEnds() {
        QTemporaryDir root;
        const QString path = root.filePath(QStringLiteral("lib.tql"));
        {
            CFileDocument file;
            file.Patches().Assign(PatchesNamed({"ONE", "TWO"}));
            QVERIFY(file.Save(ToFilePath(path)));
        }
        AppRig rig(Options(root.filePath(QStringLiteral("Recovery"))));
        CRecoveryStore* store = rig.app->Recovery();
        QVERIFY(store && store->IsReady());
        QVERIFY(QFileInfo(store->Folder()).isDir());
        store->SetInterval(20);
        auto* doc = qobject_cast<CFileDoc*>(rig.app->OpenDocumentFile(path));
        QVERIFY(doc);
        // Nothing is unsaved at the start: the Main window's first patches are not the user's.
        QTest::qWait(60);
        QCOMPARE(store->WrittenCount(), 0);

        // An edit is written after the interval, with where the window came from.
        doc->EditCells({1}, CPatchTableModel::kNameColumn, {QStringLiteral("EDITED")});
        QTRY_VERIFY(!store->FileOf(doc).isEmpty());
        const QString written = store->FileOf(doc);
        QCOMPARE(NamesInFile(written), (std::vector<std::string>{"ONE", "EDITED"}));
        QCOMPARE(InfoBeside(written).value(QStringLiteral("path")).toString(), path);
        QCOMPARE(InfoBeside(written).value(QStringLiteral("title")).toString(), QStringLiteral("lib.tql"));
        // Only what changed since is written again.
        const int count = store->WrittenCount();
        QCOMPARE(store->WriteChanged(), 0);
        QCOMPARE(store->WrittenCount(), count);

        // Saved: its file goes.
        QVERIFY(doc->OnSaveDocument(path));
        QVERIFY(!QFile::exists(written));
        QVERIFY(store->FileOf(doc).isEmpty());
        // Changed back to the file: nothing to keep either.
        doc->EditCells({0}, CPatchTableModel::kNameColumn, {QStringLiteral("X")});
        doc->EditCells({0}, CPatchTableModel::kNameColumn, {QStringLiteral("ONE")});
        QTest::qWait(60);
        QVERIFY(store->FileOf(doc).isEmpty());

        // The Main window once edited, and a new library; closing the library without saving discards it.
        rig.MainDoc().EditCells({0}, 1, {QStringLiteral("main memo")});
        CFileDoc* untitled = rig.NewLibrary();
        untitled->Insert(0, NamedPatches(3, "NEW"), UndoMode::Offered);
        QTRY_VERIFY(!store->FileOf(&rig.MainDoc()).isEmpty() && !store->FileOf(untitled).isEmpty());
        QVERIFY(InfoBeside(store->FileOf(&rig.MainDoc())).value(QStringLiteral("main")).toBool());
        QCOMPARE(NamesInFile(store->FileOf(untitled)), (std::vector<std::string>{"NEW1", "NEW2", "NEW3"}));
        const QString discarded = store->FileOf(untitled);
        untitled->OnCloseDocument();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!QFile::exists(discarded));

        // A clean end leaves nothing.
        const QString folder = store->Folder();
        QVERIFY(QFile::exists(store->FileOf(&rig.MainDoc())));
        rig.app->ExitInstance();
        rig.started = false;
        QVERIFY(!QFileInfo::exists(folder));
    }

    void theWindowsOfACopyThatEndedAreOfferedAndReopened() {
        QTemporaryDir root;
        const QString recovery = root.filePath(QStringLiteral("Recovery"));
        const QString path = root.filePath(QStringLiteral("songs.tql"));
        LeaveWindow(recovery + QStringLiteral("/100-1"), 1, PatchesNamed({"SAVED", "EDIT"}),
                    LibraryLeft(path, {"SAVED"}));
        LeaveWindow(recovery + QStringLiteral("/100-1"), 2, PatchesNamed({"UNTITLED"}),
                    {{"path", ""}, {"title", "Untitled2"}, {"main", false}});
        LeaveWindow(recovery + QStringLiteral("/100-1"), 3, NamedPatches(200, "M"),
                    {{"path", ""}, {"title", ""}, {"main", true}});
        // A broken one among them is left out.
        QFile broken(recovery + QStringLiteral("/100-1/4.json"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\"path\": ");
        broken.close();
        QFile::copy(recovery + QStringLiteral("/100-1/2.tql"), recovery + QStringLiteral("/100-1/4.tql"));
        // A copy that still runs keeps its windows to itself.
        CRecoveryStore running(recovery);
        QVERIFY(running.IsReady());
        LeaveWindow(running.Folder(), 1, PatchesNamed({"RUNNING"}),
                    {{"path", ""}, {"title", ""}, {"main", false}});

        auto box = std::make_shared<CAnsweringBox>(ANSWER_YES);
        RecoveryRig rig(recovery, box);
        QVERIFY(rig.started);
        QCOMPARE(box->questions.size(), 1);
        QVERIFY(box->questions.front().contains(QStringLiteral("songs.tql")));
        QVERIFY(box->questions.front().contains(QStringLiteral("Untitled2")));
        QVERIFY(box->questions.front().contains(QStringLiteral("Main window")));
        const std::vector<CFileDoc*> reopened = rig.Libraries();
        QCOMPARE(reopened.size(), std::size_t(3));
        QCOMPARE(reopened[0]->GetPathName(), path);
        QCOMPARE(reopened[0]->GetTitle(), QStringLiteral("songs.tql"));
        QCOMPARE(NamesOf(reopened[0]->Patches()), (std::vector<std::string>{"SAVED", "EDIT"}));
        QCOMPARE(reopened[1]->GetTitle(), QStringLiteral("Untitled2"));
        QVERIFY(reopened[1]->GetPathName().isEmpty());
        QCOMPARE(reopened[2]->Patches().GetSize(), std::size_t(200));
        for (CFileDoc* doc : reopened)
            QVERIFY(doc->IsModified());
        // Not in the recent files before they are saved.
        QCOMPARE(rig.app->DocManager()->RecentFiles().Count(), 0);
        // The left folder is gone; the windows are kept in this copy's own; the running copy's is untouched.
        QVERIFY(!QFileInfo::exists(recovery + QStringLiteral("/100-1")));
        for (CFileDoc* doc : reopened)
            QVERIFY(!rig.app->Recovery()->FileOf(doc).isEmpty());
        QVERIFY(QFileInfo::exists(running.Folder() + QStringLiteral("/1.json")));
    }

    // A window's file that another window holds, or that changed since its patches were kept (or of which
    // nothing was kept), is not the recovered window's to save over: it opens untitled, modified.
    void aFileOpenOrChangedSinceIsNotSavedOver() {
        QTemporaryDir root;
        const QString recovery = root.filePath(QStringLiteral("Recovery"));
        const QString left = recovery + QStringLiteral("/400-1");
        const QString open = root.filePath(QStringLiteral("open.tql"));
        const QString changed = root.filePath(QStringLiteral("changed.tql"));
        const QString same = root.filePath(QStringLiteral("same.tql"));
        LeaveWindow(left, 1, PatchesNamed({"OPEN EDITED"}), LibraryLeft(open, {"OPEN"}));
        LeaveWindow(left, 2, PatchesNamed({"CHANGED EDITED"}), LibraryLeft(changed, {"CHANGED"}));
        LeaveWindow(left, 3, PatchesNamed({"SAME EDITED"}), LibraryLeft(same, {"SAME"}));
        QJsonObject unrecorded = LibraryLeft(root.filePath(QStringLiteral("old.tql")), {"OLD"});
        unrecorded.remove(QStringLiteral("fileSize"));
        LeaveWindow(left, 4, PatchesNamed({"OLD EDITED"}), unrecorded);
        {
            CFileDocument other;  // saved elsewhere after the crash: same size, another time
            other.Patches().Assign(PatchesNamed({"OTHER"}));
            QVERIFY(other.Save(ToFilePath(changed)));
            QFile file(changed);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                     QFileDevice::FileModificationTime));
        }
        auto box = std::make_shared<CAnsweringBox>(ANSWER_YES);
        RecoveryRig rig(recovery, box, {open});  // open.tql named on the command line
        QVERIFY(rig.started);
        const std::vector<CFileDoc*> docs = rig.Libraries();
        QCOMPARE(docs.size(), std::size_t(5));
        QCOMPARE(docs[0]->GetPathName(), open);
        QVERIFY(!docs[0]->IsModified());
        const QStringList titles{QStringLiteral("open.tql (recovered)"),
                                 QStringLiteral("changed.tql (recovered)"), QString(),
                                 QStringLiteral("old.tql (recovered)")};
        for (int i = 0; i < 4; ++i) {
            CFileDoc* doc = docs[static_cast<std::size_t>(i) + 1];
            QVERIFY(doc->IsModified());
            if (titles[i].isEmpty()) {
                QCOMPARE(doc->GetPathName(), same);
            } else {
                QCOMPARE(doc->GetTitle(), titles[i]);
                QVERIFY2(doc->GetPathName().isEmpty(), qPrintable(titles[i]));
            }
        }
    }

    // A write that fails (here the copy's folder has become a file) is tried again at the next interval
    // without a new edit, and the user is told once.
    void aFailedWriteIsTriedAgainAndToldOnce() {
        QTemporaryDir root;
        AppRig rig(Options(root.filePath(QStringLiteral("Recovery"))));
        CRecoveryStore* store = rig.app->Recovery();
        QVERIFY(store && store->IsReady());
        CRecordingBox notices;
        store->SetNotices(&notices);
        store->SetInterval(20);
        const QString folder = store->Folder();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocking(folder);
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        blocking.close();
        rig.MainDoc().EditCells({0}, 1, {QStringLiteral("main memo")});
        QTRY_COMPARE(notices.texts.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(notices.texts[0]).contains(QStringLiteral("cannot be kept")));
        QTest::qWait(100);  // several intervals: tried again, told no more
        QCOMPARE(notices.texts.size(), std::size_t(1));
        QVERIFY(store->FileOf(&rig.MainDoc()).isEmpty());
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        QTRY_VERIFY(!store->FileOf(&rig.MainDoc()).isEmpty());
        QCOMPARE(notices.texts.size(), std::size_t(1));
    }

    void decliningRemovesWhatWasLeft() {
        QTemporaryDir root;
        const QString recovery = root.filePath(QStringLiteral("Recovery"));
        LeaveWindow(recovery + QStringLiteral("/200-1"), 1, PatchesNamed({"GONE"}),
                    {{"path", ""}, {"title", ""}, {"main", false}});
        // An empty folder of a copy that ended before it wrote anything goes without a question.
        QDir().mkpath(recovery + QStringLiteral("/201-1"));
        auto box = std::make_shared<CAnsweringBox>(ANSWER_NO);
        {
            RecoveryRig rig(recovery, box);
            QCOMPARE(box->questions.size(), 1);
            QVERIFY(rig.Libraries().empty());
            QVERIFY(!QFileInfo::exists(recovery + QStringLiteral("/200-1")));
            QVERIFY(!QFileInfo::exists(recovery + QStringLiteral("/201-1")));
        }
        RecoveryRig again(recovery, box);
        QCOMPARE(box->questions.size(), 1);
        QCOMPARE(QDir(recovery).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);  // its own
    }

    void theQuestionIsAskedInJapaneseToo() {
        QTemporaryDir root;
        const QString recovery = root.filePath(QStringLiteral("Recovery"));
        LeaveWindow(recovery + QStringLiteral("/300-1"), 1, NamedPatches(200, "M"),
                    {{"path", ""}, {"title", ""}, {"main", true}});
        QTranslator japanese;
        QVERIFY(japanese.load(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/translations/tq550_ja.qm")));
        QCoreApplication::installTranslator(&japanese);
        auto box = std::make_shared<CAnsweringBox>(ANSWER_NO);
        { RecoveryRig rig(recovery, box); }
        QCoreApplication::removeTranslator(&japanese);
        QCOMPARE(box->questions.size(), 1);
        QVERIFY2(box->questions.front().startsWith(
                     QString::fromUtf8("TQ-550 Librarian は、次のウィンドウを保存する前に")),
                 qPrintable(box->questions.front()));
        QVERIFY(box->questions.front().contains(QString::fromUtf8("メイン ウィンドウ")));
    }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
