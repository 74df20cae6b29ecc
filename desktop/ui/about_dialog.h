#pragma once

#include <QDialog>

namespace UL {

// "About": the program's icon, its description, version and copyright.
class CAboutDialogA : public QDialog {
    Q_OBJECT

  public:
    CAboutDialogA(const QIcon& icon, const QString& description, const QString& version,
                  const QString& copyright, QWidget* parent = nullptr);
};

}  // namespace UL
