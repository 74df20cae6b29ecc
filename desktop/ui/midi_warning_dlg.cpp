#include "ui/midi_warning_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "settings/settings_store.h"
#include "textout/message_catalog.h"

namespace {

struct KindEntry {
    const char* valueName;
    int messageId;
};

constexpr KindEntry kKinds[] = {
    {"ReadUser", MSG_CONFIRM_READ_USER},           {"WriteUser", MSG_CONFIRM_WRITE_USER},
    {"ReadTemporary", MSG_CONFIRM_READ_TEMPORARY}, {"WriteTemporary", MSG_CONFIRM_WRITE_TEMPORARY},
    {"ImportSMF", MSG_CONFIRM_IMPORT_SMF},
};

const KindEntry& Entry(int kind) {
    return kKinds[kind >= 0 && kind < 5 ? kind : 0];
}

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

const char* CMidiWarningDlg::ValueName(int kind) {
    return Entry(kind).valueName;
}

int CMidiWarningDlg::MessageId(int kind) {
    return Entry(kind).messageId;
}

bool CMidiWarningDlg::NeedsConfirmation(int kind) {
    kind_ = kind;
    checkState_ = settings_ ? settings_->GetInt("Option", ValueName(kind), 0) : 0;
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
    if (settings_) settings_->WriteInt("Option", ValueName(kind_), checkState_);
    QDialog::accept();
}

bool CMidiWarningDlg::Confirm(int kind, ISettingsStore* settings, QWidget* parent) {
    CMidiWarningDlg dialog(settings, parent);
    if (!dialog.NeedsConfirmation(kind)) return true;
    return dialog.exec() == QDialog::Accepted;
}
