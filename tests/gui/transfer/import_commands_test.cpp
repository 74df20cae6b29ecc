#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app_rig.h"
#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "import/tables/earlier_layout.h"
#include "support/earlier_dump_bytes.h"
#include "transfer/dialog_driver.h"
#include "ui/command_ids.h"
#include "ui/file_dialog.h"

using namespace TQ;

namespace {

const std::string kLoadFailed = "This file could not be loaded.";

Bytes Name(const std::string& text) {
    Bytes name(text.begin(), text.end());
    name.resize(16, ' ');
    return name;
}

// An earlier librarian file of the TQ-MAX layout: one record per (name, memos).
Bytes LibrarianFile(const std::vector<std::pair<std::string, std::array<std::string, 4>>>& patches) {
    const std::string magic = "TQMLibrarianFile0000TQM         ";
    Bytes file(magic.begin(), magic.end());
    AppendU32(file, static_cast<std::uint32_t>(patches.size()));
    file.resize(160, 0);
    for (const auto& [name, memos] : patches) {
        Bytes body;
        for (int b = 0; b < earlier::kBlockCount; ++b) {
            const auto size = static_cast<std::size_t>(earlier::kBlockSizes[static_cast<std::size_t>(b)]);
            AppendU32(body, static_cast<std::uint32_t>(size));
            Bytes block(size, 0);
            if (b == earlier::kNameBlock) block = Name(name);
            body.insert(body.end(), block.begin(), block.end());
        }
        for (const std::string& memo : memos) {
            body.insert(body.end(), memo.begin(), memo.end());
            body.push_back(0);
        }
        AppendU32(file, static_cast<std::uint32_t>(body.size()));
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

// A TQ-2 data set for patch number, block 11 (the name).
Bytes Tq2Name(int number, const std::string& name) {
    Bytes message{0xF0,
                  0x41,
                  0x10,
                  0x00,
                  0x46,
                  0x12,
                  static_cast<std::uint8_t>(6 + number / 128),
                  static_cast<std::uint8_t>(number % 128),
                  11,
                  0};
    const Bytes text = Name(name);
    message.insert(message.end(), text.begin(), text.end());
    message.push_back(0x00);
    message.push_back(0xF7);
    return message;
}

QString WriteFile(const QTemporaryDir& folder, const QString& name, const Bytes& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

std::vector<CFileDoc*> Libraries(CApp& app) {
    std::vector<CFileDoc*> docs;
    if (GP::CDocTemplate* library = app.DocTemplateById(IDR_LIBRARY))
        for (GP::CDocument* document : library->GetDocuments())
            if (auto* doc = qobject_cast<CFileDoc*>(document)) docs.push_back(doc);
    return docs;
}

std::string NameOf(CFileDoc* doc, std::size_t index) {
    return doc->Patches()[index].GetName();
}

std::string Setting(const CMemorySettingsStore& settings, const char* section, const char* name) {
    return settings.GetString(section, name, "<none>");
}

}  // namespace

class ImportCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void librarianFileOpensAModifiedUntitledLibraryAndRemembersTheFile();
    void emptyLibrarianFileOpensAnEmptyLibrary();
    void unreadableFilesOpenNothingAndWriteNoSettings();
    void tq4DumpKeepsTheOrderOfFirstAppearance();
    void tq2DumpOpensItsPatchesUnderItsOwnSection();
};

void ImportCommandsTest::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void ImportCommandsTest::librarianFileOpensAModifiedUntitledLibraryAndRemembersTheFile() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const std::array<std::string, 4> memos = {"first memo", "", std::string("caf\xe9", 4), "x"};
    const QString path = WriteFile(folder, QStringLiteral("old.lib.tqx"),
                                   LibrarianFile({{"ALPHA", memos}, {"BETA", {"", "", "", ""}}}));
    QStringList filters;
    QString title;
    CDialogDriver driver;
    driver.Expect<UL::CFileDialogA>([&](UL::CFileDialogA* dialog) {
        filters = dialog->nameFilters();
        title = dialog->windowTitle();
        ChooseFile(dialog, path);
    });
    QVERIFY(rig.app->MainFrame()->ExecuteCommand(ID_IMPORT_EARLIER_FILE));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(filters, (QStringList{"TQ-MAX Librarian (*.tqx)", "All Files (*)"}));
    QCOMPARE(title, QStringLiteral("Import TQ-MAX Librarian File"));

    const std::vector<CFileDoc*> libraries = Libraries(*rig.app);
    QCOMPARE(libraries.size(), std::size_t(1));
    CFileDoc* doc = libraries.front();
    QVERIFY(doc->IsModified());
    QVERIFY(doc->GetPathName().isEmpty());
    QCOMPARE(doc->Patches().GetSize(), std::size_t(2));
    QCOMPARE(NameOf(doc, 0), std::string("ALPHA           "));
    QCOMPARE(NameOf(doc, 1), std::string("BETA            "));
    for (int m = 0; m < 4; ++m)
        QCOMPARE(doc->Patches()[0].GetMemo(m), memos[static_cast<std::size_t>(m)]);
    // Its window shows the patches.
    QVERIFY(!doc->GetViews().empty());

    QString folderText = QDir::toNativeSeparators(folder.path());
    if (!folderText.endsWith(QDir::separator())) folderText += QDir::separator();
    QCOMPARE(QString::fromStdString(Setting(rig.settings, "TQ-MAX", "InitialDirectory")), folderText);
    QCOMPARE(Setting(rig.settings, "TQ-MAX", "InitialFile"), std::string("old.lib"));

    // The next import starts where this one ended.
    QString start;
    driver.Expect<UL::CFileDialogA>([&](UL::CFileDialogA* dialog) {
        start = dialog->directory().absolutePath();
        dialog->reject();
    });
    rig.app->OnImportEarlierFile(CApp::kLibrarianFile);
    QVERIFY(driver.AllMet());
    QCOMPARE(QDir(start), QDir(folder.path()));
    QCOMPARE(Libraries(*rig.app).size(), std::size_t(1));
}

void ImportCommandsTest::emptyLibrarianFileOpensAnEmptyLibrary() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const QString path = WriteFile(folder, QStringLiteral("none.tqx"), LibrarianFile({}));
    CFileDoc* doc = rig.app->ImportEarlierFile(CApp::kLibrarianFile, path);
    QVERIFY(doc);
    QCOMPARE(doc->Patches().GetSize(), std::size_t(0));
    QVERIFY(doc->IsModified());
}

