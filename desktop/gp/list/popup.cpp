#include "gp/list/popup.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace GP {

namespace {

// Runs the modal loop of IPopup::RunModal: ends on Enter (validated), Escape, a press outside the editor
// or the editor being hidden.
class CModalPopupOwner : public QObject, public IPopupOwner {
  public:
    explicit CModalPopupOwner(IPopup& popup) : popup_(popup) {}

    int Run() {
        qApp->installEventFilter(this);
        const int result = loop_.exec();
        qApp->removeEventFilter(this);
        return result;
    }

    void OnPopupNotify(IPopup& popup, int code) override {
        if (code == POPUP_ENTER) {
            const IPopup::Validator& validator = popup.GetValidator();
            if (validator && !validator(popup.Text())) {
                QApplication::beep();
                return;
            }
            loop_.exit(1);
        } else if (code == POPUP_ESCAPE) {
            loop_.exit(2);
        }
    }

    bool OnPopupDelta(IPopup&, double, double) override { return true; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QWidget* window = popup_.Window();
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && !IsWidgetWithin(widget, window) && loop_.isRunning()) {
                loop_.exit(0);
                return true;
            }
        } else if (watched == window && type == QEvent::Hide && loop_.isRunning()) {
            loop_.exit(0);
        }
        return false;
    }

  private:
    IPopup& popup_;
    QEventLoop loop_;
};

}  // namespace

bool IsWidgetWithin(const QWidget* widget, const QWidget* ancestor) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == ancestor) return true;
    return false;
}

void IPopup::Notify(int code) {
    if (owner_) owner_->OnPopupNotify(*this, code);
}

bool IPopup::HandleEndKey(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        Notify(POPUP_ENTER);
        return true;
    }
    if (key == Qt::Key_Escape) {
        event->accept();
        Notify(POPUP_ESCAPE);
        return true;
    }
    return false;
}

int IPopup::RunModal(QWidget* owner, const QRect& globalRect, QString& text) {
    QWidget* window = Window();
    QWidget* oldParent = window->parentWidget();
    const Qt::WindowFlags oldFlags = window->windowFlags();
    const QRect oldGeometry = window->geometry();
    IPopupOwner* oldOwner = owner_;

    CModalPopupOwner modal(*this);
    owner_ = &modal;
    SetText(text);
    modified_ = false;
    window->setParent(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window->setGeometry(globalRect);
    const bool ownerWasEnabled = owner && owner->isEnabled();
    if (owner) owner->setEnabled(false);
    window->show();
    window->activateWindow();
    window->setFocus();

    const int result = modal.Run();

    text = Text();
    window->hide();
    window->setParent(oldParent, oldFlags);
    window->setGeometry(oldGeometry);
    owner_ = oldOwner;
    if (owner && ownerWasEnabled) owner->setEnabled(true);
    return result;
}

}  // namespace GP
