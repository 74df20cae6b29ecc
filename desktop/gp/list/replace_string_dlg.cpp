#include "gp/list/replace_string_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace GP {

CReplaceStringDlg::CReplaceStringDlg(QWidget* parent)
    : QDialog(parent), search_(new QLineEdit), replace_(new QLineEdit) {
    setWindowTitle(tr("Replace String"));
    auto* form = new QFormLayout;
    form->addRow(tr("Search String(&S):"), search_);
    form->addRow(tr("&Replace String(&R):"), replace_);
    auto* buttons = new QDialogButtonBox;
    QPushButton* replaceButton = buttons->addButton(tr("Replace"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    replaceButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void CReplaceStringDlg::SetStrings(const QString& search, const QString& replace) {
    search_->setText(search);
    replace_->setText(replace);
    search_->selectAll();
}

QString CReplaceStringDlg::SearchString() const {
    return search_->text();
}

QString CReplaceStringDlg::ReplaceString() const {
    return replace_->text();
}

}  // namespace GP
