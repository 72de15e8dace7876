// The background worker over the simulated modem: batches of delete, recover, move, copy and
// drag jobs, cancellation between records, sending, and the single-message update.

#include "CommonUtils.h"
#include "editor/SMSEditUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using TestSupport::storeMessage;

class TestWorker : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void deleteReportsEveryRecord();
    void cancelStopsBetweenRecords();
    void emptyJobOpensAndClosesItsBatch();
    void refusedJobLeavesNothingForTheNext();
    void recoverReturnsToTheFolder();
    void moveFromACardRootFollowsEachFolder_data();
    void moveFromACardRootFollowsEachFolder();
    void copyKeepsTheOriginal();
    void batchNotStoredIsReported_data();
    void batchNotStoredIsReported();
    void moveWhoseCommitFailsLeavesEachMessageOnce_data();
    void moveWhoseCommitFailsLeavesEachMessageOnce();
    void dragRules_data();
    void dragRules();
    void sendReportsEveryPart();
    void cancelSendFailsWaitingParts();
    void refusedSendIsReported();
    void updateWritesTheRecord();
    void markingAReportReadKeepsItsText_data();
    void markingAReportReadKeepsItsText();
    void cardWordFollowsTheProduct();

private:
    QList<SMSLocalRecordPtr> load(int node, int mem);
    bool runJob(SMSThreadUI& worker);
    QTemporaryDir m_dir;
    SMSStatusUILogic* m_store = nullptr;
};

void TestWorker::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CommonUtils::SetSettingsFile(m_dir.filePath(QStringLiteral("xframe.ini")));
}

void TestWorker::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("sim.sqlite")), [](ZsdkSim::Options& o) { o.simCapacity = 20; });
    m_store = SMSStatusUILogic::Instance();
    QCOMPARE(m_store->InitStatusLogic(), 0);
}

void TestWorker::cleanup()
{
    m_store->unSDKRegisterEvent();
    SMSStatusUILogic::Release();
    SMSEditUILogic::Destroy();
}

void TestWorker::cleanupTestCase() { ZsdkSim::Shutdown(); }

QList<SMSLocalRecordPtr> TestWorker::load(int node, int mem)
{
    m_store->ReleaseSmsBuffer(mem);
    m_store->PopulateSMSFromSDK(mem);
    QList<SMSLocalRecordPtr> records = m_store->getSmsBuffer(node).values();
    std::sort(records.begin(), records.end(), [](const SMSLocalRecordPtr& a, const SMSLocalRecordPtr& b) { return a->iMsgId < b->iMsgId; });
    return records;
}

bool TestWorker::runJob(SMSThreadUI& worker)
{
    // The job may end before a wait for its signal would begin: count instead of waiting.
    QSignalSpy done(&worker, &QThread::finished);
    worker.start();
    QElapsedTimer clock;
    clock.start();
    while (done.count() == 0 && clock.elapsed() < 10000)
        QTest::qWait(5);
    return done.count() == 1;
}

