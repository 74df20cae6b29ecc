#include "ui/audition_controls_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "midi/midi_device_factory.h"
#include "setup/midi_setup.h"

CAuditionControlsDialog::CAuditionControlsDialog(CAuditionPedal& pedal, IMidiDeviceFactory& ports,
                                                 ISettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      pedal_(pedal),
      settings_(settings),
      setup_(CAuditionPedal::Load(settings)),
      port_(new QComboBox),
      channel_(new QComboBox),
      nextLabel_(new QLabel),
      previousLabel_(new QLabel),
      learnNext_(new QPushButton),
      learnPrevious_(new QPushButton) {
    setObjectName(QStringLiteral("AuditionControlsDialog"));
    setWindowTitle(tr("Audition Controls"));
    port_->setObjectName(QStringLiteral("pedalPort"));
    channel_->setObjectName(QStringLiteral("pedalChannel"));
    learnNext_->setObjectName(QStringLiteral("learnNext"));
    learnPrevious_->setObjectName(QStringLiteral("learnPrevious"));
    nextLabel_->setObjectName(QStringLiteral("nextPress"));
    previousLabel_->setObjectName(QStringLiteral("previousPress"));

    // The ports offered now, "(none)", then the stored one when it is not offered.
    bool offered = false;
    for (int id = 0; id < ports.InPortCount(); ++id) {
        if (!ports.InPortUsable(id)) continue;
        const std::string name = ports.InPortName(id);
        port_->addItem(QString::fromStdString(name), QString::fromStdString(name));
        offered = offered || name == setup_.port;
    }
    port_->addItem(QString::fromLatin1(CMidiSetup::kNone), QString());
    if (!setup_.port.empty() && !offered)
        port_->addItem(QString::fromStdString(setup_.port + CMidiSetup::kUnconnected),
                       QString::fromStdString(setup_.port));
    port_->setCurrentIndex(std::max(0, port_->findData(QString::fromStdString(setup_.port))));

    channel_->addItem(tr("Any"), -1);
    for (int channel = 1; channel <= 16; ++channel)
        channel_->addItem(QString::number(channel), channel - 1);
    const int channel = setup_.next.IsLearned() ? setup_.next.channel : setup_.previous.channel;
    channel_->setCurrentIndex(std::max(0, channel_->findData(channel)));

    auto* form = new QFormLayout;
    form->addRow(tr("&Input port:"), port_);
    auto press = [](QLabel* label, QPushButton* learn) {
        auto* row = new QHBoxLayout;
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Program Change 128")) +
                               8);
        row->addWidget(label, 1);
        row->addWidget(learn);
        return row;
    };
    form->addRow(tr("Next:"), press(nextLabel_, learnNext_));
    form->addRow(tr("Previous:"), press(previousLabel_, learnPrevious_));
    form->addRow(tr("&Channel:"), channel_);
    auto* hint =
        new QLabel(tr("Click Learn, then press the pedal. A pedal may send a Program Change, a Control "
                      "Change (pressed at a value of 64 or more) or a Note On."));
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(learnNext_, &QPushButton::clicked, this, [this] { Learn(true); });
    connect(learnPrevious_, &QPushButton::clicked, this, [this] { Learn(false); });
    connect(port_, &QComboBox::currentIndexChanged, this, [this] {
        StopLearning();
        ListenOnChosenPort();
    });
    connect(&pedal_, &CAuditionPedal::learned, this, &CAuditionControlsDialog::Learned);
    ShowPresses();
    ListenOnChosenPort();
}

CAuditionControlsDialog::~CAuditionControlsDialog() {
    pedal_.SetLearning(false);
}

std::string CAuditionControlsDialog::ChosenPort() const {
    return port_->currentData().toString().toStdString();
}

void CAuditionControlsDialog::ListenOnChosenPort() {
    if (pedal_.Port() != ChosenPort() || !pedal_.IsOpen()) pedal_.Open(ChosenPort());
}

void CAuditionControlsDialog::Learn(bool next) {
    const int which = next ? +1 : -1;
    // A second click stops it.
    if (learning_ == which) {
        StopLearning();
        return;
    }
    learning_ = which;
    ListenOnChosenPort();
    pedal_.SetLearning(true);
    ShowPresses();
}

void CAuditionControlsDialog::Learned(const CPedalMessage& press) {
    if (learning_ == 0) return;
    CPedalMessage learned = press;
    learned.channel = channel_->currentData().toInt();
    (learning_ > 0 ? setup_.next : setup_.previous) = learned;
    learning_ = 0;
    ShowPresses();
}

void CAuditionControlsDialog::StopLearning() {
    learning_ = 0;
    pedal_.SetLearning(false);
    ShowPresses();
}

void CAuditionControlsDialog::ShowPresses() {
    nextLabel_->setText(CAuditionPedal::Text(setup_.next));
    previousLabel_->setText(CAuditionPedal::Text(setup_.previous));
    learnNext_->setText(learning_ > 0 ? tr("Press the pedal...") : tr("&Learn"));
    learnPrevious_->setText(learning_ < 0 ? tr("Press the pedal...") : tr("L&earn"));
}

void CAuditionControlsDialog::accept() {
    StopLearning();
    setup_.port = ChosenPort();
    const int channel = channel_->currentData().toInt();
    setup_.next.channel = channel;
    setup_.previous.channel = channel;
    CAuditionPedal::Store(settings_, setup_);
    pedal_.Reload();
    QDialog::accept();
}

void CAuditionControlsDialog::reject() {
    StopLearning();
    // The stored setup again, on its port.
    pedal_.Reload();
    QDialog::reject();
}
