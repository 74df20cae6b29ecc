#include "ui/device_history_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gp/docview/doc_template.h"
#include "model/file_document.h"
#include "model/patch_compare.h"
#include "ui/app_context.h"
#include "ui/doc.h"
#include "ui/wait_cursor.h"

namespace {

enum Column { kWhenColumn = 0, kDifferingColumn = 1 };

QString EntryTime(const HistoryEntry& entry) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(entry.time.time_since_epoch());
    QString text =
        QDateTime::fromSecsSinceEpoch(seconds.count()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (entry.sequence > 1) text += QStringLiteral(" (%1)").arg(entry.sequence);
    return text;
}

}  // namespace

CDeviceHistoryDialog::CDeviceHistoryDialog(const CDeviceHistory& history, const CPatchArray& main,
                                           QWidget* parent)
    : QDialog(parent), main_(main), entries_(history.Entries()), list_(new QTreeWidget), note_(new QLabel) {
    setObjectName(QStringLiteral("DeviceHistoryDialog"));
    setWindowTitle(tr("Device History"));
    list_->setObjectName(QStringLiteral("entries"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({tr("Read on"), tr("Patches that differ from the Main window")});
    for (const HistoryEntry& entry : entries_) {
        auto* item = new QTreeWidgetItem(list_, {EntryTime(entry), QStringLiteral("...")});
        item->setTextAlignment(kDifferingColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    list_->header()->setSectionResizeMode(kWhenColumn, QHeaderView::ResizeToContents);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setText(entries_.empty()
                       ? tr("No read has been kept yet. Every Read All that completes is kept here.")
                       : tr("Open shows the chosen read in a library window. To put it back into the TQ-550, "
                            "copy its patches into the Main window and write them."));
    auto* buttons = new QDialogButtonBox;
    open_ = buttons->addButton(tr("&Open"), QDialogButtonBox::AcceptRole);
    open_->setObjectName(QStringLiteral("open"));
    buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("close"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        const int row = list_->indexOfTopLevelItem(list_->currentItem());
        if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return;
        chosen_ = entries_[static_cast<std::size_t>(row)];
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, buttons, &QDialogButtonBox::accepted);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateOpen(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(note_);
    layout->addWidget(buttons);
    resize(560, 360);
    if (!entries_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
    UpdateOpen();
    // The counts after the dialog has shown, one entry at a time.
    if (!entries_.empty())
        QMetaObject::invokeMethod(
            this, [this] { CountNext(); }, Qt::QueuedConnection);
}

QString CDeviceHistoryDialog::EntryName(const HistoryEntry& entry) {
    return QString::fromStdWString(entry.path.stem().wstring());
}

void CDeviceHistoryDialog::UpdateOpen() {
    open_->setEnabled(list_->currentItem() != nullptr);
}

void CDeviceHistoryDialog::Count(std::size_t row) {
    CFileDocument kept;
    const bool loaded = kept.Load(entries_[row].path);
    const QString text =
        loaded ? QString::number(CountDifferingPatches(kept.Patches(), main_)) : tr("(cannot be read)");
    if (QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(row)))
        item->setText(kDifferingColumn, text);
}

void CDeviceHistoryDialog::CountNext() {
    if (counted_ >= entries_.size()) return;
    Count(counted_++);
    if (counted_ < entries_.size())
        QMetaObject::invokeMethod(
            this, [this] { CountNext(); }, Qt::QueuedConnection);
}

void CDeviceHistoryDialog::CountAll() {
    CWaitCursor wait;
    while (counted_ < entries_.size())
        Count(counted_++);
}

CFileDoc* OpenHistoryEntry(CAppContext& context, GP::CDocTemplate* library, const HistoryEntry& entry) {
    if (!library) return nullptr;
    CFileDocument kept(&context.TextOut());
    {
        CWaitCursor wait;
        if (!kept.Load(entry.path)) return nullptr;
    }
    auto* doc = qobject_cast<CFileDoc*>(library->OpenDocumentFile(QString()));
    if (!doc) return nullptr;
    CPatchArray patches;
    patches.Swap(kept.Patches());
    doc->SetPatches(std::move(patches));
    doc->SetTitle(CDeviceHistoryDialog::tr("Device History %1").arg(CDeviceHistoryDialog::EntryName(entry)));
    return doc;
}

CFileDoc* RunDeviceHistory(CAppContext& context, GP::CDocTemplate* library, const CPatchArray& main,
                           QWidget* parent) {
    if (!context.History()) return nullptr;
    CDeviceHistoryDialog dialog(*context.History(), main, parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) return nullptr;
    return OpenHistoryEntry(context, library, *dialog.Chosen());
}
