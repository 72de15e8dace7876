// The progress window: units, the creeping bar, closing after the last unit, and Cancel.

#include "Change.h"
#include "CommonUtils.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "worker/SMSWaitingDlg.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestProgress : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void fourUnitsStepAndCreep();
    void oneUnitCannotBeCancelled();
    void closesThreeSecondsAfterTheLastUnit();
    void okClosesAtOnce();
    void cancelDuringABatch();
    void cancelDuringASendStartsTheCancelJob();
    void labels();
    void countBarAndButtonSitInTheMiddle();
    void lateCallsAfterTheWindowWentAway_data();
    void lateCallsAfterTheWindowWentAway();

private:
    QTemporaryDir m_dir;
    QWidget m_parent;
};

void TestProgress::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")));
    m_parent.resize(600, 400);
    m_parent.show();
}

void TestProgress::cleanup()
{
    SMSWaitingDlg::Destroy();
    SMSThreadUI::clearCancel();
}

void TestProgress::cleanupTestCase() { ZsdkSim::Shutdown(); }

void TestProgress::fourUnitsStepAndCreep()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(4);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Deleting);
    QVERIFY(progress->Dialog()->isVisible());
    QCOMPARE(progress->CountText(), QStringLiteral("0/4"));
    for (int tick = 0; tick < 40; ++tick)
        progress->updateProgressBarForSmoothness();
    QCOMPARE(progress->Progress(), 24);   // creeps, but never to the next unit's mark
    const int expected[] = {25, 50, 75, 100};
    for (int step = 1; step <= 4; ++step) {
        progress->updateProgressBarLabel(step, 4);
        QCOMPARE(progress->Progress(), expected[step - 1]);
        QCOMPARE(progress->CountText(), QStringLiteral("%1/4").arg(step));
        if (step < 4) {
            for (int tick = 0; tick < 40; ++tick)
                progress->updateProgressBarForSmoothness();
            QCOMPARE(progress->Progress(), expected[step] - 1);
        }
    }
    progress->updateProgressBarLabel(5, 4);   // more than expected: ignored
    QCOMPARE(progress->Steps(), 4);
}

void TestProgress::oneUnitCannotBeCancelled()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(1);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Sending);
    auto* cancel = progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    QVERIFY(cancel);
    QVERIFY(!cancel->isEnabled());
    progress->EnableCancelButton();
    QVERIFY(cancel->isEnabled());
}

void TestProgress::closesThreeSecondsAfterTheLastUnit()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(2);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Copying);
    progress->updateProgressBarLabel(1, 2);
    progress->updateProgressBarLabel(2, 2);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(progress->Dialog()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Dialog()->isVisible(), 6000);
    QVERIFY(clock.elapsed() >= 2500);
    QCOMPARE(progress->Maximum(), 0);   // counters reset for the next operation
}

void TestProgress::okClosesAtOnce()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(2);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Moving);
    progress->updateProgressBarLabel(1, 2);
    progress->updateProgressBarLabel(2, 2);
    progress->onCompleteChangeButtonText();
    auto* button = progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    QCOMPARE(button->text(), Change::tr(QStringLiteral("IDS_OK"), QStringLiteral("XFramePlugin")));
    button->click();
    QVERIFY(!progress->Dialog()->isVisible());
}

void TestProgress::cancelDuringABatch()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(100);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Deleting);
    progress->updateProgressBarLabel(1, 100);
    auto* button = progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    button->click();
    QVERIFY(SMSThreadUI::isCancelRequested());
    QVERIFY(progress->isCancelling());
    QCOMPARE(progress->LabelText(), Change::tr(QStringLiteral("IDS_STR_CANCELLING"), QStringLiteral("SMSUIPlugin")));
    QVERIFY(progress->Dialog()->isVisible());   // waits for the worker to finish
    QVERIFY(!button->isEnabled());
}

