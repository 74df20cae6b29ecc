#include "ui/set_grid_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

CSetGridDlg::CSetGridDlg(int value, QWidget* parent)
    : QDialog(parent), off_(new QRadioButton(tr("Grid &OFF"))), on_(new QRadioButton(tr("Grid O&N"))) {
    setWindowTitle(tr("Set Up Grid"));
    setObjectName(QStringLiteral("SetGridDlg"));
    off_->setObjectName(QStringLiteral("gridOff"));
    on_->setObjectName(QStringLiteral("gridOn"));
    auto* group = new QGroupBox(this);
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(off_);
    radios->addWidget(on_);
    (value == 1 ? on_ : off_)->setChecked(value == 0 || value == 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int CSetGridDlg::Value() const {
    if (on_->isChecked()) return 1;
    if (off_->isChecked()) return 0;
    return -1;
}
