#include "monkey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <cstdio>
#include <fstream>

#include "app/app.h"
#include "app/main_frame.h"
#include "app_rig.h"
#include "emu/virtual_tq550.h"
#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/list/popup.h"
#include "gp/util/settings_catalog.h"
#include "model/file_document.h"
#include "ports/midi_environment.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/image_view.h"
#include "ui/param_view.h"
#include "ui/patch_list_ctrl.h"
#include "ui/progress_bar.h"
#include "ui/recovery_store.h"
#include "ui/temporary_area.h"
#include "ui/transfer_jobs.h"

using namespace TQ;

namespace {

// Libraries stop growing here, so that a run stays quick.
constexpr int kLargestLibrary = 600;
constexpr int kTraceLength = 40;
// The fuzz targets' seed corpora that the open dialogs offer: files of earlier models, Standard MIDI Files,
// broken and odd libraries.
constexpr const char* kCorpusKinds[] = {"earlier_file", "tq4_dump",     "tq2_dump",
                                        "smf_patches",  "library_file", "syx_file"};

QString Describe(const std::vector<int>& indexes) {
    QStringList parts;
    for (std::size_t i = 0; i < indexes.size() && i < 8; ++i)
        parts << QString::number(indexes[i]);
    if (indexes.size() > 8) parts << QStringLiteral("... (%1)").arg(indexes.size());
    return parts.join(QLatin1Char(','));
}

QString TitleOf(const CDoc* doc) {
    return doc->IsLibrary() ? doc->GetTitle() : QStringLiteral("Main");
}

// The patches of a library file, or false when it cannot be loaded.
bool LoadLibrary(const QString& path, std::vector<PatchState>& patches) {
    CFileDocument file;
    if (!file.Load(ToFilePath(path))) return false;
    patches = Snapshot(file.Patches());
    return true;
}

}  // namespace

// One program under test with what it was made with.
struct CMonkey::Program {
    CMemorySettingsStore settings;
    std::shared_ptr<CRecordingBox> boxes = std::make_shared<CRecordingBox>();
    std::unique_ptr<CApp> app;
};

CMonkey::CMonkey(std::uint64_t seed, QString sourceDir) : random_(seed), sourceDir_(std::move(sourceDir)) {
    answerer_ = std::make_unique<CDialogAnswerer>(random_, [this](bool open) { return ChoosePath(open); });
    // Files for the open dialogs besides those the run saves: a library, one that cannot be written and
    // one that is not a library at all.
    CPatchArray patches;
    patches.Resize(5);
    NamePatches(patches, "FILE ", 5);
    CFileDocument library;
    library.Patches().Assign(patches);
    library.Save(ToFilePath(folder_.filePath(QStringLiteral("five.tql"))));
    library.Save(ToFilePath(folder_.filePath(QStringLiteral("read-only.tql"))));
    QFile::setPermissions(folder_.filePath(QStringLiteral("read-only.tql")), QFile::ReadOwner);
    QFile garbage(folder_.filePath(QStringLiteral("garbage.tql")));
    if (garbage.open(QIODevice::WriteOnly)) garbage.write("TQLLibrarianFile0001 not really");
    QDir().mkpath(folder_.filePath(QStringLiteral("folder.tql")));
    // The seed corpora of the fuzz targets, copied: a library opened from them is saved back where it came
    // from, which must not be the source tree.
    for (const char* kind : kCorpusKinds) {
        const QString from = sourceDir_ + QStringLiteral("/tests/fuzz/corpus/") + QString::fromLatin1(kind);
        const QString to = corpus_.filePath(QString::fromLatin1(kind));
        QDir().mkpath(to);
        for (const QFileInfo& info : QDir(from).entryInfoList(QDir::Files))
            QFile::copy(info.absoluteFilePath(), QDir(to).filePath(info.fileName()));
    }
}

CMonkey::~CMonkey() {
    EndProgram();
    QFile::setPermissions(folder_.filePath(QStringLiteral("read-only.tql")),
                          QFile::ReadOwner | QFile::WriteOwner);
}

// ---- the program ------------------------------------------------------------------------------------

void CMonkey::StartProgram() {
    program_ = std::make_unique<Program>();
    Program& p = *program_;
    ++programs_;
    // The setup a user may have left: Mode, grid, the confirmations.
    const int mode = random_.Pick(std::vector<int>{1, 1, 1, 1, 0, 2});
    Profile::kMode.Write(&p.settings, mode);
    Profile::kGridSw.Write(&p.settings, random_.Int(0, 1));
    for (int kind = 0; kind < 5; ++kind)
        Profile::ConfirmationSwitch(kind).Write(&p.settings, random_.Chance(0.7) ? 1 : 0);
    CAppOptions options;
    options.systemMidi = false;
    options.singleInstance = false;
    options.virtualDevice = true;
    options.virtualDeviceRate = 0;
    options.language = random_.Int(0, 1);
    // The device history and the recovery folder live in the run's scratch folder; the recovery store
    // writes soon after each change, so that its writes and removals happen between the steps.
    options.historyFolder = scratch_.filePath(QStringLiteral("history"));
    options.recoveryFolder = scratch_.filePath(QStringLiteral("recovery"));
    options.recoveryIntervalMs = random_.Int(1, 300);
    options.messageBox = p.boxes;
    p.app = std::make_unique<CApp>(p.settings, options);
    if (!p.app->InitInstance()) {
        failure_ = QStringLiteral("the program did not start");
        return;
    }
    CAppContext& context = p.app->Context();
    // A processor that falls silent is given up quickly.
    context.Reader().SetTimeout(std::chrono::milliseconds(400));
    context.Reader().SetPatchWait(std::chrono::milliseconds(300));
    context.Writer().SetPause(std::chrono::milliseconds(0));
    p.app->MainFrame()->resize(random_.Int(500, 1200), random_.Int(400, 900));
    Note(QStringLiteral("program %1 started: Mode %2, language %3")
             .arg(programs_)
             .arg(mode)
             .arg(options.language));
}

