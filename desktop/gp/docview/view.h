#pragma once

#include <QPointer>
#include <QWidget>

#include "gp/util/command_ids.h"

namespace GP {

class CDocument;
class CMDIChildWnd;

// A view: the widget that shows a document inside a child frame. The document template creates it and
// attaches it to its document; the view detaches itself when it is destroyed.
//
// Hooks: OnInitialUpdate runs once, after the frame and document are ready and before the frame is
// shown; the base calls OnUpdate(nullptr, 0, nullptr). OnUpdate runs for every
// CDocument::UpdateAllViews; the base repaints. Commands routed to the active frame reach the view
// first (CCmdTarget); the view tells when their states may have changed (CommandStatesChanged).
class CView : public QWidget, public CCmdTarget {
    Q_OBJECT

  public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const;
    // The child frame that holds the view, or nullptr.
    CMDIChildWnd* GetParentFrame() const;
    // Whether that frame is the active window of its main frame (a view in no frame counts as active).
    bool IsInActiveWindow() const;

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, int hint, QObject* hintObject);

    // Something the view's commands depend on changed (its selection, its document): when the view's frame
    // is the active one, the main frame sets the states of its commands anew.
    void CommandStatesChanged();

  private:
    friend class CDocument;
    QPointer<CDocument> document_;
};

}  // namespace GP
