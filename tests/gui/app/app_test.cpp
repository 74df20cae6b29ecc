// Start-up, the main frame, the confirmations, messages and notices of the desktop program.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <thread>

#include "app/language.h"
#include "app/single_instance.h"
#include "app_rig.h"
#include "gp/mdi/window_list_dlg.h"
#include "model/file_document.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "settings/settings_store.h"
#include "textout/message_catalog.h"
#include "transfer/reader.h"
#include "ui/list_appearance.h"
#include "ui/midi_warning_dlg.h"
#include "ui/progress_bar.h"
#include "ui/set_grid_dlg.h"
#include "ui/timer_text_out_window.h"

using namespace TQ;

namespace {

// Shows a dialog and checks that each of its buttons has room for its whole text (and icon), and that no
// button covers another.
void CheckButtonsFit(QDialog& dialog) {
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QPushButton* button : buttons) {
        if (!button->isVisible()) continue;
        int needed =
            button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) + 8;
        if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
        QVERIFY2(needed <= button->width(), qPrintable(button->text()));
        const QRect place(button->mapTo(&dialog, QPoint(0, 0)), button->size());
        for (QPushButton* other : buttons) {
            if (other == button || !other->isVisible()) continue;
            QVERIFY2(!place.intersects(QRect(other->mapTo(&dialog, QPoint(0, 0)), other->size())),
                     qPrintable(button->text() + QStringLiteral(" / ") + other->text()));
        }
    }
}

void CheckDialogButtons(AppRig& rig) {
    GP::CWindowListDlg windowList(rig.Frame(), nullptr);
    CheckButtonsFit(windowList);
    if (QTest::currentTestFailed()) return;
    CSetGridDlg grid(1);
    CheckButtonsFit(grid);
    if (QTest::currentTestFailed()) return;
    CMidiWarningDlg warning(&rig.settings);
    warning.NeedsConfirmation(CMidiWarningDlg::kWriteUser);
    CheckButtonsFit(warning);
}

// Answers the next modal dialog by calling answer on it once it shows; records whether one showed.
class ModalAnswer : public QObject {
  public:
    explicit ModalAnswer(std::function<void(QDialog&)> answer) : answer_(std::move(answer)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                timer_.stop();
                seen = true;
                answer_(*dialog);
            }
        });
        timer_.start(20);
    }
    bool seen = false;

  private:
    std::function<void(QDialog&)> answer_;
    QTimer timer_;
};

QStringList MenuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions())
        titles << action->text();
    return titles;
}

