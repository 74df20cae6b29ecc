#pragma once

#include "gp/mdi/mdi_child_wnd_ex.h"

class CAppContext;

// The frame of a patch window. A right-button release on its title bar opens the main frame's window
// pop-up menu; context-menu requests are ignored. New frames take their stored position once the settings
// are loaded (CAppContext::useStoredPositions).
class CChildFrame : public GP::CMDIChildWndEx {
    Q_OBJECT

  public:
    CChildFrame(int windowType, const CAppContext& context);

  protected:
    bool UsesStoredPosition() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // True when the settings hold a position for this kind of window.
    bool HasStoredPosition() const;

  private:
    bool InTitleBar(const QPoint& position) const;

    const CAppContext& context_;
};

// A library window's frame: titled with the document title, a blank and "*" while it is modified.
class CFileFrame : public CChildFrame {
    Q_OBJECT

  public:
    using CChildFrame::CChildFrame;
    void OnUpdateFrameTitle() override;

  protected:
    // Without a stored position a library window opens tall enough to show a good part of its list.
    void OnCreateFrame() override;
};

// The Main window's frame: always titled "Main"; the user cannot close it.
class CImageFrame : public CChildFrame {
    Q_OBJECT

  public:
    using CChildFrame::CChildFrame;
    void OnUpdateFrameTitle() override;

  protected:
    bool CanCloseFrame() override { return false; }
    void OnCreateFrame() override;
};
