#pragma once

#include <QDialog>

class QLineEdit;

namespace GP {

// The "Replace String" dialog: a search string and a replace string, "Replace" (accepts) and "Close".
class CReplaceStringDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CReplaceStringDlg(QWidget* parent = nullptr);

    void SetStrings(const QString& search, const QString& replace);
    QString SearchString() const;
    QString ReplaceString() const;

  private:
    QLineEdit* search_;
    QLineEdit* replace_;
};

}  // namespace GP