void CMonkey::EndProgram() {
    if (!program_) return;
    if (program_->app && program_->app->MainFrame()) program_->app->ExitInstance();
    program_->app.reset();
    program_.reset();
}

bool CMonkey::ProgramEnded() const {
    CMainFrame* frame = program_ && program_->app ? program_->app->MainFrame() : nullptr;
    return !frame || !frame->isVisible() || !MainView();
}

// ---- running ----------------------------------------------------------------------------------------

bool CMonkey::Run(long steps) {
    for (long i = 0; i < steps && failure_.isEmpty(); ++i) {
        if (!program_) StartProgram();
        if (!failure_.isEmpty()) break;
        ++steps_;
        Step();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        for (const QString& line : answerer_->TakeLog())
            Note(QStringLiteral("    ") + line);
        if (program_) {
            std::vector<std::string>& texts = program_->boxes->texts;
            for (const std::string& text : texts)
                Note(QStringLiteral("    message: ") + QString::fromStdString(text).left(80));
            texts.clear();
        }
        if (ProgramEnded()) {
            Note(QStringLiteral("the program ended"));
            EndProgram();
            continue;
        }
        const QString broken = Check();
        if (!broken.isEmpty()) failure_ = QStringLiteral("step %1: %2").arg(steps_).arg(broken);
    }
    return failure_.isEmpty();
}

QStringList CMonkey::Trace() const {
    return QStringList(trace_.begin(), trace_.end());
}

void CMonkey::Note(const QString& line) {
    static const bool echo = qEnvironmentVariableIsSet("TQ_MONKEY_TRACE");
    if (echo) std::fprintf(stderr, "%ld: %s\n", steps_, qPrintable(line));
    trace_.push_back(line);
    while (trace_.size() > kTraceLength)
        trace_.pop_front();
}

void CMonkey::Wait(int ms) {
    QTest::qWait(ms);
}

void CMonkey::Step() {
    if (GP::CEditListCtrl::EditedControl()) {
        FinishEdit();
        return;
    }
    using Action = void (CMonkey::*)();
    struct Choice {
        int weight;
        Action action;
    };
    static const std::vector<Choice> kChoices = {
        {20, &CMonkey::Select},       {24, &CMonkey::RunCommand},        {10, &CMonkey::EditInPlace},
        {4, &CMonkey::ReplaceString}, {6, &CMonkey::DropBetweenWindows}, {1, &CMonkey::DropGarbage},
        {1, &CMonkey::DropFiles},     {6, &CMonkey::SwitchWindows},      {3, &CMonkey::CloseWindow},
        {1, &CMonkey::OpenRecent},    {8, &CMonkey::Transfer},           {3, &CMonkey::TemporaryTransfer},
        {2, &CMonkey::ChangeSetup},   {3, &CMonkey::SortList},           {6, &CMonkey::PressKeys},
        {5, &CMonkey::ClickList},     {2, &CMonkey::ScrollAndResize},
    };
    static const std::vector<int> weights = [] {
        std::vector<int> w;
        for (const Choice& c : kChoices)
            w.push_back(c.weight);
        return w;
    }();
    (this->*kChoices[random_.Weighted(weights)].action)();
}

// ---- documents and views ----------------------------------------------------------------------------

std::vector<CDoc*> CMonkey::Documents() const {
    std::vector<CDoc*> documents;
    if (!program_ || !program_->app || !program_->app->DocManager()) return documents;
    for (GP::CDocument* document : program_->app->DocManager()->GetDocuments())
        if (auto* doc = qobject_cast<CDoc*>(document)) documents.push_back(doc);
    return documents;
}

std::vector<CParamView*> CMonkey::Views() const {
    std::vector<CParamView*> views;
    for (CDoc* doc : Documents())
        for (GP::CView* view : doc->GetViews())
            if (auto* patchView = qobject_cast<CParamView*>(view)) views.push_back(patchView);
    return views;
}

CParamView* CMonkey::AnyView() {
    // Mostly the active window's, as a user works.
    CMainFrame* frame = program_->app->MainFrame();
    if (random_.Chance(0.7))
        if (GP::CMDIChildWnd* active = frame->MDIGetActive())
            if (GP::CDocument* document = active->GetActiveDocument())
                if (CParamView* view = AppRig::ViewOf(document)) return view;
    const std::vector<CParamView*> views = Views();
    return views.empty() ? nullptr : random_.Pick(views);
}

CImageView* CMonkey::MainView() const {
    return program_ && program_->app ? program_->app->MainView() : nullptr;
}

