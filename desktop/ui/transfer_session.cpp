#include "ui/transfer_session.h"

#include <QCoreApplication>

#include "ui/progress_bar.h"

CTransferSession::CScope::CScope(CTransferSession& session) : session_(session) {
    session_.Enter();
}

CTransferSession::CScope::~CScope() {
    session_.Leave();
}

CTransferSession::CTransferSession(QWidget* owner) : progress_(std::make_shared<CProgressBar>(owner)) {
    progress_->SetPump([this] { Pump(); });
    connect(progress_.get(), &CProgressBar::dismissed, this, [this] {
        if (scopes_ == 0) Finish();
    });
}

CTransferSession::~CTransferSession() {
    progress_->SetPump(nullptr);
}

bool CTransferSession::IsRunning() const {
    return running_;
}

bool CTransferSession::IsTransferring() const {
    return scopes_ > 0;
}

void CTransferSession::Enter() {
    if (scopes_++ > 0) return;
    running_ = true;
    emit stateChanged();
}

void CTransferSession::Leave() {
    if (--scopes_ > 0) return;
    emit stateChanged();
    if (stopping_) progress_->Dismiss();
    if (!progress_->IsOpen()) Finish();
}

void CTransferSession::Finish() {
    if (!running_ || scopes_ > 0) return;
    running_ = false;
    stopping_ = false;
    progress_->SetStopping(false);
    emit stateChanged();
    // The work queued meanwhile runs from the event loop, once the code of the transfer has returned.
    if (!pending_.empty())
        QMetaObject::invokeMethod(
            this, [this] { RunPending(); }, Qt::QueuedConnection);
}

void CTransferSession::RunPending() {
    // In order; work that starts another session leaves what follows queued for its end.
    while (!pending_.empty() && !running_) {
        std::function<void()> work = std::move(pending_.front());
        pending_.pop_front();
        work();
    }
}

void CTransferSession::WhenIdle(std::function<void()> work) {
    if (!work) return;
    if (running_) {
        pending_.push_back(std::move(work));
        return;
    }
    work();
}

void CTransferSession::Stop() {
    if (!running_) return;
    stopping_ = true;
    progress_->SetStopping(true);
    if (scopes_ == 0) progress_->Dismiss();
}

void CTransferSession::Pump() {
    if (pumping_) return;
    pumping_ = true;
    if (progress_->IsOpen())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    else
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pumping_ = false;
}
