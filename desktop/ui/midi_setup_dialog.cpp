#include "ui/midi_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ports/midi_environment.h"
#include "setup/midi_setup.h"

namespace {

enum ControlId : int {
    IDC_DEVICE_ID = 4096,
    IDC_IN_PORT = 4101,
    IDC_OUT_PORT = 4104,
    IDC_THROUGH_IN_PORT = 4111,
    IDC_THROUGH_OUT_PORT = 4112,
};

// The choices of a port list; each keeps the port's name exactly as the MIDI system gave it.
void FillPortList(QComboBox& list, const std::vector<std::string>& choices, const std::string& current) {
    list.clear();
    int selected = -1;
    for (const std::string& choice : choices) {
        list.addItem(QString::fromStdString(choice), QByteArray::fromStdString(choice));
        // The last entry of that name: a remembered absent port can be listed twice.
        if (choice == current) selected = list.count() - 1;
    }
    list.setCurrentIndex(selected);
}

// The chosen port's name as the MIDI system gave it; the list's text when nothing is chosen.
std::string ChosenPort(const QComboBox* list) {
    if (!list) return CMidiSetup::kNone;
    const int index = list->currentIndex();
    if (index < 0) return list->currentText().toStdString();
    return list->itemData(index).toByteArray().toStdString();
}

}  // namespace

// ---- model ----------------------------------------------------------------------------------------------

MidiSetupDialogModel::MidiSetupDialogModel(CMidiSetup& setup, std::vector<MidiSetupRow> inputs,
                                           std::vector<MidiSetupRow> outputs)
    : setup_(setup), inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}

std::vector<MidiSetupRow> MidiSetupDialogModel::StandardInputs() {
    return {{IDC_IN_PORT, IDC_DEVICE_ID, 0, 31}, {IDC_THROUGH_IN_PORT, IDC_DEVICE_ID, 0, 31}};
}

std::vector<MidiSetupRow> MidiSetupDialogModel::StandardOutputs() {
    return {{IDC_OUT_PORT, IDC_DEVICE_ID, 0, 31}, {IDC_THROUGH_OUT_PORT, IDC_DEVICE_ID, 0, 31}};
}

void MidiSetupDialogModel::FillDeviceIds(QComboBox& list, const MidiSetupRow& row, int deviceId) {
    list.clear();
    // Users count device ids from 1.
    for (int id = row.lowestId; id <= row.highestId; ++id)
        list.addItem(QString::number(id + 1));
    list.setCurrentIndex(deviceId >= row.lowestId && deviceId <= row.highestId ? deviceId - row.lowestId
                                                                               : -1);
}

int MidiSetupDialogModel::ChosenId(const QComboBox* list, const MidiSetupRow& row) {
    const int index = list ? list->currentIndex() : -1;
    return index < 0 ? -1 : index + row.lowestId;
}

void MidiSetupDialogModel::Fill(CMidiSetupDialog& dialog) {
    setup_.Load();
    MidiEnvironment& environment = setup_.Environment();
    const std::vector<std::string> inChoices = setup_.ListInPorts();
    const std::vector<std::string> outChoices = setup_.ListOutPorts();
    for (std::size_t k = 0; k < inputs_.size(); ++k) {
        QComboBox* ports = dialog.List(inputs_[k].portList);
        QComboBox* ids = dialog.List(inputs_[k].deviceIdList);
        const bool present = k < environment.InPortCount();
        if (ports) ports->setEnabled(present);
        if (ids) ids->setEnabled(present);
        if (!present) continue;
        CKivMidiIn& port = environment.InPort(k);
        if (ports) FillPortList(*ports, inChoices, setup_.InPortDisplayName(port));
        if (ids) FillDeviceIds(*ids, inputs_[k], port.GetDeviceId());
    }
    for (std::size_t k = 0; k < outputs_.size(); ++k) {
        QComboBox* ports = dialog.List(outputs_[k].portList);
        QComboBox* ids = dialog.List(outputs_[k].deviceIdList);
        const bool present = k < environment.OutPortCount();
        if (ports) ports->setEnabled(present);
        if (ids) ids->setEnabled(present);
        if (!present) continue;
        CKivMidiOut& port = environment.OutPort(k);
        if (ports) FillPortList(*ports, outChoices, setup_.OutPortDisplayName(port));
        if (ids) FillDeviceIds(*ids, outputs_[k], port.GetDeviceId());
    }
}