QString CMonkey::ChoosePath(bool open) {
    // Never a file that a window has open, so that each window's file is its own.
    std::vector<QString> used;
    for (CDoc* doc : Documents())
        if (!doc->GetPathName().isEmpty()) used.push_back(QFileInfo(doc->GetPathName()).absoluteFilePath());
    auto free = [&used](const QString& path) {
        return std::find(used.begin(), used.end(), QFileInfo(path).absoluteFilePath()) == used.end();
    };
    if (open) {
        std::vector<QString> files;
        for (const QFileInfo& info :
             QDir(folder_.path()).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            files.push_back(info.absoluteFilePath());
        // Files of earlier models, Standard MIDI Files, broken and odd libraries.
        for (const char* kind : kCorpusKinds)
            for (const QFileInfo& info :
                 QDir(corpus_.filePath(QString::fromLatin1(kind))).entryInfoList(QDir::Files))
                files.push_back(info.absoluteFilePath());
        files.push_back(folder_.filePath(QStringLiteral("absent.tql")));
        return random_.Pick(files);
    }
    switch (random_.Int(0, 9)) {
        case 0:
            return folder_.filePath(QStringLiteral("no-such-folder/x.tql"));
        case 1:
            return folder_.filePath(QStringLiteral("read-only.tql"));
        case 2:
            return folder_.filePath(QStringLiteral("folder.tql"));
        case 3:
            if (free(folder_.filePath(QStringLiteral("garbage.tql"))))
                return folder_.filePath(QStringLiteral("garbage.tql"));
            [[fallthrough]];
        default: {
            QString path;
            do
                path = folder_.filePath(QStringLiteral("saved-%1%2")
                                            .arg(++fileCounter_ % 12)
                                            .arg(random_.Chance(0.5) ? ".tql" : ".mid"));
            while (!free(path) && fileCounter_ % 100 != 0);
            return free(path) ? path : folder_.filePath(QStringLiteral("fresh-%1.tql").arg(++fileCounter_));
        }
    }
}

// ---- steps ------------------------------------------------------------------------------------------

void CMonkey::FinishEdit() {
    GP::CEditListCtrl* list = GP::CEditListCtrl::EditedControl();
    GP::IPopup* editor = list->GetActiveEditor();
    QWidget* widget = editor ? editor->Window() : nullptr;
    switch (random_.Int(0, 5)) {
        case 0:
            Note(QStringLiteral("edit: commit"));
            list->EndEdit(true);
            break;
        case 1:
            Note(QStringLiteral("edit: cancel"));
            list->EndEdit(false);
            break;
        case 2:
            if (widget) {
                Note(QStringLiteral("edit: Enter"));
                QTest::keyClick(widget, Qt::Key_Return);
            }
            break;
        case 3:
            if (widget) {
                Note(QStringLiteral("edit: Escape"));
                QTest::keyClick(widget, Qt::Key_Escape);
            }
            break;
        case 4: {
            // A shortcut while the editor has the keyboard.
            static const std::vector<int> keys = {Qt::Key_S, Qt::Key_E, Qt::Key_D,
                                                  Qt::Key_N, Qt::Key_A, Qt::Key_Z};
            const int key = random_.Pick(keys);
            Note(QStringLiteral("edit: Ctrl+%1").arg(QKeySequence(key).toString()));
            if (widget) QTest::keyClick(widget, static_cast<Qt::Key>(key), Qt::ControlModifier);
            break;
        }
        default: {
            // A click on another row, which ends the edit (committing a changed one).
            const int row = random_.Int(0, std::max(0, list->GetItemCount() - 1));
            const QRect cell = list->visualRect(list->model()->index(row, 0));
            Note(QStringLiteral("edit: click on row %1").arg(row));
            QTest::mouseClick(list->viewport(), random_.Chance(0.8) ? Qt::LeftButton : Qt::RightButton, {},
                              cell.center());
            break;
        }
    }
    // Whatever is left open ends now, as the next click would end it.
    if (GP::CEditListCtrl* still = GP::CEditListCtrl::EditedControl(); still && random_.Chance(0.5))
        still->EndEdit(false);
}

void CMonkey::Select() {
    CParamView* view = AnyView();
    if (!view) return;
    CPatchListCtrl& list = view->List();
    const int rows = list.GetItemCount();
    const QString where = TitleOf(view->GetDoc());
    switch (random_.Int(0, 7)) {
        case 0:
            list.ClearAllSelection();
            Note(QStringLiteral("select none in %1").arg(where));
            break;
        case 1: {
            list.ClearAllSelection();
            const int row = random_.Int(0, rows - 1);
            list.SetItemSelected(row, true);
            list.SetFocusedRow(row);
            Note(QStringLiteral("select row %1 of %2 in %3").arg(row).arg(rows).arg(where));
            break;
        }
        case 2: {
            list.ClearAllSelection();
            int first = random_.Int(0, rows - 1);
            int last = random_.Int(0, rows - 1);
            if (first > last) std::swap(first, last);
            last = std::min(last, first + random_.Int(0, 30));
            for (int row = first; row <= last; ++row)
                list.SetItemSelected(row, true);
            Note(QStringLiteral("select rows %1-%2 in %3").arg(first).arg(last).arg(where));
            break;
        }
        case 3: {
            list.ClearAllSelection();
            const double chance = random_.Chance(0.5) ? 0.02 : 0.3;
            for (int row = 0; row < rows; ++row)
                if (random_.Chance(chance)) list.SetItemSelected(row, true);
            Note(QStringLiteral("select scattered rows (%1) in %2").arg(list.GetSelectedCount()).arg(where));
            break;
        }
        case 4:
            // End of Line (a library's last row), alone or with others.
            if (random_.Chance(0.5)) list.ClearAllSelection();
            list.SetItemSelected(rows - 1, true);
            Note(QStringLiteral("select the last row %1 in %2").arg(rows - 1).arg(where));
            break;
        case 5:
            list.SelectAll();
            Note(QStringLiteral("select all in %1").arg(where));
            break;
        case 6: {
            // Two rows, for Exchange.
            list.ClearAllSelection();
            const int a = random_.Int(0, rows - 1);
            const int b = random_.Int(0, rows - 1);
            list.SetItemSelected(a, true);
            list.SetItemSelected(b, true);
            Note(QStringLiteral("select rows %1 and %2 in %3").arg(a).arg(b).arg(where));
            break;
        }
        default: {
            const std::vector<int> indexes = {random_.Int(0, std::max(0, list.PatchCount() - 1))};
            list.SelectIndexes(indexes, true);
            Note(QStringLiteral("select patch %1 in %2").arg(indexes[0]).arg(where));
            break;
        }
    }
}

void CMonkey::RunCommand() {
    CMainFrame* frame = program_->app->MainFrame();
    std::vector<int> ids;
    for (QAction* action : frame->findChildren<QAction*>())
        if (action->objectName().startsWith(QLatin1String("command"))) ids.push_back(action->data().toInt());
    if (ids.empty()) return;
    const int id = random_.Pick(ids);
    // Exit ends the program: now and then.
    if (id == GP::ID_APP_EXIT && !random_.Chance(0.1)) return;
    // Growing a large library further only slows the run.
    if ((id == ID_EDIT_INSERT || id == ID_FILE_DUPLICATE) && frame->MDIGetActive())
        if (auto* doc = qobject_cast<CDoc*>(frame->MDIGetActive()->GetActiveDocument());
            doc && static_cast<int>(doc->Patches().GetSize()) > kLargestLibrary)
            return;
    const bool enabled = frame->QueryCommand(id).enabled;
    QString name = frame->CommandAction(id) ? frame->CommandAction(id)->text() : QString::number(id);
    name.remove(QLatin1Char('&'));
    Note(QStringLiteral("command %1 (%2)%3").arg(name).arg(id).arg(enabled ? "" : ", not available"));
    if (!enabled) return;
    const bool transfer = id == ID_MIDI_READ_ALL || id == ID_MIDI_READ_SELECTED || id == ID_MIDI_WRITE_ALL ||
                          id == ID_MIDI_WRITE_SELECTED || id == ID_MIDI_WRITE_CHANGED;
    if (transfer) Note(QStringLiteral("    fault: %1").arg(ChooseFault()));
    frame->ExecuteCommand(id);
    AfterTransfer();
}

void CMonkey::EditInPlace() {
    CParamView* view = AnyView();
    if (!view) return;
    CPatchListCtrl& list = view->List();
    const int columnId = random_.Int(1, 5);
    const int column = CParameterListCtrl::PositionOfColumnId(columnId);
    // Rows on the page, as a user sees them.
    const int top = list.GetTopIndex();
    const int last = std::min(list.GetItemCount(), top + std::max(1, list.GetCountPerPage())) - 1;
    if (last < top) return;
    if (random_.Chance(0.6) || list.GetSelectedCount() == 0) {
        list.ClearAllSelection();
        const int count = random_.Chance(0.7) ? 1 : random_.Int(2, 6);
        for (int i = 0; i < count; ++i)
            list.SetItemSelected(random_.Int(top, last), true);
    }
    // The row the edit begins in: a selected one on the page, when there is one.
    std::vector<int> selected;
    for (int r : list.GetSelectedRows())
        if (r >= top && r <= last) selected.push_back(r);
    if (selected.empty()) selected = list.GetSelectedRows();
    const int row = random_.Pick(selected);
    if (!list.BeginEdit(row, column)) {
        Note(QStringLiteral("edit row %1 column %2 in %3: refused")
                 .arg(row)
                 .arg(columnId)
                 .arg(TitleOf(view->GetDoc())));
        return;
    }
    GP::IPopup* editor = list.GetActiveEditor();
    auto* edit = editor ? qobject_cast<QLineEdit*>(editor->Window()) : nullptr;
    const QString text = random_.Text();
    Note(QStringLiteral("edit rows %1 column %2 in %3: \"%4\"")
             .arg(Describe(selected))
             .arg(columnId)
             .arg(TitleOf(view->GetDoc()), text.left(40)));
    if (edit) {
        if (random_.Chance(0.3)) {
            // Typed: the keys of printable ASCII characters.
            edit->clear();
            QString typed = text.left(20);
            typed.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() > 0x7E; });
            QTest::keyClicks(edit, typed);
        } else {
            edit->setText(text);
        }
    }
    // Left open now and then: the next step ends it, as the user's next action would.
    if (random_.Chance(0.15)) return;
    if (random_.Chance(0.5) && edit)
        QTest::keyClick(edit, random_.Chance(0.85) ? Qt::Key_Return : Qt::Key_Escape);
    else
        list.EndEdit(random_.Chance(0.85));
}