void ImportCommandsTest::unreadableFilesOpenNothingAndWriteNoSettings() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const QString shortFile = WriteFile(folder, QStringLiteral("short.tqx"), Bytes(100, 'T'));
    const QString notMidi = WriteFile(folder, QStringLiteral("text.mid"), Bytes(300, 'x'));
    const QString noPatch =
        WriteFile(folder, QStringLiteral("nothing.mid"), SmfWithSysEx({{0xF0, 0x43, 0x00, 0xF7}}));
    const struct {
        CApp::EarlierKind kind;
        QString path;
        int command;
        const char* section;
    } cases[] = {
        {CApp::kLibrarianFile, shortFile, ID_IMPORT_EARLIER_FILE, "TQ-MAX"},
        {CApp::kTq4BulkDump, notMidi, ID_IMPORT_TQ4_DUMP, "TQ-4M"},
        {CApp::kTq2BulkDump, notMidi, ID_IMPORT_TQ2_DUMP, "TQ-2"},
        {CApp::kTq2BulkDump, noPatch, ID_IMPORT_TQ2_DUMP, "TQ-2"},
        {CApp::kLibrarianFile, folder.filePath(QStringLiteral("missing.tqx")), ID_IMPORT_EARLIER_FILE,
         "TQ-MAX"},
    };
    for (const auto& c : cases) {
        rig.box->texts.clear();
        CDialogDriver driver;
        driver.Expect<UL::CFileDialogA>([&c](UL::CFileDialogA* dialog) {
            // A file that vanished after it was chosen.
            dialog->setFileMode(QFileDialog::AnyFile);
            ChooseFile(dialog, c.path);
        });
        QVERIFY(rig.app->MainFrame()->ExecuteCommand(c.command));
        QVERIFY2(driver.AllMet(), qPrintable(c.path));
        QVERIFY2(rig.box->Holds(kLoadFailed), qPrintable(c.path));
        QVERIFY2(Libraries(*rig.app).empty(), qPrintable(c.path));
        QCOMPARE(Setting(rig.settings, c.section, "InitialDirectory"), std::string("<none>"));
        QCOMPARE(Setting(rig.settings, c.section, "InitialFile"), std::string("<none>"));
    }
}