void MidiSetupDialogModel::Apply(CMidiSetupDialog& dialog) {
    MidiEnvironment& environment = setup_.Environment();
    environment.ClearBindings();
    for (std::size_t k = 0; k < inputs_.size() && k < environment.InPortCount(); ++k)
        setup_.BindIn(environment.InPort(k), ChosenPort(dialog.List(inputs_[k].portList)),
                      ChosenId(dialog.List(inputs_[k].deviceIdList), inputs_[k]));
    for (std::size_t k = 0; k < outputs_.size() && k < environment.OutPortCount(); ++k)
        setup_.BindOut(environment.OutPort(k), ChosenPort(dialog.List(outputs_[k].portList)),
                       ChosenId(dialog.List(outputs_[k].deviceIdList), outputs_[k]));
    setup_.Save();
}

// ---- dialog ---------------------------------------------------------------------------------------------

CMidiSetupDialog::CMidiSetupDialog(CMidiSetup& setup, std::vector<MidiSetupRow> inputs,
                                   std::vector<MidiSetupRow> outputs, const QString& labelText,
                                   QWidget* parent)
    : QDialog(parent), model_(setup, std::move(inputs), std::move(outputs)), labelText_(labelText) {
    BuildControls();
}

CMidiSetupDialog::CMidiSetupDialog(CMidiSetup& setup, QWidget* parent)
    : CMidiSetupDialog(setup, MidiSetupDialogModel::StandardInputs(), MidiSetupDialogModel::StandardOutputs(),
                       QStringLiteral("TQ-550"), parent) {}

void CMidiSetupDialog::BuildControls() {
    setObjectName(QStringLiteral("MidiSetupDialog"));
    setWindowTitle(tr("Set Up MIDI Devices"));
    auto makeList = [this](int id, const char* name) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        // Entries stay in the order they are added; long port names show in full in the drop-down.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(id == IDC_DEVICE_ID ? 3 : 22);
        lists_[id] = list;
        return list;
    };
    QComboBox* in = makeList(IDC_IN_PORT, "inPort");
    QComboBox* out = makeList(IDC_OUT_PORT, "outPort");
    QComboBox* deviceId = makeList(IDC_DEVICE_ID, "deviceId");
    QComboBox* throughIn = makeList(IDC_THROUGH_IN_PORT, "throughInPort");
    QComboBox* throughOut = makeList(IDC_THROUGH_OUT_PORT, "throughOutPort");

    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    deviceLabel_ = new QLabel(QStringLiteral("TQ-550"), group);
    deviceLabel_->setObjectName(QStringLiteral("deviceLabel"));
    auto buddy = [group](const QString& text, QWidget* list) {
        auto* label = new QLabel(text, group);
        label->setBuddy(list);
        return label;
    };
    grid->addWidget(deviceLabel_, 0, 0);
    grid->addWidget(buddy(tr("&Input:"), in), 0, 1);
    grid->addWidget(in, 0, 2);
    grid->addWidget(buddy(tr("&Output:"), out), 0, 3);
    grid->addWidget(out, 0, 4);
    grid->addWidget(buddy(tr("&Device ID"), deviceId), 0, 5);
    grid->addWidget(deviceId, 0, 6);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);

    // MIDI through: filled and applied like the row above, but not shown.
    QWidget* hidden[] = {new QLabel(tr("Through"), group), buddy(tr("I&nput:"), throughIn), throughIn,
                         buddy(tr("O&utput:"), throughOut), throughOut};
    for (int column = 0; column < 5; ++column) {
        grid->addWidget(hidden[column], 1, column);
        hidden[column]->hide();
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMidiSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMidiSetupDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QComboBox* CMidiSetupDialog::List(int id) const {
    const auto found = lists_.find(id);
    return found == lists_.end() ? nullptr : found->second;
}

void CMidiSetupDialog::Prepare() {
    model_.Fill(*this);
    if (!labelText_.isEmpty()) deviceLabel_->setText(labelText_);
}

int CMidiSetupDialog::exec() {
    Prepare();
    return QDialog::exec();
}

void CMidiSetupDialog::accept() {
    QDialog::accept();
    model_.Apply(*this);
}
