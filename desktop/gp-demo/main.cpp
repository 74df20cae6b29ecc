// gp-demo: try the GP toolkit by hand. File New opens demo lists (text, list and number columns);
// the Window menu offers the window-selection sub-menu, the child commands and the window list.

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>

#include "demo_document.h"
#include "demo_view.h"
#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/document.h"
#include "gp/mdi/mdi_child_wnd_ex.h"
#include "gp/mdi/mdi_frame_wnd_ex.h"
#include "gp/util/command_ids.h"
#include "settings/memory_settings_store.h"

namespace {

constexpr int kDemoType = 4107;

// A child frame titled with its document's title and "*" while modified.
class CDemoFrame : public GP::CMDIChildWndEx {
  public:
    using CMDIChildWndEx::CMDIChildWndEx;

    void OnUpdateFrameTitle() override {
        CMDIChildWndEx::OnUpdateFrameTitle();
        if (GP::CDocument* document = GetActiveDocument())
            setWindowTitle(document->GetTitle() +
                           (document->IsModified() ? QStringLiteral(" *") : QString()));
    }

  protected:
    bool UsesStoredPosition() const override { return true; }
};

class CDemoMainFrame : public GP::CMDIFrameWndEx {
  public:
    explicit CDemoMainFrame(ISettingsStore* settings) : CMDIFrameWndEx(settings) {
        QMenu* file = menuBar()->addMenu(tr("&File"));
        file->addAction(CreateCommandAction(GP::ID_FILE_NEW, tr("&New"), QKeySequence::New));
        file->addAction(CreateCommandAction(GP::ID_FILE_OPEN, tr("&Open..."), QKeySequence::Open));
        file->addAction(CreateCommandAction(GP::ID_FILE_CLOSE, tr("&Close")));
        file->addAction(CreateCommandAction(GP::ID_FILE_SAVE, tr("&Save"), QKeySequence::Save));
        file->addAction(CreateCommandAction(GP::ID_FILE_SAVE_AS, tr("Save &As...")));
        QMenu* recent = file->addMenu(tr("Recent &Files"));
        connect(recent, &QMenu::aboutToShow, this,
                [this, recent] { GetDocManager()->FillRecentFileMenu(recent); });
        file->addSeparator();
        file->addAction(CreateCommandAction(GP::ID_APP_EXIT, tr("E&xit")));
        connect(file, &QMenu::aboutToShow, this, &CDemoMainFrame::UpdateCommandActions);

        QMenu* window = menuBar()->addMenu(tr("&Window"));
        window->addAction(tr("Move to &Top\tCtrl+G"));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_RESIZE_FULL, tr("Resize to &Full")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_RESIZE_FULL_HEIGHT, tr("Maximize &Height")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_RESIZE_FULL_WIDTH, tr("Maximize &Width")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_SAVE_POSITION, tr("&Save Current Position")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_ALWAYS_ON_TOP, tr("Always at the T&op")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_LIST, tr("Window &List...")));
        window->addSeparator();
        window->addAction(CreateCommandAction(GP::ID_WINDOW_CASCADE, tr("&Cascade Windows")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_TILE_HORZ, tr("Tile Windows H&orizontally")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_TILE_VERT, tr("Tile Windows &Vertically")));
        window->addAction(CreateCommandAction(GP::ID_WINDOW_ARRANGE, tr("&Arrange Icons")));
        SetWindowMenu(window);
        SetWindowSelectionMenuPos(0);
        addAction(
            CreateCommandAction(GP::ID_WINDOW_POPUP_MENU, tr("Window Pop-up"), QKeySequence(tr("Ctrl+G"))));

        statusBar()->showMessage(tr("Settings of this demo are kept in memory only."));
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gp-demo"));
    QApplication::setApplicationDisplayName(QStringLiteral("GP Demo"));

    CMemorySettingsStore settings;
    GP::CDocManager manager(&settings);
    manager.AddDocTemplate(GP::MakeMultiDocTemplate<CDemoDocument, CDemoFrame, CDemoView>(
        kDemoType, QStringLiteral("\nUntitled\nDemo\nDemo Lists\n*.gpdemo\nGPDemo.Document\nGP Demo List")));
    CDemoMainFrame frame(&settings);
    manager.SetMainFrame(&frame);
    frame.show();
    manager.OnFileNew();
    manager.OnFileNew();
    frame.UpdateCommandActions();
    return app.exec();
}
