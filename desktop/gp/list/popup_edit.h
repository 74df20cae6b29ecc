#pragma once

#include <QLineEdit>

#include "gp/list/popup.h"

namespace GP {

// The in-place text editor: a bordered edit field that scrolls its text sideways and grows while the
// user types (never narrower than its cell; left-aligned and centred editors grow to the right,
// right-aligned ones to the left).
class CPopupEdit : public QLineEdit, public IPopup {
    Q_OBJECT

  public:
    explicit CPopupEdit(QWidget* parent = nullptr);

    QWidget* Window() override { return this; }
    QString Text() const override { return text(); }
    void SetText(const QString& text) override;
    // Sets the first text without counting it as a change.
    void InitText(const QString& text);
    // Fits the width to the text as described above.
    void GrowToText();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnTextChanged();
    bool initializing_ = false;
};

// The width an in-place editor needs for text: text width, both margins, the widest character and 4.
int PopupTextWidth(const QLineEdit& edit, const QString& text, int extra = 0);
// Places an editor of width over cell: left-aligned and centred editors grow to the right,
// right-aligned ones to the left.
QRect PopupGrownRect(const QRect& cell, int width, Qt::Alignment alignment);

}  // namespace GP
