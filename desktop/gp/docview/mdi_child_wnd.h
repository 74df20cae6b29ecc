#pragma once

#include <QMdiSubWindow>
#include <QPointer>

#include "gp/util/command_ids.h"

namespace GP {

class CDocument;
class CMDIFrameWnd;
class CView;

// A child frame in the MDI area: holds one view of a document.
//
// Hooks: OnCreateFrame runs once the frame is in the MDI area, before the view's initial update (place
// the window there). CanCloseFrame answers a user's close request; the base lets the document decide
// (its save prompt). OnUpdateFrameTitle sets the caption; the base shows the document title.
// Commands reach the view first, then the document, then the frame (OnCommand/OnUpdateCommand).
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT

  public:
    explicit CMDIChildWnd(QWidget* parent = nullptr);
    ~CMDIChildWnd() override;

    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    // The main frame whose MDI area holds this frame, or nullptr.
    CMDIFrameWnd* GetMDIFrame() const;

    virtual void OnCreateFrame() {}
    // Runs the view's initial update (once) and shows and activates the frame when asked.
    void InitialUpdateFrame(CDocument* document, bool makeVisible);
    virtual void OnUpdateFrameTitle();

    // Closes the frame without asking; it is deleted from the event loop.
    void DestroyFrame();
    bool IsClosing() const { return destroying_; }

    // Offers the command to the view, the document and the frame; ui == nullptr runs it.
    bool RouteCommand(int id, CCmdUI* ui);

  protected:
    virtual bool CanCloseFrame();
    void closeEvent(QCloseEvent* event) override;

  private:
    friend class CDocTemplate;
    void SetDocument(CDocument* document);

    QPointer<CDocument> document_;
    bool destroying_ = false;
    bool initialUpdateDone_ = false;
};

}  // namespace GP
