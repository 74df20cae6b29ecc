#pragma once

#include <QObject>
#include <memory>

#include "textout/text_out.h"

// A text sink that may be written to from any thread. Text written on the user-interface thread goes to
// the sink at once; text from another thread (a transfer job's worker) is handed to the sink on the
// user-interface thread through the event loop, in the order written. Questions are asked on the
// user-interface thread only: from another thread the text is shown and answered OK at once (a job only
// shows messages, it never asks).
class CUiThreadTextOut : public QObject, public CKivTextOut {
  public:
    // Made on the user-interface thread.
    explicit CUiThreadTextOut(std::shared_ptr<CKivTextOut> sink);

    void Write(const std::string& text) override;
    int Ask(int buttons, const std::string& text, int icon) override;
    CKivTextOut* Sink() const { return sink_.get(); }

  private:
    bool OnOwnThread() const;

    std::shared_ptr<CKivTextOut> sink_;
};
