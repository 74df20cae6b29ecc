// The collection in the desktop program: what goes in on its own and the switch that stops it, the collection
// window's search, filters, edits and command rules, a damaged file at start-up and Add Folder's summary.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "app_rig.h"
#include "collection/collection_store.h"
#include "model/file_document.h"
#include "textout/message_catalog.h"
#include "ui/add_to_collection.h"
#include "ui/collection.h"
#include "ui/collection_model.h"
#include "ui/collection_window.h"
#include "ui/file_exchange.h"
#include "ui/temporary_area.h"

using namespace TQ;

namespace {

// A patch of its own content (seed), named, with a first memo.
std::unique_ptr<CPatch> MakePatch(const std::string& name, const std::string& memo, int seed) {
    auto patch = std::make_unique<CPatch>();
    Block& block = patch->PatchBlock();
    block.assign(PATCH_BLOCK_SIZE, 0);
    for (std::size_t b = 16; b < block.size(); ++b)
        block[b] = static_cast<std::uint8_t>((b * 5 + static_cast<std::size_t>(seed) * 11) & 0x7F);
    patch->SetName(name);
    patch->SetMemo(0, memo);
    return patch;
}

QString WriteLibrary(const QTemporaryDir& dir, const QString& name,
                     const std::vector<std::pair<std::string, std::string>>& patches, int seed) {
    CFileDocument file;
    for (const auto& [patchName, memo] : patches)
        file.Patches().Add(MakePatch(patchName, memo, seed++));
    const QString path = dir.filePath(name);
    file.Save(ToFilePath(path));
    return path;
}

CAppOptions WithCollection(const QTemporaryDir& dir) {
    CAppOptions options = AppRig::Defaults();
    options.collectionFile = dir.filePath(QStringLiteral("collection.sqlite"));
    return options;
}

bool Settled(CCollection& collection) {
    return QTest::qWaitFor([&] { return collection.IsOpen() && collection.IsIdle(); }, 30000);
}

// The names the collection holds, without trailing blanks, most recently seen first.
std::vector<std::string> CollectedNames(const CCollection& collection) {
    std::vector<std::string> names;
    for (std::size_t row = 0; row < collection.Index().Size(); ++row) {
        std::string name = collection.Index().At(row).name;
        name.erase(name.find_last_not_of(' ') + 1);
        names.push_back(name);
    }
    return names;
}

// The sightings of the sound named name.
std::vector<Sighting> SightingsOf(CCollection& collection, const std::string& name) {
    std::vector<Sighting> sightings;
    const std::vector<std::size_t> rows = collection.Index().Search({name, false, ""});
    if (rows.size() == 1) collection.Store()->ReadSightings(collection.Index().At(rows[0]).id, sightings);
    return sightings;
}

// Types text as a keyboard does, one key event per character (letters outside Latin-1 too).
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

std::vector<std::string> ShownNames(const CCollectionModel& model) {
    std::vector<std::string> names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.push_back(
            model.data(model.index(row, CCollectionModel::kName), Qt::DisplayRole).toString().toStdString());
    return names;
}

}  // namespace

class CollectionTest : public QObject {
    Q_OBJECT

