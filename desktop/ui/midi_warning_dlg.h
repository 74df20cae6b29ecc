#pragma once

#include <QDialog>

class ISettingsStore;
class QCheckBox;
class QLabel;

// The confirmation before an operation overwrites patches in the processor or in the Main window. Each
// kind can be switched off for good with "Don't show this dialog again.": OK stores 1 in the kind's switch
// (Profile::ConfirmationSwitch), Cancel stores nothing. Callers: if NeedsConfirmation(kind) is false
// proceed, else proceed only when exec() gives Accepted (Confirm does both).
class CMidiWarningDlg : public QDialog {
    Q_OBJECT

  public:
    enum Kind { kReadUser = 0, kWriteUser = 1, kReadTemporary = 2, kWriteTemporary = 3, kImportSmf = 4 };

    explicit CMidiWarningDlg(ISettingsStore* settings, QWidget* parent = nullptr);

    // Stores the kind and reads its switch into the check state; true when the dialog must be shown.
    bool NeedsConfirmation(int kind);
    int GetKind() const { return kind_; }
    bool IsChecked() const;
    // The catalogue message a kind shows.
    static int MessageId(int kind);

    // Shows extra content (a check box of the caller) below the message; the dialog does not own its state.
    void AddExtraWidget(QWidget* widget);

    // NeedsConfirmation, then the dialog when needed: true when the operation may go on.
    static bool Confirm(int kind, ISettingsStore* settings, QWidget* parent);

    void accept() override;

  private:
    ISettingsStore* settings_;
    int kind_ = 0;
    int checkState_ = 0;
    QLabel* message_;
    QCheckBox* dontShow_;
};
