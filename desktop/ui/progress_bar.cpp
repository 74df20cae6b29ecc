#include "ui/progress_bar.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "model/parameter_address.h"

namespace {

// The width of the caption in average characters: room for "User Patch U50-4" and more.
constexpr int kCaptionChars = 40;

}  // namespace

CProgressBar::CProgressBar(QWidget* owner)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      owner_(owner),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      cancelButton_(nullptr) {
    setObjectName(QStringLiteral("ProgressBar"));
    // No title of its own; a blank keeps the window system from putting the program's name there.
    setWindowTitle(QStringLiteral(" "));
    // Shown without a loop of its own, but no other window takes input meanwhile: the owner is blocked
    // as long as the dialog is open.
    setWindowModality(Qt::ApplicationModal);
    label_->setObjectName(QStringLiteral("caption"));
    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setTextVisible(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    connect(cancelButton_, &QPushButton::clicked, this, &CProgressBar::Cancel);

    const QFontMetrics metrics(font());
    const int width = metrics.averageCharWidth() * kCaptionChars;
    // A caption never resizes the dialog.
    label_->setFixedWidth(width);
    label_->setFixedHeight(metrics.height());
    bar_->setFixedWidth(width);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    linger_.setSingleShot(true);
    linger_.setTimerType(Qt::PreciseTimer);
    linger_.setInterval(kLingerMs);
    connect(&linger_, &QTimer::timeout, this, &CProgressBar::Finish);
}

CProgressBar::~CProgressBar() = default;

void CProgressBar::SetOwner(QWidget* owner) {
    owner_ = owner;
}

void CProgressBar::Prepare() {
    ensurePolished();
    adjustSize();
    if (!windowHandle()) create();
    // Painted once off screen: the fonts and the style's pieces are ready when it first shows.
    label_->setText(PatchCaption(AREA_USER_PATCH, 0));
    (void)grab();
    label_->clear();
}

void CProgressBar::Place() {
    adjustSize();
    QWidget* over = owner_ ? owner_->window() : nullptr;
    if (over && over->isVisible()) {
        if (!windowHandle()) create();
        if (over->windowHandle()) windowHandle()->setTransientParent(over->windowHandle());
        move(over->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void CProgressBar::Begin(int range, const std::string& caption, bool cancellable) {
    if (nesting_++ > 0) return;
    const bool reopened = linger_.isActive();
    linger_.stop();
    cancelFlag_ = false;
    cancellable_ = cancellable;
    cancelButton_->setVisible(cancellable);
    if (!reopened) Place();
    label_->setText(QString::fromStdString(caption));
    SetRange(range);
    SetPosition(0);
    show();
    raise();
    activateWindow();
}

void CProgressBar::End() {
    if (nesting_ == 0) return;
    if (--nesting_ > 0) return;
    // The final state stays in view for a second; the transfer itself is over.
    linger_.start();
}

void CProgressBar::Dismiss() {
    if (!IsLingering()) return;
    linger_.stop();
    Finish();
}

void CProgressBar::Finish() {
    hide();
    if (owner_) owner_->window()->activateWindow();
    emit dismissed();
}

void CProgressBar::SetPosition(int position) {
    if (nesting_ != 1) return;
    position_ = position;
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

QString CProgressBar::PatchCaption(int area, int number) {
    if (area == AREA_TEMPORARY_PATCH) return tr("Temporary Patch");
    if (area != AREA_USER_PATCH) return QString();
    return tr("User Patch %1").arg(QString::fromStdString(UserPatchLabel(number)));
}

void CProgressBar::SetPatch(int area, int number) {
    if (nesting_ != 1) return;
    CKivProgressBar::SetPatch(area, number);
    label_->setText(PatchCaption(area, number));
}

void CProgressBar::SetCaption(const QString& caption) {
    if (nesting_ != 1) return;
    label_->setText(caption);
}

void CProgressBar::SetRange(int range) {
    range_ = range;
    bar_->setRange(0, std::max(range, 0));
}

void CProgressBar::Cancel() {
    if (nesting_ == 0 || !cancellable_ || cancelFlag_) return;
    cancelFlag_ = true;
    emit cancelRequested();
}

void CProgressBar::reject() {
    Cancel();
}

void CProgressBar::closeEvent(QCloseEvent* event) {
    event->ignore();
    Cancel();
}