  private slots:
    void opensSavesImportsAndReadsGoInWhileTheSwitchIsOn() {
        QTemporaryDir dir;
        const QString history = dir.filePath(QStringLiteral("History"));
        CAppRig rig({}, false, 0, history, dir.filePath(QStringLiteral("collection.sqlite")));
        CCollection& collection = rig.Context().Collection();
        QVERIFY(Settled(collection));
        QVERIFY(collection.CanWrite());
        QVERIFY(collection.Index().Size() == 0);

        // A library opened goes in, each patch a sighting at its position.
        const QString opened =
            WriteLibrary(dir, QStringLiteral("Opened.tql"), {{"ALPHA", "a"}, {"BRAVO", "b"}}, 1);
        QVERIFY(rig.app->OpenDocumentFile(opened));
        QVERIFY(Settled(collection));
        QCOMPARE(CollectedNames(collection), (std::vector<std::string>{"ALPHA", "BRAVO"}));
        const std::vector<Sighting> bravo = SightingsOf(collection, "BRAVO");
        QCOMPARE(bravo.size(), std::size_t(1));
        QCOMPARE(bravo[0].kind, SightingKind::LibraryFile);
        QCOMPARE(bravo[0].position, 1);
        QCOMPARE(QString::fromStdString(bravo[0].path), opened);

        // Switched off, nothing goes in; switched on again, a save does.
        QVERIFY(rig.Available(ID_SETUP_COLLECT));
        QVERIFY(rig.Frame().QueryCommand(ID_SETUP_COLLECT).checked);
        QVERIFY(rig.Command(ID_SETUP_COLLECT));
        QVERIFY(!collection.Collects());
        QVERIFY(
            rig.app->OpenDocumentFile(WriteLibrary(dir, QStringLiteral("Off.tql"), {{"UNSEEN", ""}}, 20)));
        QVERIFY(Settled(collection));
        QCOMPARE(collection.Index().Size(), std::size_t(2));
        QVERIFY(rig.Command(ID_SETUP_COLLECT));
        CFileDoc* saved = rig.NewLibrary();
        saved->SetPatches(PatchesNamed({"SAVED"}));
        QVERIFY(saved->DoSave(dir.filePath(QStringLiteral("Saved.tql"))));
        QVERIFY(Settled(collection));
        QCOMPARE(CollectedNames(collection).front(), std::string("SAVED"));

        // An import: the file it came from, as its kind.
        const QString syx = dir.filePath(QStringLiteral("dump.syx"));
        CPatchArray two;
        two.Add(MakePatch("SYX ONE", "", 40));
        two.Add(MakePatch("SYX TWO", "", 41));
        QVERIFY(CFileExchange(rig.Context()).Write(FileKind::Syx, syx, two, {0, 1}, {4, 5}));
        QVERIFY(CFileExchange(rig.Context())
                    .OpenAsLibrary(rig.app->DocTemplateById(IDR_LIBRARY), FileKind::Syx, syx));
        QVERIFY(Settled(collection));
        const std::vector<Sighting> imported = SightingsOf(collection, "SYX TWO");
        QCOMPARE(imported.size(), std::size_t(1));
        QCOMPARE(imported[0].kind, SightingKind::Import);
        QCOMPARE(imported[0].format, std::string("syx"));
        QCOMPARE(imported[0].slot, 5);

        // Read All: every slot as read, and the history entry it made, once.
        rig.SetDevicePatch(199, MakePatch("MAIN 199", "", 77)->GetImage());
        QVERIFY(rig.Done(rig.Main()->ReadPatches(true)));
        QVERIFY(Settled(collection));
        const std::vector<Sighting> read = SightingsOf(collection, "MAIN 199");
        QCOMPARE(read.size(), std::size_t(2));
        int reads = 0;
        int entries = 0;
        for (const Sighting& sighting : read) {
            reads += sighting.kind == SightingKind::DeviceRead && sighting.slot == 199;
            entries += sighting.kind == SightingKind::HistoryEntry && sighting.position == 199;
        }
        QCOMPARE(reads, 1);
        QCOMPARE(entries, 1);

        // Audition plays the one selected sound of the collection window, and the foot switch's step the
        // next one.
        CCollectionView* view = rig.app->OpenCollectionWindow();
        QVERIFY(view);
        rig.Activate(view->GetDocument());
        QVERIFY(rig.Command(ID_MIDI_AUDITION));
        const std::vector<std::string> shown = ShownNames(view->Model());
        QVERIFY(shown.size() >= 3);
        const auto playing = [&](std::size_t row) {
            const QString label = QStringLiteral("%1 (Collection)").arg(QString::fromStdString(shown[row]));
            return QTest::qWaitFor([&] { return rig.Context().Temporary().Known() == label; }, 10000);
        };
        view->SelectRows({1});
        QVERIFY(playing(1));
        view->StepSelection(+1);
        QVERIFY(playing(2));
    }

