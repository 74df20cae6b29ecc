#pragma once

#include <QPointer>
#include <QWidget>

#include "textout/text_out.h"

// The message-box sink: shows text at once in a message box (OK, exclamation mark) and asks questions.
// Buttons 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel, other OK; icons 0 question, 2 stop, other exclamation;
// answers OK 0, Yes 2, No 3, anything else (Cancel, closing the box) 1.
class CTextOutBox : public CKivTextOut {
  public:
    // owner: the window the boxes belong to (none: the active window).
    explicit CTextOutBox(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    int Ask(int buttons, const std::string& text, int icon) override;

  protected:
    void Output(const std::string& text) override;

  private:
    QWidget* Owner() const;

    QPointer<QWidget> owner_;
};
