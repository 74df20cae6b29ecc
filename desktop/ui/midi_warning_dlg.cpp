#include "ui/midi_warning_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "gp/util/settings_catalog.h"
#include "settings/settings_store.h"
#include "textout/message_catalog.h"

namespace {

// The message each kind shows; its switch is in the settings catalogue.
constexpr int kMessages[] = {MSG_CONFIRM_READ_USER, MSG_CONFIRM_WRITE_USER, MSG_CONFIRM_READ_TEMPORARY,
                             MSG_CONFIRM_WRITE_TEMPORARY, MSG_CONFIRM_IMPORT_SMF};

}  // namespace

CMidiWarningDlg::CMidiWarningDlg(ISettingsStore* settings, QWidget* parent)
    : QDialog(parent), settings_(settings), message_(new QLabel(this)), dontShow_(new QCheckBox(this)) {
    setWindowTitle(QStringLiteral("TQ-550 Librarian"));
    setObjectName(QStringLiteral("MidiWarningDlg"));
    message_->setObjectName(QStringLiteral("message"));
    dontShow_->setObjectName(QStringLiteral("dontShowAgain"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMidiWarningDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMidiWarningDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(dontShow_);
    layout->addWidget(buttons);
}

int CMidiWarningDlg::MessageId(int kind) {
    return kMessages[kind >= 0 && kind < static_cast<int>(std::size(kMessages)) ? kind : 0];
}

bool CMidiWarningDlg::NeedsConfirmation(int kind) {
    kind_ = kind;
    checkState_ = Profile::ConfirmationSwitch(kind).Read(settings_);
    // The texts hold no placeholder for the model name, so they appear as they stand.
    message_->setText(QString::fromStdString(GetMessageCatalog().Text(MessageId(kind))));
    dontShow_->setText(QString::fromStdString(GetMessageCatalog().Text(MSG_DONT_SHOW_AGAIN)));
    dontShow_->setChecked(false);
    return checkState_ == 0;
}

bool CMidiWarningDlg::IsChecked() const {
    return dontShow_->isChecked();
}

void CMidiWarningDlg::AddExtraWidget(QWidget* widget) {
    static_cast<QVBoxLayout*>(layout())->insertWidget(2, widget);
}

void CMidiWarningDlg::accept() {
    checkState_ = dontShow_->isChecked() ? 1 : 0;
    Profile::ConfirmationSwitch(kind_).Write(settings_, checkState_);
    QDialog::accept();
}

bool CMidiWarningDlg::Confirm(int kind, ISettingsStore* settings, QWidget* parent) {
    // Switched off: no dialog is even made (making one takes longer than the program may stall).
    if (Profile::ConfirmationSwitch(kind).Read(settings) != 0) return true;
    CMidiWarningDlg dialog(settings, parent);
    if (!dialog.NeedsConfirmation(kind)) return true;
    return dialog.exec() == QDialog::Accepted;
}
