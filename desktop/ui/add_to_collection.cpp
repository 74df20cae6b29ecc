#include "ui/add_to_collection.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/utf8_path.h"
#include "ui/collection.h"
#include "ui/progress_bar.h"

CAddSummaryDialog::CAddSummaryDialog(const AddSummary& summary, QWidget* parent)
    : QDialog(parent), counts_(new QLabel(this)), refused_(new QPlainTextEdit(this)), copy_(nullptr) {
    setObjectName(QStringLiteral("AddSummaryDialog"));
    setWindowTitle(tr("Add Folder to Collection"));
    QStringList lines;
    if (summary.cancelled) lines << tr("Cancelled: what was added before stays in the collection.");
    if (summary.storeFailed) lines << tr("The collection could not be changed: the rest was not added.");
    lines << tr("Files read: %1").arg(summary.files) << tr("Patches found: %1").arg(summary.patches)
          << tr("New sounds: %1").arg(summary.newSounds)
          << tr("Files refused: %1").arg(static_cast<int>(summary.refused.size()));
    counts_->setObjectName(QStringLiteral("counts"));
    counts_->setText(lines.join(QLatin1Char('\n')));
    refused_->setObjectName(QStringLiteral("refused"));
    refused_->setReadOnly(true);
    refused_->setLineWrapMode(QPlainTextEdit::NoWrap);
    refused_->setPlainText(RefusedText(summary));
    refused_->setVisible(!summary.refused.empty());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    copy_ = buttons->addButton(tr("&Copy List"), QDialogButtonBox::ActionRole);
    copy_->setObjectName(QStringLiteral("copy"));
    copy_->setVisible(!summary.refused.empty());
    connect(copy_, &QPushButton::clicked, this, &CAddSummaryDialog::CopyRefused);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counts_);
    layout->addWidget(refused_, 1);
    layout->addWidget(buttons);
    if (!summary.refused.empty()) resize(720, 360);
}

QString CAddSummaryDialog::RefusedText(const AddSummary& summary) {
    QStringList lines;
    for (const RefusedFile& file : summary.refused)
        lines << QString::fromStdString(PathToUtf8(file.path)) + QLatin1Char('\t') +
                     QString::fromStdString(file.message);
    return lines.join(QLatin1Char('\n'));
}

void CAddSummaryDialog::CopyRefused() const {
    QApplication::clipboard()->setText(refused_->toPlainText());
}

CAddToCollection::CAddToCollection(CCollection& collection, CProgressBar& progress, QWidget* owner)
    : QObject(owner), collection_(collection), progress_(progress), owner_(owner) {}

QString CAddToCollection::Caption(const AddProgress& progress) {
    if (!progress.walkDone) return tr("Looking for files: %1 found").arg(progress.filesFound);
    return tr("%1 of %2 files, %3 new patches")
        .arg(progress.filesDone)
        .arg(progress.filesFound)
        .arg(progress.newSounds);
}

bool CAddToCollection::Start(std::vector<std::filesystem::path> paths, const PatchFileOptions& options) {
    connect(&collection_, &CCollection::addProgress, this, &CAddToCollection::OnProgress);
    connect(&collection_, &CCollection::addFinished, this, &CAddToCollection::OnFinished);
    connect(&progress_, &CProgressBar::cancelRequested, &collection_, &CCollection::CancelAdding);
    if (!collection_.StartAdding(std::move(paths), options)) {
        deleteLater();
        return false;
    }
    progress_.Begin(0, Caption({}).toStdString(), true);
    return true;
}

void CAddToCollection::OnProgress(const AddProgress& progress) {
    progress_.SetRange(progress.walkDone ? static_cast<int>(progress.filesFound) : 0);
    progress_.SetPosition(static_cast<int>(progress.filesDone));
    progress_.SetCaption(Caption(progress));
}

void CAddToCollection::OnFinished(const AddSummary& summary) {
    disconnect(&progress_, &CProgressBar::cancelRequested, &collection_, &CCollection::CancelAdding);
    progress_.End();
    progress_.Dismiss();
    auto* dialog = new CAddSummaryDialog(summary, owner_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    emit summaryShown(dialog);
    deleteLater();
}
