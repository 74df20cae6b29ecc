#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>

namespace UL {

CAboutDialogA::CAboutDialogA(const QIcon& icon, const QString& description, const QString& version,
                             const QString& copyright, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About %1").arg(description));
    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(64, 64));
    auto* name = new QLabel(description, this);
    name->setObjectName(QStringLiteral("fileDescription"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto* versionLabel = new QLabel(tr("Version %1").arg(version), this);
    versionLabel->setObjectName(QStringLiteral("fileVersion"));
    auto* copyrightLabel = new QLabel(copyright, this);
    copyrightLabel->setObjectName(QStringLiteral("legalCopyright"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(versionLabel, 1, 1);
    layout->addWidget(copyrightLabel, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setHorizontalSpacing(16);
}

}  // namespace UL
