#pragma once

#include <QPointer>
#include <vector>

#include "gp/layout/form_view_ex.h"
#include "model/image_document.h"
#include "ui/patch_list_ctrl.h"
#include "ui/temporary_area.h"

class CAppContext;
class CDoc;
class QLabel;
class QPushButton;

// The form of a patch window around its patch list: the list, the "Temporary Read/Write" label and, while
// Mode is 1, a pair of temporary-area buttons beside every visible patch row (read on the left, write on
// the right), made and dropped as the list scrolls and its rows change. It carries the editing commands of
// both window kinds; the Main view (CImageView) adds the transfer commands.
//
// Each command has one rule, its Can... predicate: the handler runs only when it holds, and the frame enables
// the command's menu item, tool-bar button and key by it. The view tells the frame when something a rule
// depends on changed (the selection, the document, the clipboard).
class CParamView : public GP::CFormViewEx, public IAuditionList {
    Q_OBJECT

  public:
    CParamView(GP::CDialogTemplate form, int listKind, CAppContext& context);
    ~CParamView() override;

    CPatchListCtrl& List() { return *list_; }
    const CPatchListCtrl& List() const { return *list_; }
    CDoc* GetDoc() const;
    CAppContext& Context() const { return context_; }
    bool IsMain() const { return list_->ListKind() == CParameterListCtrl::kMainList; }

    void OnInitialUpdate() override;
    // HINT_INITIAL applies the list appearance; later changes of it are followed as they come.
    void OnUpdate(GP::CView* sender, int hint, QObject* hintObject) override;

    // The temporary-area buttons: one pair per visible patch row.
    void UpdateTemporaryButtons();
    int TemporaryButtonCount() const { return static_cast<int>(writeButtons_.size()); }
    QPushButton* TemporaryWriteButton(int slot) const;
    QPushButton* TemporaryReadButton(int slot) const;
    // Start the transfer of one patch with the processor's temporary area (confirmations not included);
    // false when it did not start.
    bool WriteToTemporary(int index);
    bool ReadFromTemporary(int index);
    // Whether a transfer can start now (no other runs).
    bool CanTransferNow() const;
    // Audition follows the selection of the list.
    void AuditionSelection() override;
    void StepSelection(int direction) override;
    // The buttons' commands: confirmation, then the transfer of the patch in row top + slot.
    void OnTemporaryWrite(int slot);
    void OnTemporaryRead(int slot);

    // Applies the list font and colour, and the grid lines, of the program's list appearance.
    void ApplyListFont();
    void ApplyGrid();
    // The font, the columns, the grid lines and the temporary buttons, anew.
    void ApplyAppearance();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

    // The rules of the editing commands.
    bool CanUndo() const;
    bool CanCut() const;
    bool CanCopy() const { return CanCut(); }
    bool CanDelete() const { return CanCut(); }
    bool CanInsert() const;
    bool CanReplace() const;
    bool CanExchange() const;
    // Select All, Duplicate, Find and Set Up Grid.
    bool AlwaysTrue() const { return true; }
    // Two patches selected, or one and the clipboard not empty.
    bool CanCompare() const;
    // At least two patches in the window.
    bool CanSelectDuplicates() const;
    bool CanExportSyxAll() const;
    bool CanExportSyxSelected() const;

    // The editing commands; each does nothing unless its rule holds.
    void OnEditUndo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditInsert();
    void OnEditReplace();
    void OnEditDelete();
    void OnEditExchange();
    void OnEditSelectAll();
    void OnFileDuplicate();
    void OnEditFind();
    void OnSetupGrid();

    // The commands on patches beyond editing (param_view_tools.cpp). Compare shows the comparison of the
    // two selected patches (the upper first), or of the selected one and the clipboard's first, in the
    // compare window. Select Duplicates selects every patch whose data equal those of a patch before it and
    // says in the status bar how many it found. Export SysEx File writes all or the selected patches: from
    // the Main window each to its own slot, from a library window to the slots from U01-1 on in the order
    // the rows show them.
    void OnEditCompare();
    void OnEditSelectDuplicates();
    void OnExportSyxAll() { ExportSyx(true); }
    void OnExportSyxSelected() { ExportSyx(false); }
    void ExportSyx(bool all);
    // How Compare names the patch at index: "U03-2 in Main", "4 in Live Set".
    QString PatchPlace(int index) const;
    // A short report of a command: in the status bar while it shows, else in a message box.
    void Report(const QString& text);

  protected:
    // One command of a view: its id, its rule and its handler.
    template <class View>
    struct Command {
        int id;
        bool (View::*can)() const;
        void (View::*run)();
    };
    // Runs or asks the state of id from a view's command table; false when the table has no such command.
    template <class View, std::size_t N>
    static bool Route(View& view, const Command<View> (&table)[N], int id, GP::CCmdUI* ui);

    // Runs id (ui null) or fills its state; false when the view has no such command.
    virtual bool RouteViewCommand(int id, GP::CCmdUI* ui);
    void OnLayoutChanged() override;
    // What the commands' rules depend on may have changed.
    virtual void OnCommandStatesChanged();
    // The program's Mode (1: undo, temporary buttons, user-area transfers) and its undo mode.
    int Mode() const;
    UndoMode EditUndoMode() const { return UndoModeOf(Mode()); }
    int SelectedCount() const;

    CAppContext& context_;

  private:
    void DestroyTemporaryButtons();
    QRect TemporaryButtonRect(int row, bool write) const;

    CPatchListCtrl* list_;
    QLabel* temporaryLabel_;
    std::vector<QPointer<QPushButton>> writeButtons_;
    std::vector<QPointer<QPushButton>> readButtons_;
};

template <class View, std::size_t N>
bool CParamView::Route(View& view, const Command<View> (&table)[N], int id, GP::CCmdUI* ui) {
    for (const Command<View>& command : table) {
        if (command.id != id) continue;
        const bool can = (view.*command.can)();
        if (ui)
            ui->enabled = can;
        else if (can)
            (view.*command.run)();
        return true;
    }
    return false;
}

// A library window's view (form 4136).
class CFileView : public CParamView {
    Q_OBJECT

  public:
    explicit CFileView(CAppContext& context);
};
