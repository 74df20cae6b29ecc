#include "ui/compare_window.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "model/patch.h"
#include "model/patch_compare.h"
#include "model/patch_compare_text.h"
#include "ui/memo_codec.h"

namespace {

const char kObjectName[] = "CompareWindow";

QString Translate(const char* text) {
    return QCoreApplication::translate("CCompareWindow", text);
}

std::string Label(const char* text) {
    return Translate(text).toStdString();
}

// The words of the core's comparison text in the interface language.
PatchCompareLabels TranslatedLabels() {
    PatchCompareLabels labels;
    labels.first = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Patch 1"));
    labels.second = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Patch 2"));
    labels.name = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Name"));
    labels.memo = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Memo %1"));
    labels.same = Label(QT_TRANSLATE_NOOP("CCompareWindow", "same"));
    labels.different = Label(QT_TRANSLATE_NOOP("CCompareWindow", "different"));
    labels.identical = Label(QT_TRANSLATE_NOOP("CCompareWindow", "The patches are identical."));
    labels.dataSame = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Data: the same"));
    labels.dataDiffer = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Differing data bytes: %1; runs: %2"));
    labels.run = Label(QT_TRANSLATE_NOOP("CCompareWindow", "Address %1 to %2, chunk %3, length %4"));
    return labels;
}

}  // namespace

CCompareWindow::CCompareWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      text_(new QPlainTextEdit),
      copy_(new QPushButton(Translate(QT_TRANSLATE_NOOP("CCompareWindow", "&Copy")))),
      close_(new QPushButton(Translate(QT_TRANSLATE_NOOP("CCompareWindow", "Close")))) {
    setObjectName(QString::fromLatin1(kObjectName));
    setWindowTitle(Translate(QT_TRANSLATE_NOOP("CCompareWindow", "Compare")));
    // The frame keeps the focus when the window comes up.
    setAttribute(Qt::WA_ShowWithoutActivating);
    text_->setObjectName(QStringLiteral("comparison"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    copy_->setObjectName(QStringLiteral("copy"));
    close_->setObjectName(QStringLiteral("close"));
    copy_->setAutoDefault(false);
    close_->setAutoDefault(false);
    connect(copy_, &QPushButton::clicked, this, [this] { CopyAll(); });
    connect(close_, &QPushButton::clicked, this, &QWidget::hide);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    const QFontMetrics metrics(text_->font());
    // Room for a run's line of sixteen bytes beside its address and label.
    resize(metrics.horizontalAdvance(QString(76, QLatin1Char('0'))) + 40, metrics.height() * 24 + 60);
}

CCompareWindow* CCompareWindow::Of(QWidget* owner) {
    auto* window = owner ? owner->findChild<CCompareWindow*>(QString::fromLatin1(kObjectName),
                                                             Qt::FindDirectChildrenOnly)
                         : nullptr;
    return window ? window : new CCompareWindow(owner);
}

QString CCompareWindow::ComparisonText(const ComparedPatch& first, const ComparedPatch& second,
                                       const CMemoCodec& codec) {
    const PatchCompareLabels labels = TranslatedLabels();
    QString text;
    for (const ComparedPatch* side : {&first, &second}) {
        text += QString::fromStdString(side == &first ? labels.first : labels.second) + QStringLiteral(": ") +
                side->where + QLatin1Char('\n');
        for (int m = 0; m < CParameter::kMemoCount; ++m)
            text += QStringLiteral("  ") +
                    QString::fromStdString(FormatLabel(labels.memo, {std::to_string(m + 1)})) +
                    QStringLiteral(": ") + codec.Decode(side->patch.GetMemo(m)) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n');
    const PatchComparison comparison = ComparePatches(first.patch, second.patch);
    text += QString::fromStdString(RenderPatchComparison(first.patch, second.patch, comparison, labels));
    return text;
}

void CCompareWindow::ShowText(const QString& text) {
    text_->setPlainText(text);
    if (QWidget* over = parentWidget(); over && !isVisible()) {
        const QRect area = over->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

QString CCompareWindow::Text() const {
    return text_->toPlainText();
}

void CCompareWindow::CopyAll() const {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(Text());
}
