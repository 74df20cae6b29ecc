#pragma once

#include <QPointer>
#include <vector>

#include "gp/docview/document.h"
#include "gp/docview/view.h"
#include "model/data.h"
#include "ui/child_frame.h"
#include "ui/temporary_area.h"

class CAppContext;
class CCollectionModel;
class CFileDoc;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
namespace GP {
class CDocTemplate;
}

// The document of the collection window: nothing of its own (the collection is the program's); there is at
// most one, titled "Collection", never modified or saved.
class CCollectionDoc : public GP::CDocument {
    Q_OBJECT

  public:
    explicit CCollectionDoc(CAppContext& context);
    bool OnNewDocument() override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;
};

// The collection window's frame: without a stored position it opens wide and tall enough for a good part
// of the list.
class CCollectionFrame : public CChildFrame {
    Q_OBJECT

  public:
    using CChildFrame::CChildFrame;

  protected:
    void OnCreateFrame() override;
};

// The collection window (Window > Collection): a search field that filters as it is typed in (names, the
// memos of every sighting and tags; any case and width, Japanese text too), a check box for favourites
// only, a choice of tag, and the sounds found in a list like a library window's, sorted by a click on a
// column's header. Tags are edited in place and the favourite mark is a check box; rows are dragged into
// any patch list as copies.
//
// Its commands, each with one rule: Copy (the selected sounds to the program's clipboard), Select All, Find
// (to the search field), Compare (two selected sounds, or one and the clipboard's first patch), Open as
// Library (the selected sounds in a new library window), Where Seen (every sighting of the selected sound;
// one opens its file at that patch) and Favourite. While the collection cannot be used the window says why.
class CCollectionView : public GP::CView, public IAuditionList {
    Q_OBJECT

  public:
    explicit CCollectionView(CAppContext& context);
    ~CCollectionView() override;

    CAppContext& Context() const { return context_; }
    CCollectionModel& Model() const { return *model_; }
    QLineEdit* SearchField() const { return search_; }
    QCheckBox* FavouritesOnly() const { return favourites_; }
    QComboBox* TagFilter() const { return tag_; }
    QTableView* Table() const { return table_; }
    QLabel* CountLabel() const { return count_; }
    QLabel* StateLabel() const { return state_; }

    void OnInitialUpdate() override;
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    void SelectRows(const std::vector<int>& rows);

    // The rules of the window's commands.
    bool CanCopy() const;
    bool CanCompare() const;
    bool CanShowWhereSeen() const;
    bool CanMarkFavourite() const;
    bool AlwaysTrue() const { return true; }

    void OnEditCopy();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditCompare();
    void OnOpenAsLibrary() { OpenAsLibrary(); }
    void OnWhereSeen();
    // Marks the selected sounds favourites, or, when all of them are, takes the mark off.
    void OnToggleFavourite();
    // The selected sounds in a new, untitled library window; its document.
    CFileDoc* OpenAsLibrary();
    // Audition follows the selected sound, as in a patch window.
    void AuditionSelection() override;
    void StepSelection(int direction) override;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyFilter();
    void UpdateState();
    void FillTags();
    void UpdateCount();
    void ApplyAppearance();
    void ShowContextMenu(const QPoint& position);
    void RunFrameCommand(int id);
    void SelectionChanged();
    void KeepSelection();
    void RestoreSelection();
    void SaveColumnWidths() const;
    void LoadColumnWidths();
    bool AllSelectedFavourites() const;
    GP::CDocTemplate* LibraryTemplate() const;

    CAppContext& context_;
    CCollectionModel* model_;
    QLineEdit* search_;
    QCheckBox* favourites_;
    QComboBox* tag_;
    QLabel* count_;
    QLabel* state_;
    QTableView* table_;
    QPushButton* whereSeen_;
    QPushButton* openAsLibrary_;
    std::vector<std::int64_t> keptSelection_;
    std::int64_t keptCurrent_ = 0;
    int keptScroll_ = 0;
    bool filterChanging_ = false;
};