void CMonkey::ReplaceString() {
    CParamView* view = AnyView();
    if (!view) return;
    CPatchListCtrl& list = view->List();
    if (list.GetSelectedCount() == 0 || random_.Chance(0.3)) {
        list.ClearAllSelection();
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (random_.Chance(0.2)) list.SetItemSelected(row, true);
    }
    list.SetCurrentColumn(CParameterListCtrl::PositionOfColumnId(random_.Int(1, 5)));
    Note(QStringLiteral("Replace String in column %1 of %2 rows in %3")
             .arg(list.GetCurrentColumn())
             .arg(list.GetSelectedCount())
             .arg(TitleOf(view->GetDoc())));
    if (random_.Chance(0.5)) {
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_R, Qt::ControlModifier);
    } else {
        list.ReplaceString(list.GetCurrentColumn());
    }
}

void CMonkey::DropBetweenWindows() {
    const std::vector<CParamView*> views = Views();
    if (views.size() < 2) return;
    CParamView* source = random_.Pick(views);
    CParamView* target = random_.Pick(views);
    if (source == target) return;
    const std::vector<int> indexes = source->List().SelectedIndexes();
    if (indexes.empty()) return;
    CDoc* targetDoc = target->GetDoc();
    if (targetDoc->IsLibrary() && static_cast<int>(targetDoc->Patches().GetSize()) > kLargestLibrary) return;
    CPatchListCtrl& list = target->List();
    const int row = random_.Int(-1, list.GetItemCount() - 1);
    Note(QStringLiteral("drop patches %1 of %2 on row %3 of %4")
             .arg(Describe(indexes), TitleOf(source->GetDoc()))
             .arg(row)
             .arg(TitleOf(targetDoc)));
    if (random_.Chance(0.4)) {
        CPatchArray dropped;
        CPatchListCtrl::DecodePatches(CPatchListCtrl::EncodePatches(source->GetDoc()->Patches(), indexes),
                                      dropped);
        list.DropPatches(dropped, row);
        return;
    }
    // The events of a drag arriving from another window.
    QMimeData mime;
    mime.setData(QString::fromLatin1(CPatchListCtrl::kPatchMimeType),
                 CPatchListCtrl::EncodePatches(source->GetDoc()->Patches(), indexes));
    const QPoint at = row < 0 ? QPoint(5, list.viewport()->height() - 2)
                              : list.visualRect(list.model()->index(row, 0)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);
}

