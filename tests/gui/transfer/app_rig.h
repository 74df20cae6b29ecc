#pragma once

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
#include "dialog_driver.h"
#include "emu/virtual_tq550.h"
#include "gp/util/settings_catalog.h"
#include "settings/memory_settings_store.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/image_view.h"
#include "ui/midi_warning_dlg.h"
#include "ui/transfer_jobs.h"

// The desktop program as a test builds it: no system MIDI and no single-instance socket, settings in
// memory, and the built-in virtual processor answering without the wire's pace (as fast as it can) unless
// told otherwise. The automatic setup binds the virtual processor at start-up, as it would a real one.
// Message boxes are recorded instead of shown; the confirmations are switched off unless asked for.
struct CAppRig {
    explicit CAppRig(Tq550EmulatorOptions faults = {}, bool confirmations = false, int rate = 0,
                     QString historyFolder = {}) {
        if (!confirmations)
            for (int kind = 0; kind < 5; ++kind)
                Profile::ConfirmationSwitch(kind).Write(&settings, 1);
        CAppOptions options;
        options.systemMidi = false;
        options.singleInstance = false;
        options.virtualDevice = true;
        options.virtualDeviceRate = rate;
        options.virtualDeviceFaults = faults;
        options.language = 0;
        options.messageBox = boxes;
        options.historyFolder = std::move(historyFolder);
        app = std::make_unique<CApp>(settings, options);
        started = app->InitInstance();
    }
    ~CAppRig() {
        if (started) app->ExitInstance();
        app.reset();
    }
    CAppRig(const CAppRig&) = delete;
    CAppRig& operator=(const CAppRig&) = delete;

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

    CMemorySettingsStore settings;
    std::shared_ptr<CRecordingTextOut> boxes = std::make_shared<CRecordingTextOut>();
    std::unique_ptr<CApp> app;
    bool started = false;
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
