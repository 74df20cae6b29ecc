#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "textout/text_out.h"

// Answers the modal dialogs a command opens while the test waits inside it. Each expectation names the
// kind of dialog (its class, and its object name when given) and what to do with it; they are met in
// order. A dialog that is not expected is rejected and recorded; when an expected one does not appear
// within the watchdog time, every modal window is rejected so that the command ends, and the expectation
// counts as missed. Tests then check Failures() instead of hanging.
class CDialogDriver : public QObject {
  public:
    using Action = std::function<void(QDialog*)>;

    explicit CDialogDriver(int watchdogMs = 30000) : watchdogMs_(watchdogMs) {
        // The progress dialog is modal as well; it is answered by the tests themselves.
        Ignore(QStringLiteral("ProgressBar"));
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
        clock_.start();
    }

    // The next dialog must be a T (with that object name, when not empty); act answers it.
    template <class T>
    void Expect(std::function<void(T*)> act, const QString& objectName = {}) {
        expectations_.push_back({[objectName](QDialog* dialog) {
                                     return qobject_cast<T*>(dialog) &&
                                            (objectName.isEmpty() || dialog->objectName() == objectName);
                                 },
                                 [act](QDialog* dialog) { act(qobject_cast<T*>(dialog)); },
                                 T::staticMetaObject.className()});
        clock_.restart();
    }
    // Dialogs of this object name are left alone (the progress dialog is modal too).
    void Ignore(const QString& objectName) { ignored_.push_back(objectName); }

    bool AllMet() const { return expectations_.empty(); }
    // What went wrong, one line each: dialogs that came unasked, expectations that were not met.
    QStringList Failures() const {
        QStringList failures = failures_;
        for (const Expectation& e : expectations_)
            failures << QStringLiteral("no %1 appeared").arg(QString::fromLatin1(e.kind));
        return failures;
    }
    // The dialogs that were answered or rejected, by object name.
    const QStringList& Seen() const { return seen_; }

  private:
    struct Expectation {
        std::function<bool(QDialog*)> matches;
        Action act;
        const char* kind;
    };

    // Rejects a dialog that an action left open, so that a test fails instead of hanging.
    void RejectLeftOpen() {
        for (const Handled& handled : handled_)
            if (handled.dialog && handled.dialog->isVisible() && handled.since.elapsed() > watchdogMs_) {
                failures_
                    << QStringLiteral("%1 stayed open after its answer").arg(handled.dialog->objectName());
                handled.dialog->reject();
            }
    }

    QDialog* ModalDialog() const {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
            if (std::any_of(handled_.begin(), handled_.end(),
                            [dialog](const Handled& h) { return h.dialog == dialog; }))
                continue;
            if (ignored_.contains(dialog->objectName())) continue;
            return dialog;
        }
        return nullptr;
    }

    void Poll() {
        // Forget dialogs that have closed, so that the same object can be answered again later.
        handled_.erase(std::remove_if(handled_.begin(), handled_.end(),
                                      [](const Handled& h) { return !h.dialog || !h.dialog->isVisible(); }),
                       handled_.end());
        RejectLeftOpen();
        if (QDialog* dialog = ModalDialog()) {
            Handled handled{dialog, {}};
            handled.since.start();
            handled_.push_back(handled);
            seen_ << dialog->objectName();
            if (!expectations_.empty() && expectations_.front().matches(dialog)) {
                Expectation expectation = expectations_.front();
                expectations_.pop_front();
                clock_.restart();
                expectation.act(dialog);
            } else {
                failures_ << QStringLiteral("unexpected dialog %1 (%2)")
                                 .arg(dialog->objectName(),
                                      QString::fromLatin1(dialog->metaObject()->className()));
                dialog->reject();
            }
            return;
        }
        if (!expectations_.empty() && clock_.elapsed() > watchdogMs_) {
            // Nothing came: end whatever waits, so that the test fails instead of hanging.
            failures_ << QStringLiteral("gave up waiting for %1")
                             .arg(QString::fromLatin1(expectations_.front().kind));
            expectations_.pop_front();
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(widget);
                    dialog && dialog->isVisible() && dialog->isModal())
                    dialog->reject();
            clock_.restart();
        }
    }

    int watchdogMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::deque<Expectation> expectations_;
    QStringList ignored_;
    struct Handled {
        QPointer<QDialog> dialog;
        QElapsedTimer since;
    };
    std::vector<Handled> handled_;
    QStringList failures_;
    QStringList seen_;
};

// Chooses path in a file dialog as a user typing it would, and presses its OK.
inline void ChooseFile(QFileDialog* dialog, const QString& path) {
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}
