// Faults the random driver found, each pinned down by a planned case.

#include <QTemporaryDir>
#include <QtTest>

#include "app_rig.h"
#include "model/file_document.h"
#include "ui/patch_list_ctrl.h"

using namespace TQ;

class FindingsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // A library that was changed back to what its file holds (by Undo, by a second Exchange, by an edit
    // that restores a name) is not modified; one that differs is.
    void aLibraryIsModifiedExactlyWhileItDiffersFromItsFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("three.tql"));
        {
            CFileDocument file;
            file.Patches().Assign(PatchesNamed({"A", "B", "C"}));
            QVERIFY(file.Save(ToFilePath(path)));
        }
        AppRig rig;
        auto* doc = qobject_cast<CFileDoc*>(rig.app->OpenDocumentFile(path));
        QVERIFY(doc);
        QVERIFY(!doc->IsModified());

        doc->EditCells({0}, CPatchTableModel::kNameColumn, {QStringLiteral("X")});
        QVERIFY(doc->IsModified());
        doc->Undo();
        QVERIFY(!doc->IsModified());
        doc->Undo();
        QVERIFY(doc->IsModified());
        doc->EditCells({0}, CPatchTableModel::kNameColumn, {QStringLiteral("A")});
        QVERIFY(!doc->IsModified());

        doc->Exchange({0, 2}, UndoMode::Offered);
        QVERIFY(doc->IsModified());
        doc->Exchange({0, 2}, UndoMode::Offered);
        QVERIFY(!doc->IsModified());
        QCOMPARE(rig.Frame().MDIGetActiveWindow()->windowTitle(), QStringLiteral("three.tql "));

        // The same name typed again changes nothing.
        doc->EditCells({1}, CPatchTableModel::kNameColumn, {QStringLiteral("B")});
        QVERIFY(!doc->IsModified());
        // A memo edited and emptied again.
        doc->EditCells({1}, 1, {QStringLiteral("memo")});
        QVERIFY(doc->IsModified());
        doc->EditCells({1}, 1, {QString()});
        QVERIFY(!doc->IsModified());

        // Saved: the new content is the file's.
        doc->Delete({1}, UndoMode::Offered);
        QVERIFY(doc->IsModified());
        QVERIFY(doc->OnSaveDocument(path));
        QVERIFY(!doc->IsModified());
        doc->Undo();
        QVERIFY(doc->IsModified());
    }

    // A window made with patches of its own (Duplicate, an import) stays modified until it is saved,
    // whatever is done to it; a new library becomes modified with its first patch.
    void aNewWindowWithPatchesOfItsOwnStaysModifiedUntilSaved() {
        AppRig rig;
        CFileDoc* library = rig.NewLibrary();
        QVERIFY(!library->IsModified());
        library->Insert(0, NamedPatches(1, "N"), UndoMode::Offered);
        QVERIFY(library->IsModified());
        library->Delete({0}, UndoMode::Offered);
        QVERIFY(!library->IsModified());

        CFileDoc* copy = rig.NewLibrary();
        copy->SetPatches(NamedPatches(2, "D"));
        copy->SetModifiedFlag(true);
        copy->Delete({0, 1}, UndoMode::Offered);
        QVERIFY(copy->IsModified());
        copy->Undo();
        QVERIFY(copy->IsModified());
    }
};

QTEST_MAIN(FindingsTest)
#include "findings_test.moc"
