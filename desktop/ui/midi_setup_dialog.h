#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <vector>

class CMidiSetup;
class CMidiSetupDialog;
class QComboBox;
class QLabel;

// One row of the MIDI setup dialog: the list control of its port, the list control of its device id, and
// the lowest and highest device id that list offers. Row k of the input (or output) table serves logical
// input (or output) port k.
struct MidiSetupRow {
    int portList = 0;
    int deviceIdList = 0;
    int lowestId = 0;
    int highestId = 31;
};

// What the MIDI setup dialog shows and what its OK applies, through a CMidiSetup: the stored setup is
// loaded when the dialog opens, and OK binds every row's port with the chosen device id and stores the
// result at once. Cancel applies nothing.
class MidiSetupDialogModel {
  public:
    MidiSetupDialogModel(CMidiSetup& setup, std::vector<MidiSetupRow> inputs,
                         std::vector<MidiSetupRow> outputs);

    // The application's rows: the TQ-550 pair (4101 and 4104) and the MIDI through pair (4111 and 4112), all
    // four sharing the device-id list 4096 with ids 0 to 31.
    static std::vector<MidiSetupRow> StandardInputs();
    static std::vector<MidiSetupRow> StandardOutputs();

    // Rebuilds the bindings from the settings and fills the dialog's lists from them.
    void Fill(CMidiSetupDialog& dialog);
    // Clears the bindings, binds every row's choice and stores the setup.
    void Apply(CMidiSetupDialog& dialog);

    CMidiSetup& Setup() { return setup_; }

  private:
    void FillDeviceIds(QComboBox& list, const MidiSetupRow& row, int deviceId);
    // The id of the device-id list's selection, or -1 (which binds without changing the id).
    static int ChosenId(const QComboBox* list, const MidiSetupRow& row);

    CMidiSetup& setup_;
    std::vector<MidiSetupRow> inputs_;
    std::vector<MidiSetupRow> outputs_;
};

// "Set Up MIDI Devices" (dialog 3077): the input and output port and the device id of the TQ-550, and a
// hidden row for MIDI through whose lists are filled and applied like the visible ones, so that the through
// pair keeps its stored ports. Port lists keep the order of their choices: the ports the MIDI system
// offers now (looked up afresh each time the dialog opens), "(none)", then remembered ports that are not
// present, marked " (Unconnected)".
class CMidiSetupDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kLabelId = 4110;

    // labelText, when not empty, replaces the text of the device row's label.
    CMidiSetupDialog(CMidiSetup& setup, std::vector<MidiSetupRow> inputs, std::vector<MidiSetupRow> outputs,
                     const QString& labelText, QWidget* parent = nullptr);
    // The dialog with the application's rows and the label "TQ-550".
    CMidiSetupDialog(CMidiSetup& setup, QWidget* parent = nullptr);

    // Fills the lists from the stored setup, then runs the dialog.
    int exec() override;
    // Closes the dialog, then applies the choices.
    void accept() override;

    // The list control of an id (4101, 4104, 4096, 4111, 4112), or nullptr.
    QComboBox* List(int id) const;
    QLabel* DeviceLabel() const { return deviceLabel_; }
    MidiSetupDialogModel& Model() { return model_; }

    // Fills the lists without running the dialog (exec does this itself).
    void Prepare();

  private:
    void BuildControls();

    MidiSetupDialogModel model_;
    QString labelText_;
    std::map<int, QComboBox*> lists_;
    QLabel* deviceLabel_ = nullptr;
};
