#pragma once

#include <QComboBox>
#include <QStringList>

#include "gp/list/popup.h"

namespace GP {

// The in-place drop-down list: a bordered list of choices (its own copy of the item strings). A choice
// confirmed by the user sets the modified flag and is reported as POPUP_LIST_SELECT.
class CPopupComboBox : public QComboBox, public IPopup {
    Q_OBJECT

  public:
    explicit CPopupComboBox(QWidget* parent = nullptr);

    QWidget* Window() override { return this; }
    QString Text() const override { return currentText(); }
    // Selects the item with this text (no notification); an unknown text leaves no item selected.
    void SetText(const QString& text) override;
    void SetItems(const QStringList& items);
    // Whether the list of choices is open.
    bool IsListOpen() const { return listOpen_; }
    // Places the list over cell: as wide as the widest item plus a scroll bar (never narrower than the
    // cell), centred vertically on it; the open list may use half the screen height.
    void PlaceOverCell(const QRect& cell);

    void showPopup() override;
    void hidePopup() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QStringList items_;
    bool listOpen_ = false;
};

}  // namespace GP
