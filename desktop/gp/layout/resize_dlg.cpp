#include "gp/layout/resize_dlg.h"

#include <QGuiApplication>
#include <QScreen>

#include "gp/util/settings_text.h"
#include "settings/settings_store.h"

namespace GP {

CResizeDlg::CResizeDlg(CDialogTemplate dialogTemplate, ISettingsStore* settings, QWidget* parent,
                       bool sizeGrip)
    : QDialog(parent), template_(std::move(dialogTemplate)), settings_(settings) {
    baseUnits_ = DialogBaseUnits(font());
    initialSize_ = MapDialogSize(template_.size, baseUnits_);
    layout_.SetTemplateSize(initialSize_);
    resize(initialSize_);
    setMinimumSize(initialSize_);
    setSizeGripEnabled(sizeGrip);
}

void CResizeDlg::AddControl(int id, QWidget* control, int anchor) {
    if (!control) return;
    control->setParent(this);
    const CDialogItem* item = template_.Find(id);
    const QRect rect = item ? MapDialogRect(item->rect, baseUnits_) : control->geometry();
    layout_.Add(id, control, rect, anchor);
    control->setGeometry(CAnchorLayout::Compute(rect, anchor, initialSize_, size()));
}

void CResizeDlg::RecalcLayout() {
    layout_.Apply(size());
    OnLayoutChanged();
}

void CResizeDlg::done(int result) {
    StorePlacement();
    QDialog::done(result);
}

void CResizeDlg::showEvent(QShowEvent* event) {
    if (!restored_) {
        restored_ = true;
        RestorePlacement();
    }
    QDialog::showEvent(event);
    RecalcLayout();
}

void CResizeDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    RecalcLayout();
}

void CResizeDlg::RestorePlacement() {
    const std::string section = SettingsSection().toStdString();
    if (!settings_ || section.empty()) return;
    std::vector<int> v;
    const QString sizeName = SizeValueName();
    if (!sizeName.isEmpty() &&
        ParseIntegers(settings_->GetString(section, sizeName.toStdString(), ""), 2, v)) {
        const QSize stored(v[0], v[1]);
        if (IsReasonableRect(QRect(QPoint(0, 0), stored))) resize(stored.expandedTo(minimumSize()));
    }
    const QString rectName = RectValueName();
    if (!rectName.isEmpty() &&
        ParseIntegers(settings_->GetString(section, rectName.toStdString(), ""), 4, v)) {
        QRect stored(v[0], v[1], v[2] - v[0], v[3] - v[1]);
        if (!IsReasonableRect(stored)) return;
        stored.setSize(stored.size().expandedTo(minimumSize()));
        QScreen* screen = QGuiApplication::screenAt(stored.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect available = screen->availableGeometry();
            // Moved into the screen when it lies (partly) outside.
            if (stored.right() > available.right()) stored.moveRight(available.right());
            if (stored.bottom() > available.bottom()) stored.moveBottom(available.bottom());
            if (stored.left() < available.left()) stored.moveLeft(available.left());
            if (stored.top() < available.top()) stored.moveTop(available.top());
        }
        move(stored.topLeft());
        resize(stored.size());
    }
}

void CResizeDlg::StorePlacement() {
    const std::string section = SettingsSection().toStdString();
    if (!settings_ || section.empty()) return;
    const QRect r(pos(), size());
    if (!SizeValueName().isEmpty())
        settings_->WriteString(section, SizeValueName().toStdString(),
                               FormatIntegers({r.width(), r.height()}));
    if (!RectValueName().isEmpty())
        settings_->WriteString(
            section, RectValueName().toStdString(),
            FormatIntegers({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}));
}

}  // namespace GP
