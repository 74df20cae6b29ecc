#include "ui/where_seen_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "exchange/file_kind.h"
#include "gp/docview/doc_manager.h"
#include "gp/docview/doc_template.h"
#include "model/device_history.h"
#include "ui/app_context.h"
#include "ui/device_history_dialog.h"
#include "ui/doc.h"
#include "ui/file_exchange.h"
#include "ui/memo_codec.h"
#include "ui/param_view.h"

namespace {

bool HasFile(const Sighting& sighting) {
    return sighting.kind != SightingKind::DeviceRead && !sighting.path.empty();
}

QString PlaceText(const Sighting& sighting) {
    if (sighting.slot != kNoSlot) return QString::fromStdString(SlotText(sighting.slot));
    return QString::number(sighting.position + 1);
}

}  // namespace

CWhereSeenDialog::CWhereSeenDialog(const QString& name, std::vector<Sighting> sightings,
                                   const CAppContext& context, QWidget* parent)
    : QDialog(parent), sightings_(std::move(sightings)), list_(new QTreeWidget(this)), open_(nullptr) {
    setObjectName(QStringLiteral("WhereSeenDialog"));
    setWindowTitle(tr("Where Seen: %1").arg(name));
    auto* note = new QLabel(tr("Every place where this patch was seen, the most recent first."), this);
    list_->setObjectName(QStringLiteral("sightings"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels(
        {tr("Where"), tr("Patch"), tr("Kind"), tr("Memo 1"), tr("First Seen"), tr("Last Seen")});
    for (const Sighting& sighting : sightings_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, sighting.kind == SightingKind::DeviceRead ? QStringLiteral("TQ-550")
                                                                   : QString::fromStdString(sighting.path));
        item->setText(1, PlaceText(sighting));
        item->setText(2, KindText(sighting));
        item->setText(3, context.MemoCodec().Decode(sighting.memos[0]));
        item->setText(4, QString::fromStdString(LocalTimeText(sighting.firstSeen)));
        item->setText(5, QString::fromStdString(LocalTimeText(sighting.lastSeen)));
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!sightings_.empty()) list_->setCurrentItem(list_->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    open_ = buttons->addButton(tr("&Open"), QDialogButtonBox::AcceptRole);
    open_->setObjectName(QStringLiteral("open"));
    open_->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(open_, &QPushButton::clicked, this, [this] {
        const int row = list_->indexOfTopLevelItem(list_->currentItem());
        if (row < 0 || !HasFile(sightings_[static_cast<std::size_t>(row)])) return;
        chosen_ = sightings_[static_cast<std::size_t>(row)];
        accept();
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, &CWhereSeenDialog::UpdateOpen);
    connect(list_, &QTreeWidget::itemDoubleClicked, open_, &QPushButton::click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(760, 320);
    UpdateOpen();
}

QString CWhereSeenDialog::KindText(const Sighting& sighting) {
    switch (sighting.kind) {
        case SightingKind::LibraryFile:
            return tr("Library");
        case SightingKind::DeviceRead:
            return tr("Read from the TQ-550");
        case SightingKind::HistoryEntry:
            return tr("Device History");
        case SightingKind::Import:
            return tr("Import (%1)").arg(QString::fromStdString(sighting.format));
    }
    return QString();
}

void CWhereSeenDialog::UpdateOpen() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    open_->setEnabled(row >= 0 && HasFile(sightings_[static_cast<std::size_t>(row)]));
}

CDoc* OpenSighting(CAppContext& context, GP::CDocTemplate* library, const Sighting& sighting) {
    if (!library || !HasFile(sighting)) return nullptr;
    const QString path = QString::fromStdString(sighting.path);
    CDoc* doc = nullptr;
    if (sighting.kind == SightingKind::HistoryEntry) {
        if (const std::optional<HistoryEntry> entry = CDeviceHistory::EntryFor(ToFilePath(path)))
            doc = OpenHistoryEntry(context, library, *entry);
    } else if (sighting.kind == SightingKind::Import) {
        if (const std::optional<FileKind> kind = FileKindFromName(sighting.format))
            doc = CFileExchange(context).OpenAsLibrary(library, *kind, path);
    }
    if (!doc && sighting.kind != SightingKind::Import) {
        GP::CDocManager* manager = library->GetDocManager();
        doc = manager ? qobject_cast<CDoc*>(manager->OpenDocumentFile(path)) : nullptr;
    }
    if (!doc) return nullptr;
    for (GP::CView* view : doc->GetViews())
        if (auto* patches = qobject_cast<CParamView*>(view)) {
            if (sighting.position >= 0 &&
                static_cast<std::size_t>(sighting.position) < doc->Patches().GetSize())
                patches->List().SelectIndexes({sighting.position}, true);
            patches->List().setFocus();
        }
    return doc;
}