void TestWorker::deleteReportsEveryRecord()
{
    for (int i = 0; i < 3; ++i)
        storeMessage(NODE_LOCAL_INBOX, QStringLiteral("123456%1").arg(i), QStringLiteral("m%1").arg(i));
    QList<SMSLocalRecordPtr> records = load(NODE_LOCAL_INBOX, MEM_PC);
    // The first record is gone already: the device reports an error for it.
    QCOMPARE(ZSDK_SMSSrv_RemoveMsg(records.first()->iMsgId, MEM_PC), 0);
    SMSThreadUI worker;
    QSignalSpy deleted(&worker, &SMSThreadUI::deleteSignalEvent);
    QSignalSpy toBuffers(m_store, &SMSStatusUILogic::DeleteSMSInUiService);
    worker.setWork(SMSThreadUI::WorkDelete, records, MEM_PC, NODE_LOCAL_TRASH, NODE_LOCAL_INBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(deleted.count(), 3);
    QCOMPARE(deleted.at(0).at(0).toInt(), 0);   // failed
    QCOMPARE(deleted.at(1).at(0).toInt(), 1);
    QCOMPARE(deleted.at(2).at(0).toInt(), 2);
    QCOMPARE(toBuffers.count(), 2);
    // Deleted from the inbox means moved to the trash.
    QCOMPARE(load(NODE_LOCAL_TRASH, MEM_PC).size(), 2);
}

void TestWorker::cancelStopsBetweenRecords()
{
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(MEM_PC), 0);
    for (int i = 0; i < 100; ++i)
        storeMessage(NODE_LOCAL_INBOX, QStringLiteral("5550%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("bulk %1").arg(i));
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(MEM_PC), 0);
    const QList<SMSLocalRecordPtr> records = load(NODE_LOCAL_INBOX, MEM_PC);
    QCOMPARE(records.size(), 100);
    SMSThreadUI worker;
    QList<int> seen;
    // Cancel from the signal of the tenth record, as the progress dialog's Cancel would.
    connect(&worker, &SMSThreadUI::deleteSignalEvent, &worker, [&seen](int i) {
        seen << i;
        if (seen.size() == 10)
            SMSThreadUI::requestCancel();
    }, Qt::DirectConnection);
    worker.setWork(SMSThreadUI::WorkDelete, records, MEM_PC, NODE_LOCAL_TRASH, NODE_LOCAL_INBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(seen.size(), 10);
    QVERIFY(!SMSThreadUI::isCancelRequested());   // the next job starts clean
    QCOMPARE(load(NODE_LOCAL_INBOX, MEM_PC).size(), 90);
    QCOMPARE(load(NODE_LOCAL_TRASH, MEM_PC).size(), 10);
}

void TestWorker::emptyJobOpensAndClosesItsBatch()
{
    SMSThreadUI worker;
    QSignalSpy moved(&worker, &SMSThreadUI::moveOrCopyEvent);
    worker.setWork(SMSThreadUI::WorkMove, {}, MEM_PC, NODE_SIM_INBOX, NODE_LOCAL_INBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(moved.count(), 0);
    // Its batch was closed: a new one can open.
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(MEM_PC), 0);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(MEM_PC), 0);
}

void TestWorker::refusedJobLeavesNothingForTheNext()
{
    for (int i = 0; i < 3; ++i)
        storeMessage(NODE_SIM_INBOX, QStringLiteral("111111%1").arg(i), QStringLiteral("card %1").arg(i));
    const int local = storeMessage(NODE_LOCAL_INBOX, QStringLiteral("2222222"), QStringLiteral("only this one"));
    SMSThreadUI worker;
    QSignalSpy moved(&worker, &SMSThreadUI::moveOrCopyEvent);
    // A folder code where a storage location belongs: the device refuses the batch.
    worker.setWork(SMSThreadUI::WorkMove, load(NODE_SIM_INBOX, MEM_SIM), NODE_SIM_ROOT, NODE_LOCAL_ROOT, NODE_SIM_ROOT);
    QVERIFY(runJob(worker));
    QCOMPARE(moved.count(), 0);
    // The next job works on its own records only.
    QSignalSpy deleted(&worker, &SMSThreadUI::deleteSignalEvent);
    worker.setWork(SMSThreadUI::WorkDelete, load(NODE_LOCAL_INBOX, MEM_PC), MEM_PC, NODE_LOCAL_TRASH, NODE_LOCAL_INBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(moved.count(), 0);
    int32_t onCard = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM);
    QCOMPARE(onCard, 3);
    const QList<SMSLocalRecordPtr> trash = load(NODE_LOCAL_TRASH, MEM_PC);
    QCOMPARE(trash.size(), 1);
    QCOMPARE(trash.first()->iMsgId, local);
}

void TestWorker::recoverReturnsToTheFolder()
{
    const int id = storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234567"), QStringLiteral("bring me back"));
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(id, MEM_PC), 0);
    const QList<SMSLocalRecordPtr> trashed = load(NODE_LOCAL_TRASH, MEM_PC);
    QCOMPARE(trashed.size(), 1);
    SMSThreadUI worker;
    QSignalSpy recovered(&worker, &SMSThreadUI::recoverSignalEvent);
    worker.setWork(SMSThreadUI::WorkRecover, trashed, MEM_PC, NODE_LOCAL_INBOX, NODE_LOCAL_TRASH);
    QVERIFY(runJob(worker));
    QCOMPARE(recovered.count(), 1);
    QCOMPARE(recovered.at(0).at(0).toBool(), true);
    const QList<SMSLocalRecordPtr> inbox = load(NODE_LOCAL_INBOX, MEM_PC);
    QCOMPARE(inbox.size(), 1);
    QCOMPARE(inbox.first()->strContent, QStringLiteral("bring me back"));
    QVERIFY(inbox.first()->iMsgId != id);
}

