#pragma once

#include "gp/list/edit_list_ctrl.h"

struct CDemoRow;
class CDemoDocument;

// The demo's edit list: a fixed number column, then name (text), kind (list), level (whole numbers 0 to
// 127) and gain (real numbers -12 to 12 in steps of 0.1). Its cells come straight from the document.
class CDemoListCtrl : public GP::CEditListCtrl {
    Q_OBJECT

  public:
    enum Column { COL_NUMBER, COL_NAME, COL_KIND, COL_LEVEL, COL_GAIN };

    explicit CDemoListCtrl(QWidget* parent = nullptr);
    void SetDocument(CDemoDocument* document);

    QString GetCellText(int row, int column) const override;
    double GetCellNumber(int row, int column) const override;
    void SetCellValue(int row, int column, const QVariant& value) override;

  private:
    CDemoRow* RowAt(int row) const;
    CDemoDocument* document_ = nullptr;
};