    void theWindowSearchesFiltersEditsAndOffersItsCommands() {
        QTemporaryDir dir;
        AppRig rig(WithCollection(dir));
        CCollection& collection = rig.Context().Collection();
        QVERIFY(Settled(collection));
        // "クリーン" in Shift_JIS, as a Japanese system wrote it.
        const std::string clean = "\x83\x4e\x83\x8a\x81\x5b\x83\x93";
        const QString path =
            WriteLibrary(dir, QStringLiteral("Set.tql"),
                         {{"CLEAN TONE", clean}, {"Crunch", "crunchy"}, {"LEAD", "solo"}}, 3);
        QVERIFY(rig.app->OpenDocumentFile(path));
        QVERIFY(Settled(collection));

        CCollectionView* view = rig.app->OpenCollectionWindow();
        QVERIFY(view);
        CCollectionModel& model = view->Model();
        QCOMPARE(model.rowCount(), 3);
        const auto search = [&](const QString& text) {
            view->SearchField()->clear();
            Type(view->SearchField(), text);
            return ShownNames(model);
        };
        const std::vector<std::string> cleanTone{"CLEAN TONE"};
        QCOMPARE(search(QStringLiteral("clean")), cleanTone);
        QCOMPARE(search(QStringLiteral("CLEAN")), cleanTone);
        QCOMPARE(search(QStringLiteral("ｃｌｅａｎ")), cleanTone);
        QCOMPARE(search(QStringLiteral("クリーン")), cleanTone);
        QCOMPARE(search(QStringLiteral("CRUNCHY")), (std::vector<std::string>{"Crunch"}));
        QCOMPARE(search(QStringLiteral("nothing")), std::vector<std::string>{});
        view->SearchField()->clear();
        QCOMPARE(model.rowCount(), 3);

        // The rules: Copy and Open as Library with a selection, Where Seen with one, Compare with two or one
        // and the clipboard.
        rig.Activate(view->GetDocument());
        QVERIFY(!rig.Available(ID_EDIT_COPY) && !rig.Available(ID_COLLECTION_WHERE_SEEN));
        view->SelectRows({0});
        QVERIFY(rig.Available(ID_EDIT_COPY) && rig.Available(ID_COLLECTION_WHERE_SEEN));
        QVERIFY(!rig.Available(ID_EDIT_COMPARE) && !rig.Available(ID_EDIT_CUT) &&
                !rig.Available(GP::ID_FILE_SAVE));
        QVERIFY(rig.Command(ID_EDIT_COPY));
        QCOMPARE(rig.Context().Clipboard().Patches().GetSize(), std::size_t(1));
        QVERIFY(rig.Available(ID_EDIT_COMPARE));
        view->SelectRows({0, 2});
        QVERIFY(rig.Available(ID_EDIT_COMPARE) && !rig.Available(ID_COLLECTION_WHERE_SEEN));

        // Tags in place and the favourite mark, then the filters on them.
        const int crunch =
            model.RowOf(collection.Index().At(collection.Index().Search({"Crunch", false, ""})[0]).id);
        QVERIFY(model.setData(model.index(crunch, CCollectionModel::kTags), QStringLiteral(" Heavy , live,"),
                              Qt::EditRole));
        QVERIFY(model.setData(
            model.index(
                model.RowOf(collection.Index().At(collection.Index().Search({"LEAD", false, ""})[0]).id),
                CCollectionModel::kFavourite),
            Qt::Checked, Qt::CheckStateRole));
        QTRY_COMPARE(view->TagFilter()->count(), 3);
        view->TagFilter()->setCurrentIndex(view->TagFilter()->findText(QStringLiteral("live")));
        QCOMPARE(ShownNames(model), (std::vector<std::string>{"Crunch"}));
        QCOMPARE(model.data(model.index(0, CCollectionModel::kTags), Qt::DisplayRole).toString(),
                 QStringLiteral("Heavy, live"));
        view->TagFilter()->setCurrentIndex(0);
        view->FavouritesOnly()->setChecked(true);
        QCOMPARE(ShownNames(model), (std::vector<std::string>{"LEAD"}));
        view->FavouritesOnly()->setChecked(false);

        // Sorted by name, then Open as Library and a drag give the patches with their memos.
        model.sort(CCollectionModel::kName, Qt::AscendingOrder);
        QCOMPARE(ShownNames(model), (std::vector<std::string>{"CLEAN TONE", "Crunch", "LEAD"}));
        view->SelectRows({0, 2});
        QVERIFY(rig.Command(ID_COLLECTION_OPEN_AS_LIBRARY));
        auto* opened = qobject_cast<CFileDoc*>(rig.Frame().MDIGetActive()->GetActiveDocument());
        QVERIFY(opened && opened->IsModified());
        QCOMPARE(NamesOf(opened->Patches()), (std::vector<std::string>{"CLEAN TONE", "LEAD"}));
        QCOMPARE(opened->Patches()[0].GetMemo(0), clean);

        std::unique_ptr<QMimeData> mime(model.mimeData({model.index(1, 0), model.index(1, 3)}));
        QVERIFY(mime);
        CPatchArray dragged;
        QVERIFY(CPatchListCtrl::DecodePatches(mime->data(QString::fromLatin1(CPatchListCtrl::kPatchMimeType)),
                                              dragged));
        CFileDoc* target = rig.NewLibrary();
        AppRig::ViewOf(target)->List().DropPatches(dragged, -1);
        const QString targetPath = dir.filePath(QStringLiteral("Target.tql"));
        QVERIFY(target->DoSave(targetPath));
        CFileDocument reread;
        QVERIFY(reread.Load(ToFilePath(targetPath)));
        QCOMPARE(NamesOf(reread.Patches()), (std::vector<std::string>{"Crunch"}));
        QCOMPARE(reread.Patches()[0].GetMemo(0), std::string("crunchy"));
    }