void TestWorker::moveFromACardRootFollowsEachFolder_data()
{
    QTest::addColumn<int>("sourceRoot");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("inboxLandsIn");
    QTest::addColumn<int>("outboxLandsIn");
    QTest::newRow("card root to the device inbox") << int(NODE_SIM_ROOT) << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("card root to the device outbox") << int(NODE_SIM_ROOT) << int(NODE_DEVICE_OUTBOX) << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("card root to the device root") << int(NODE_SIM_ROOT) << int(NODE_DEVICE_ROOT) << int(NODE_DEVICE_INBOX) << int(NODE_DEVICE_OUTBOX);
    QTest::newRow("device root to the card inbox") << int(NODE_DEVICE_ROOT) << int(NODE_SIM_INBOX) << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX);
    QTest::newRow("device root to the card outbox") << int(NODE_DEVICE_ROOT) << int(NODE_SIM_OUTBOX) << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX);
    QTest::newRow("device root to the card root") << int(NODE_DEVICE_ROOT) << int(NODE_SIM_ROOT) << int(NODE_SIM_INBOX) << int(NODE_SIM_OUTBOX);
    QTest::newRow("card root to the PC inbox") << int(NODE_SIM_ROOT) << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_OUTBOX);
    QTest::newRow("device root to the PC") << int(NODE_DEVICE_ROOT) << int(NODE_LOCAL_ROOT) << int(NODE_LOCAL_INBOX) << int(NODE_LOCAL_OUTBOX);
}

// Moving everything shown under a card's root: each message goes to the folder of its kind in the
// target storage, whichever folder or root of that storage was the target.
void TestWorker::moveFromACardRootFollowsEachFolder()
{
    QFETCH(int, sourceRoot);
    QFETCH(int, target);
    QFETCH(int, inboxLandsIn);
    QFETCH(int, outboxLandsIn);
    const bool fromCard = sourceRoot == NODE_SIM_ROOT;
    const int sourceMem = fromCard ? MEM_SIM : MEM_DEVICE;
    storeMessage(fromCard ? NODE_SIM_INBOX : NODE_DEVICE_INBOX, QStringLiteral("1111111"), QStringLiteral("in"));
    storeMessage(fromCard ? NODE_SIM_OUTBOX : NODE_DEVICE_OUTBOX, QStringLiteral("2222222"), QStringLiteral("out"));
    QList<SMSLocalRecordPtr> records = load(fromCard ? NODE_SIM_INBOX : NODE_DEVICE_INBOX, sourceMem);
    records += m_store->getSmsBuffer(fromCard ? NODE_SIM_OUTBOX : NODE_DEVICE_OUTBOX).values();
    QCOMPARE(records.size(), 2);
    SMSThreadUI worker;
    QSignalSpy moved(&worker, &SMSThreadUI::moveOrCopyEvent);
    worker.setWork(SMSThreadUI::WorkMove, records, sourceMem, target, sourceRoot);
    QVERIFY(runJob(worker));
    QCOMPARE(moved.count(), 2);
    QVERIFY(moved.at(0).at(0).toBool() && moved.at(1).at(0).toBool());
    const int targetMem = inboxLandsIn == NODE_SIM_INBOX ? MEM_SIM : inboxLandsIn == NODE_DEVICE_INBOX ? MEM_DEVICE : MEM_PC;
    const QList<SMSLocalRecordPtr> inbox = load(inboxLandsIn, targetMem);
    QCOMPARE(inbox.size(), 1);
    QCOMPARE(inbox.first()->strContent, QStringLiteral("in"));
    const QList<SMSLocalRecordPtr> outbox = m_store->getSmsBuffer(outboxLandsIn).values();
    QCOMPARE(outbox.size(), 1);
    QCOMPARE(outbox.first()->strContent, QStringLiteral("out"));
    int32_t left = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&left, sourceMem);
    QCOMPARE(left, 0);
}

