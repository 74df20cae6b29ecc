#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <random>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/view.h"
#include "gp/mdi/mdi_child_wnd_ex.h"
#include "gp/mdi/mdi_document.h"
#include "gp/mdi/mdi_frame_wnd_ex.h"
#include "gp/mdi/window_list_dlg.h"
#include "gp/util/path_util.h"
#include "settings/memory_settings_store.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {

constexpr int kDemoType = 4107;

// A document that "saves" by recording the path, and answers the save prompt from a script.
class CDemoDocument : public GP::CMDIDocument {
  public:
    bool OnOpenDocument(const QString& path) override {
        if (path.endsWith(QStringLiteral(".bad"))) return false;
        SetModifiedFlag(false);
        return true;
    }
    bool OnSaveDocument(const QString& path) override {
        saved.push_back(path);
        SetModifiedFlag(false);
        return true;
    }
    SaveAnswer AskSaveChanges(const QString& prompt) override {
        prompts.push_back(prompt);
        return answer;
    }

    std::vector<QString> saved;
    std::vector<QString> prompts;
    SaveAnswer answer = SAVE_CANCEL;
};

// A view that records the hints it is updated with.
class CHintView : public GP::CView {
  public:
    void OnUpdate(GP::CView* sender, int hint, QObject*) override { hints.emplace_back(sender, hint); }
    std::vector<std::pair<GP::CView*, int>> hints;
};

class CDemoFrame : public GP::CMDIChildWndEx {
  public:
    using CMDIChildWndEx::CMDIChildWndEx;
    static inline bool storedPositions = false;

  protected:
    bool UsesStoredPosition() const override { return storedPositions; }
};

// A document manager whose file dialog answers from a script.
class CDemoDocManager : public GP::CDocManager {
  public:
    using CDocManager::CDocManager;
    bool DoPromptFileName(QString& fileName, const QString&, bool, GP::CDocTemplate*) override {
        proposals.push_back(fileName);
        if (answer.isEmpty()) return false;
        fileName = answer;
        return true;
    }
    QString answer;
    std::vector<QString> proposals;
};

// Keeps what the message-box sink was asked to show.
class CRecordingSink : public CKivTextOut {
  public:
    int Ask(int, const std::string& text, int) override {
        texts.push_back(text);
        return ANSWER_OK;
    }
    std::vector<std::string> texts;
};

// A frame, a document manager and one template of CDemoDocument.
struct CDemoApp {
    CMemorySettingsStore settings;
    CDemoDocManager manager{&settings};
    GP::CMDIFrameWndEx frame{&settings};
    GP::CDocTemplate* docTemplate = nullptr;

    CDemoApp() {
        manager.SetMainFrame(&frame);
        docTemplate = manager.AddDocTemplate(GP::MakeMultiDocTemplate<CDemoDocument, CDemoFrame, CHintView>(
            kDemoType, QStringLiteral("\nUntitled\nDemo\nDemo Files\n*.demo\nDemo.Document\nDemo Document")));
        frame.show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(&frame);
    }
    CDemoDocument* New() { return static_cast<CDemoDocument*>(docTemplate->OpenDocumentFile(QString())); }
};

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString Settings(const CMemorySettingsStore& store, const char* section, const char* name) {
    return QString::fromStdString(store.GetString(section, name, "<none>"));
}

}  // namespace

class MdiTest : public QObject {
    Q_OBJECT

  private slots:
    void framePlacementDefaultsTo800x600AtOrigin() {
        CMemorySettingsStore settings;
        {
            GP::CMDIFrameWndEx frame(&settings);
            QCOMPARE(frame.NormalPlacement(), QRect(0, 0, 800, 600));
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QCOMPARE(frame.size(), QSize(800, 600));
            QCOMPARE(frame.pos(), QPoint(0, 0));
            QVERIFY(!frame.isMaximized());
            frame.close();
        }
        QCOMPARE(Settings(settings, "Window", "Position"), QStringLiteral("0,0,800,600"));
        QCOMPARE(settings.GetInt("Window", "Maximized", -1), 0);
        QVERIFY(settings.Contains("ControlBar", "BarState"));
    }