    void aDamagedFileIsToldOnceAndSetAsideOnRequest() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("collection.sqlite"));
        {
            QFile junk(file);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(QByteArray(8192, 'x'));
        }
        AppRig rig(WithCollection(dir), false);
        rig.box->answer = ANSWER_YES;
        QVERIFY(rig.Start());
        CCollection& collection = rig.Context().Collection();
        QTRY_VERIFY(collection.IsOpen());
        QTRY_VERIFY(rig.box->Holds(GetMessageCatalog().Text(MSG_COLLECTION_DAMAGED)));
        // Set aside: a new collection where the file was, the old one beside it.
        QTRY_VERIFY(collection.IsOpen() && collection.State() == StoreState::Ready);
        QCOMPARE(std::count_if(
                     rig.box->texts.begin(), rig.box->texts.end(),
                     [](const std::string& text) { return text.find("collection") != std::string::npos; }),
                 1);
        QVERIFY(!collection.SetAsidePath().empty());
        QVERIFY(std::filesystem::exists(collection.SetAsidePath()));

        // Add Folder: the files below the folder, the refused one with its reason.
        QDir(dir.path()).mkpath(QStringLiteral("folder/deeper"));
        WriteLibrary(dir, QStringLiteral("folder/one.tql"), {{"ONE", ""}, {"TWO", ""}}, 60);
        WriteLibrary(dir, QStringLiteral("folder/deeper/two.tql"), {{"ONE", ""}, {"THREE", ""}}, 60);
        {
            QFile broken(dir.filePath(QStringLiteral("folder/broken.tql")));
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write("TQLLibrarianFile0001 but nothing after");
        }
        QVERIFY(rig.Available(ID_FILE_ADD_TO_COLLECTION));
        CAddToCollection* run = rig.app->AddToCollection({dir.filePath(QStringLiteral("folder"))});
        QVERIFY(run);
        QPointer<CAddSummaryDialog> summary;
        connect(run, &CAddToCollection::summaryShown, this,
                [&](CAddSummaryDialog* shown) { summary = shown; });
        QTRY_VERIFY_WITH_TIMEOUT(summary, 30000);
        QVERIFY(summary->Counts()->text().contains(QStringLiteral("Files read: 3")));
        QVERIFY(summary->Counts()->text().contains(QStringLiteral("Patches found: 4")));
        QVERIFY(summary->Counts()->text().contains(QStringLiteral("New sounds: 3")));
        QVERIFY(summary->Refused()->toPlainText().startsWith(
            dir.filePath(QStringLiteral("folder/broken.tql")) + '\t'));
        summary->close();
        QCOMPARE(collection.Index().Size(), std::size_t(3));
    }
};

QTEST_MAIN(CollectionTest)
#include "collection_test.moc"
