#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "app_rig.h"
#include "dialog_answerer.h"
#include "monkey_random.h"
#include "transfer/dialog_driver.h"

class CDoc;
class CFileDoc;
class CParamView;

// The desktop program driven at random, in process: one seed makes one program (settings in memory, the
// built-in virtual processor, message boxes recorded) and the steps it runs. A step is what a user can do:
// a command of the command table in either window kind, a selection (End of Line and none included), an
// edit in place, Replace String, a drop of patches from one window on another, window switching, opening
// and closing windows, keys and clicks on a list, reads and writes while the virtual processor fails in one
// of its ways and the user may cancel, and changes of the setup. Every modal dialog is answered at random
// (CDialogAnswerer). A program that ends (Exit) is followed by a new one.
//
// After every step Check() looks at what must hold; the first thing that does not ends the run.
class CMonkey {
  public:
    CMonkey(std::uint64_t seed, QString sourceDir);
    ~CMonkey();
    CMonkey(const CMonkey&) = delete;
    CMonkey& operator=(const CMonkey&) = delete;

    // Runs up to steps steps; false at the first invariant that does not hold (Failure() says which).
    bool Run(long steps);
    const QString& Failure() const { return failure_; }
    // The last steps, with the dialogs answered in them.
    QStringList Trace() const;
    long Steps() const { return steps_; }
    int Programs() const { return programs_; }

  private:
    struct Program;

    void StartProgram();
    void EndProgram();
    bool ProgramEnded() const;

    // The steps.
    void Step();
    void FinishEdit();
    void Select();
    void RunCommand();
    void EditInPlace();
    void ReplaceString();
    void DropBetweenWindows();
    void DropGarbage();
    void DropFiles();
    void SwitchWindows();
    void CloseWindow();
    void OpenRecent();
    void Transfer();
    void TemporaryTransfer();
    void ChangeSetup();
    void SortList();
    void PressKeys();
    void ClickList();
    void ScrollAndResize();
    // Sets the virtual processor's fault for the next transfer; gives what it is.
    QString ChooseFault();
    // Waits for the end of the transfer job of the last step, if any; true when it was done.
    bool AfterTransfer();

    // What must hold after every step; empty when all does.
    QString Check();
    QString CheckDocument(CDoc* doc);
    QString CheckUndoTwice(CDoc* doc);
    QString CheckLibraryFile(CFileDoc* doc);

    // Helpers.
    std::vector<CDoc*> Documents() const;
    std::vector<CParamView*> Views() const;
    CParamView* AnyView();
    CImageView* MainView() const;
    QString ChoosePath(bool open);
    void Note(const QString& line);
    void Wait(int ms);

    CMonkeyRandom random_;
    QString sourceDir_;
    // The files of the file dialogs, and the files of the checks (which no dialog offers).
    QTemporaryDir folder_;
    QTemporaryDir scratch_;
    // Copies of the fuzz targets' seed corpora, for the open dialogs.
    QTemporaryDir corpus_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<CDialogAnswerer> answerer_;
    std::deque<QString> trace_;
    QString failure_;
    long steps_ = 0;
    int programs_ = 0;
    int fileCounter_ = 0;
};
