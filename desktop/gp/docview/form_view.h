#pragma once

#include <QPointer>
#include <map>

#include "gp/docview/view.h"
#include "gp/util/dialog_template.h"

class QScrollArea;

namespace GP {

// A view made of controls placed from a form template in dialog units. The controls live on a page
// that is never smaller than the template: when the view is smaller, scroll bars appear.
class CFormView : public CView {
    Q_OBJECT

  public:
    explicit CFormView(CDialogTemplate formTemplate, QWidget* parent = nullptr);

    // The page that holds the controls.
    QWidget* Form() const { return page_; }
    const CDialogTemplate& FormTemplate() const { return template_; }
    // The template size and a control's template rectangle in pixels, through the page's font.
    QSize TemplateSizePixels() const;
    QRect ControlRect(int id) const;

    // Puts control on the page under id, at its template rectangle (when the template has one).
    virtual void AddControl(int id, QWidget* control);
    QWidget* GetDlgItem(int id) const;

    // The template size: a new frame opens just large enough for the form.
    QSize sizeHint() const override;

  protected:

  private:
    CDialogTemplate template_;
    QScrollArea* scroll_ = nullptr;
    QWidget* page_ = nullptr;
    std::map<int, QPointer<QWidget>> controls_;
};

}  // namespace GP
