#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <string>

#include "device/progress_sink.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The progress dialog of transfers with the processor (dialog 3075): a caption, a bar and Cancel, the
// program's one progress sink. Begin opens it over its owner (the main frame), End closes it one second
// later so that the final state stays readable. While it is open it is the only window that takes input
// (it is application modal, though shown without a loop of its own), so no second transfer can start from
// the owner; the owner keeps painting.
//
// Begin/End pairs nest: an inner pair shares the outer dialog, and its SetPosition and SetCaption calls do
// nothing. A Begin during the second after End takes the dialog over again without closing it.
//
// Transfers run as jobs on a worker (CTransferJobs), whose progress reaches the dialog by queued calls on
// this thread. Cancel never closes the dialog: it asks the job to stop (cancelRequested), which it does at
// its next step. Escape and the window's close button mean Cancel.
class CProgressBar : public QDialog, public CKivProgressBar {
    Q_OBJECT

  public:
    static constexpr int kLingerMs = 1000;

    explicit CProgressBar(QWidget* owner = nullptr);
    ~CProgressBar() override;

    // The window the dialog is centred over and keeps in front of.
    void SetOwner(QWidget* owner);
    // Makes the dialog's window now (hidden), so that the first transfer does not wait for it.
    void Prepare();
    QWidget* Owner() const { return owner_; }

    void Begin(int range, const std::string& caption, bool cancellable) override;
    void End() override;
    void SetPosition(int position) override;
    // The caption of the patch a transfer is at, in the interface language ("User Patch U01-2",
    // "Temporary Patch").
    static QString PatchCaption(int area, int number);
    void SetPatch(int area, int number) override;
    // A caption of the caller's own (Add Folder to Collection: files done of files found, new patches).
    void SetCaption(const QString& caption);
    // Whether Cancel was pressed since Begin.
    bool IsCancelled() override { return cancelFlag_; }
    void SetRange(int range) override;

    // The nesting count: 0 while no transfer runs.
    int Nesting() const { return nesting_; }
    // True from Begin until the dialog has gone after End.
    bool IsOpen() const { return nesting_ > 0 || linger_.isActive(); }
    bool IsLingering() const { return nesting_ == 0 && linger_.isActive(); }
    // What the Cancel button does: sets the cancel flag and asks for the stop when the transfer can be
    // cancelled.
    void Cancel();
    // Ends the second after End at once.
    void Dismiss();

    QLabel* CaptionLabel() const { return label_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  signals:
    // Cancel was pressed while a cancellable transfer ran.
    void cancelRequested();
    // The dialog has gone after its last End.
    void dismissed();

  public slots:
    // Escape, the close button: Cancel. The dialog stays.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Place();
    void Finish();

    QPointer<QWidget> owner_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    QTimer linger_;
    int nesting_ = 0;
    bool cancelFlag_ = false;
};