void ImportCommandsTest::tq4DumpKeepsTheOrderOfFirstAppearance() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const QString path = WriteFile(folder, QStringLiteral("dump.mid"),
                                   SmfWithSysEx({Tq4Set(5, 2304, Name("FIVE")), Tq4Set(2, 2304, Name("TWO")),
                                                 Tq4Set(5, 0, Bytes(130, 3))}));
    QStringList filters;
    CDialogDriver driver;
    driver.Expect<UL::CFileDialogA>([&](UL::CFileDialogA* dialog) {
        filters = dialog->nameFilters();
        ChooseFile(dialog, path);
    });
    QVERIFY(rig.app->MainFrame()->ExecuteCommand(ID_IMPORT_TQ4_DUMP));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(filters, (QStringList{"TQ-4/TQ-MAX Bulk Dump (*.mid)", "All Files (*)"}));
    const std::vector<CFileDoc*> libraries = Libraries(*rig.app);
    QCOMPARE(libraries.size(), std::size_t(1));
    QCOMPARE(libraries[0]->Patches().GetSize(), std::size_t(2));
    QCOMPARE(NameOf(libraries[0], 0), std::string("FIVE            "));
    QCOMPARE(NameOf(libraries[0], 1), std::string("TWO             "));
    QVERIFY(libraries[0]->IsModified());
    QCOMPARE(Setting(rig.settings, "TQ-4M", "InitialFile"), std::string("dump"));
    QCOMPARE(Setting(rig.settings, "TQ-MAX", "InitialFile"), std::string("<none>"));
}

void ImportCommandsTest::tq2DumpOpensItsPatchesUnderItsOwnSection() {
    CAppRig rig;
    QVERIFY(rig.started);
    QTemporaryDir folder;
    const QString path =
        WriteFile(folder, QStringLiteral("tq2.mid"),
                  SmfWithSysEx({Tq2Name(7, "SEVEN"), Tq2Name(1, "ONE"), Tq2Name(7, "SEVEN AGAIN")}));
    QStringList filters;
    CDialogDriver driver;
    driver.Expect<UL::CFileDialogA>([&](UL::CFileDialogA* dialog) {
        filters = dialog->nameFilters();
        ChooseFile(dialog, path);
    });
    QVERIFY(rig.app->MainFrame()->ExecuteCommand(ID_IMPORT_TQ2_DUMP));
    QVERIFY2(driver.AllMet() && driver.Failures().isEmpty(), qPrintable(driver.Failures().join(u'\n')));
    QCOMPARE(filters, (QStringList{"TQ-2 Bulk Dump (*.mid)", "All Files (*)"}));
    const std::vector<CFileDoc*> libraries = Libraries(*rig.app);
    QCOMPARE(libraries.size(), std::size_t(1));
    QCOMPARE(libraries[0]->Patches().GetSize(), std::size_t(2));
    QCOMPARE(NameOf(libraries[0], 0), std::string("SEVEN AGAIN     "));
    QCOMPARE(NameOf(libraries[0], 1), std::string("ONE             "));
    for (int m = 0; m < 4; ++m)
        QVERIFY(libraries[0]->Patches()[0].GetMemo(m).empty());
    QCOMPARE(Setting(rig.settings, "TQ-2", "InitialFile"), std::string("tq2"));
}

QTEST_MAIN(ImportCommandsTest)
#include "import_commands_test.moc"
