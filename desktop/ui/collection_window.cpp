#include "ui/collection_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "gp/docview/mdi_frame_wnd.h"
#include "gp/util/settings_catalog.h"
#include "textout/message_catalog.h"
#include "ui/app_context.h"
#include "ui/collection.h"
#include "ui/collection_model.h"
#include "ui/command_ids.h"
#include "ui/compare_window.h"
#include "ui/doc.h"
#include "ui/list_appearance.h"
#include "ui/memo_codec.h"
#include "ui/temporary_area.h"
#include "ui/where_seen_dialog.h"

using namespace TQ;

// ---- the document and the frame ---------------------------------------------------------------------------

CCollectionDoc::CCollectionDoc(CAppContext& /*context*/) {}

bool CCollectionDoc::OnNewDocument() {
    GP::CDocument::OnNewDocument();
    SetTitle(tr("Collection"));
    return true;
}

bool CCollectionDoc::OnCommand(int id) {
    // Nothing to save.
    if (id == GP::ID_FILE_SAVE || id == GP::ID_FILE_SAVE_AS) return true;
    return GP::CDocument::OnCommand(id);
}

bool CCollectionDoc::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    if (id == GP::ID_FILE_SAVE || id == GP::ID_FILE_SAVE_AS) {
        ui.enabled = false;
        return true;
    }
    return GP::CDocument::OnUpdateCommand(id, ui);
}

void CCollectionFrame::OnCreateFrame() {
    CChildFrame::OnCreateFrame();
    if (HasStoredPosition()) return;
    QTimer::singleShot(0, this, [this] {
        const QMdiArea* area = mdiArea();
        if (!area || isMinimized() || isMaximized()) return;
        const QSize available = area->viewport()->size();
        const int width = std::min(std::max(this->width(), available.width() * 4 / 5), available.width());
        const int height = std::min(std::max(this->height(), available.height() * 3 / 5), available.height());
        move(std::max(0, std::min(x(), available.width() - width)),
             std::max(0, std::min(y(), available.height() - height)));
        resize(width, height);
    });
}

// ---- the view
// ----------------------------------------------------------------------------------------------

namespace {

// One command of the window: its id, its rule and its handler.
struct Command {
    int id;
    bool (CCollectionView::*can)() const;
    void (CCollectionView::*run)();
};

const Command kCommands[] = {
    {ID_EDIT_COPY, &CCollectionView::CanCopy, &CCollectionView::OnEditCopy},
    {ID_EDIT_SELECT_ALL, &CCollectionView::AlwaysTrue, &CCollectionView::OnEditSelectAll},
    {ID_EDIT_FIND, &CCollectionView::AlwaysTrue, &CCollectionView::OnEditFind},
    {ID_EDIT_COMPARE, &CCollectionView::CanCompare, &CCollectionView::OnEditCompare},
    {ID_COLLECTION_OPEN_AS_LIBRARY, &CCollectionView::CanCopy, &CCollectionView::OnOpenAsLibrary},
    {ID_COLLECTION_WHERE_SEEN, &CCollectionView::CanShowWhereSeen, &CCollectionView::OnWhereSeen},
    {ID_COLLECTION_FAVOURITE, &CCollectionView::CanMarkFavourite, &CCollectionView::OnToggleFavourite},
};

}  // namespace

