#include "ui/ui_thread_text_out.h"

#include <QMetaObject>
#include <QThread>

CUiThreadTextOut::CUiThreadTextOut(std::shared_ptr<CKivTextOut> sink) : sink_(std::move(sink)) {}

bool CUiThreadTextOut::OnOwnThread() const {
    return QThread::currentThread() == thread();
}

void CUiThreadTextOut::Write(const std::string& text) {
    if (!sink_) return;
    if (OnOwnThread()) {
        sink_->Write(text);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, text] { sink_->Write(text); }, Qt::QueuedConnection);
}

int CUiThreadTextOut::Ask(int buttons, const std::string& text, int icon) {
    if (!sink_) return ANSWER_CANCEL;
    if (OnOwnThread()) return sink_->Ask(buttons, text, icon);
    QMetaObject::invokeMethod(
        this, [this, text, icon] { sink_->Ask(ASK_OK, text, icon); }, Qt::QueuedConnection);
    return ANSWER_OK;
}