void CMonkey::DropGarbage() {
    CParamView* view = AnyView();
    if (!view) return;
    QByteArray bytes = random_.Chance(0.7) ? QByteArray("TQ550PATCHES1") : QByteArray();
    for (int i = random_.Int(0, 64); i > 0; --i)
        bytes.append(static_cast<char>(random_.Int(0, 255)));
    if (random_.Chance(0.3)) {
        // A well-formed drag of one patch, cut or with a byte changed.
        CPatchArray one;
        one.Resize(1);
        bytes = CPatchListCtrl::EncodePatches(one, {0});
        if (random_.Chance(0.5))
            bytes.truncate(random_.Int(0, static_cast<int>(bytes.size()) - 1));
        else
            bytes[random_.Int(0, static_cast<int>(bytes.size()) - 1)] =
                static_cast<char>(random_.Int(0, 255));
    }
    Note(QStringLiteral("drop %1 bytes of garbage on %2").arg(bytes.size()).arg(TitleOf(view->GetDoc())));
    QMimeData mime;
    mime.setData(QString::fromLatin1(CPatchListCtrl::kPatchMimeType), bytes);
    const QPoint at(5, 5);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->List().viewport(), &drop);
}

void CMonkey::DropFiles() {
    CMainFrame* frame = program_->app->MainFrame();
    QMimeData mime;
    QList<QUrl> urls;
    for (int i = random_.Int(1, 2); i > 0; --i)
        urls << QUrl::fromLocalFile(ChoosePath(true));
    mime.setUrls(urls);
    Note(QStringLiteral("drop files %1 on the frame").arg(urls.first().toLocalFile()));
    QDropEvent drop(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &drop);
}

void CMonkey::SwitchWindows() {
    CMainFrame* frame = program_->app->MainFrame();
    const std::vector<QMdiSubWindow*> children = frame->GetChildren();
    if (children.empty()) return;
    QMdiSubWindow* child = random_.Pick(children);
    switch (random_.Int(0, 4)) {
        case 0:
            Note(QStringLiteral("minimise %1").arg(child->windowTitle()));
            child->showMinimized();
            break;
        case 1:
            Note(QStringLiteral("maximise %1").arg(child->windowTitle()));
            child->showMaximized();
            break;
        case 2:
            Note(QStringLiteral("restore %1").arg(child->windowTitle()));
            child->showNormal();
            break;
        default:
            Note(QStringLiteral("activate %1").arg(child->windowTitle()));
            frame->MDIActivate(child);
            break;
    }
}

void CMonkey::CloseWindow() {
    CMainFrame* frame = program_->app->MainFrame();
    const std::vector<QMdiSubWindow*> children = frame->GetChildren();
    if (children.empty()) return;
    QMdiSubWindow* child = random_.Pick(children);
    Note(QStringLiteral("close window %1").arg(child->windowTitle()));
    child->close();
}

void CMonkey::OpenRecent() {
    GP::CDocManager* manager = program_->app->DocManager();
    const int count = manager->RecentFiles().Count();
    if (count == 0) return;
    const int index = random_.Int(0, count - 1);
    Note(QStringLiteral("open recent file %1").arg(manager->RecentFiles().File(index)));
    manager->OpenRecentFile(index);
}

QString CMonkey::ChooseFault() {
    CVirtualTq550* device = program_->app->VirtualDevice();
    const auto received =
        static_cast<long>(device->WithEmulator([](CTq550Emulator& e) { return e.ReceivedCount(); }));
    Tq550EmulatorOptions options;
    QString what = QStringLiteral("none");
    switch (random_.Weighted({55, 10, 8, 9, 9, 9})) {
        case 1:
            options.stopAnsweringAfter = received + random_.Int(0, 40);
            what = QStringLiteral("silent after %1").arg(options.stopAnsweringAfter - received);
            break;
        case 2:
            options.exitAfter = received + random_.Int(0, 60);
            what = QStringLiteral("unplugged after %1").arg(options.exitAfter - received);
            break;
        case 3:
            options.corruptChecksums = true;
            what = QStringLiteral("bad checksums");
            break;
        case 4:
            options.wrongFamilyCode = true;
            what = QStringLiteral("another model");
            break;
        case 5:
            options.deviceId = static_cast<std::uint8_t>(random_.Int(1, 31));
            what = QStringLiteral("device id %1").arg(options.deviceId);
            break;
        default:
            break;
    }
    device->WithEmulator([&options](CTq550Emulator& e) {
        e.SetOptions(options);
        return 0;
    });
    answerer_->SetCancelChance(random_.Chance(0.5) ? 0.3 : 0.0);
    return what;
}

