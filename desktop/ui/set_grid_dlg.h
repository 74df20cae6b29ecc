#pragma once

#include <QDialog>

class QRadioButton;

// "Set Up Grid": grid lines in the patch lists off (0) or on (1).
class CSetGridDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CSetGridDlg(int value, QWidget* parent = nullptr);
    // The chosen value, 0 or 1 (-1 when neither is chosen).
    int Value() const;

  private:
    QRadioButton* off_;
    QRadioButton* on_;
};
