#pragma once

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <QtTest>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/main_frame.h"
#include "emu/virtual_tq550.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "gp/util/settings_catalog.h"
#include "settings/memory_settings_store.h"
#include "textout/text_out.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/image_view.h"
#include "ui/midi_warning_dlg.h"
#include "ui/param_view.h"
#include "ui/transfer_jobs.h"

// Keeps what the program shows in message boxes and answers its questions with OK.
class CRecordingBox : public CKivTextOut {
  public:
    int Ask(int, const std::string& text, int) override {
        texts.push_back(text);
        return answer;
    }
    bool Holds(const std::string& part) const {
        for (const std::string& text : texts)
            if (text.find(part) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> texts;
    // What every question is answered.
    int answer = ANSWER_OK;

  protected:
    void Output(const std::string& text) override { texts.push_back(text); }
};

// The whole desktop program on the offscreen platform, with settings in memory, no MIDI system of the
// computer and no single-instance socket; its message boxes are recorded instead of shown.
struct AppRig {
    explicit AppRig(CAppOptions options = Defaults(), bool start = true) {
        options.messageBox = box;
        app = std::make_unique<CApp>(settings, std::move(options));
        if (start) Start();
    }
    ~AppRig() {
        if (started) app->ExitInstance();
        app.reset();
    }
    static CAppOptions Defaults() {
        CAppOptions options;
        options.systemMidi = false;
        options.singleInstance = false;
        options.language = 0;
        return options;
    }
    bool Start() {
        started = app->InitInstance();
        return started;
    }

    CMainFrame& Frame() { return *app->MainFrame(); }
    CImageView& MainView() { return *app->MainView(); }
    CAppContext& Context() { return app->Context(); }
    CDoc& MainDoc() { return *MainView().GetDoc(); }
    // A new library window (File New) and its view.
    CFileDoc* NewLibrary() {
        return qobject_cast<CFileDoc*>(app->DocTemplateById(TQ::IDR_LIBRARY)->OpenDocumentFile(QString()));
    }
    static CParamView* ViewOf(GP::CDocument* document) {
        return document && !document->GetViews().empty()
                   ? qobject_cast<CParamView*>(document->GetViews().front())
                   : nullptr;
    }
    // Runs a command through the frame as the menu does; false when it was not available.
    bool Command(int id) { return Frame().ExecuteCommand(id); }
    bool Available(int id) { return Frame().QueryCommand(id).enabled; }
    void Activate(GP::CDocument* document) {
        Frame().MDIActivate(document->GetFrames().front());
        QApplication::processEvents();
    }

    std::shared_ptr<CRecordingBox> box = std::make_shared<CRecordingBox>();
    CMemorySettingsStore settings;
    std::unique_ptr<CApp> app;
    bool started = false;
};

// The names of a patch list, without trailing blanks.
inline std::vector<std::string> NamesOf(const CPatchArray& patches) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        std::string name = patches[i].GetName();
        name.erase(name.find_last_not_of(' ') + 1);
        names.push_back(name);
    }
    return names;
}

// Gives patches[i] the name prefix + (i + 1).
inline void NamePatches(CPatchArray& patches, const std::string& prefix, std::size_t count) {
    for (std::size_t i = 0; i < patches.GetSize() && i < count; ++i)
        patches[i].SetName(prefix + std::to_string(i + 1));
}

// count patches named prefix1, prefix2, ... in their initial state otherwise.
inline CPatchArray NamedPatches(std::size_t count, const std::string& prefix) {
    CPatchArray patches;
    patches.Resize(count);
    NamePatches(patches, prefix, count);
    return patches;
}

// Patches with these names, in order.
inline CPatchArray PatchesNamed(const std::vector<std::string>& names) {
    CPatchArray patches;
    patches.Resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        patches[i].SetName(names[i]);
    return patches;
}

// A copy of patches that change has changed, for setting up a window through its document.
template <class Change>
CPatchArray Changed(const CPatchArray& patches, Change change) {
    CPatchArray copy;
    copy.Assign(patches);
    change(copy);
    return copy;
}