bool CMonkey::AfterTransfer() {
    if (!program_ || !program_->app || !program_->app->Jobs()) return false;
    CTransferJobs* jobs = program_->app->Jobs();
    // The job runs on its worker while the program goes on; the answerer may press Cancel meanwhile.
    (void)QTest::qWaitFor([jobs] { return !jobs->IsRunning(); }, 120000);
    const bool done = jobs->LastOutcome() == JobOutcome::Done;
    // The progress dialog stays a second after a transfer; a user waits for it (or the run shortens it).
    if (CProgressBar* progress = program_->app->ProgressBar(); progress && progress->IsOpen()) {
        if (random_.Chance(0.03))
            (void)QTest::qWaitFor([progress] { return !progress->IsOpen(); }, 5000);
        else
            progress->Dismiss();
    }
    QApplication::processEvents();
    CVirtualTq550* device = program_->app->VirtualDevice();
    device->WaitIdle();
    device->Replug();
    device->WithEmulator([](CTq550Emulator& e) {
        e.SetOptions({});
        return 0;
    });
    return done;
}

void CMonkey::Transfer() {
    CImageView* main = MainView();
    if (!main || program_->app->Context().Busy()) return;
    CDoc* doc = main->GetDoc();
    // All 200 patches take a while: mostly a few.
    const bool all = random_.Chance(0.2);
    const bool read = random_.Chance(0.5);
    if (!all && main->List().GetSelectedCount() == 0) {
        const int first = random_.Int(0, 199);
        for (int i = first; i < std::min(200, first + random_.Int(1, 12)); ++i)
            main->List().SetItemSelected(i, true);
    }
    const std::vector<int> indexes = main->Indexes(all);
    const std::vector<PatchState> before = Snapshot(doc->Patches());
    const bool couldUndo = doc->CanUndo(UndoMode::Offered);
    CVirtualTq550* device = program_->app->VirtualDevice();
    const QString fault = ChooseFault();
    const std::uint8_t programId =
        program_->app->Environment()->OutPort(MidiEnvironment::kTq550Pair).GetDeviceId();
    const bool clean = fault == QLatin1String("none") && programId == 0;
    Note(QStringLiteral("%1 %2 patches %3, fault: %4")
             .arg(read ? "read" : "write", all ? "all" : "selected", Describe(indexes), fault));
    std::vector<PatchImage> deviceBefore;
    for (int n = 0; n < USER_PATCH_COUNT; ++n)
        deviceBefore.push_back(device->WithEmulator([n](CTq550Emulator& e) { return e.UserPatch(n); }));
    QElapsedTimer took;
    took.start();
    const bool started = read ? main->ReadPatches(all) : main->WritePatches(all);
    const bool done = AfterTransfer() && started;
    Note(QStringLiteral("    %1 in %2 ms").arg(done ? "done" : "failed or cancelled").arg(took.elapsed()));
    const std::vector<PatchState> after = Snapshot(doc->Patches());
    const bool userArea = program_->app->Context().Mode() == 1;
    QString broken;
    if (read) {
        if (!done && after != before) broken = QStringLiteral("a read that failed changed the Main window");
        if (!done && doc->CanUndo(UndoMode::Offered) != couldUndo)
            broken = QStringLiteral("a read that failed changed the Main window's Undo");
        if (done && userArea)
            for (int index : indexes) {
                const auto i = static_cast<std::size_t>(index);
                if (after[i].first != deviceBefore[i] || after[i].second != std::array<std::string, 4>{})
                    broken = QStringLiteral("patch %1 was read but does not hold the processor's").arg(index);
            }
        if (done)
            for (std::size_t i = 0; i < after.size(); ++i)
                if (std::find(indexes.begin(), indexes.end(), static_cast<int>(i)) == indexes.end() &&
                    after[i] != before[i])
                    broken = QStringLiteral("patch %1 was not read but changed").arg(i);
    } else {
        if (after != before) broken = QStringLiteral("a write changed the Main window");
        if (done && clean && userArea)
            for (int index : indexes)
                if (device->WithEmulator([index](CTq550Emulator& e) { return e.UserPatch(index); }) !=
                    after[static_cast<std::size_t>(index)].first)
                    broken = QStringLiteral("a write reported done but patch %1 is not in the processor")
                                 .arg(index);
    }
    if (!broken.isEmpty() && failure_.isEmpty())
        failure_ = QStringLiteral("step %1: %2").arg(steps_).arg(broken);
}

void CMonkey::TemporaryTransfer() {
    CParamView* view = AnyView();
    if (!view || view->TemporaryButtonCount() == 0 || program_->app->Context().Busy()) return;
    const int slot = random_.Int(0, view->TemporaryButtonCount() - 1);
    const bool read = random_.Chance(0.5);
    CDoc* doc = view->GetDoc();
    const std::vector<PatchState> before = Snapshot(doc->Patches());
    Note(QStringLiteral("temporary %1, slot %2 of %3, fault: %4")
             .arg(read ? "read" : "write")
             .arg(slot)
             .arg(TitleOf(doc), ChooseFault()));
    QPushButton* button = read ? view->TemporaryReadButton(slot) : view->TemporaryWriteButton(slot);
    if (button) button->click();
    AfterTransfer();
    if (!read && Snapshot(doc->Patches()) != before && failure_.isEmpty())
        failure_ =
            QStringLiteral("step %1: a write to the temporary area changed %2").arg(steps_).arg(TitleOf(doc));
}

