#pragma once

#include <QDialog>

#include "ui/audition_pedal.h"

class IMidiDeviceFactory;
class QComboBox;
class QLabel;
class QPushButton;

// Setup > Audition Controls...: the MIDI input of Audition's foot switch (the ports the MIDI system offers
// now, "(none)", and the stored port marked " (Unconnected)" when it is not offered), and its Next and
// Previous presses, each learned by its Learn button and then the pedal, with the channel they are taken on
// (any, or one). While the dialog is open the pedal listens on the chosen port for learning; OK stores the
// setup and the pedal takes it, Cancel leaves the stored one.
class CAuditionControlsDialog : public QDialog {
    Q_OBJECT

  public:
    CAuditionControlsDialog(CAuditionPedal& pedal, IMidiDeviceFactory& ports, ISettingsStore& settings,
                            QWidget* parent = nullptr);
    ~CAuditionControlsDialog() override;

    void accept() override;
    void reject() override;

    QComboBox* PortList() const { return port_; }
    QComboBox* ChannelList() const { return channel_; }
    QPushButton* LearnButton(bool next) const { return next ? learnNext_ : learnPrevious_; }
    QLabel* PressLabel(bool next) const { return next ? nextLabel_ : previousLabel_; }
    const CAuditionPedal::Setup& Chosen() const { return setup_; }

  private:
    void Learn(bool next);
    void Learned(const CPedalMessage& press);
    void StopLearning();
    void ShowPresses();
    std::string ChosenPort() const;
    void ListenOnChosenPort();

    CAuditionPedal& pedal_;
    ISettingsStore& settings_;
    CAuditionPedal::Setup setup_;
    QComboBox* port_;
    QComboBox* channel_;
    QLabel* nextLabel_;
    QLabel* previousLabel_;
    QPushButton* learnNext_;
    QPushButton* learnPrevious_;
    // Which press is being learned: 0 none, +1 Next, -1 Previous.
    int learning_ = 0;
};