void TestWorker::copyKeepsTheOriginal()
{
    storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1111111"), QStringLiteral("copy me"));
    SMSThreadUI worker;
    QSignalSpy copied(&worker, &SMSThreadUI::moveOrCopyEvent);
    worker.setWork(SMSThreadUI::WorkCopy7, load(NODE_LOCAL_INBOX, MEM_PC), MEM_PC, NODE_SIM_INBOX, NODE_LOCAL_INBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(copied.count(), 1);
    QCOMPARE(load(NODE_SIM_INBOX, MEM_SIM).size(), 1);
    QCOMPARE(load(NODE_LOCAL_INBOX, MEM_PC).size(), 1);
}

void TestWorker::batchNotStoredIsReported_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("room on the disk: the batch is kept") << false;
    QTest::newRow("disk full at the commit: nothing is kept") << true;
}

// Each record is reported as it is done, inside the batch; when the commit then fails the
// device kept none of it, and the window must be told so that it shows the truth.
void TestWorker::batchNotStoredIsReported()
{
    QFETCH(bool, diskFull);
    const QString big(100000, QChar(0x0416));
    for (int i = 0; i < 3; ++i)
        QVERIFY(storeMessage(NODE_LOCAL_INBOX, QStringLiteral("765432%1").arg(i), big) >= 0);
    SMSThreadUI worker;
    QSignalSpy copied(&worker, &SMSThreadUI::smsDragged);
    QSignalSpy notStored(&worker, &SMSThreadUI::batchNotStored);
    // A copy dropped with Ctrl inside the PC: new messages only, nothing freed to make room.
    worker.setWork(SMSThreadUI::WorkDragCopy, load(NODE_LOCAL_INBOX, MEM_PC), MEM_PC, NODE_LOCAL_FAVORITE, NODE_LOCAL_INBOX);
    if (diskFull)
        ZsdkSim::LimitStoreGrowth(2);
    QVERIFY(runJob(worker));
    ZsdkSim::LimitStoreGrowth(0);
    QCOMPARE(copied.count(), 3);
    QCOMPARE(notStored.count(), diskFull ? 1 : 0);
    // Whatever the window was told, the device holds the copies only if the batch was kept.
    QCOMPARE(load(NODE_LOCAL_INBOX, MEM_PC).size(), 3);
    QCOMPARE(m_store->getSmsBuffer(NODE_LOCAL_FAVORITE).size(), diskFull ? 0 : 3);
}

void TestWorker::moveWhoseCommitFailsLeavesEachMessageOnce_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("kind");
    QTest::newRow("card inbox to the PC inbox, from the menu") << int(NODE_SIM_INBOX) << int(NODE_LOCAL_INBOX) << int(SMSThreadUI::WorkMove);
    QTest::newRow("device inbox to the PC inbox, from the menu") << int(NODE_DEVICE_INBOX) << int(NODE_LOCAL_INBOX) << int(SMSThreadUI::WorkMove);
    QTest::newRow("card inbox dropped on the PC favourites") << int(NODE_SIM_INBOX) << int(NODE_LOCAL_FAVORITE) << int(SMSThreadUI::WorkDragMove);
}