void CMonkey::ChangeSetup() {
    const int kind = random_.Int(0, 4);
    const int value = random_.Int(0, 1);
    Note(QStringLiteral("confirmation %1 %2").arg(kind).arg(value ? "off" : "on"));
    Profile::ConfirmationSwitch(kind).Write(&program_->settings, value);
}

void CMonkey::SortList() {
    CParamView* view = AnyView();
    if (!view) return;
    const int position = random_.Int(0, CParameterListCtrl::kColumnCount - 1);
    Note(QStringLiteral("sort %1 by column %2").arg(TitleOf(view->GetDoc())).arg(position));
    if (random_.Chance(0.5)) {
        QHeaderView* header = view->List().horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(position) + 3, header->height() / 2));
    } else {
        view->List().SortByColumnPosition(position);
    }
}

void CMonkey::PressKeys() {
    CParamView* view = AnyView();
    if (!view) return;
    CMainFrame* frame = program_->app->MainFrame();
    if (GP::CMDIChildWnd* child = view->GetParentFrame()) frame->MDIActivate(child);
    CPatchListCtrl& list = view->List();
    list.setFocus();
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    static const std::vector<Key> keys = {
        {Qt::Key_Up, {}},
        {Qt::Key_Down, {}},
        {Qt::Key_Down, Qt::ShiftModifier},
        {Qt::Key_PageDown, {}},
        {Qt::Key_PageUp, {}},
        {Qt::Key_Home, Qt::ControlModifier},
        {Qt::Key_End, Qt::ControlModifier},
        {Qt::Key_Left, {}},
        {Qt::Key_Right, {}},
        {Qt::Key_J, {}},
        {Qt::Key_K, {}},
        {Qt::Key_Return, {}},
        {Qt::Key_Escape, {}},
        {Qt::Key_Delete, {}},
        {Qt::Key_Space, {}},
        {Qt::Key_A, Qt::ControlModifier},
        {Qt::Key_C, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_E, Qt::ControlModifier},
        {Qt::Key_R, Qt::ControlModifier},
        {Qt::Key_F, Qt::ControlModifier},
        {Qt::Key_S, Qt::ControlModifier},
        {Qt::Key_D, Qt::ControlModifier},
        {Qt::Key_G, Qt::ControlModifier},
        {Qt::Key_N, Qt::ControlModifier},
    };
    const Key key = random_.Pick(keys);
    if ((key.key == Qt::Key_V || key.key == Qt::Key_D || key.key == Qt::Key_N) &&
        static_cast<int>(view->GetDoc()->Patches().GetSize()) > kLargestLibrary)
        return;
    if (random_.Chance(0.1)) {
        // The first and last column keys of the list.
        const char character = random_.Pick(std::vector<char>{'$', '^', '_', '|', 'h', 'l'});
        Note(QStringLiteral("key %1 in %2").arg(QLatin1Char(character)).arg(TitleOf(view->GetDoc())));
        QTest::keyClick(&list, character);
        return;
    }
    Note(QStringLiteral("key %1 in %2")
             .arg(QKeySequence(key.key | key.modifiers).toString(), TitleOf(view->GetDoc())));
    QTest::keyClick(&list, key.key, key.modifiers);
}

void CMonkey::ClickList() {
    CParamView* view = AnyView();
    if (!view) return;
    CPatchListCtrl& list = view->List();
    if (list.GetItemCount() == 0) return;
    const int top = list.GetTopIndex();
    const int row =
        random_.Int(top, std::min(list.GetItemCount() - 1, top + std::max(1, list.GetCountPerPage())));
    const int column = random_.Int(0, CParameterListCtrl::kColumnCount - 1);
    const QPoint at = list.visualRect(list.model()->index(row, column)).center();
    const QString where =
        QStringLiteral("row %1 column %2 of %3").arg(row).arg(column).arg(TitleOf(view->GetDoc()));
    switch (random_.Int(0, 5)) {
        case 0:
            Note(QStringLiteral("click ") + where);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
            break;
        case 1:
            Note(QStringLiteral("shift-click ") + where);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
            break;
        case 2:
            Note(QStringLiteral("ctrl-click ") + where);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
            break;
        case 3:
            Note(QStringLiteral("right-click ") + where);
            QTest::mouseClick(list.viewport(), Qt::RightButton, {}, at);
            break;
        case 4: {
            Note(QStringLiteral("double-click %1, fault: %2").arg(where, ChooseFault()));
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
            AfterTransfer();
            break;
        }
        default: {
            // A press and a drag over some rows.
            const QPoint to =
                list.visualRect(list.model()->index(random_.Int(0, list.GetItemCount() - 1), column))
                    .center();
            Note(QStringLiteral("drag from %1 to y %2").arg(where).arg(to.y()));
            QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at);
            QMouseEvent move(QEvent::MouseMove, QPointF(to), list.viewport()->mapToGlobal(QPointF(to)),
                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &move);
            QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, to);
            break;
        }
    }
}

void CMonkey::ScrollAndResize() {
    CParamView* view = AnyView();
    if (!view) return;
    if (random_.Chance(0.5)) {
        const int top = random_.Int(0, view->List().GetItemCount());
        Note(QStringLiteral("scroll %1 to %2").arg(TitleOf(view->GetDoc())).arg(top));
        view->List().SetTopIndex(top);
    } else if (QWidget* frame = view->GetParentFrame()) {
        const QSize size(random_.Int(150, 900), random_.Int(80, 700));
        Note(QStringLiteral("resize %1 to %2x%3")
                 .arg(TitleOf(view->GetDoc()))
                 .arg(size.width())
                 .arg(size.height()));
        frame->resize(size);
    }
}

// ---- what must hold ---------------------------------------------------------------------------------

