#pragma once

#include <QRect>

#include "gp/docview/mdi_child_wnd.h"
#include "gp/util/settings_catalog.h"

class ISettingsStore;
class QMdiArea;

namespace GP {

// A child frame that remembers its position per window type, can be stretched over the MDI area and
// can stay above its siblings.
//
// The window type is the document template's resource id, given at construction. The stored position
// lives in the settings section "Window" under "Position" followed by the window type, as
// "left,top,width,height"; it is written only by ID_WINDOW_SAVE_POSITION and read when the frame is
// created, if UsesStoredPosition answers yes.
//
// Hooks for derived frames: UsesStoredPosition (base: no) and OffersAlwaysOnTop (base: yes).
//
// Commands (handled while the frame is active): ID_WINDOW_RESIZE_FULL, ID_WINDOW_RESIZE_FULL_HEIGHT,
// ID_WINDOW_RESIZE_FULL_WIDTH (enabled while neither minimised nor maximised), ID_WINDOW_SAVE_POSITION,
// ID_WINDOW_ALWAYS_ON_TOP (enabled when offered, checked while on).
class CMDIChildWndEx : public CMDIChildWnd {
    Q_OBJECT

  public:
    explicit CMDIChildWndEx(int windowType, QWidget* parent = nullptr);

    int WindowType() const { return windowType_; }
    bool IsAlwaysOnTop() const { return alwaysOnTop_; }
    // Switches always-on-top (only when offered) and brings the frame to the top.
    void SetAlwaysOnTop(bool on);
    void ToggleAlwaysOnTop() { SetAlwaysOnTop(!alwaysOnTop_); }

    // The MDI area's client rectangle less one row of minimised windows at the bottom.
    QRect FullClientRect() const;
    void ResizeToFull();
    void ResizeToFullHeight();
    void ResizeToFullWidth();

    // The position of the frame when neither minimised nor maximised.
    QRect NormalPlacement() const;
    // The setting of the stored position: "Position" followed by the window type.
    Profile::CTextValue PositionValue() const;
    void SaveCurrentPosition();
    // Reads and applies the stored position; false when none is stored or it is unusable.
    bool LoadStoredPosition();

    // Restacks the children of area so that the always-on-top ones stay above the others (in their
    // order); does nothing while changed is maximised.
    static void KeepAlwaysOnTopAbove(QMdiArea* area, QMdiSubWindow* changed);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

  protected:
    // The settings store of the main frame holding this frame (none before it is in an MDI area).
    ISettingsStore* Settings() const;
    virtual bool UsesStoredPosition() const { return false; }
    virtual bool OffersAlwaysOnTop() const { return true; }

    void OnCreateFrame() override;
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool IsNormalState() const;
    void RememberNormal();

    int windowType_;
    bool alwaysOnTop_ = false;
    QRect normal_;
};

}  // namespace GP
