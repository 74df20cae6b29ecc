#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QKeyEvent;
class QWidget;

namespace GP {

class IPopup;

// Notifications an in-place editor sends to its owner.
enum PopupNotification : int {
    POPUP_TEXT_CHANGE = 0x300,  // the text changed (text and number editors)
    POPUP_COMMAND1 = 0x301,     // editor-specific command 1
    POPUP_COMMAND2 = 0x302,  // editor-specific command 2 (a number editor jumped to its minimum or maximum)
    POPUP_LIST_SELECT = 0x310,  // the user confirmed a choice in a drop-down list
    POPUP_ENTER = 0x311,        // Enter was pressed
    POPUP_ESCAPE = 0x312,       // Escape was pressed
};

// The receiver of an editor's notifications: the edit list control, or RunModal's loop.
class IPopupOwner {
  public:
    virtual ~IPopupOwner() = default;
    virtual void OnPopupNotify(IPopup& popup, int code) = 0;
    // A number editor offers a change of its value by delta from oldValue; true accepts it.
    virtual bool OnPopupDelta(IPopup& popup, double oldValue, double delta) = 0;
};

// The interface of every in-place editor: its kind, its modified flag (set by a text change in text
// and number editors, by a confirmed choice in list editors), the cell rectangle it was made for, the
// row it edits, and an optional validator used in stand-alone use.
class IPopup {
  public:
    enum Kind : int { KIND_TEXT = 0, KIND_NUMBER = 1, KIND_LIST = 2 };
    using Validator = std::function<bool(const QString&)>;

    virtual ~IPopup() = default;
    // The editor's widget.
    virtual QWidget* Window() = 0;
    // Stand-alone use: shows the editor as a bordered pop-up window over globalRect (screen
    // coordinates) holding text, keeps owner disabled and runs until Enter (1, once the validator
    // agrees), Escape (2) or a press outside the editor (0). text receives the final text.
    virtual int RunModal(QWidget* owner, const QRect& globalRect, QString& text);

    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;

    Kind GetKind() const { return kind_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    const QRect& CellRect() const { return cellRect_; }
    void SetCellRect(const QRect& rect) { cellRect_ = rect; }
    int Row() const { return row_; }
    void SetRow(int row) { row_ = row; }
    IPopupOwner* Owner() const { return owner_; }
    void SetOwner(IPopupOwner* owner) { owner_ = owner; }
    void SetValidator(Validator validator) { validator_ = std::move(validator); }
    const Validator& GetValidator() const { return validator_; }

  protected:
    explicit IPopup(Kind kind) : kind_(kind) {}
    void Notify(int code);
    // For the editors' key handling: reports Enter and Escape to the owner; true when the key was one.
    bool HandleEndKey(QKeyEvent* event);

  private:
    Kind kind_;
    bool modified_ = false;
    QRect cellRect_;
    int row_ = -1;
    IPopupOwner* owner_ = nullptr;
    Validator validator_;
};

// Whether widget is ancestor or lies below it, across window boundaries.
bool IsWidgetWithin(const QWidget* widget, const QWidget* ancestor);

}  // namespace GP
