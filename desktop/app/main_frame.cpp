#include "app/main_frame.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

#include "gp/docview/doc_manager.h"
#include "gp/docview/recent_file_list.h"
#include "gp/util/settings_catalog.h"
#include "settings/settings_store.h"
#include "ui/command_ids.h"

using namespace TQ;

// One command of the menus and the tool bar: its menu text, its shortcut and its status prompt with the
// tool tip after a line break (all translated in the context "CMainFrame").
struct CMainFrame::Command {
    int id;
    const char* text;
    const char* shortcut;
    const char* prompt;
    const char* icon;
};

namespace {

QString Translate(const char* text) {
    return QCoreApplication::translate("CMainFrame", text);
}

// The keys that other programs of this family bind but this one leaves without effect.
constexpr const char* kInertKeys[] = {"Ctrl+P", "Ctrl+I", "Ctrl+K", "Ctrl+Y",
                                      "Ctrl+T", "Ctrl+W", "Ctrl+B", "Ctrl+Q"};

}  // namespace

namespace {

const CMainFrame::Command kCommands[] = {
    {GP::ID_FILE_NEW, QT_TRANSLATE_NOOP("CMainFrame", "&New"), "Ctrl+N",
     QT_TRANSLATE_NOOP("CMainFrame", "Create a new library\nNew"), "new"},
    {ID_FILE_DUPLICATE, QT_TRANSLATE_NOOP("CMainFrame", "&Duplicate"), "Ctrl+D",
     QT_TRANSLATE_NOOP("CMainFrame", "Duplicate data\nDuplicate"), nullptr},
    {GP::ID_FILE_OPEN, QT_TRANSLATE_NOOP("CMainFrame", "&Open..."), "Ctrl+O",
     QT_TRANSLATE_NOOP("CMainFrame", "Open an existing library\nOpen"), "open"},
    {GP::ID_FILE_CLOSE, QT_TRANSLATE_NOOP("CMainFrame", "&Close"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Close the active library\nClose"), nullptr},
    {GP::ID_FILE_SAVE, QT_TRANSLATE_NOOP("CMainFrame", "&Save"), "Ctrl+S",
     QT_TRANSLATE_NOOP("CMainFrame", "Save the active library\nSave"), "save"},
    {GP::ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CMainFrame", "Save &As..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Save the active library with a new name\nSave As"), nullptr},
    {ID_FILE_IMPORT_SMF, QT_TRANSLATE_NOOP("CMainFrame", "&Import SMF..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Import SMF\nImport SMF"), nullptr},
    {ID_FILE_EXPORT_SMF_ALL, QT_TRANSLATE_NOOP("CMainFrame", "&All Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Export all data as a Standard MIDI File\nExport All"), nullptr},
    {ID_FILE_EXPORT_SMF_SELECTED, QT_TRANSLATE_NOOP("CMainFrame", "Selected &Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Export the selected data as a Standard MIDI File\nExport Selected"),
     nullptr},
    {ID_IMPORT_EARLIER_FILE, QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-MAX &Librarian File..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-MAX Librarian file\nImport TQ-MAX Librarian File"), nullptr},
    {ID_IMPORT_TQ4_DUMP, QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-4/TQ-MAX &Bulk Dump File..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-4/TQ-MAX bulk dump file\nImport TQ-4/TQ-MAX Bulk Dump File"),
     nullptr},
    {ID_IMPORT_TQ2_DUMP, QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-&2 Bulk Dump File..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Import TQ-2 bulk dump file\nImport TQ-2 Bulk Dump File"), nullptr},
    {ID_IMPORT_SYX, QT_TRANSLATE_NOOP("CMainFrame", "&SysEx File..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Open a file of System Exclusive messages (.syx) as a new library\nImport SysEx File"),
     nullptr},
    {ID_FILE_EXPORT_SYX_ALL, QT_TRANSLATE_NOOP("CMainFrame", "&All Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Export all data as a SysEx file\nExport All as SysEx"), nullptr},
    {ID_FILE_EXPORT_SYX_SELECTED, QT_TRANSLATE_NOOP("CMainFrame", "Selected &Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Export the selected data as a SysEx file\nExport Selected as SysEx"),
     nullptr},
    {ID_FILE_DEVICE_HISTORY, QT_TRANSLATE_NOOP("CMainFrame", "Device &History..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Open a kept read of the TQ-550 in a library window\nDevice History"),
     nullptr},
    // The collection.
    {ID_FILE_ADD_TO_COLLECTION, QT_TRANSLATE_NOOP("CMainFrame", "Add Folder to Co&llection..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Add every file below a folder that holds patches to the collection\nAdd Folder to "
                       "Collection"),
     nullptr},
    {ID_WINDOW_COLLECTION, QT_TRANSLATE_NOOP("CMainFrame", "Coll&ection"), "Ctrl+Shift+F",
     QT_TRANSLATE_NOOP("CMainFrame", "Search every patch the program has seen\nCollection"), nullptr},
    {ID_SETUP_COLLECT, QT_TRANSLATE_NOOP("CMainFrame", "Add to &Collection Automatically"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Add the patches of every library opened or saved, import and read to the collection\n"
                       "Add to Collection Automatically"),
     nullptr},
    {ID_COLLECTION_OPEN_AS_LIBRARY, QT_TRANSLATE_NOOP("CMainFrame", "Open as &Library"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Open the selected patches of the collection as a new library\nOpen as Library"),
     nullptr},
    {ID_COLLECTION_WHERE_SEEN, QT_TRANSLATE_NOOP("CMainFrame", "&Where Seen..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "List every place where the selected patch was seen\nWhere Seen"),
     nullptr},
    {ID_COLLECTION_FAVOURITE, QT_TRANSLATE_NOOP("CMainFrame", "Fa&vourite"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Mark the selected patches of the collection as favourites\nFavourite"),
     nullptr},
    {GP::ID_APP_EXIT, QT_TRANSLATE_NOOP("CMainFrame", "E&xit"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Quit the application; prompts to save libraries\nExit"), nullptr},
    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("CMainFrame", "&Undo"), "Ctrl+Z",
     QT_TRANSLATE_NOOP("CMainFrame", "Undo\nUndo"), "undo"},
    {ID_EDIT_CUT, QT_TRANSLATE_NOOP("CMainFrame", "Cu&t"), "Ctrl+X",
     QT_TRANSLATE_NOOP("CMainFrame", "Cut the selection and copy to clipboard\nCut"), "cut"},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CMainFrame", "&Copy"), "Ctrl+C",
     QT_TRANSLATE_NOOP("CMainFrame", "Copy to clipboard\nCopy"), "copy"},
    {ID_EDIT_INSERT, QT_TRANSLATE_NOOP("CMainFrame", "I&nsert"), "Ctrl+V",
     QT_TRANSLATE_NOOP("CMainFrame", "Insert clipboard contents at the selection\nInsert"), "insert"},
    {ID_EDIT_REPLACE, QT_TRANSLATE_NOOP("CMainFrame", "&Replace"), "Ctrl+R",
     QT_TRANSLATE_NOOP("CMainFrame", "Replace the selection with clipboard contents\nReplace"), "replace"},
    {ID_EDIT_DELETE, QT_TRANSLATE_NOOP("CMainFrame", "&Delete"), "Del",
     QT_TRANSLATE_NOOP("CMainFrame", "Delete the selection\nDelete"), "delete"},
    {ID_EDIT_EXCHANGE, QT_TRANSLATE_NOOP("CMainFrame", "&Exchange"), "Ctrl+E",
     QT_TRANSLATE_NOOP("CMainFrame", "Exchange\nExchange"), nullptr},
    {ID_EDIT_SELECT_ALL, QT_TRANSLATE_NOOP("CMainFrame", "Select &All"), "Ctrl+A",
     QT_TRANSLATE_NOOP("CMainFrame", "Select all\nSelect All"), nullptr},
    {ID_EDIT_FIND, QT_TRANSLATE_NOOP("CMainFrame", "&Find..."), "Ctrl+F",
     QT_TRANSLATE_NOOP("CMainFrame", "Select the patches whose name or memo holds a text\nFind"), "find"},
    {ID_EDIT_SELECT_DUPLICATES, QT_TRANSLATE_NOOP("CMainFrame", "Select Du&plicates"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Select every patch whose data repeat those of a patch above it\nSelect "
                       "Duplicates"),
     nullptr},
    {ID_EDIT_COMPARE, QT_TRANSLATE_NOOP("CMainFrame", "Co&mpare"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Compare the two selected patches, or the selected one with the clipboard\nCompare"),
     nullptr},
    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("CMainFrame", "&Tool Bar"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show or hide the tool bar\nToggle Tool Bar"), nullptr},
    {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("CMainFrame", "&Status Bar"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Show or hide the status bar\nToggle Status Bar"), nullptr},
    {ID_MIDI_READ_ALL, QT_TRANSLATE_NOOP("CMainFrame", "&Read All Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Read all data\nRead All"), nullptr},
    {ID_MIDI_READ_SELECTED, QT_TRANSLATE_NOOP("CMainFrame", "Read &Selected Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Read selected data\nRead Selected"), nullptr},
    {ID_MIDI_WRITE_ALL, QT_TRANSLATE_NOOP("CMainFrame", "&Write All Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Write all data\nWrite All"), nullptr},
    {ID_MIDI_WRITE_SELECTED, QT_TRANSLATE_NOOP("CMainFrame", "Write Selected &Data"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Write selected data\nWrite Selected"), nullptr},
    {ID_MIDI_WRITE_CHANGED, QT_TRANSLATE_NOOP("CMainFrame", "Write &Changed"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Write the patches the TQ-550 is not known to hold\nWrite Changed"),
     nullptr},
    {ID_SETUP_MIDI, QT_TRANSLATE_NOOP("CMainFrame", "Set Up &MIDI Devices..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Set up the MIDI devices\nMIDI Devices"), nullptr},
    {ID_MIDI_AUDITION, QT_TRANSLATE_NOOP("CMainFrame", "&Audition"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Send each patch to the processor's temporary area as it is selected\nAudition"),
     "audition"},
    {ID_SETUP_AUDITION_CONTROLS, QT_TRANSLATE_NOOP("CMainFrame", "&Audition Controls..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Choose the foot switch that steps through the patches while auditioning\nAudition "
                       "Controls"),
     nullptr},
    {ID_SETUP_FONT, QT_TRANSLATE_NOOP("CMainFrame", "Set Up &Font..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Set up the font of the lists\nFont"), nullptr},
    {ID_SETUP_GRID, QT_TRANSLATE_NOOP("CMainFrame", "Set Up &Grid..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Set up the grid lines of the lists\nGrid"), nullptr},
    {GP::ID_WINDOW_RESIZE_FULL_HEIGHT, QT_TRANSLATE_NOOP("CMainFrame", "Maximize &Height"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Resize to Full Height\nMaximize Height"), nullptr},
    {GP::ID_WINDOW_RESIZE_FULL_WIDTH, QT_TRANSLATE_NOOP("CMainFrame", "Maximize &Width"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Resize to Full Width\nMaximize Width"), nullptr},
    {GP::ID_WINDOW_SAVE_POSITION, QT_TRANSLATE_NOOP("CMainFrame", "&Save Current Position"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Save Current Window Position\nSave Position"), nullptr},
    {GP::ID_WINDOW_LIST, QT_TRANSLATE_NOOP("CMainFrame", "Window &List..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "List all windows\nWindow List"), nullptr},
    {GP::ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("CMainFrame", "&Cascade Windows"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Arrange windows so they overlap\nCascade Windows"), nullptr},
    {GP::ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("CMainFrame", "Tile Windows H&orizontally"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Arrange windows one above the other\nTile Horizontally"), nullptr},
    {GP::ID_WINDOW_TILE_VERT, QT_TRANSLATE_NOOP("CMainFrame", "Tile Windows &Vertically"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Arrange windows side by side\nTile Vertically"), nullptr},
    {GP::ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("CMainFrame", "&Arrange Icons"), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Arrange the icons of minimised windows\nArrange Icons"), nullptr},
    {ID_HELP_MANUAL, QT_TRANSLATE_NOOP("CMainFrame", "TQ-550 Librarian &Manual"), "F1",
     QT_TRANSLATE_NOOP("CMainFrame", "Open the manual\nManual"), "manual"},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CMainFrame", "&About TQ-550 Librarian..."), nullptr,
     QT_TRANSLATE_NOOP("CMainFrame", "Display program information, version number and copyright\nAbout"),
     nullptr},
};

const CMainFrame::Command* Commands(std::size_t& count) {
    count = std::size(kCommands);
    return kCommands;
}

const CMainFrame::Command* FindCommand(int id) {
    std::size_t count = 0;
    const CMainFrame::Command* commands = Commands(count);
    for (std::size_t i = 0; i < count; ++i)
        if (commands[i].id == id) return &commands[i];
    return nullptr;
}

}  // namespace

CMainFrame::CMainFrame(ISettingsStore* settings, QWidget* parent) : CMDIFrameWndEx(settings, parent) {
    setObjectName(QStringLiteral("MainFrame"));
    SetAppTitle(QStringLiteral("TQ-550 Librarian"));
    setWindowTitle(AppTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tq550-librarian.svg")));
    setAcceptDrops(true);
    BuildActions();
    BuildToolBar();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->showMessage(tr("Ready"));
    connect(this, &GP::CMDIFrameWnd::activeChildChanged, this, [this] {
        UpdateMenuSet();
        UpdateCommandActions();
    });
    UpdateMenuSet();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::CommandAction(int id) const {
    for (const QPointer<QAction>& action : actions_)
        if (action && action->data().toInt() == id) return action;
    return nullptr;
}

QAction* CMainFrame::Action(int id) {
    return CommandAction(id);
}

void CMainFrame::BuildActions() {
    std::size_t count = 0;
    const Command* commands = Commands(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Command& command = commands[i];
        QAction* action = CreateCommandAction(
            command.id, Translate(command.text),
            command.shortcut ? QKeySequence(QString::fromLatin1(command.shortcut)) : QKeySequence());
        const QStringList prompt = Translate(command.prompt).split(QLatin1Char('\n'));
        action->setStatusTip(prompt.value(0));
        action->setToolTip(prompt.value(1, prompt.value(0)));
        action->setObjectName(QStringLiteral("command%1").arg(command.id));
        if (command.icon)
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(command.icon))));
        // The shortcut works whichever menu set is shown.
        addAction(action);
        actions_.emplace_back(action);
    }
    // Ctrl+G: the window pop-up menu.
    QAction* popup = CreateCommandAction(GP::ID_WINDOW_POPUP_MENU, tr("Move to &Top"),
                                         QKeySequence(QStringLiteral("Ctrl+G")));
    popup->setObjectName(QStringLiteral("command%1").arg(GP::ID_WINDOW_POPUP_MENU));
    addAction(popup);
    actions_.emplace_back(popup);
    for (const char* key : kInertKeys) {
        auto* inert = new QAction(this);
        inert->setShortcut(QKeySequence(QString::fromLatin1(key)));
        addAction(inert);
    }
}

void CMainFrame::FillRecentFiles(QMenu* file) {
    for (QPointer<QAction>& action : recentActions_)
        delete action.data();
    recentActions_.clear();
    GP::CDocManager* manager = GetDocManager();
    if (!manager || !recentSeparator_) return;
    const GP::CRecentFileList& files = manager->RecentFiles();
    QAction* before = recentSeparator_;
    if (files.Count() == 0) {
        auto* none = new QAction(tr("Recent File"), file);
        none->setEnabled(false);
        file->insertAction(before, none);
        recentActions_.emplace_back(none);
        return;
    }
    for (int i = 0; i < files.Count(); ++i) {
        auto* entry = new QAction(files.MenuText(i), file);
        entry->setStatusTip(tr("Open this document"));
        entry->setToolTip(files.File(i));
        entry->setData(GP::ID_FILE_MRU_FILE1 + i);
        connect(entry, &QAction::triggered, this, [this, i] {
            if (GP::CDocManager* m = GetDocManager()) m->OpenRecentFile(i);
        });
        file->insertAction(before, entry);
        recentActions_.emplace_back(entry);
    }
}

void CMainFrame::BuildFullMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const QString& title) {
        QMenu* menu = bar->addMenu(title);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandActions);
        fullMenus.emplace_back(menu);
        return menu;
    };
    QMenu* file = addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    file->addAction(Action(GP::ID_FILE_NEW));
    file->addAction(Action(ID_FILE_DUPLICATE));
    file->addAction(Action(GP::ID_FILE_OPEN));
    file->addAction(Action(GP::ID_FILE_CLOSE));
    file->addSeparator();
    file->addAction(Action(GP::ID_FILE_SAVE));
    file->addAction(Action(GP::ID_FILE_SAVE_AS));
    file->addSeparator();
    file->addAction(Action(ID_FILE_IMPORT_SMF));
    QMenu* exportSmf = file->addMenu(tr("Ex&port SMF"));
    exportSmf->setObjectName(QStringLiteral("menuExportSmf"));
    exportSmf->addAction(Action(ID_FILE_EXPORT_SMF_ALL));
    exportSmf->addAction(Action(ID_FILE_EXPORT_SMF_SELECTED));
    QMenu* exportSyx = file->addMenu(tr("Export S&ysEx File"));
    exportSyx->setObjectName(QStringLiteral("menuExportSyx"));
    exportSyx->addAction(Action(ID_FILE_EXPORT_SYX_ALL));
    exportSyx->addAction(Action(ID_FILE_EXPORT_SYX_SELECTED));
    QMenu* import = file->addMenu(tr("Impor&t"));
    import->setObjectName(QStringLiteral("menuImport"));
    import->addAction(Action(ID_IMPORT_EARLIER_FILE));
    import->addAction(Action(ID_IMPORT_TQ4_DUMP));
    import->addAction(Action(ID_IMPORT_TQ2_DUMP));
    import->addAction(Action(ID_IMPORT_SYX));
    for (QMenu* sub : {exportSmf, exportSyx, import})
        connect(sub, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandActions);
    file->addSeparator();
    file->addAction(Action(ID_FILE_DEVICE_HISTORY));
    file->addAction(Action(ID_FILE_ADD_TO_COLLECTION));
    file->addSeparator();
    recentSeparator_ = file->addSeparator();
    file->addAction(Action(GP::ID_APP_EXIT));
    connect(file, &QMenu::aboutToShow, this, [this, file] { FillRecentFiles(file); });

    QMenu* edit = addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addSeparator();
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_INSERT, ID_EDIT_REPLACE, ID_EDIT_DELETE})
        edit->addAction(Action(id));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_EXCHANGE));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_SELECT_ALL));
    edit->addAction(Action(ID_EDIT_FIND));
    edit->addAction(Action(ID_EDIT_SELECT_DUPLICATES));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_COMPARE));
    // The collection window's own.
    edit->addSeparator();
    for (int id : {ID_COLLECTION_OPEN_AS_LIBRARY, ID_COLLECTION_WHERE_SEEN, ID_COLLECTION_FAVOURITE})
        edit->addAction(Action(id));

    QMenu* view = addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    view->addAction(Action(ID_VIEW_TOOLBAR));
    view->addAction(Action(ID_VIEW_STATUS_BAR));

    QMenu* midi = addMenu(tr("&MIDI"));
    midi->setObjectName(QStringLiteral("menuMidi"));
    midi->addAction(Action(ID_MIDI_READ_ALL));
    midi->addAction(Action(ID_MIDI_READ_SELECTED));
    midi->addSeparator();
    midi->addAction(Action(ID_MIDI_WRITE_ALL));
    midi->addAction(Action(ID_MIDI_WRITE_SELECTED));
    midi->addAction(Action(ID_MIDI_WRITE_CHANGED));
    midi->addSeparator();
    midi->addAction(Action(ID_MIDI_AUDITION));

    QMenu* setup = addMenu(tr("&Setup"));
    setup->setObjectName(QStringLiteral("menuSetup"));
    setup->addAction(Action(ID_SETUP_MIDI));
    setup->addAction(Action(ID_SETUP_AUDITION_CONTROLS));
    setup->addAction(Action(ID_SETUP_FONT));
    setup->addAction(Action(ID_SETUP_GRID));
    setup->addSeparator();
    setup->addAction(Action(ID_SETUP_COLLECT));

    QMenu* window = addMenu(tr("&Window"));
    window->setObjectName(QStringLiteral("menuWindow"));
    // Its first item becomes the window-selection sub-menu (Ctrl+G shows the same as a pop-up).
    window->addAction(tr("Move to &Top") + QStringLiteral("\tCtrl+G"));
    window->addAction(Action(GP::ID_WINDOW_RESIZE_FULL_HEIGHT));
    window->addAction(Action(GP::ID_WINDOW_RESIZE_FULL_WIDTH));
    window->addAction(Action(GP::ID_WINDOW_SAVE_POSITION));
    window->addAction(Action(GP::ID_WINDOW_LIST));
    window->addAction(Action(ID_WINDOW_COLLECTION));
    window->addSeparator();
    window->addAction(Action(GP::ID_WINDOW_CASCADE));
    window->addAction(Action(GP::ID_WINDOW_TILE_HORZ));
    window->addAction(Action(GP::ID_WINDOW_TILE_VERT));
    window->addAction(Action(GP::ID_WINDOW_ARRANGE));
    SetWindowMenu(window);
    SetWindowSelectionMenuPos(0);
    SetHelpCommand(ID_HELP_MANUAL);

    QMenu* help = addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(Action(ID_HELP_MANUAL));
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::BuildShortMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    shortMenus.emplace_back(file);
    // The items of the set without a window carry their own texts; their keys are those of the full set.
    auto item = [this](QMenu* menu, int id, const QString& text) {
        QAction* action = menu->addAction(text);
        const QAction* full = Action(id);
        if (full) action->setStatusTip(full->statusTip());
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    };
    item(file, GP::ID_FILE_NEW, tr("New(&N)") + QStringLiteral("\tCtrl+N"));
    item(file, GP::ID_FILE_OPEN, tr("Open(&O)...") + QStringLiteral("\tCtrl+O"));
    file->addSeparator();
    item(file, GP::ID_APP_EXIT, tr("Exit(&X)"));
    QMenu* help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    shortMenus.emplace_back(help);
    item(help, ID_HELP_MANUAL, Translate(FindCommand(ID_HELP_MANUAL)->text));
    item(help, ID_APP_ABOUT, Translate(FindCommand(ID_APP_ABOUT)->text));
}

void CMainFrame::UpdateMenuSet() {
    const bool full = MDIGetActiveWindow() != nullptr;
    if (full == fullMenus_ && !menuBar()->actions().isEmpty()) return;
    fullMenus_ = full;
    menuBar()->clear();
    // Later, not now: the change can come from a command of one of these very menus (Exit, Close).
    for (auto& menu : fullMenus)
        if (menu) menu->deleteLater();
    for (auto& menu : shortMenus)
        if (menu) menu->deleteLater();
    fullMenus.clear();
    shortMenus.clear();
    recentActions_.clear();
    if (full)
        BuildFullMenus();
    else
        BuildShortMenus();
}

void CMainFrame::BuildToolBar() {
    toolBar_ = addToolBar(tr("Tool Bar"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setIconSize(QSize(20, 20));
    for (int id : {GP::ID_FILE_NEW, GP::ID_FILE_OPEN, GP::ID_FILE_SAVE})
        toolBar_->addAction(Action(id));
    toolBar_->addSeparator();
    for (int id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_INSERT, ID_EDIT_REPLACE, ID_EDIT_DELETE})
        toolBar_->addAction(Action(id));
    toolBar_->addSeparator();
    toolBar_->addAction(Action(ID_MIDI_AUDITION));
    toolBar_->addSeparator();
    toolBar_->addAction(Action(ID_HELP_MANUAL));
    connect(toolBar_, &QToolBar::visibilityChanged, this, [this] { UpdateCommandActions(); });
}

void CMainFrame::RestoreBars(const QString& version) {
    if (Profile::kBarVersion.Read(Settings()) == version) LoadBarState();
}

void CMainFrame::SaveBars(const QString& version) {
    SaveBarState();
    Profile::kBarVersion.Write(Settings(), version);
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
        case ID_VIEW_TOOLBAR:
            toolBar_->setVisible(!toolBar_->isVisible());
            return true;
        case ID_VIEW_STATUS_BAR:
            statusBar()->setVisible(!statusBar()->isVisible());
            return true;
        default:
            break;
    }
    if (CMDIFrameWndEx::OnCommand(id)) return true;
    return application_ && application_->OnCommand(id);
}

bool CMainFrame::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    switch (id) {
        case ID_VIEW_TOOLBAR:
            ui.enabled = true;
            ui.checkable = true;
            ui.checked = toolBar_->isVisible();
            return true;
        case ID_VIEW_STATUS_BAR:
            ui.enabled = true;
            ui.checkable = true;
            ui.checked = statusBar()->isVisible();
            return true;
        default:
            break;
    }
    if (CMDIFrameWndEx::OnUpdateCommand(id, ui)) return true;
    return application_ && application_->OnUpdateCommand(id, ui);
}

bool CMainFrame::CanCloseFrame() {
    if (beforeClose_) beforeClose_();
    return CMDIFrameWndEx::CanCloseFrame();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    if (paths.isEmpty()) return;
    activateWindow();
    emit filesDropped(paths);
}
