#pragma once

#include <QPointer>
#include <vector>

#include "gp/layout/form_view_ex.h"
#include "ui/patch_list_ctrl.h"

class CAppContext;
class CDoc;
class QLabel;
class QPushButton;

// The form of a patch window around its patch list: the list, the "Temporary Read/Write" label and, while
// Mode is 1, a pair of temporary-area buttons beside every visible patch row (read on the left, write on
// the right), made and dropped as the list scrolls. It carries the editing commands of both window kinds;
// the Main view (CImageView) adds the transfer commands.
class CParamView : public GP::CFormViewEx {
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
    // Rebuilds the list (hint 0 and HINT_FONT also apply the list font and colour; HINT_FONT first stores
    // the column widths) and the temporary buttons.
    void OnUpdate(GP::CView* sender, int hint, QObject* hintObject) override;

    // The temporary-area buttons: one pair per visible patch row.
    void UpdateTemporaryButtons();
    int TemporaryButtonCount() const { return static_cast<int>(writeButtons_.size()); }
    QPushButton* TemporaryWriteButton(int slot) const;
    QPushButton* TemporaryReadButton(int slot) const;
    // The transfers of one patch with the processor's temporary area (confirmations not included).
    bool WriteToTemporary(int index);
    bool ReadFromTemporary(int index);
    // The buttons' commands: confirmation, then the transfer of the patch in row top + slot.
    void OnTemporaryWrite(int slot);
    void OnTemporaryRead(int slot);

    // Applies the list font and colour of the application data.
    void ApplyListFont();
    void ApplyGrid();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

    // The editing commands.
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

  protected:
    void OnLayoutChanged() override;
    // Marks a library document modified and re-places the temporary buttons after a change.
    void AfterChange();
    int Mode() const;
    // The number of selected rows and whether the first of them is a patch (not End of Line).
    int SelectedCount() const;
    bool HasRealSelection() const;

    CAppContext& context_;

  private:
    void DestroyTemporaryButtons();
    QRect TemporaryButtonRect(int row, bool write) const;

    CPatchListCtrl* list_;
    QLabel* temporaryLabel_;
    std::vector<QPointer<QPushButton>> writeButtons_;
    std::vector<QPointer<QPushButton>> readButtons_;
};

// A library window's view (form 4136).
class CFileView : public CParamView {
    Q_OBJECT

  public:
    explicit CFileView(CAppContext& context);
};
