#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <vector>

#include "monkey_random.h"

class QDialog;
class QMenu;
class QWidget;
class CProgressBar;

// Answers, at random as a user might, every modal dialog and pop-up menu that the program opens while a
// monkey step runs: confirmations, the save prompt, file dialogs (with files of the run's folder, hostile
// files and paths that cannot be written), Find, Replace String, the setup dialogs, the window list. The
// progress dialog of a transfer is cancelled at a random point now and then.
//
// A dialog is answered from the event loop right after it shows; one that is still open a moment after its
// answer (a file dialog that refused a name) is answered again, and rejected after a few tries.
class CDialogAnswerer : public QObject {
  public:
    // Gives a path for a file dialog: an existing file to open, or a place to save to.
    using PathChooser = std::function<QString(bool open)>;

    CDialogAnswerer(CMonkeyRandom& random, PathChooser choosePath);
    ~CDialogAnswerer() override;

    // How likely a transfer is cancelled (0 to 1).
    void SetCancelChance(double chance) { cancelChance_ = chance; }
    // What was answered since the last call, one line each.
    QStringList TakeLog();
    int Answered() const { return answered_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Pending {
        QPointer<QWidget> window;
        int tries = 0;
    };

    void Schedule(QWidget* window);
    void AnswerOpenWindows();
    void Answer(QWidget* window, int tries);
    void AnswerDialog(QDialog* dialog, int tries);
    void AnswerMenu(QMenu* menu);
    void ArmCancel(CProgressBar* progress);
    void Note(const QString& line);

    CMonkeyRandom& random_;
    PathChooser choosePath_;
    std::vector<Pending> pending_;
    QTimer again_;
    QTimer cancelWatch_;
    QPointer<CProgressBar> progress_;
    // Where in the transfer (0 to 1 of the bar) Cancel is pressed.
    double cancelAt_ = 0;
    double cancelChance_ = 0.2;
    QStringList log_;
    int answered_ = 0;
};

// Takes the URLs the program asks the desktop to open (the manual), so that a run starts no other program.
class CUrlRecorder : public QObject {
    Q_OBJECT

  public:
    int Count() const { return count_; }

  public slots:
    void Open(const QUrl&) { ++count_; }

  private:
    int count_ = 0;
};