QString CMonkey::Check() {
    CImageView* main = MainView();
    if (!main) return QStringLiteral("the Main window is gone");
    if (main->GetDoc()->Patches().GetSize() != static_cast<std::size_t>(CImageDoc::kPatchCount))
        return QStringLiteral("the Main window holds %1 patches").arg(main->GetDoc()->Patches().GetSize());
    if (QWidget* modal = QApplication::activeModalWidget())
        return QStringLiteral("a modal window is left open: %1").arg(modal->objectName());
    if (QWidget* popup = QApplication::activePopupWidget())
        return QStringLiteral("a pop-up is left open: %1").arg(popup->objectName());
    // An audition may go on in the background between two steps; a transfer of the user's may not.
    if (program_->app->Jobs()->IsForegroundRunning()) return QStringLiteral("a transfer job is still running");
    const CTemporaryArea& area = program_->app->Context().Temporary();
    if (!area.IsAuditioning() && area.HasPending()) return QStringLiteral("Audition is off but a patch waits");
    for (CDoc* doc : Documents()) {
        const QString broken = CheckDocument(doc);
        if (!broken.isEmpty()) return TitleOf(doc) + QStringLiteral(": ") + broken;
    }
    return QString();
}

QString CMonkey::CheckDocument(CDoc* doc) {
    const int patches = static_cast<int>(doc->Patches().GetSize());
    const int rows = patches + (doc->IsLibrary() ? 1 : 0);
    if (doc->Model().rowCount() != rows)
        return QStringLiteral("the model has %1 rows for %2 patches")
            .arg(doc->Model().rowCount())
            .arg(patches);
    for (GP::CView* view : doc->GetViews()) {
        auto* patchView = qobject_cast<CParamView*>(view);
        if (!patchView) continue;
        const CPatchListCtrl& list = patchView->List();
        if (list.GetItemCount() != rows)
            return QStringLiteral("the list has %1 rows for %2 patches")
                .arg(list.GetItemCount())
                .arg(patches);
        std::vector<bool> seen(static_cast<std::size_t>(rows), false);
        for (int row = 0; row < rows; ++row) {
            const qint64 data = list.GetItemData(row);
            if (data < 0 || data >= rows || seen[static_cast<std::size_t>(data)])
                return QStringLiteral("row %1 stands for patch %2 twice or out of range").arg(row).arg(data);
            seen[static_cast<std::size_t>(data)] = true;
        }
        for (int index : list.SelectedIndexes())
            if (index < 0 || index >= patches)
                return QStringLiteral("a selected row stands for patch %1").arg(index);
    }
    if (auto* library = qobject_cast<CFileDoc*>(doc)) {
        const QString broken = CheckLibraryFile(library);
        if (!broken.isEmpty()) return broken;
    }
    // What the recovery store keeps of a library: nothing once it is saved, and a file that loads.
    if (const CRecoveryStore* store = program_->app->Recovery(); store && doc->IsLibrary()) {
        const QString kept = store->FileOf(doc);
        std::vector<PatchState> keptPatches;
        if (!kept.isEmpty() && !doc->IsModified())
            return QStringLiteral("it is not modified but kept for recovery");
        if (!kept.isEmpty() && !LoadLibrary(kept, keptPatches))
            return QStringLiteral("what is kept for its recovery cannot be loaded");
    }
    return CheckUndoTwice(doc);
}

QString CMonkey::CheckLibraryFile(CFileDoc* doc) {
    const std::vector<PatchState> now = Snapshot(doc->Patches());
    // Saved and loaded again, the library gives its patches.
    const QString copy = scratch_.filePath(QStringLiteral("check.tql"));
    CFileDocument saved;
    saved.Patches().Assign(doc->Patches());
    if (!saved.Save(ToFilePath(copy))) return QStringLiteral("it cannot be saved");
    std::vector<PatchState> loaded;
    if (!LoadLibrary(copy, loaded)) return QStringLiteral("what it saved cannot be loaded");
    if (loaded != now) return QStringLiteral("what it saved loads as other patches");
    // Modified exactly while it differs from its file. An untitled library has none: one that holds patches
    // is modified; an empty one may be (a window made with patches of its own that were then removed).
    if (doc->GetPathName().isEmpty()) {
        if (!now.empty() && !doc->IsModified())
            return QStringLiteral("it is untitled, holds patches and is not modified");
        return QString();
    }
    std::vector<PatchState> file;
    if (!LoadLibrary(doc->GetPathName(), file))
        return QStringLiteral("its file %1 cannot be loaded").arg(doc->GetPathName());
    const bool differs = file != now;
    if (differs != doc->IsModified())
        return QStringLiteral("it %1 its file but is %2")
            .arg(differs ? "differs from" : "equals", doc->IsModified() ? "modified" : "not modified");
    return QString();
}

QString CMonkey::CheckUndoTwice(CDoc* doc) {
    if (GP::CEditListCtrl::EditedControl() || !doc->CanUndo(UndoModeOf(program_->app->Context().Mode())))
        return QString();
    const std::vector<PatchState> before = Snapshot(doc->Patches());
    const bool modified = doc->IsModified();
    CPatchListCtrl* list = nullptr;
    if (CParamView* view = AppRig::ViewOf(doc)) list = &view->List();
    const std::vector<int> selected = list ? list->SelectedIndexes() : std::vector<int>();
    doc->Undo();
    doc->Undo();
    if (list) list->SelectIndexes(selected);
    if (Snapshot(doc->Patches()) != before) return QStringLiteral("Undo twice did not give back its patches");
    if (doc->IsModified() != modified) return QStringLiteral("Undo twice changed whether it is modified");
    return QString();
}