    void framePlacementIsRestoredAndMaximised() {
        CMemorySettingsStore settings;
        settings.WriteString("Window", "Position", "10,20,650,500");
        settings.WriteInt("Window", "Maximized", 1);
        {
            GP::CMDIFrameWndEx frame(&settings);
            QCOMPARE(frame.NormalPlacement(), QRect(10, 20, 640, 480));
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QVERIFY(frame.isMaximized());
            frame.close();
        }
        QCOMPARE(Settings(settings, "Window", "Position"), QStringLiteral("10,20,650,500"));
        QCOMPARE(settings.GetInt("Window", "Maximized", -1), 1);

        // Text that is not four numbers falls back to the default.
        settings.WriteString("Window", "Position", "10,20,x,500");
        GP::CMDIFrameWndEx broken(&settings);
        QCOMPARE(broken.NormalPlacement(), QRect(0, 0, 800, 600));
    }

    void windowSelectionListsFirst36Of40ByTitle() {
        GP::CMDIFrameWndEx frame(nullptr);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        std::vector<int> order(40);
        for (int i = 0; i < 40; ++i)
            order[static_cast<std::size_t>(i)] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(7));
        for (int i : order) {
            auto* child = new GP::CMDIChildWndEx(kDemoType);
            child->setWindowTitle(QStringLiteral("Win %1").arg(i, 2, 10, QLatin1Char('0')));
            frame.MdiArea()->addSubWindow(child);
            child->show();
        }
        QMenu menu;
        frame.BuildWindowSelectionMenu(menu);
        const QList<QAction*> actions = menu.actions();
        QCOMPARE(actions.size(), 36);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("&1\tWin 00"));
        QCOMPARE(actions.at(8)->text(), QStringLiteral("&9\tWin 08"));
        QCOMPARE(actions.at(9)->text(), QStringLiteral("&A\tWin 09"));
        QCOMPARE(actions.at(34)->text(), QStringLiteral("&Z\tWin 34"));
        QCOMPARE(actions.at(35)->text(), QStringLiteral("\tWin 35"));
        QCOMPARE(actions.at(35)->data().toInt(), int(GP::ID_WINDOW_SELECT_LAST));
        // The active child is checked; choosing an item brings that child up.
        const QMdiSubWindow* active = frame.MDIGetActiveWindow();
        for (QAction* action : actions)
            QCOMPARE(action->isChecked(), action->text().endsWith(active->windowTitle()));
        QVERIFY(frame.ExecuteCommand(GP::ID_WINDOW_SELECT_FIRST + 12));
        QCOMPARE(frame.MDIGetActiveWindow()->windowTitle(), QStringLiteral("Win 12"));
        QVERIFY(!frame.SelectWindow(40));
    }

    void windowMenuGetsTheSelectionSubMenu() {
        GP::CMDIFrameWndEx frame(nullptr);
        for (const char* title : {"Beta", "Alpha"}) {
            auto* child = new GP::CMDIChildWndEx(kDemoType);
            child->setWindowTitle(QString::fromLatin1(title));
            frame.MdiArea()->addSubWindow(child);
            child->show();
        }
        QMenu windowMenu;
        windowMenu.addAction(QStringLiteral("Move to &Top\tCtrl+G"));
        windowMenu.addAction(
            frame.CreateCommandAction(GP::ID_WINDOW_CASCADE, QStringLiteral("&Cascade Windows")));
        windowMenu.addAction(
            frame.CreateCommandAction(GP::ID_WINDOW_ARRANGE, QStringLiteral("&Arrange Icons")));
        windowMenu.addAction(QStringLiteral("1 Old entry"));
        frame.SetWindowMenu(&windowMenu);
        frame.SetWindowSelectionMenuPos(0);
        frame.RebuildWindowMenu();
        frame.RebuildWindowMenu();
        const QList<QAction*> items = windowMenu.actions();
        QCOMPARE(items.size(), 3);
        QVERIFY(items.at(0)->menu());
        QCOMPARE(items.at(0)->text(), QStringLiteral("Move to &Top\tCtrl+G"));
        QCOMPARE(items.at(2)->data().toInt(), int(GP::ID_WINDOW_ARRANGE));
        const QList<QAction*> windows = items.at(0)->menu()->actions();
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows.at(0)->text(), QStringLiteral("&1\tAlpha"));
        QCOMPARE(windows.at(1)->text(), QStringLiteral("&2\tBeta"));
    }

    void alwaysOnTopChildStaysAboveActivatedSibling() {
        GP::CMDIFrameWndEx frame(nullptr);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        std::vector<GP::CMDIChildWndEx*> children;
        for (int i = 0; i < 3; ++i) {
            auto* child = new GP::CMDIChildWndEx(kDemoType);
            child->setWindowTitle(QStringLiteral("C%1").arg(i));
            child->resize(200, 150);
            frame.MdiArea()->addSubWindow(child);
            child->show();
            children.push_back(child);
        }
        frame.MDIActivate(children[0]);
        QVERIFY(frame.ExecuteCommand(GP::ID_WINDOW_ALWAYS_ON_TOP));
        QVERIFY(children[0]->IsAlwaysOnTop());
        QVERIFY(frame.QueryCommand(GP::ID_WINDOW_ALWAYS_ON_TOP).checked);
        auto top = [&] { return frame.MdiArea()->subWindowList(QMdiArea::StackingOrder).last(); };
        QCOMPARE(top(), children[0]);

        frame.MDIActivate(children[1]);
        QCOMPARE(frame.MDIGetActiveWindow(), children[1]);
        QCOMPARE(top(), children[0]);
        children[2]->raise();
        QCOMPARE(top(), children[0]);
        const auto order = frame.MdiArea()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(order.at(order.size() - 2), children[2]);

        children[0]->SetAlwaysOnTop(false);
        frame.MDIActivate(children[1]);
        QCOMPARE(top(), children[1]);
    }

    void childCommandsResizeAndRememberPosition() {
        CDemoApp app;
        CDemoDocument* document = app.New();
        QVERIFY(document);
        auto* child = static_cast<CDemoFrame*>(document->GetFrames().front());
        child->setGeometry(30, 40, 200, 100);
        const QRect full = child->FullClientRect();
        QVERIFY(app.frame.ExecuteCommand(GP::ID_WINDOW_RESIZE_FULL_WIDTH));
        QCOMPARE(child->geometry(), QRect(full.left(), 40, full.width(), 100));
        child->setGeometry(30, 40, 200, 100);
        QVERIFY(app.frame.ExecuteCommand(GP::ID_WINDOW_RESIZE_FULL_HEIGHT));
        QCOMPARE(child->geometry(), QRect(30, full.top(), 200, full.height()));
        QVERIFY(app.frame.ExecuteCommand(GP::ID_WINDOW_RESIZE_FULL));
        QCOMPARE(child->geometry(), full);
        QVERIFY(full.height() < app.frame.MdiArea()->viewport()->height());  // a row is left for icons

        child->setGeometry(25, 35, 300, 180);
        QVERIFY(app.frame.ExecuteCommand(GP::ID_WINDOW_SAVE_POSITION));
        QCOMPARE(Settings(app.settings, "Window", "Position4107"), QStringLiteral("25,35,300,180"));
        child->showMaximized();
        QVERIFY(!app.frame.QueryCommand(GP::ID_WINDOW_RESIZE_FULL).enabled);
        QVERIFY(app.frame.ExecuteCommand(GP::ID_WINDOW_SAVE_POSITION));
        QCOMPARE(Settings(app.settings, "Window", "Position4107"), QStringLiteral("25,35,300,180"));
        child->showNormal();

        CDemoFrame::storedPositions = true;
        CDemoDocument* second = app.New();
        CDemoFrame::storedPositions = false;
        QCOMPARE(second->GetFrames().front()->geometry(), QRect(25, 35, 300, 180));
    }

    void saveAsRefusesAPathAnotherDocumentUses() {
        auto sink = std::make_shared<CRecordingSink>();
        TextOutHub hub;
        hub.SetTextOut(TextOutHub::kMessageBoxSlot, sink);
        QTemporaryDir dir;
        CDemoApp app;
        app.manager.SetTextOut(&hub);
        CDemoDocument* first = app.New();
        CDemoDocument* second = app.New();
        first->SetPathName(dir.filePath(QStringLiteral("One.demo")), false);

        app.manager.answer = dir.filePath(QStringLiteral("one.DEMO"));
        QVERIFY(!second->DoSave(QString()));
        QVERIFY(second->saved.empty());
        QVERIFY(second->GetPathName().isEmpty());
        QCOMPARE(sink->texts.size(), std::size_t(1));
        QCOMPARE(sink->texts[0], GetMessageCatalog().Text(MSG_FILE_IN_USE));
        QCOMPARE(sink->texts[0], std::string("Cannot overwrite this file because it is already in use."));
        // The proposal for a new document: its title with the template's first extension.
        QCOMPARE(app.manager.proposals.back(), QStringLiteral("Untitled.demo"));

        app.manager.answer = dir.filePath(QStringLiteral("Two.demo"));
        QVERIFY(second->DoSave(QString()));
        QCOMPARE(second->saved, std::vector<QString>{app.manager.answer});
        QCOMPARE(second->GetPathName(), app.manager.answer);
        QCOMPARE(second->GetTitle(), QStringLiteral("Two.demo"));
    }

    void openingAnOpenFileActivatesItsWindow() {
        QTemporaryDir dir;
        CDemoApp app;
        const QString path = dir.filePath(QStringLiteral("a.demo"));
        GP::CDocument* document = app.manager.OpenDocumentFile(path);
        QVERIFY(document);
        app.New();
        QVERIFY(app.frame.MDIGetActive()->GetActiveDocument() != document);
        QCOMPARE(app.manager.OpenDocumentFile(dir.path() + QStringLiteral("/./a.demo")), document);
        QCOMPARE(app.frame.MDIGetActive()->GetActiveDocument(), document);
        QCOMPARE(app.docTemplate->GetDocuments().size(), std::size_t(2));
        // A file the document cannot read leaves no window behind.
        const auto children = app.frame.GetChildren().size();
        QVERIFY(!app.manager.OpenDocumentFile(dir.filePath(QStringLiteral("x.bad"))));
        FlushDeletes();
        QCOMPARE(app.frame.GetChildren().size(), children);
        QCOMPARE(app.docTemplate->GetDocuments().size(), std::size_t(2));
        QCOMPARE(app.manager.RecentFiles().Files(), std::vector<QString>{GP::NormalizePath(path)});
    }

    void updateAllViewsReachesEveryOtherView() {
        CDemoApp app;
        CDemoDocument* document = app.New();
        GP::CMDIChildWnd* second = app.docTemplate->CreateNewFrame(document);
        app.docTemplate->InitialUpdateFrame(second, document);
        QCOMPARE(document->GetViews().size(), std::size_t(2));
        auto* first = static_cast<CHintView*>(document->GetViews()[0]);
        auto* other = static_cast<CHintView*>(document->GetViews()[1]);
        QCOMPARE(first->hints.size(), std::size_t(1));  // the initial update: no sender, hint 0
        QCOMPARE(first->hints[0], std::make_pair(static_cast<GP::CView*>(nullptr), 0));
        document->UpdateAllViews(first, 2);
        QCOMPARE(first->hints.size(), std::size_t(1));
        QCOMPARE(other->hints.back(), std::make_pair(static_cast<GP::CView*>(first), 2));
        // With two windows, closing one does not ask and keeps the document.
        document->SetModifiedFlag(true);
        QVERIFY(second->close());
        QVERIFY(document->prompts.empty());
        QCOMPARE(document->GetViews().size(), std::size_t(1));
        QCOMPARE(app.docTemplate->GetDocuments().size(), std::size_t(1));
    }

    void captionAndCommandRouting() {
        CDemoApp app;
        app.frame.SetAppTitle(QStringLiteral("Librarian"));
        QCOMPARE(app.frame.windowTitle(), QStringLiteral("Librarian"));
        CDemoDocument* document = app.New();
        GP::CMDIChildWnd* child = document->GetFrames().front();
        QCOMPARE(app.frame.windowTitle(), QStringLiteral("Librarian - Untitled"));
        child->showMaximized();
        QCOMPARE(app.frame.windowTitle(), QStringLiteral("Librarian"));
        child->showNormal();
        QCOMPARE(app.frame.windowTitle(), QStringLiteral("Librarian - Untitled"));

        // Nobody handles 32791: its action is disabled and running it does nothing.
        QAction* unhandled = app.frame.CreateCommandAction(32791, QStringLiteral("Nothing"));
        QAction* onTop = app.frame.CreateCommandAction(GP::ID_WINDOW_ALWAYS_ON_TOP, QStringLiteral("On top"));
        QAction* save = app.frame.CreateCommandAction(GP::ID_FILE_SAVE, QStringLiteral("Save"));
        app.frame.UpdateCommandActions();
        QVERIFY(!unhandled->isEnabled());
        QVERIFY(!app.frame.ExecuteCommand(32791));
        QVERIFY(onTop->isEnabled() && onTop->isCheckable() && !onTop->isChecked());
        onTop->trigger();
        app.frame.UpdateCommandActions();
        QVERIFY(onTop->isChecked());
        QVERIFY(save->isEnabled());  // the active document answers Save

        // Save of a document without a path asks for one (Save As).
        app.manager.answer = QString();
        QVERIFY(app.frame.ExecuteCommand(GP::ID_FILE_SAVE));
        QCOMPARE(app.manager.proposals.size(), std::size_t(1));
        QVERIFY(document->saved.empty());
    }

    void fileNewOffersOnlyTemplatesWithANewName() {
        CDemoApp app;
        app.manager.AddDocTemplate(GP::MakeMultiDocTemplate<CDemoDocument, CDemoFrame, CHintView>(
            4097, QStringLiteral("\n\n\n\n\n\n")));
        GP::CDocument* document = app.manager.OnFileNew();
        QVERIFY(document);
        QCOMPARE(document->GetDocTemplate(), app.docTemplate);
        QCOMPARE(document->GetTitle(), QStringLiteral("Untitled"));
        QCOMPARE(app.docTemplate->FilterExtensions(), QStringList{QStringLiteral(".demo")});
        QCOMPARE(app.docTemplate->GetDocString(GP::CDocTemplate::regFileTypeName),
                 QStringLiteral("Demo Document"));
        QCOMPARE(app.docTemplate->MatchDocType(QStringLiteral("/x/y.DEMO")), 2);
        QCOMPARE(app.docTemplate->MatchDocType(QStringLiteral("/x/y.mid")), 0);
        QCOMPARE(app.manager.GetTemplates().back()->MatchDocType(QStringLiteral("/x/y.mid")), 1);
    }

    void tilingAndUnusableStoredPositions() {
        CDemoApp app;
        std::vector<GP::CMDIChildWnd*> frames;
        for (int i = 0; i < 3; ++i)
            frames.push_back(app.New()->GetFrames().front());
        frames[2]->showMinimized();
        app.frame.MDITile(true);
        const QRect area = app.frame.MdiArea()->viewport()->rect();
        QCOMPARE(frames[0]->geometry().width(), area.width());
        QCOMPARE(frames[0]->geometry().top(), 0);
        QCOMPARE(frames[1]->geometry().top(), frames[0]->geometry().bottom() + 1);
        QVERIFY(frames[1]->geometry().bottom() < frames[2]->geometry().top());  // the icon row stays free
        app.frame.MDITile(false);
        QCOMPARE(frames[0]->geometry().height(), frames[1]->geometry().height());
        QCOMPARE(frames[1]->geometry().left(), frames[0]->geometry().right() + 1);

        auto* child = static_cast<GP::CMDIChildWndEx*>(frames[0]);
        for (const char* text : {"1,2,3", "1,2,-5,10", "a,b,c,d", "1,2,99999999,10", ""}) {
            app.settings.WriteString("Window", "Position4107", text);
            QVERIFY(!child->LoadStoredPosition());
        }
    }

    void recentFileListKeepsEightNewestFirst() {
        CMemorySettingsStore settings;
        GP::CRecentFileList list;
        for (int i = 1; i <= 9; ++i)
            list.Add(QStringLiteral("/tmp/f%1.demo").arg(i));
        list.Add(QStringLiteral("/tmp/f5.demo"));
        QCOMPARE(list.Count(), 8);
        QCOMPARE(list.File(0), QStringLiteral("/tmp/f5.demo"));
        QCOMPARE(list.File(1), QStringLiteral("/tmp/f9.demo"));
        QCOMPARE(list.File(7), QStringLiteral("/tmp/f2.demo"));
        QCOMPARE(list.MenuText(0), QStringLiteral("&1 f5.demo"));
        settings.WriteString("Recent File List", "File8", "stale");
        list.Remove(7);
        list.WriteList(settings);
        QCOMPARE(Settings(settings, "Recent File List", "File1"), QStringLiteral("/tmp/f5.demo"));
        QVERIFY(!settings.Contains("Recent File List", "File8"));
        GP::CRecentFileList reread;
        reread.ReadList(settings);
        QCOMPARE(reread.Files(), list.Files());
    }

    void closingAModifiedDocumentAsksToSave() {
        CDemoApp app;
        CDemoDocument* document = app.New();
        document->SetModifiedFlag(true);
        GP::CMDIChildWnd* child = document->GetFrames().front();
        document->answer = GP::CDocument::SAVE_CANCEL;
        QVERIFY(!child->close());
        QCOMPARE(document->prompts, std::vector<QString>{QStringLiteral("Save changes to Untitled?")});
        QCOMPARE(app.docTemplate->GetDocuments().size(), std::size_t(1));

        document->answer = GP::CDocument::SAVE_NO;
        QVERIFY(child->close());
        QVERIFY(app.docTemplate->GetDocuments().empty());
        FlushDeletes();
        QVERIFY(app.frame.GetChildren().empty());
    }

    void windowListShowsAndActsOnChildren() {
        CMemorySettingsStore settings;
        GP::CMDIFrameWndEx frame(&settings);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        std::vector<GP::CMDIChildWndEx*> children;
        for (const char* title : {"Gamma", "Alpha", "Beta"}) {
            auto* child = new GP::CMDIChildWndEx(kDemoType);
            child->setWindowTitle(QString::fromLatin1(title));
            frame.MdiArea()->addSubWindow(child);
            child->show();
            children.push_back(child);
        }
        children[2]->showMinimized();
        frame.MDIActivate(children[0]);
        GP::CWindowListDlg dialog(frame, &settings);
        QCOMPARE(dialog.Lines(), (QStringList{QStringLiteral("*\tAlpha"), QStringLiteral("\tBeta"),
                                              QStringLiteral("*\tGamma")}));
        QCOMPARE(dialog.List()->selectedItems().size(), 1);
        QCOMPARE(dialog.List()->selectedItems().front()->text(), QStringLiteral("*\tGamma"));

        // Leave the selected windows (Beta and Gamma), minimising the others.
        dialog.List()->item(1)->setSelected(true);
        static_cast<QPushButton*>(dialog.GetDlgItem(GP::CWindowListDlg::IDC_LEAVE))->click();
        QVERIFY(children[1]->isMinimized());
        QVERIFY(!children[2]->isMinimized());
        QCOMPARE(dialog.Lines().at(0), QStringLiteral("\tAlpha"));
        QCOMPARE(dialog.List()->selectedItems().size(), 2);

        static_cast<QPushButton*>(dialog.GetDlgItem(GP::CWindowListDlg::IDC_CLOSE))->click();
        FlushDeletes();
        QCOMPARE(dialog.Lines(), QStringList{QStringLiteral("\tAlpha")});
        dialog.accept();
        QVERIFY(settings.Contains("Window", "WindowListDialogSize"));
    }

    void windowListOpensRestoredWindowsAndOffersTheFramesHelp() {
        CMemorySettingsStore settings;
        // A frame that records the commands it runs.
        struct CHelpFrame : GP::CMDIFrameWndEx {
            using CMDIFrameWndEx::CMDIFrameWndEx;
            bool OnCommand(int id) override {
                commands.push_back(id);
                return true;
            }
            bool OnUpdateCommand(int, GP::CCmdUI& ui) override {
                ui.enabled = true;
                return true;
            }
            std::vector<int> commands;
        } frame(&settings);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* minimised = new GP::CMDIChildWndEx(kDemoType);
        auto* maximised = new GP::CMDIChildWndEx(kDemoType);
        for (auto* child : {minimised, maximised}) {
            frame.MdiArea()->addSubWindow(child);
            child->show();
        }
        minimised->setWindowTitle(QStringLiteral("A"));
        maximised->setWindowTitle(QStringLiteral("B"));
        minimised->showMinimized();
        {
            GP::CWindowListDlg withoutHelp(frame, &settings);
            QVERIFY(!withoutHelp.GetDlgItem(GP::CWindowListDlg::IDC_HELP)->isEnabled());
        }
        frame.SetHelpCommand(32858);
        GP::CWindowListDlg dialog(frame, &settings);
        static_cast<QPushButton*>(dialog.GetDlgItem(GP::CWindowListDlg::IDC_HELP))->click();
        QCOMPARE(frame.commands, std::vector<int>{32858});

        maximised->showMaximized();
        dialog.List()->selectAll();
        static_cast<QPushButton*>(dialog.GetDlgItem(GP::CWindowListDlg::IDC_OPEN))->click();
        QVERIFY(!minimised->isMinimized() && !minimised->isMaximized());
        QVERIFY(!maximised->isMinimized() && !maximised->isMaximized());
        dialog.reject();

        // The icons of minimised windows follow the frame's new size.
        minimised->showMinimized();
        frame.resize(frame.width() + 120, frame.height() + 90);
        QApplication::processEvents();
        QTRY_COMPARE(minimised->geometry().bottom(), frame.MdiArea()->viewport()->height() - 1);
    }
};

QTEST_MAIN(MdiTest)
#include "mdi_test.moc"