void TestProgress::cancelDuringASendStartsTheCancelJob()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(3);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Sending);
    progress->Dialog()->findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"))->click();
    QCOMPARE(progress->CancelWorker()->WorkKind(), int(SMSThreadUI::WorkCancelSend));
    QVERIFY(progress->CancelWorker()->wait(5000));
}

void TestProgress::labels()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->changeLabel(QStringLiteral("IDS_STR_SOME_FAILED"));   // no window: nothing to change
    progress->Prepare(2);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Copying);
    QCOMPARE(progress->LabelText(), QStringLiteral("Copying messages..."));
    progress->changeLabel(QStringLiteral("IDS_STR_SOME_FAILED"));
    QCOMPARE(progress->LabelText(), QStringLiteral("The operation failed for some messages."));
    const QString longText(40, QLatin1Char('x'));
    progress->changeLabel(longText);   // 26 characters or more: shown as it is
    QCOMPARE(progress->LabelText(), longText);
}

// The window reads as a column: the text from the left, under it the count, the bar and the
// button, each in the middle and at its own size.
void TestProgress::countBarAndButtonSitInTheMiddle()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(2);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Copying);
    auto* text = m_parent.findChild<QLabel*>(QStringLiteral("SMSUIPlugin_WaitingText"));
    auto* count = m_parent.findChild<QLabel*>(QStringLiteral("SMSUIPlugin_WaitingCount"));
    auto* bar = m_parent.findChild<QWidget*>(QStringLiteral("SMSUIPlugin_WaitingBar"));
    auto* button = m_parent.findChild<QPushButton*>(QStringLiteral("SMSUIPlugin_WaitingCancel"));
    QVERIFY(text && count && bar && button);
    QWidget* frame = button->parentWidget();
    QVERIFY(frame && frame->layout());
    frame->layout()->activate();
    const int middle = frame->rect().center().x();
    for (QWidget* w : {static_cast<QWidget*>(count), bar, static_cast<QWidget*>(button)}) {
        QVERIFY2(qAbs(w->geometry().center().x() - middle) <= 1, qPrintable(w->objectName()));
        QVERIFY2(w->width() < frame->width() - 40, qPrintable(w->objectName()));
    }
    QCOMPARE(button->width(), button->sizeHint().width());
    QCOMPARE(count->width(), qMax(count->minimumWidth(), count->sizeHint().width()));
    QVERIFY(text->width() > frame->width() - 40);   // the text has the whole width
}

void TestProgress::lateCallsAfterTheWindowWentAway_data()
{
    QTest::addColumn<int>("call");
    QTest::newRow("the job's end turns Cancel into OK") << 0;
    QTest::newRow("the last unit enables the button") << 1;
    QTest::newRow("a unit is counted") << 2;
    QTest::newRow("a result text") << 3;
    QTest::newRow("a long result text") << 4;
}

// The page that parents the progress window closes while a job still runs: the job's later
// calls find no window and touch none of its destroyed widgets (AddressSanitizer would see it).
void TestProgress::lateCallsAfterTheWindowWentAway()
{
    QFETCH(int, call);
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    auto* page = new QWidget;
    progress->Prepare(3);
    progress->ShowAnimationDialog(page, SMSWaitingDlg::Moving);
    QVERIFY(progress->Dialog());
    delete page;
    QVERIFY(!progress->Dialog());
    switch (call) {
    case 0: progress->onCompleteChangeButtonText(); break;
    case 1: progress->EnableCancelButton(); break;
    case 2: progress->updateProgressBarLabel(1, 3); break;
    case 3: progress->changeLabel(QStringLiteral("IDS_STR_SOME_FAILED")); break;
    default: progress->changeLabelEx(QString(40, QLatin1Char('x'))); break;
    }
    QCOMPARE(progress->LabelText(), QString());
    // The next job gets a window of its own.
    progress->Prepare(2);
    progress->ShowAnimationDialog(&m_parent, SMSWaitingDlg::Copying);
    QVERIFY(progress->Dialog() && progress->Dialog()->isVisible());
    QCOMPARE(progress->LabelText(), QStringLiteral("Copying messages..."));
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
