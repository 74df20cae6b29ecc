#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "model/parameter_address.h"
#include "ui/progress_bar.h"

class ProgressBarTest : public QObject {
    Q_OBJECT

  private slots:
    void innerBeginSharesTheDialogAndDoesNotMoveIt();
    void dialogStaysASecondAfterEndThenGoes();
    void beginDuringTheSecondAfterEndKeepsTheDialog();
    void cancelSetsTheFlagAndNeverClosesTheDialog();
    void notCancellableHidesTheButtonAndIgnoresCancel();
    void ownerTakesNoInputWhileTheDialogIsOpen();
    void cancelAsksTheTransferToStopOnce();
};

void ProgressBarTest::innerBeginSharesTheDialogAndDoesNotMoveIt() {
    QMainWindow owner;
    owner.show();
    CProgressBar progress(&owner);
    progress.Begin(10, "outer", true);
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.Bar()->maximum(), 10);
    QCOMPARE(progress.CaptionLabel()->text(), QStringLiteral("outer"));
    progress.SetPosition(3);
    QCOMPARE(progress.Bar()->value(), 3);

    const int topLevels = static_cast<int>(QApplication::topLevelWidgets().size());
    progress.Begin(5, "inner", false);
    QCOMPARE(progress.Nesting(), 2);
    QCOMPARE(static_cast<int>(QApplication::topLevelWidgets().size()), topLevels);
    progress.SetPosition(5);
    progress.SetPatch(AREA_USER_PATCH, 9);
    QCOMPARE(progress.Bar()->value(), 3);
    QCOMPARE(progress.Bar()->maximum(), 10);
    QCOMPARE(progress.CaptionLabel()->text(), QStringLiteral("outer"));
    // The outer transfer stays cancellable.
    QVERIFY(progress.CancelButton()->isVisible());
    progress.End();
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.Nesting(), 1);
    QVERIFY(!progress.IsLingering());

    progress.SetPosition(7);
    progress.SetPatch(AREA_USER_PATCH, 9);
    QCOMPARE(progress.Bar()->value(), 7);
    QCOMPARE(progress.CaptionLabel()->text(), QStringLiteral("User Patch U03-2"));
    progress.End();
    QCOMPARE(progress.Nesting(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isVisible(), 10000);
}

void ProgressBarTest::dialogStaysASecondAfterEndThenGoes() {
    QMainWindow owner;
    owner.show();
    CProgressBar progress(&owner);
    QSignalSpy dismissed(&progress, &CProgressBar::dismissed);
    progress.Begin(4, "", true);
    progress.SetPosition(4);
    QElapsedTimer clock;
    progress.End();
    clock.start();
    // End returns at once; the final state stays in view.
    QVERIFY(progress.isVisible());
    QVERIFY(progress.IsOpen());
    QCOMPARE(progress.Bar()->value(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(!progress.isVisible(), 10000);
    QVERIFY2(clock.elapsed() >= CProgressBar::kLingerMs - 20, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(dismissed.count(), 1);
    QVERIFY(!progress.IsOpen());
    // An End too many does nothing.
    progress.End();
    QCOMPARE(progress.Nesting(), 0);
    QVERIFY(!progress.isVisible());
}

void ProgressBarTest::beginDuringTheSecondAfterEndKeepsTheDialog() {
    QMainWindow owner;
    owner.show();
    CProgressBar progress(&owner);
    QSignalSpy dismissed(&progress, &CProgressBar::dismissed);
    progress.Begin(9, "write", true);
    progress.SetPosition(9);
    progress.End();
    QVERIFY(progress.IsLingering());
    // A check that follows a write takes the same dialog over.
    progress.Begin(3, "check", true);
    QVERIFY(!progress.IsLingering());
    QVERIFY(progress.isVisible());
    QCOMPARE(progress.Bar()->maximum(), 3);
    QCOMPARE(progress.Bar()->value(), 0);
    QCOMPARE(progress.CaptionLabel()->text(), QStringLiteral("check"));
    QTest::qWait(CProgressBar::kLingerMs + 200);
    QVERIFY(progress.isVisible());
    QCOMPARE(dismissed.count(), 0);
    progress.End();
    progress.Dismiss();
    QVERIFY(!progress.isVisible());
    QCOMPARE(dismissed.count(), 1);
}

void ProgressBarTest::cancelSetsTheFlagAndNeverClosesTheDialog() {
    QMainWindow owner;
    owner.show();
    CProgressBar progress(&owner);
    progress.Begin(10, "", true);
    QVERIFY(progress.CancelButton()->isVisible());
    QVERIFY(!progress.IsCancelled());
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QVERIFY(progress.IsCancelled());
    QVERIFY(progress.isVisible());
    // Escape and the window's close button cancel too, and leave the dialog where it is.
    progress.End();
    progress.Dismiss();
    progress.Begin(10, "", true);
    QVERIFY(!progress.IsCancelled());
    QTest::keyClick(&progress, Qt::Key_Escape);
    QVERIFY(progress.IsCancelled());
    QVERIFY(progress.isVisible());
    progress.End();
    progress.Dismiss();
    progress.Begin(10, "", true);
    QVERIFY(!progress.close());
    QVERIFY(progress.IsCancelled());
    QVERIFY(progress.isVisible());
    progress.End();
    progress.Dismiss();
    // Outside a transfer Cancel means nothing.
    progress.Cancel();
    progress.Begin(10, "", true);
    QVERIFY(!progress.IsCancelled());
    progress.End();
    progress.Dismiss();
}

void ProgressBarTest::notCancellableHidesTheButtonAndIgnoresCancel() {
    QMainWindow owner;
    owner.show();
    CProgressBar progress(&owner);
    progress.Begin(10, "", false);
    QVERIFY(progress.isVisible());
    QVERIFY(!progress.CancelButton()->isVisible());
    progress.Cancel();
    QTest::keyClick(&progress, Qt::Key_Escape);
    QVERIFY(!progress.IsCancelled());
    QVERIFY(progress.isVisible());
    progress.End();
    progress.Dismiss();
}

void ProgressBarTest::ownerTakesNoInputWhileTheDialogIsOpen() {
    QMainWindow owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CProgressBar progress(&owner);
    progress.Begin(2, "", true);
    QVERIFY(progress.isModal());
    QCOMPARE(QApplication::activeModalWidget(), &progress);
    // Centred over its owner.
    QVERIFY(owner.frameGeometry().contains(progress.frameGeometry().center()));
    progress.End();
    // Still blocked during the second after End.
    QCOMPARE(QApplication::activeModalWidget(), &progress);
    progress.Dismiss();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void ProgressBarTest::cancelAsksTheTransferToStopOnce() {
    CProgressBar progress;
    QSignalSpy asked(&progress, &CProgressBar::cancelRequested);
    progress.Begin(2, "", false);
    progress.CancelButton()->click();  // hidden, and a transfer that cannot be cancelled is not
    QVERIFY(!progress.IsCancelled());
    progress.End();
    progress.Begin(2, "", true);
    progress.CancelButton()->click();
    progress.reject();  // Escape
    QVERIFY(progress.IsCancelled());
    QCOMPARE(asked.count(), 1);
    progress.End();
    // The next transfer starts afresh.
    progress.Begin(2, "", true);
    QVERIFY(!progress.IsCancelled());
    progress.End();
    progress.Dismiss();
}

QTEST_MAIN(ProgressBarTest)
#include "progress_bar_test.moc"