// A move from a card to the PC whose batch the device cannot store (its disk is full at the
// commit): whatever the batch did, each message is afterwards in exactly one storage.
void TestWorker::moveWhoseCommitFailsLeavesEachMessageOnce()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, kind);
    const int sourceMem = SMSStatusUILogic::GetMemPosition(source);
    const QString big(100000, QChar(0x0416));
    for (int i = 0; i < 3; ++i)
        QVERIFY(storeMessage(source, QStringLiteral("765432%1").arg(i), big) >= 0);
    SMSThreadUI worker;
    worker.setWork(kind, load(source, sourceMem), sourceMem, target, source);
    ZsdkSim::LimitStoreGrowth(2);
    auto restore = qScopeGuard([] { ZsdkSim::LimitStoreGrowth(0); });
    QVERIFY(runJob(worker));
    ZsdkSim::LimitStoreGrowth(0);
    int32_t onCard = -1, onPc = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, sourceMem), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onPc, MEM_PC), 0);
    QCOMPARE(onCard + onPc, 3);
}

void TestWorker::dragRules_data()
{
    QTest::addColumn<bool>("sentItems");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("moved");
    QTest::newRow("a sent card message is not an Outbox message") << true << 0 << int(NODE_LOCAL_OUTBOX) << false;
    QTest::newRow("an unsent card message is not a sent one") << true << 1 << int(NODE_LOCAL_SENT) << false;
    QTest::newRow("an unsent card message goes to the Outbox") << true << 1 << int(NODE_LOCAL_OUTBOX) << true;
    QTest::newRow("without Sent Items anything goes to the Outbox") << false << 0 << int(NODE_LOCAL_OUTBOX) << true;
}

void TestWorker::dragRules()
{
    QFETCH(bool, sentItems);
    QFETCH(int, status);
    QFETCH(int, target);
    storeMessage(NODE_SIM_OUTBOX, QStringLiteral("2222222"), QStringLiteral("dragged"), 0, QStringLiteral("20261201120000"), status);
    SMSThreadUI worker;
    worker.SetSentItemsBox(sentItems);
    QSignalSpy dragged(&worker, &SMSThreadUI::smsDragged);
    worker.setWork(SMSThreadUI::WorkDragMove, load(NODE_SIM_OUTBOX, MEM_SIM), MEM_SIM, target, NODE_SIM_OUTBOX);
    QVERIFY(runJob(worker));
    QCOMPARE(dragged.count(), 1);
    QTEST(dragged.at(0).at(0).toBool(), "moved");
    int32_t onCard = -1;
    ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&onCard, MEM_SIM);
    QFETCH(bool, moved);
    QCOMPARE(onCard, moved ? 0 : 1);
}

void TestWorker::sendReportsEveryPart()
{
    SMSThreadUI worker;
    QSignalSpy results(&worker, &SMSThreadUI::SendSignalEvent);
    QSignalSpy closed(m_store, &SMSStatusUILogic::progressbarCloseEvent);
    worker.setSendWork(SMSThreadUI::WorkSend, QStringLiteral("+491711111111;+491722222222"), QString(200, QLatin1Char('x')));
    QVERIFY(runJob(worker));
    // Two recipients, two segments each: four results, then the stored copy ends the batch.
    QTRY_COMPARE(closed.count(), 1);
    QTRY_COMPARE(results.count(), 4);
    for (const QList<QVariant>& r : results)
        QCOMPARE(r.at(0).toBool(), true);
}

