#include "ui/timer_text_out_window.h"

#include <QFontDatabase>
#include <QPainter>

namespace UL {

CTimerTextOutWindow::CTimerTextOutWindow(QWidget* owner) : owner_(owner) {}

CTimerTextOutWindow::~CTimerTextOutWindow() {
    delete window_.data();
}

void CTimerTextOutWindow::SetOwner(QWidget* owner) {
    owner_ = owner;
}

void CTimerTextOutWindow::Output(const std::string& text) {
    if (!window_) window_ = new CWindowX(*this, owner_);
    window_->Show(QString::fromStdString(text));
}

CTimerTextOutWindow::CWindowX::CWindowX(CTimerTextOutWindow& owner, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowDoesNotAcceptFocus),
      owner_(owner) {
    setObjectName(QStringLiteral("NoticeWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral(" "));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CWindowX::Expire);
}

QString CTimerTextOutWindow::CWindowX::OneLine() const {
    // One line: line feeds and other control characters are not line breaks here.
    QString line = text_;
    for (QChar& c : line)
        if (c.unicode() < 0x20) c = QLatin1Char(' ');
    return line;
}

void CTimerTextOutWindow::CWindowX::Show(const QString& text) {
    text_ = text;
    timer_.start(owner_.GetDisplayTime());
    const auto margins = owner_.GetMargins();
    const QFontMetrics metrics(font());
    const QSize size(metrics.horizontalAdvance(OneLine()) + 1 + margins[0] + margins[2],
                     metrics.height() + margins[1] + margins[3]);
    setFixedSize(size);
    if (QWidget* over = parentWidget()) {
        const QRect area = over->frameGeometry();
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    show();
    raise();
    update();
}

void CTimerTextOutWindow::CWindowX::paintEvent(QPaintEvent*) {
    const auto margins = owner_.GetMargins();
    QPainter painter(this);
    const QFontMetrics metrics(font());
    painter.drawText(QPoint(margins[0], margins[1] + metrics.ascent()), OneLine());
}

void CTimerTextOutWindow::CWindowX::Expire() {
    timer_.stop();
    hide();
    if (QWidget* over = parentWidget()) over->repaint();
}

}  // namespace UL