// The desktop program with the built-in virtual processor (the automatic setup binds it at start-up, as it
// would a real one), answering without the wire's pace (as fast as it can) unless told otherwise, and with
// the confirmations switched off unless asked for.
struct CAppRig : AppRig {
    explicit CAppRig(Tq550EmulatorOptions faults = {}, bool confirmations = false, int rate = 0,
                     QString historyFolder = {}, QString collectionFile = {})
        : AppRig(WithVirtualDevice(faults, rate, std::move(historyFolder), std::move(collectionFile)),
                 false) {
        if (!confirmations)
            for (int kind = 0; kind < 5; ++kind)
                Profile::ConfirmationSwitch(kind).Write(&settings, 1);
        Start();
    }
    static CAppOptions WithVirtualDevice(Tq550EmulatorOptions faults, int rate, QString historyFolder,
                                         QString collectionFile = {}) {
        CAppOptions options = Defaults();
        options.collectionFile = std::move(collectionFile);
        options.virtualDevice = true;
        options.virtualDeviceRate = rate;
        options.virtualDeviceFaults = faults;
        options.historyFolder = std::move(historyFolder);
        return options;
    }

    CImageView* Main() const { return app->MainView(); }
    // Waits for the end of the transfer job that started (started is what the command answered): true when
    // its job was done, false when it did not start, failed or was cancelled.
    bool Done(bool started) const {
        if (!started) return false;
        if (!QTest::qWaitFor([this] { return !app->Jobs()->IsRunning(); }, 120000)) return false;
        return app->Jobs()->LastOutcome() == JobOutcome::Done;
    }
    const CPatchArray& MainPatches() const { return Main()->GetDoc()->Patches(); }
    // Sets up the Main window's patches through its document, without an undo copy: change is applied to
    // a copy of them, which the window takes (keeping its selection).
    template <class Change>
    void ChangeMain(Change change) const {
        CPatchArray patches;
        patches.Assign(MainPatches());
        change(patches);
        Main()->GetDoc()->TakePatches(patches, Main()->List().AllIndexes(), UndoMode::None, false);
    }
    PatchImage DevicePatch(int number) const {
        return app->VirtualDevice()->WithEmulator(
            [number](CTq550Emulator& e) { return e.UserPatch(number); });
    }
    void SetDevicePatch(int number, const PatchImage& image) const {
        app->VirtualDevice()->WithEmulator([&](CTq550Emulator& e) {
            e.UserPatch(number) = image;
            return 0;
        });
    }
    std::uint64_t DeviceCount(std::uint64_t (CTq550Emulator::*count)() const) const {
        return app->VirtualDevice()->WithEmulator([count](CTq550Emulator& e) { return (e.*count)(); });
    }
};

// What a patch list holds, patch by patch: the data as the device sees it and the four memos.
using PatchState = std::pair<PatchImage, std::array<std::string, 4>>;

inline std::vector<PatchState> Snapshot(const CPatchArray& patches) {
    std::vector<PatchState> state;
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        state.push_back(
            {patches[i].GetImage(),
             {patches[i].GetMemo(0), patches[i].GetMemo(1), patches[i].GetMemo(2), patches[i].GetMemo(3)}});
    return state;
}

// Gives every patch of the list its own content and memos, unlike anything the virtual processor holds.
inline void MakeDistinct(CPatchArray& patches) {
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        CPatch& patch = patches[i];
        Block& block = patch.PatchBlock();
        block.assign(PATCH_BLOCK_SIZE, 0);
        for (std::size_t b = 16; b < block.size(); ++b)
            block[b] = static_cast<std::uint8_t>((i * 7 + b * 3 + 1) & 0x7F);
        patch.SetName("MAIN " + std::to_string(i));
        patch.SetMemo(0, "memo " + std::to_string(i));
        patch.SetMemo(3, "last");
    }
}

// Runs action once, from the event loop, as soon as condition holds (checked every millisecond while the
// program processes events, also during a transfer's waits).
class CWhen : public QObject {
  public:
    CWhen(std::function<bool()> condition, std::function<void()> action)
        : condition_(std::move(condition)), action_(std::move(action)) {
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (done_ || !condition_()) return;
            done_ = true;
            timer_.stop();
            action_();
        });
        timer_.start();
    }
    bool Done() const { return done_; }

  private:
    std::function<bool()> condition_;
    std::function<void()> action_;
    QTimer timer_;
    bool done_ = false;
};