QString WriteLibrary(const QTemporaryDir& dir, const QString& name, int patches) {
    CFileDocument file;
    file.Patches().Resize(static_cast<std::size_t>(patches));
    const QString path = dir.filePath(name);
    file.Save(ToFilePath(path));
    return path;
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpReadsTheSettingsAndBuildsTheMainWindow() {
        AppRig rig;
        CAppContext& app = rig.Context();
        // Absent switches: Mode 1, grid off; child windows use stored positions once settings are loaded.
        QCOMPARE(app.Mode(), 1);
        QCOMPARE(app.Appearance().GridSwitch(), 0);
        QVERIFY(app.UseStoredPositions());
        QVERIFY(rig.app->MainView());
        QCOMPARE(rig.MainDoc().Patches().GetSize(), std::size_t(200));
        // The initial-data library beside the program makes the new patches.
        QVERIFY(app.Initial()->IsValid());
        QCOMPARE(NamesOf(rig.MainDoc().Patches())[0], std::string("INIT PATCH"));
        // The three port pairs, the reader on pair 0, the message sinks.
        QCOMPARE(rig.app->Environment()->InPortCount(), std::size_t(3));
        QCOMPARE(app.Reader().Input(), &rig.app->Environment()->InPort(MidiEnvironment::kTq550Pair));
        QVERIFY(rig.app->TextOut().GetTextOut(TextOutHub::kBufferSlot));
        QVERIFY(rig.app->Environment()->GetNoticeSink());
        // The library template is the first: New makes a library window without asking.
        QVERIFY(rig.Command(GP::ID_FILE_NEW));
        QVERIFY(qobject_cast<CFileDoc*>(rig.Frame().MDIGetActive()->GetActiveDocument()));

        // Stored settings are read back and written at the end.
        rig.settings.WriteInt("Option", "GridSw", 1);
        rig.settings.WriteInt("Option", "Mode", 0);
        rig.app->LoadSettings();
        QCOMPARE(app.Appearance().GridSwitch(), 1);
        QCOMPARE(app.Mode(), 0);
        app.Appearance().SetGridSwitch(0);
        rig.app->SaveSettings();
        QCOMPARE(rig.settings.GetInt("Option", "GridSw", -1), 0);
        QVERIFY(rig.settings.Contains("Option", "FontFaceName"));
    }

    void aFileOnTheCommandLineOpensAndAMissingOneEndsTheStart() {
        QTemporaryDir dir;
        const QString path = WriteLibrary(dir, QStringLiteral("Lead Sounds.tql"), 3);
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("link.tql"))));
        CAppOptions options = AppRig::Defaults();
        options.files << dir.filePath(QStringLiteral("link.tql"));
        {
            AppRig rig(options);
            QVERIFY(rig.started);
            // The link opened the file it points to.
            const auto documents = rig.app->DocTemplateById(IDR_LIBRARY)->GetDocuments();
            QCOMPARE(documents.size(), std::size_t(1));
            QCOMPARE(documents.front()->GetPathName(), path);
            QCOMPARE(qobject_cast<CFileDoc*>(documents.front())->Patches().GetSize(), std::size_t(3));
            // It is in front, although the Main window opened after it.
            QCOMPARE(rig.Frame().MDIGetActive()->GetActiveDocument(), documents.front());
            QVERIFY(rig.app->MainView());
        }
        options.files = QStringList{dir.filePath(QStringLiteral("absent.tql"))};
        AppRig failing(options, false);
        QVERIFY(!failing.Start());
        QCOMPARE(failing.box->texts, std::vector<std::string>{"This file could not be loaded."});
    }

    void captionsFollowTheActiveWindow() {
        AppRig rig;
        rig.Activate(&rig.MainDoc());
        QCOMPARE(rig.Frame().windowTitle(), QStringLiteral("TQ-550 Librarian - Main"));
        CFileDoc* library = rig.NewLibrary();
        QCOMPARE(rig.Frame().windowTitle(), QStringLiteral("TQ-550 Librarian - Untitled "));
        library->SetModifiedFlag(true);
        QCOMPARE(rig.Frame().windowTitle(), QStringLiteral("TQ-550 Librarian - Untitled *"));
        rig.Activate(&rig.MainDoc());
        rig.Frame().MDIGetActiveWindow()->showMaximized();
        rig.Frame().OnUpdateFrameTitle();
        QCOMPARE(rig.Frame().windowTitle(), QStringLiteral("TQ-550 Librarian"));
        // The Main window does not close.
        rig.Frame().MDIGetActiveWindow()->close();
        QApplication::processEvents();
        QVERIFY(rig.app->MainView());
    }

    // The accelerators and the tool bar follow a selection made after the last menu was opened; a range
    // selection of a large library is counted without visiting its rows.
    void acceleratorsFollowTheSelection() {
        AppRig rig;
        QVERIFY(QTest::qWaitForWindowActive(&rig.Frame()));
        rig.Activate(&rig.MainDoc());
        CPatchListCtrl& list = rig.MainView().List();
        list.setFocus();
        list.ClearAllSelection();
        rig.Frame().UpdateCommandActions();
        QAction* copy = rig.Frame().CommandAction(TQ::ID_EDIT_COPY);
        QAction* replace = rig.Frame().CommandAction(TQ::ID_EDIT_REPLACE);
        QVERIFY(copy && replace);
        QVERIFY(!copy->isEnabled());
        QVERIFY(!replace->isEnabled());
        rig.Context().Clipboard().Clear();

        list.SetItemSelected(3, true);
        list.SetItemSelected(4, true);
        QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(rig.Context().Clipboard().Patches().GetSize(), std::size_t(2));
        // After the command, once idle: Replace has something to paste.
        QTRY_VERIFY(replace->isEnabled());

        list.SelectAllItems();
        QCOMPARE(list.GetSelectedCount(), 200);
        list.SetItemSelected(10, false);
        QCOMPARE(list.GetSelectedCount(), 199);
        QCOMPARE(list.GetSelectedRows().size(), std::size_t(199));
        QVERIFY(!list.IsItemSelected(10));
    }

    void menusInBothLanguages() {
        {
            AppRig rig;
            rig.Activate(&rig.MainDoc());
            QCOMPARE(MenuTitles(rig.Frame().menuBar()),
                     (QStringList{"&File", "&Edit", "&View", "&MIDI", "&Setup", "&Window", "&Help"}));
            QAction* readAll = rig.Frame().CommandAction(ID_MIDI_READ_ALL);
            QCOMPARE(readAll->text(), QStringLiteral("&Read All Data"));
            QCOMPARE(readAll->statusTip(), QStringLiteral("Read all data"));
            QCOMPARE(readAll->toolTip(), QStringLiteral("Read All"));
            QCOMPARE(rig.Frame().CommandAction(ID_EDIT_INSERT)->shortcut(),
                     QKeySequence(QStringLiteral("Ctrl+V")));
            QCOMPARE(rig.Frame().CommandAction(ID_HELP_MANUAL)->shortcut(),
                     QKeySequence(QStringLiteral("F1")));
            QCOMPARE(rig.Frame().CommandAction(GP::ID_WINDOW_RESIZE_FULL_HEIGHT)->statusTip(),
                     QStringLiteral("Resize to Full Height"));
            QCOMPARE(rig.Frame().CommandAction(GP::ID_WINDOW_RESIZE_FULL_WIDTH)->statusTip(),
                     QStringLiteral("Resize to Full Width"));
            QCOMPARE(rig.Frame().CommandAction(GP::ID_WINDOW_SAVE_POSITION)->statusTip(),
                     QStringLiteral("Save Current Window Position"));
            CheckDialogButtons(rig);
            if (QTest::currentTestFailed()) return;
        }
        QTranslator japanese;
        QVERIFY(japanese.load(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/translations/tq550_ja.qm")));
        QCoreApplication::installTranslator(&japanese);
        CAppOptions options = AppRig::Defaults();
        options.language = 1;
        {
            AppRig rig(options);
            rig.Activate(&rig.MainDoc());
            QCOMPARE(MenuTitles(rig.Frame().menuBar()),
                     (QStringList{QString::fromUtf8("ファイル(&F)"), QString::fromUtf8("編集(&E)"),
                                  QString::fromUtf8("表示(&V)"), QStringLiteral("MIDI(&M)"),
                                  QString::fromUtf8("設定(&S)"), QString::fromUtf8("ウィンドウ(&W)"),
                                  QString::fromUtf8("ヘルプ(&H)")}));
            QCOMPARE(rig.Frame().CommandAction(ID_MIDI_READ_ALL)->text(),
                     QString::fromUtf8("全データを読み込み(&B)"));
            QCOMPARE(rig.Frame().CommandAction(ID_EDIT_INSERT)->text(), QString::fromUtf8("挿入(&V)"));
            QCOMPARE(rig.Frame().CommandAction(GP::ID_WINDOW_RESIZE_FULL_HEIGHT)->statusTip(),
                     QString::fromUtf8("高さを最大に変更"));
            QCOMPARE(rig.Frame().CommandAction(GP::ID_WINDOW_SAVE_POSITION)->statusTip(),
                     QString::fromUtf8("現在のウィンドウ位置を保存"));
            QCOMPARE(GetMessageCatalog().GetLanguage(), 1);
            // The transfers' captions follow too.
            QCOMPARE(CProgressBar::PatchCaption(AREA_USER_PATCH, 1),
                     QString::fromUtf8("ユーザー パッチ U01-2"));
            QCOMPARE(CProgressBar::PatchCaption(AREA_TEMPORARY_PATCH, 0),
                     QString::fromUtf8("テンポラリ パッチ"));
            // Dialog texts fit their buttons in Japanese too.
            CheckDialogButtons(rig);
        }
        QCoreApplication::removeTranslator(&japanese);
        GetMessageCatalog().SetLanguage(0);
    }

    void theLanguageFollowsTheLocale() {
        QCOMPARE(LanguageOfLocaleName(QStringLiteral("ja_JP.UTF-8")), 1);
        QCOMPARE(LanguageOfLocaleName(QStringLiteral("ja")), 1);
        QCOMPARE(LanguageOfLocaleName(QStringLiteral("en_US.UTF-8")), 0);
        QCOMPARE(LanguageOfLocaleName(QStringLiteral("de_DE")), 0);
        qputenv("LC_ALL", "ja_JP.UTF-8");
        qputenv("LANGUAGE", "");
        QCOMPARE(ChooseLanguage(), 1);
        qputenv("LANGUAGE", "en:ja");
        QCOMPARE(ChooseLanguage(), 0);
        qputenv("LC_ALL", "C");
        qputenv("LANGUAGE", "ja");
        QCOMPARE(ChooseLanguage(), 0);
        qunsetenv("LC_ALL");
        qunsetenv("LANGUAGE");
    }

    void confirmationsCanBeSwitchedOffPerKind() {
        CMemorySettingsStore settings;
        CMidiWarningDlg dialog(&settings);
        QVERIFY(dialog.NeedsConfirmation(CMidiWarningDlg::kWriteUser));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("message"))->text(),
                 QStringLiteral("Are you sure you want to overwrite the data in the TQ-550?"));
        auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("dontShowAgain"));
        QCOMPARE(box->text(), QStringLiteral("Don't show this dialog again."));
        QVERIFY(!box->isChecked());
        // Cancel with the box ticked stores nothing.
        box->setChecked(true);
        dialog.reject();
        QVERIFY(!settings.Contains("Option", "WriteUser"));
        // OK with the box ticked switches that kind off, and only that kind.
        QVERIFY(dialog.NeedsConfirmation(CMidiWarningDlg::kWriteUser));
        box->setChecked(true);
        dialog.accept();
        QCOMPARE(settings.GetInt("Option", "WriteUser", 0), 1);
        QVERIFY(!dialog.NeedsConfirmation(CMidiWarningDlg::kWriteUser));
        QVERIFY(dialog.NeedsConfirmation(CMidiWarningDlg::kReadUser));
        QVERIFY(CMidiWarningDlg::Confirm(CMidiWarningDlg::kWriteUser, &settings, nullptr));
        QCOMPARE(settings.GetInt("Option", "ReadUser", 0), 0);

        // Japanese texts.
        GetMessageCatalog().SetLanguage(1);
        QVERIFY(dialog.NeedsConfirmation(CMidiWarningDlg::kImportSmf));
        QCOMPARE(box->text(), QString::fromUtf8("次からこのダイアログを表示しない。"));
        GetMessageCatalog().SetLanguage(0);

        // A shown confirmation answered with Cancel stops the operation.
        ModalAnswer cancel([](QDialog& shown) { shown.reject(); });
        QVERIFY(!CMidiWarningDlg::Confirm(CMidiWarningDlg::kReadTemporary, &settings, nullptr));
        QVERIFY(cancel.seen);
    }

    void reportedMessagesAppearTogetherWhenTheProgramIsIdle() {
        AppRig rig;
        QTemporaryDir dir;
        QFile midi(dir.filePath(QStringLiteral("song.mid")));
        QVERIFY(midi.open(QIODevice::WriteOnly));
        midi.write("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
        midi.close();
        // Opening a file that is not a library: refused, no window, the message once idle.
        const auto before = rig.app->DocManager()->GetDocuments().size();
        QVERIFY(!rig.app->OpenDocumentFile(midi.fileName()));
        QCOMPARE(rig.app->DocManager()->GetDocuments().size(), before);
        QVERIFY(rig.box->texts.empty());
        QTRY_COMPARE(rig.box->texts.size(), std::size_t(1));
        QCOMPARE(rig.box->texts[0], std::string("Cannot read files of this type."));
        // An unreadable file.
        QVERIFY(!rig.app->OpenDocumentFile(dir.filePath(QStringLiteral("absent.tql"))));
        QTRY_COMPARE(rig.box->texts.size(), std::size_t(2));
        QCOMPARE(rig.box->texts[1], std::string("This file could not be loaded."));
        // Opening an open file activates its window instead of opening it twice.
        const QString path = WriteLibrary(dir, QStringLiteral("one.tql"), 1);
        GP::CDocument* first = rig.app->OpenDocumentFile(path);
        QVERIFY(first);
        rig.Activate(&rig.MainDoc());
        QCOMPARE(rig.app->OpenDocumentFile(path), first);
        QCOMPARE(rig.Frame().MDIGetActive()->GetActiveDocument(), first);
    }

    void filesDroppedOnTheFrameOpenAsLibraries() {
        AppRig rig;
        QTemporaryDir dir;
        const QString first = WriteLibrary(dir, QStringLiteral("first.tql"), 1);
        const QString second = WriteLibrary(dir, QStringLiteral("second.tql"), 2);
        QFile other(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("not a library");
        other.close();
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(other.fileName())});
        // As a drag from the file manager arrives: entering, then the drop.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.Frame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.Frame(), &drop);
        const auto libraries = rig.app->DocTemplateById(IDR_LIBRARY)->GetDocuments();
        QCOMPARE(libraries.size(), std::size_t(2));
        QTRY_COMPARE(rig.box->texts, std::vector<std::string>{"Cannot read files of this type."});
    }

    void noticesReplaceEachOtherAndHideThemselves() {
        UL::CTimerTextOutWindow notices;
        notices.Write("MIDI devices are disconnected.");
        UL::CTimerTextOutWindow::CWindowX* window = notices.Window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->Text(), QStringLiteral("MIDI devices are disconnected."));
        QTest::qWait(1000);
        notices.Write("MIDI devices are reconnected.");
        QCOMPARE(window->Text(), QStringLiteral("MIDI devices are reconnected."));
        // The second notice has its own full display time from its arrival.
        QVERIFY(window->RemainingTime() > 2500);
        QTest::qWait(2200);
        QVERIFY(window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
        // Shown as one line: a line feed does not make the window taller.
        notices.Write("one\ntwo");
        const int oneLine = window->height();
        notices.Write("one two");
        QCOMPARE(window->height(), oneLine);
        QVERIFY(!window->isActiveWindow());
    }

    void aSecondCopyHandsItsFileToTheFirst() {
        const QString name = QStringLiteral("tq550-test-%1").arg(QCoreApplication::applicationPid());
        CSingleInstance first(name);
        QCOMPARE(first.Start({}), CSingleInstance::StartResult::Listening);
        QStringList received;
        bool activated = false;
        connect(&first, &CSingleInstance::requested, this, [&](const QStringList& files) {
            if (files.isEmpty()) activated = true;
            received << files;
        });
        // The second copy talks to the first through its own event loop: run it on another thread.
        bool secondEnds = false;
        std::thread second([&] {
            CSingleInstance copy(name);
            secondEnds = copy.Start({QStringLiteral("/music/patches.tql")}) ==
                         CSingleInstance::StartResult::HandedOver;
        });
        QTRY_COMPARE(received, QStringList{QStringLiteral("/music/patches.tql")});
        second.join();
        QVERIFY(secondEnds);
        std::thread third([&] { CSingleInstance(name).Start({}); });
        QTRY_VERIFY(activated);
        third.join();
        first.Stop();
        // A socket left by a copy that crashed (nobody answers on it) does not stop the next start.
        QFile stale(QDir::temp().filePath(name));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        CSingleInstance next(name);
        QCOMPARE(next.Start({}), CSingleInstance::StartResult::Listening);
        QVERIFY(next.IsListening());
        next.Stop();
        QVERIFY(!QFile::exists(QDir::temp().filePath(name)));
    }
};

QTEST_MAIN(AppTest)
#include "app_test.moc"