void TestWorker::cancelSendFailsWaitingParts()
{
    ZsdkSim::SetSendDelay(200);
    SMSThreadUI sender;
    SMSThreadUI canceller;
    QSignalSpy results(&sender, &SMSThreadUI::SendSignalEvent);
    sender.setSendWork(SMSThreadUI::WorkSend, QStringLiteral("+491711111111;+491722222222;+491733333333"), QStringLiteral("hi"));
    QVERIFY(runJob(sender));
    canceller.setSendWork(SMSThreadUI::WorkCancelSend, QString(), QString());
    QVERIFY(runJob(canceller));
    QVERIFY(ZsdkSim::WaitForEvents(5000));
    QTRY_COMPARE(results.count(), 3);
    int failed = 0;
    for (const QList<QVariant>& r : results)
        failed += r.at(0).toBool() ? 0 : 1;
    QVERIFY(failed >= 2);   // the parts still waiting when the cancel came
    ZsdkSim::SetSendDelay(0);
}

void TestWorker::refusedSendIsReported()
{
    SMSThreadUI worker;
    QSignalSpy notStarted(&worker, &SMSThreadUI::sendNotStarted);
    worker.setSendWork(SMSThreadUI::WorkSend, QStringLiteral(" ; "), QStringLiteral("to nobody"));
    QVERIFY(runJob(worker));
    QCOMPARE(notStarted.count(), 1);
    worker.setSendWork(SMSThreadUI::WorkSend, QStringLiteral("1234567"), QStringLiteral("to somebody"));
    QVERIFY(runJob(worker));
    QCOMPARE(notStarted.count(), 1);
}

void TestWorker::updateWritesTheRecord()
{
    const int id = storeMessage(NODE_LOCAL_INBOX, QStringLiteral("1234567"), QStringLiteral("before"), 1);
    SMSLocalRecord rec = *load(NODE_LOCAL_INBOX, MEM_PC).first();
    rec.iReadFlag = 0;
    rec.strContent = QStringLiteral("after");
    QVERIFY(!SMSEditUILogic::Instance()->UpdateSms(rec));
    SMSLocalRecord* stored = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(id, NODE_LOCAL_INBOX, &stored), 0);
    QCOMPARE(stored->iReadFlag, 0);
    QCOMPARE(stored->strContent, QStringLiteral("after"));
    delete stored;
    SMSLocalRecord missing;
    missing.iMsgId = 987654;
    QVERIFY(SMSEditUILogic::Instance()->UpdateSms(missing));
}

void TestWorker::markingAReportReadKeepsItsText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    // With no stored text the page shows a label, which must not become the report's text.
    QTest::newRow("no stored text, a label shown") << QString() << QStringLiteral("Delivered");
    QTest::newRow("the network's own text") << QStringLiteral("Delivered to 1234567 at 10:15") << QStringLiteral("Delivered to 1234567 at 10:15");
}

void TestWorker::markingAReportReadKeepsItsText()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    const int report = storeMessage(NODE_LOCAL_REPORT, QStringLiteral("1234567"), stored, 1);
    SMSLocalRecord rec = *load(NODE_LOCAL_REPORT, MEM_PC).first();
    rec.iMsgType = 1;
    rec.iReadFlag = 0;
    rec.strContent = shown;
    QVERIFY(!SMSEditUILogic::Instance()->UpdateSms(rec));
    SMSLocalRecord* after = nullptr;
    QCOMPARE(m_store->GetSMSRecordUsingID(report, NODE_LOCAL_REPORT, &after), 0);
    QCOMPARE(after->iReadFlag, 0);
    QCOMPARE(after->strContent, stored);
    delete after;
}

void TestWorker::cardWordFollowsTheProduct()
{
    QCOMPARE(SMSEditUILogic::Instance()->GetCardTypeName(), QStringLiteral("SIM"));
    ZsdkSim::SetProductType(1);
    QCOMPARE(SMSEditUILogic::Instance()->GetCardTypeName(), QStringLiteral("UIM"));
    ZsdkSim::SetProductType(0);
}

QTEST_MAIN(TestWorker)
#include "tst_worker.moc"