CCollectionView::CCollectionView(CAppContext& context)
    : context_(context),
      model_(new CCollectionModel(context.Collection(), context.MemoCodec(), this)),
      search_(new QLineEdit(this)),
      // Keys of their own: Alt with a letter of the menu bar (File, Edit, View, MIDI, Setup, Window, Help)
      // stays the menu's.
      favourites_(new QCheckBox(tr("Favourites &only"), this)),
      tag_(new QComboBox(this)),
      count_(new QLabel(this)),
      state_(new QLabel(this)),
      table_(new QTableView(this)),
      whereSeen_(new QPushButton(tr("Whe&re Seen..."), this)),
      openAsLibrary_(new QPushButton(tr("Open as &Library"), this)) {
    setObjectName(QStringLiteral("CollectionView"));
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(tr("Search names, memos and tags"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    favourites_->setObjectName(QStringLiteral("favouritesOnly"));
    tag_->setObjectName(QStringLiteral("tag"));
    tag_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    count_->setObjectName(QStringLiteral("count"));
    state_->setObjectName(QStringLiteral("state"));
    state_->setWordWrap(true);
    whereSeen_->setObjectName(QStringLiteral("whereSeen"));
    openAsLibrary_->setObjectName(QStringLiteral("openAsLibrary"));

    table_->setObjectName(QStringLiteral("sounds"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table_->setDragEnabled(true);
    table_->setDragDropMode(QAbstractItemView::DragOnly);
    table_->setDefaultDropAction(Qt::CopyAction);
    table_->setWordWrap(false);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    // Rows of one height, made only when they show: a hundred thousand of them cost no more than a page.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSortingEnabled(true);
    table_->sortByColumn(CCollectionModel::kLastSeen, Qt::DescendingOrder);

    auto* filters = new QHBoxLayout;
    filters->addWidget(search_, 1);
    filters->addWidget(favourites_);
    filters->addWidget(tag_);
    filters->addWidget(count_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(whereSeen_);
    buttons->addWidget(openAsLibrary_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(filters);
    layout->addWidget(state_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    connect(search_, &QLineEdit::textChanged, this, &CCollectionView::ApplyFilter);
    connect(favourites_, &QCheckBox::toggled, this, &CCollectionView::ApplyFilter);
    connect(tag_, &QComboBox::currentIndexChanged, this, &CCollectionView::ApplyFilter);
    connect(model_, &CCollectionModel::rowsAboutToChange, this, &CCollectionView::KeepSelection);
    connect(model_, &CCollectionModel::rowsChanged, this, [this] {
        RestoreSelection();
        UpdateCount();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { AuditionSelection(); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CCollectionView::SelectionChanged);
    connect(table_, &QTableView::customContextMenuRequested, this, &CCollectionView::ShowContextMenu);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.column() != CCollectionModel::kTags && index.column() != CCollectionModel::kFavourite)
            RunFrameCommand(ID_COLLECTION_WHERE_SEEN);
    });
    connect(whereSeen_, &QPushButton::clicked, this, [this] { RunFrameCommand(ID_COLLECTION_WHERE_SEEN); });
    connect(openAsLibrary_, &QPushButton::clicked, this,
            [this] { RunFrameCommand(ID_COLLECTION_OPEN_AS_LIBRARY); });
    CCollection& collection = context_.Collection();
    connect(&collection, &CCollection::opened, this, &CCollectionView::UpdateState);
    connect(&collection, &CCollection::stateChanged, this, &CCollectionView::UpdateState);
    connect(&collection, &CCollection::indexChanged, this, &CCollectionView::FillTags);
    connect(&context_.Appearance(), &CListAppearance::fontChanged, this, &CCollectionView::ApplyAppearance);
    connect(&context_.Appearance(), &CListAppearance::gridChanged, this, &CCollectionView::ApplyAppearance);
    connect(&context_.Clipboard(), &CPatchClipboard::changed, this, &CCollectionView::CommandStatesChanged);
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { SaveColumnWidths(); });
}

CCollectionView::~CCollectionView() = default;

void CCollectionView::OnInitialUpdate() {
    ApplyAppearance();
    LoadColumnWidths();
    FillTags();
    UpdateState();
    UpdateCount();
    SelectionChanged();
    search_->setFocus();
}

void CCollectionView::ApplyAppearance() {
    const GP::CFontEx& font = context_.Appearance().Font();
    if (font.HasFont()) {
        table_->setFont(font.Font());
        QPalette palette = table_->palette();
        palette.setColor(QPalette::Text, font.Color());
        table_->setPalette(palette);
    }
    table_->setShowGrid(context_.Appearance().Grid());
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
}

void CCollectionView::UpdateState() {
    const CCollection& collection = context_.Collection();
    QString text;
    if (!collection.IsOpen())
        text = tr("Opening the collection...");
    else if (collection.StateMessage() >= 0)
        text = QString::fromStdString(GetMessageCatalog().Text(collection.StateMessage()));
    state_->setText(text);
    state_->setVisible(!text.isEmpty());
    const bool usable = collection.CanRead();
    search_->setEnabled(usable);
    favourites_->setEnabled(usable);
    tag_->setEnabled(usable);
    CommandStatesChanged();
    SelectionChanged();
}

void CCollectionView::FillTags() {
    const QString current = tag_->currentIndex() > 0 ? tag_->currentText() : QString();
    const QSignalBlocker block(tag_);
    tag_->clear();
    tag_->addItem(tr("All tags"));
    for (const std::string& tag : context_.Collection().Index().Tags())
        tag_->addItem(QString::fromStdString(tag));
    const int found = current.isEmpty() ? 0 : tag_->findText(current);
    tag_->setCurrentIndex(std::max(found, 0));
    // A tag that no sound carries any longer is no filter.
    if (found < 0) ApplyFilter();
}

void CCollectionView::ApplyFilter() {
    SoundFilter filter;
    filter.text = search_->text().toStdString();
    filter.favouritesOnly = favourites_->isChecked();
    if (tag_->currentIndex() > 0) filter.tag = tag_->currentText().toStdString();
    // Another search shows its first rows (or the first of those still selected).
    filterChanging_ = true;
    model_->SetFilter(filter);
    filterChanging_ = false;
}

void CCollectionView::UpdateCount() {
    const std::size_t total = context_.Collection().Index().Size();
    const int shown = model_->rowCount();
    count_->setText(static_cast<std::size_t>(shown) == total ? tr("Sounds: %1").arg(shown)
                                                             : tr("Sounds: %1 of %2").arg(shown).arg(total));
}

void CCollectionView::KeepSelection() {
    keptSelection_.clear();
    for (int row : SelectedRows())
        keptSelection_.push_back(model_->IdAt(row));
    const QModelIndex current = table_->currentIndex();
    keptCurrent_ = current.isValid() ? model_->IdAt(current.row()) : 0;
    keptScroll_ = table_->verticalScrollBar()->value();
}

void CCollectionView::RestoreSelection() {
    SelectRows(model_->RowsOf(keptSelection_));
    if (keptCurrent_ != 0)
        if (const int row = model_->RowOf(keptCurrent_); row >= 0)
            table_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
    if (!filterChanging_) {
        table_->verticalScrollBar()->setValue(keptScroll_);
    } else if (const std::vector<int> rows = SelectedRows(); !rows.empty()) {
        table_->scrollTo(model_->index(rows.front(), 0));
    } else {
        table_->scrollToTop();
    }
}

std::vector<int> CCollectionView::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CCollectionView::SelectRows(const std::vector<int>& rows) {
    // Runs of rows as one range each: a selection of every row is one range.
    QItemSelection selection;
    const int last = model_->columnCount() - 1;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(model_->index(rows[i], 0), model_->index(rows[j], last));
        i = j + 1;
    }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CCollectionView::SelectionChanged() {
    const bool usable = context_.Collection().CanRead();
    whereSeen_->setEnabled(usable && CanShowWhereSeen());
    openAsLibrary_->setEnabled(usable && CanCopy());
    CommandStatesChanged();
    AuditionSelection();
}

void CCollectionView::AuditionSelection() {
    CTemporaryArea& area = context_.Temporary();
    if (!area.IsAuditioning() || !IsInActiveWindow() || !context_.Collection().CanRead()) return;
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1) return;
    CTemporaryPatch patch;
    patch.patch.SetInitialData(context_.Initial());
    if (!model_->PatchesOf(rows, patch.patch) || patch.patch.GetSize() != 1) return;
    const QString name = model_->data(model_->index(rows[0], CCollectionModel::kName)).toString().trimmed();
    patch.label = tr("%1 (%2)").arg(name, tr("Collection"));
    area.Select(std::move(patch));
}

void CCollectionView::StepSelection(int direction) {
    const int count = model_->rowCount();
    if (count == 0) return;
    const std::vector<int> selected = SelectedRows();
    const int from = selected.size() == 1 ? selected[0] : table_->currentIndex().row();
    const int row = from < 0 ? (direction > 0 ? 0 : count - 1) : std::clamp(from + direction, 0, count - 1);
    const QModelIndex index = model_->index(row, std::max(0, table_->currentIndex().column()));
    table_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
}

bool CCollectionView::CanCopy() const {
    return context_.Collection().CanRead() && table_->selectionModel()->hasSelection();
}

bool CCollectionView::CanCompare() const {
    if (!context_.Collection().CanRead()) return false;
    const std::size_t selected = SelectedRows().size();
    return selected == 2 || (selected == 1 && !context_.Clipboard().IsEmpty());
}

bool CCollectionView::CanShowWhereSeen() const {
    return context_.Collection().CanRead() && SelectedRows().size() == 1;
}

bool CCollectionView::CanMarkFavourite() const {
    return context_.Collection().CanWrite() && table_->selectionModel()->hasSelection();
}

bool CCollectionView::AllSelectedFavourites() const {
    const std::vector<int> rows = SelectedRows();
    return !rows.empty() && std::all_of(rows.begin(), rows.end(),
                                        [this](int row) { return model_->SummaryAt(row).favourite; });
}

void CCollectionView::OnEditCopy() {
    CPatchArray patches;
    if (!model_->PatchesOf(SelectedRows(), patches)) return;
    std::vector<int> all(patches.GetSize());
    std::iota(all.begin(), all.end(), 0);
    context_.Clipboard().CopyFrom(patches, all);
}

void CCollectionView::OnEditSelectAll() {
    std::vector<int> rows(static_cast<std::size_t>(model_->rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    SelectRows(rows);
    table_->setFocus();
}

void CCollectionView::OnEditFind() {
    search_->setFocus();
    search_->selectAll();
}

void CCollectionView::OnEditCompare() {
    const std::vector<int> rows = SelectedRows();
    CPatchArray patches;
    if (!model_->PatchesOf(rows, patches) || patches.IsEmpty()) return;
    const auto place = [this](int row) {
        return tr("%1 in the collection")
            .arg(model_->data(model_->index(row, CCollectionModel::kName)).toString());
    };
    const ComparedPatch first{patches[0], place(rows[0])};
    const QString text =
        patches.GetSize() >= 2
            ? CCompareWindow::ComparisonText(first, {patches[1], place(rows[1])}, context_.MemoCodec())
            : CCompareWindow::ComparisonText(
                  first, {context_.Clipboard().Patches()[0], tr("the first patch of the clipboard")},
                  context_.MemoCodec());
    CCompareWindow::Of(window())->ShowText(text);
}

GP::CDocTemplate* CCollectionView::LibraryTemplate() const {
    const GP::CDocTemplate* own = GetDocument() ? GetDocument()->GetDocTemplate() : nullptr;
    const GP::CDocManager* manager = own ? own->GetDocManager() : nullptr;
    if (!manager) return nullptr;
    for (GP::CDocTemplate* candidate : manager->GetTemplates())
        if (candidate->GetResourceId() == IDR_LIBRARY) return candidate;
    return nullptr;
}

CFileDoc* CCollectionView::OpenAsLibrary() {
    GP::CDocTemplate* library = LibraryTemplate();
    CPatchArray patches;
    patches.SetInitialData(context_.Initial());
    if (!library || !CanCopy() || !model_->PatchesOf(SelectedRows(), patches)) return nullptr;
    auto* doc = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
    if (!doc) return nullptr;
    // Untitled and modified, as a new library with patches of its own: saving asks for a name.
    doc->SetPatches(std::move(patches));
    doc->SetModifiedFlag(true);
    return doc;
}

void CCollectionView::OnWhereSeen() {
    const std::vector<int> rows = SelectedRows();
    ICollectionStore* store = context_.Collection().Store();
    if (rows.size() != 1 || !store) return;
    std::vector<Sighting> sightings;
    if (!store->ReadSightings(model_->IdAt(rows[0]), sightings)) return;
    CWhereSeenDialog dialog(model_->data(model_->index(rows[0], CCollectionModel::kName)).toString(),
                            std::move(sightings), context_, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) return;
    OpenSighting(context_, LibraryTemplate(), *dialog.Chosen());
}

void CCollectionView::OnToggleFavourite() {
    const bool mark = !AllSelectedFavourites();
    std::vector<SoundId> ids;
    for (int row : SelectedRows())
        ids.push_back(model_->IdAt(row));
    for (SoundId id : ids)
        if (!context_.Collection().SetFavourite(id, mark)) break;
}

bool CCollectionView::OnCommand(int id) {
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        if ((this->*command.can)()) (this->*command.run)();
        return true;
    }
    return false;
}

bool CCollectionView::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        ui.enabled = (this->*command.can)();
        if (id == ID_COLLECTION_FAVOURITE) {
            ui.checkable = true;
            ui.checked = AllSelectedFavourites();
        }
        return true;
    }
    return false;
}

void CCollectionView::RunFrameCommand(int id) {
    GP::CMDIChildWnd* frame = GetParentFrame();
    GP::CMDIFrameWnd* main = frame ? frame->GetMDIFrame() : nullptr;
    if (main)
        main->ExecuteCommand(id);
    else
        OnCommand(id);
}

void CCollectionView::ShowContextMenu(const QPoint& position) {
    QMenu menu(this);
    const auto add = [&](int id, const QString& text) {
        QAction* action = menu.addAction(text);
        GP::CCmdUI ui;
        OnUpdateCommand(id, ui);
        action->setEnabled(ui.enabled);
        action->setCheckable(ui.checkable);
        action->setChecked(ui.checked);
        connect(action, &QAction::triggered, this, [this, id] { RunFrameCommand(id); });
    };
    add(ID_EDIT_COPY, tr("&Copy"));
    add(ID_EDIT_COMPARE, tr("Co&mpare"));
    menu.addSeparator();
    add(ID_COLLECTION_OPEN_AS_LIBRARY, tr("Open as &Library"));
    add(ID_COLLECTION_WHERE_SEEN, tr("&Where Seen..."));
    menu.addSeparator();
    add(ID_COLLECTION_FAVOURITE, tr("&Favourite"));
    menu.exec(table_->viewport()->mapToGlobal(position));
}

bool CCollectionView::eventFilter(QObject* watched, QEvent* event) {
    // Down or Return in the search field goes on in the list.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) &&
            model_->rowCount() > 0) {
            table_->setFocus();
            if (!table_->selectionModel()->hasSelection()) SelectRows({0});
            table_->selectionModel()->setCurrentIndex(model_->index(SelectedRows().front(), 0),
                                                      QItemSelectionModel::NoUpdate);
            return true;
        }
    }
    return GP::CView::eventFilter(watched, event);
}

void CCollectionView::SaveColumnWidths() const {
    QStringList widths;
    for (int column = 0; column < CCollectionModel::kColumnCount; ++column)
        widths << QString::number(table_->columnWidth(column));
    Profile::kCollectionColumnWidths.Write(&context_.Settings(), widths.join(QLatin1Char(',')));
}

void CCollectionView::LoadColumnWidths() {
    const QStringList widths =
        Profile::kCollectionColumnWidths.Read(&context_.Settings()).split(QLatin1Char(','));
    const QSignalBlocker block(table_->horizontalHeader());
    // The average width of a Latin letter: a Japanese font's average character is as wide as a kanji.
    const QFontMetrics metrics = table_->fontMetrics();
    const int character = metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyz")) / 26;
    // Without stored widths: room for a whole name in capitals, short memos, tags, the mark, a whole time
    // and a file name.
    int defaults[CCollectionModel::kColumnCount] = {0, 14, 10, 8, 8, 10, 11, 0, 26};
    for (int& width : defaults)
        width *= character;
    defaults[CCollectionModel::kName] = metrics.horizontalAdvance(QString(16, QLatin1Char('N'))) * 7 / 8;
    defaults[CCollectionModel::kLastSeen] =
        metrics.horizontalAdvance(QStringLiteral("2026-12-31 23:59:59 ")) + character;
    for (int column = 0; column < CCollectionModel::kColumnCount; ++column) {
        bool ok = false;
        const int stored = widths.value(column).toInt(&ok);
        table_->setColumnWidth(column, ok && stored > 0 ? stored : defaults[column]);
    }
}
