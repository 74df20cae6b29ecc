#pragma once

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_frame.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_child_wnd.h"
#include "settings/memory_settings_store.h"
#include "textout/text_out.h"
#include "ui/app_context.h"
#include "ui/command_ids.h"
#include "ui/doc.h"
#include "ui/doc_man.h"
#include "ui/image_view.h"
#include "ui/param_view.h"

// Keeps what the program shows in message boxes and answers its questions with OK.
class CRecordingBox : public CKivTextOut {
  public:
    int Ask(int, const std::string& text, int) override {
        texts.push_back(text);
        return ANSWER_OK;
    }
    std::vector<std::string> texts;

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
