// The device service through its C API over the simulated modem: storage, batches, capacities,
// events, GSM text rules, the phone book, bad input and calls from several threads.

#include "DeviceChoice.h"
#include "GsmText.h"
#include "PhoneNumber.h"
#include "EventDispatcher.h"
#include "SimControl.h"
#include "SimModem.h"
#include "SmsDatabase.h"
#include "zsdk.h"

#include <QMutex>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Event {
    int code = 0;
    int id = 0;
    int status = 0;
    int node = 0;
    int msgClass = 0;
    int value = 0;
    QString number;
    QString content;
    Qt::HANDLE thread = nullptr;
};

QMutex g_mutex;
QList<Event> g_events;

int recordEvent(int code, void* data)
{
    Event e;
    e.code = code;
    e.thread = QThread::currentThreadId();
    if (code == ZSDK_EVT_STATUS || code == ZSDK_EVT_DELETED) {
        auto* block = static_cast<ZSDK_EventBlock*>(data);
        e.value = block->value;
        e.node = block->folder;
    } else if (data) {
        auto* r = static_cast<SMSDeviceRecord*>(data);
        e.id = r->iMsgId;
        e.status = r->iStatus;
        e.node = r->iNode;
        e.msgClass = r->iAttrA;
        e.number = QString::fromUtf16(r->pNumber);
        e.content = QString::fromUtf16(r->pContent);
    }
    QMutexLocker lock(&g_mutex);
    g_events << e;
    return 1;
}

QList<Event> takeEvents()
{
    QMutexLocker lock(&g_mutex);
    QList<Event> out = g_events;
    g_events.clear();
    return out;
}

QList<Event> eventsOf(const QList<Event>& all, int code)
{
    QList<Event> out;
    for (const Event& e : all)
        if (e.code == code)
            out << e;
    return out;
}

const ZSDK_WCHAR* w(const QString& s) { return reinterpret_cast<const ZSDK_WCHAR*>(s.utf16()); }

// A record the test owns, with texts kept alive beside it.
struct LocalRecord {
    SMSDeviceRecord rec{};
    QString number;
    QString content;
    LocalRecord(int node, const QString& n, const QString& c) : number(n), content(c)
    {
        rec.iMsgId = -1;
        rec.iNode = node;
        rec.iOrigNode = node;
        rec.iAttrA = 3;
        rec.pNumber = const_cast<ZSDK_WCHAR*>(w(number));
        rec.pContent = const_cast<ZSDK_WCHAR*>(w(content));
        const QString t = QStringLiteral("20261206101530");
        for (int i = 0; i < t.size(); ++i)
            rec.szTime[i] = t.at(i).unicode();
    }
};

int save(int node, const QString& number, const QString& text, int* status = nullptr)
{
    LocalRecord r(node, number, text);
    int32_t id = -1, reserved = 1;
    const int rc = ZSDK_SMSSrv_SaveMsg(&r.rec, &id, &reserved);
    if (status)
        *status = rc;
    return rc == 0 ? id : -1;
}

int count(int mem)
{
    int32_t n = -1;
    return ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, mem) == 0 ? n : -1;
}

// Every field of a record in one line, so that two reads can be compared as lists.
QString describe(const SMSDeviceRecord& r)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11|%12|%13|%14")
        .arg(r.iMsgId).arg(r.iReadFlag).arg(r.iOrigNode).arg(r.iNode).arg(r.iStatus).arg(r.iMsgType)
        .arg(r.iAttrA).arg(r.iAttrB).arg(r.iAttrC).arg(r.iAttrD).arg(r.iPriority)
        .arg(QString::fromUtf16(r.szTime), QString::fromUtf16(r.pNumber), QString::fromUtf16(r.pContent));
}

// A storage read the long way: its id list, then one record per id. `rc` the first failure.
QStringList readPerId(int mem, int* rc)
{
    QStringList out;
    int32_t* ids = nullptr;
    int32_t n = 0;
    *rc = ZSDK_SMSSrv_GetSmsIdList(&ids, &n, mem);
    if (*rc)
        return out;
    for (int i = 0; i < n && *rc == 0; ++i) {
        SMSDeviceRecord* r = nullptr;
        ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
        r->iMsgId = ids[i];
        *rc = ZSDK_SMSSrv_GetMsg(r, mem);
        if (*rc == 0)
            out << describe(*r);
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    }
    ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    return out;
}

// The same storage in one call.
QStringList readOnePass(int mem, int* rc, int wanted = 0)
{
    QStringList out;
    SMSDeviceRecord* records = nullptr;
    int32_t n = wanted;
    *rc = ZSDK_SMSSrv_GetMsgList(&records, &n, mem);
    if (*rc)
        return out;
    for (int i = 0; i < n; ++i)
        out << describe(records[i]);
    if (ZSDK_SMSSrv_ReleaseMsgList(&records) != 0 || records)
        *rc = -1;
    return out;
}

} // namespace

class TestDevService : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void recordRoundTrip();
    void textsComeBackUnchanged_data();
    void textsComeBackUnchanged();
    void storeKeepsNulAndLoneSurrogates();
    void idsAreUniqueAcrossMemories();
    void messagesSurviveARestart();
    void abandonedBatchLeavesNothing();
    void batchRefusesWhatTheFileRefuses();
    void openBatchIsTheOpeningThreadsAlone();
    void receivedMessageOutlivesAnAbandonedBatch();
    void onePassReadGivesWhatPerIdReadsGive_data();
    void onePassReadGivesWhatPerIdReadsGive();
    void batchCountsAreTheBatchThreadsAlone_data();
    void batchCountsAreTheBatchThreadsAlone();
    void batchesBelongToTheirLocation();
    void foldersMustBelongToTheStorage_data();
    void foldersMustBelongToTheStorage();
    void capacitiesAndMemoryFull();
    void deleteMovesToTrashRemoveDeletes();
    void sendReportsEveryPartThenTheStoredCopy();
    void failedPartsMarkTheStoredCopyNotSent();
    void cancellingOneSendLeavesTheOthers();
    void sendThatCannotGoOutIsAnswered_data();
    void sendThatCannotGoOutIsAnswered();
    void flashMessageIsAnnouncedNotStored();
    void deliveryReportWhenRequested();
    void segmentCounts_data();
    void segmentCounts();
    void phoneNumbersMatch_data();
    void phoneNumbersMatch();
    void phoneBookLookup();
    void memoryListFollowsTheCard();
    void deviceStateAsThePageReadsIt_data();
    void deviceStateAsThePageReadsIt();
    void cardOpensOnlyWithThePinSettled_data();
    void cardOpensOnlyWithThePinSettled();
    void simIsReadAfterItsDelay();
    void deviceSettingsPersist();
    void badArgumentsFailCleanly();
    void releaseRefusesForeignPointers();
    void listKeepsItsTextsWhileTheStorageChanges();
    void callsFromSeveralThreads();
    void burstOfArrivalsIsAnnouncedInOrderAndKept();
    void modemGoneBeforeItsEventsRan_data();
    void modemGoneBeforeItsEventsRan();

private:
    void restart(bool wipe);
    QTemporaryDir m_dir;
    QString m_db;
};

void TestDevService::restart(bool wipe)
{
    ZsdkSim::Shutdown();
    if (wipe) {
        QFile::remove(m_db);
        QFile::remove(m_db + QStringLiteral("-wal"));
        QFile::remove(m_db + QStringLiteral("-shm"));
    }
    ZsdkSim::Options o;
    o.databasePath = m_db;
    o.seed = false;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    o.simCapacity = 5;
    o.deviceCapacity = 6;
    ZsdkSim::Configure(o);
    QCOMPARE(ZSDK_SMSSrv_RegCallBack(recordEvent), 0);
    QCOMPARE(ZSDK_PBSrv_RegisterPBCallback(recordEvent), 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    takeEvents();
}

void TestDevService::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_db = m_dir.filePath(QStringLiteral("sim.sqlite"));
}

void TestDevService::init() { restart(true); }

void TestDevService::cleanupTestCase() { ZsdkSim::Shutdown(); }

void TestDevService::recordRoundTrip()
{
    LocalRecord r(3, QStringLiteral("+491712345678;0301234567"), QStringLiteral("Hello\nworld"));
    r.rec.iReadFlag = 1;
    r.rec.iOrigNode = 1;
    r.rec.iStatus = 7;
    r.rec.iMsgType = 4;
    r.rec.iAttrA = 0;
    r.rec.iAttrB = 11;
    r.rec.iAttrC = 12;
    r.rec.iAttrD = 13;
    r.rec.iPriority = 2;
    int32_t id = -1, reserved = 1;
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&r.rec, &id, &reserved), 0);
    QVERIFY(id > 0);

    SMSDeviceRecord* got = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&got, nullptr, nullptr), 0);
    got->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(got, ZSDK_MEM_PC), 0);
    QCOMPARE(got->iMsgId, id);
    QCOMPARE(got->iReadFlag, 1);
    QCOMPARE(got->iOrigNode, 1);
    QCOMPARE(got->iNode, 3);
    QCOMPARE(got->iStatus, 7);
    QCOMPARE(got->iMsgType, 4);
    QCOMPARE(got->iAttrA, 0);
    QCOMPARE(got->iAttrB, 11);
    QCOMPARE(got->iAttrC, 12);
    QCOMPARE(got->iAttrD, 13);
    QCOMPARE(got->iPriority, 2);
    QCOMPARE(QString::fromUtf16(got->szTime), QStringLiteral("20261206101530"));
    QCOMPARE(QString::fromUtf16(got->pNumber), r.number);
    QCOMPARE(QString::fromUtf16(got->pContent), r.content);

    // Update every field through a record of the service's own and read it back.
    const QString newText = QStringLiteral("changed");
    got->iReadFlag = 0;
    got->iNode = 4;
    got->iPriority = 3;
    got->iAttrD = 99;
    got->pContent = const_cast<ZSDK_WCHAR*>(w(newText));
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(got), 0);
    SMSDeviceRecord* again = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&again, nullptr, nullptr);
    again->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(again, ZSDK_MEM_PC), 0);
    QCOMPARE(again->iReadFlag, 0);
    QCOMPARE(again->iNode, 4);
    QCOMPARE(again->iPriority, 3);
    QCOMPARE(again->iAttrD, 99);
    QCOMPARE(QString::fromUtf16(again->pContent), newText);
    // The wrong memory does not find it.
    again->iMsgId = id;
    QVERIFY(ZSDK_SMSSrv_GetMsg(again, ZSDK_MEM_DEVICE) != 0);
    QCOMPARE(ZSDK_SMSSrv_ReleaseSMSRecord(&again), 0);
    QCOMPARE(ZSDK_SMSSrv_ReleaseSMSRecord(&got), 0);
    QVERIFY(!got && !again);
}

void TestDevService::textsComeBackUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("markup") << QStringLiteral("<b>bold</b> & \"quotes\"");
    QTest::newRow("emoji") << QString::fromUtf8("Party \xF0\x9F\x8E\x89 tonight");
    QTest::newRow("a lone high surrogate") << (QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b"));
    QTest::newRow("a lone low surrogate at the end") << (QStringLiteral("x") + QChar(0xDE00));
    QTest::newRow("10,000 characters") << QString(10000, QLatin1Char('z'));
    QTest::newRow("right-to-left") << QString::fromUtf8("\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 (123)");
}

void TestDevService::textsComeBackUnchanged()
{
    QFETCH(QString, text);
    const int id = save(1, QStringLiteral("+4930123456"), text);
    QVERIFY(id > 0);
    SMSDeviceRecord* got = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&got, nullptr, nullptr);
    got->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(got, ZSDK_MEM_PC), 0);
    const QString back = QString(reinterpret_cast<const QChar*>(got->pContent), int(std::char_traits<char16_t>::length(reinterpret_cast<const char16_t*>(got->pContent))));
    QCOMPARE(back, text);
    ZSDK_SMSSrv_ReleaseSMSRecord(&got);
}

void TestDevService::storeKeepsNulAndLoneSurrogates()
{
    // A NUL cannot travel through the C API's NUL-terminated texts, but the store beneath keeps it.
    SmsDatabase db;
    QVERIFY(db.open(m_dir.filePath(QStringLiteral("raw.sqlite")), nullptr));
    StoredMessage m;
    m.content = QStringLiteral("before") + QChar(0) + QStringLiteral("after") + QChar(0xDC00);
    m.number = QString(QChar(0));
    QVERIFY(db.insert(m) > 0);
    StoredMessage back;
    QVERIFY(db.get(m.id, &back));
    QCOMPARE(back.content, m.content);
    QCOMPARE(back.number, m.number);
}

void TestDevService::idsAreUniqueAcrossMemories()
{
    QSet<int> ids;
    for (int node : {1, 7, 9, 0, 6, 8}) {
        const int id = save(node, QStringLiteral("1234567"), QStringLiteral("x"));
        QVERIFY(id > 0);
        ids.insert(id);
    }
    QCOMPARE(ids.size(), 6);
    QCOMPARE(count(ZSDK_MEM_PC), 2);
    QCOMPARE(count(ZSDK_MEM_SIM), 2);
    QCOMPARE(count(ZSDK_MEM_DEVICE), 2);
    int32_t* list = nullptr;
    int32_t n = 0;
    QCOMPARE(ZSDK_SMSSrv_GetSmsIdList(&list, &n, ZSDK_MEM_SIM), 0);
    QCOMPARE(n, 2);
    QVERIFY(ids.contains(list[0]) && ids.contains(list[1]));
    QCOMPARE(ZSDK_SMSSrv_ReleaseSmsIdList(&list), 0);
    QVERIFY(!list);
    // The in/out count limits the answer.
    n = 1;
    QCOMPARE(ZSDK_SMSSrv_GetSmsIdList(&list, &n, ZSDK_MEM_PC), 0);
    QCOMPARE(n, 1);
    ZSDK_SMSSrv_ReleaseSmsIdList(&list);
}

void TestDevService::messagesSurviveARestart()
{
    const int id = save(2, QStringLiteral("+4930123456"), QStringLiteral("draft"));
    QVERIFY(id > 0);
    ZSDK_SMSSrv_SetSMSValidityPeriod(143);
    restart(false);
    QCOMPARE(count(ZSDK_MEM_PC), 1);
    int32_t validity = 0;
    QCOMPARE(ZSDK_SMSSrv_GetSMSValidityPeriod(&validity), 0);
    QCOMPARE(validity, 143);
    // A new message after the restart gets a new id, never a reused one.
    QVERIFY(save(1, QStringLiteral("1"), QStringLiteral("y")) > id);
}

void TestDevService::abandonedBatchLeavesNothing()
{
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("kept")) > 0);
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    for (int i = 0; i < 5; ++i)
        QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("batch %1").arg(i)) > 0);
    QCOMPARE(count(ZSDK_MEM_PC), 6);   // inside the batch the changes are visible
    restart(false);                    // the process ends before the batch's end
    QCOMPARE(count(ZSDK_MEM_PC), 1);

    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("committed")) > 0);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), 0);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), int(ZSDK_E_NO_TRANSACTION));
    restart(false);
    QCOMPARE(count(ZSDK_MEM_PC), 2);
}

// Inside a batch the store answers a change as the file does outside one: a message that is not
// there, or not in the storage named, or removed already, is refused, not taken as done.
void TestDevService::batchRefusesWhatTheFileRefuses()
{
    for (const bool batched : {false, true}) {
        SmsDatabase db;
        QVERIFY(db.open(m_dir.filePath(QStringLiteral("refuses-%1.sqlite").arg(batched)), nullptr));
        StoredMessage pc;
        pc.node = 1;
        QVERIFY(db.insert(pc) > 0);
        StoredMessage card;
        card.mem = ZSDK_MEM_SIM;
        card.node = 7;
        QVERIFY(db.insert(card) > 0);
        if (batched)
            QVERIFY(db.beginBatch(ZSDK_MEM_PC) == SmsDatabase::BatchResult::Ok);
        StoredMessage unknown = pc;
        unknown.id = 424242;
        QVERIFY(!db.update(unknown));
        QVERIFY(!db.remove(unknown.id, ZSDK_MEM_PC));
        QVERIFY(!db.remove(pc.id, ZSDK_MEM_SIM));
        StoredMessage draft;
        draft.node = 2;
        QVERIFY(db.insert(draft) > 0);
        QVERIFY(!db.remove(draft.id, ZSDK_MEM_SIM));
        QVERIFY(db.remove(pc.id, ZSDK_MEM_PC));
        QVERIFY(!db.remove(pc.id, ZSDK_MEM_PC));
        QVERIFY(!db.update(pc));
        if (batched)
            QVERIFY(db.endBatch(ZSDK_MEM_PC) == SmsDatabase::BatchResult::Ok);
        QCOMPARE(db.ids(ZSDK_MEM_PC), QVector<int>{draft.id});
        QCOMPARE(db.ids(ZSDK_MEM_SIM), QVector<int>{card.id});
    }
}

void TestDevService::openBatchIsTheOpeningThreadsAlone()
{
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("in batch")) > 0);
    std::atomic<int> seen{-1};
    std::atomic<int> savedId{-1};
    std::thread other([&] {
        seen = count(ZSDK_MEM_PC);
        savedId = save(1, QStringLiteral("7654321"), QStringLiteral("from another thread"));
    });
    other.join();
    QCOMPARE(seen.load(), 0);          // the batch is not stored yet
    QVERIFY(savedId.load() > 0);       // stored at once, not held back by the batch
    QCOMPARE(count(ZSDK_MEM_PC), 2);   // the batch's thread sees both
    restart(false);                    // the process ends before the batch's end
    QCOMPARE(count(ZSDK_MEM_PC), 1);
}

void TestDevService::receivedMessageOutlivesAnAbandonedBatch()
{
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("in batch")) > 0);
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+491712345678");
    in.text = QStringLiteral("arrived during the batch");
    const int id = ZsdkSim::InjectMessage(in);   // on the batch's own thread, even
    QVERIFY(id > 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(eventsOf(takeEvents(), ZSDK_EVT_RECEIVED).size(), 1);
    restart(false);
    QCOMPARE(count(ZSDK_MEM_PC), 1);
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_PC), 0);
    QCOMPARE(QString::fromUtf16(r->pContent), in.text);
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
}

// Each step is "<op> <args> | <pc> <sim> <device>": the operation inside a PC batch, then the counts
// the batch's thread sees. Ops: "save <folder>" (the new message is named n0, n1, ... in order),
// "move <name> <folder>" (an update), "delete <name>" (trash on the PC, gone elsewhere), "remove
// <name>"; a "!" after the op's arguments says the service refuses it. Before the batch the store
// holds p1 and p2 in the PC inbox, p3 in the PC trash, s1 on the card and d1 on the device.
void TestDevService::onePassReadGivesWhatPerIdReadsGive_data()
{
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("expected");   // messages the one-pass read returns
    QTest::newRow("PC, every folder and field") << int(ZSDK_MEM_PC) << 0 << QString() << 7;
    QTest::newRow("PC, at most three wanted") << int(ZSDK_MEM_PC) << 3 << QString() << 3;
    QTest::newRow("PC, more wanted than stored") << int(ZSDK_MEM_PC) << 50 << QString() << 7;
    QTest::newRow("SIM card") << int(ZSDK_MEM_SIM) << 0 << QString() << 2;
    QTest::newRow("device memory") << int(ZSDK_MEM_DEVICE) << 0 << QString() << 2;
    QTest::newRow("device memory, empty") << int(ZSDK_MEM_DEVICE) << 0 << QStringLiteral("empty") << 0;
    QTest::newRow("SIM still being read") << int(ZSDK_MEM_SIM) << 0 << QStringLiteral("reading") << -1;
    QTest::newRow("SIM taken out") << int(ZSDK_MEM_SIM) << 0 << QStringLiteral("no sim") << -1;
    QTest::newRow("device removed") << int(ZSDK_MEM_DEVICE) << 0 << QStringLiteral("no device") << -1;
    QTest::newRow("no such storage") << 5 << 0 << QString() << -1;
}

void TestDevService::onePassReadGivesWhatPerIdReadsGive()
{
    QFETCH(int, mem);
    QFETCH(int, wanted);
    QFETCH(QString, situation);
    QFETCH(int, expected);
    LocalRecord full(3, QStringLiteral("+491712345678;0301234567"), QString::fromUtf8("Party \xF0\x9F\x8E\x89 tonight"));
    full.rec.iReadFlag = 1;
    full.rec.iOrigNode = 1;
    full.rec.iStatus = 7;
    full.rec.iMsgType = 4;
    full.rec.iAttrA = 0;
    full.rec.iAttrB = 11;
    full.rec.iAttrC = 12;
    full.rec.iAttrD = 13;
    full.rec.iPriority = 2;
    int32_t id = -1, reserved = 1;
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&full.rec, &id, &reserved), 0);
    for (int node : {1, 0, 2, 5, 10})
        QVERIFY(save(node, QStringLiteral("+4917%1").arg(node), QStringLiteral("folder %1").arg(node)) > 0);
    QVERIFY(save(1, QString(), QString()) > 0);   // no number, no text
    if (situation != QLatin1String("empty")) {
        for (int node : {7, 6, 9, 8})
            QVERIFY(save(node, QStringLiteral("+4916%1").arg(node), QStringLiteral("card %1").arg(node)) > 0);
    }
    // Ids are not in folder order: a message in the middle goes, one is added after it.
    QVERIFY(ZSDK_SMSSrv_RemoveMsg(id + 2, ZSDK_MEM_PC) == 0);
    QVERIFY(save(4, QStringLiteral("+4917"), QStringLiteral("trash")) > 0);
    if (situation == QLatin1String("reading")) {
        ZsdkSim::SetReadDelay(ZSDK_MEM_SIM, 60000);
        ZsdkSim::SetSimPresent(false);
        ZsdkSim::SetSimPresent(true);
    } else if (situation == QLatin1String("no sim")) {
        ZsdkSim::SetSimPresent(false);
    } else if (situation == QLatin1String("no device")) {
        ZsdkSim::SetDevicePresent(false);
    }

    int perIdRc = 0, onePassRc = 0;
    QStringList perId = readPerId(mem, &perIdRc);
    const QStringList onePass = readOnePass(mem, &onePassRc, wanted);
    QCOMPARE(onePassRc, perIdRc);
    if (expected < 0) {
        QVERIFY(onePassRc != 0);
        QVERIFY(onePass.isEmpty());
        // What was handed out is untouched by a failed call.
        SMSDeviceRecord* records = &full.rec;
        int32_t n = 42;
        QVERIFY(ZSDK_SMSSrv_GetMsgList(&records, &n, mem) != 0);
        QCOMPARE(records, &full.rec);
        QCOMPARE(n, 42);
        return;
    }
    if (wanted > 0)
        perId = perId.mid(0, wanted);
    QCOMPARE(onePass.size(), expected);
    QCOMPARE(onePass, perId);
    if (mem == ZSDK_MEM_PC && wanted == 0)
    {
        full.rec.iMsgId = id;
        QVERIFY(onePass.contains(describe(full.rec)));
    }
}

void TestDevService::batchCountsAreTheBatchThreadsAlone_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("ending");
    const QVector<QPair<const char*, QStringList>> scenarios = {
        {"saves", {"save 1 | 4 1 1", "save 8 | 4 1 2", "save 7 | 4 2 2", "save 2 | 5 2 2"}},
        {"updates move folders", {"move p1 2 | 3 1 1", "save 1 | 4 1 1", "move n0 3 | 4 1 1", "move d1 9 | 4 1 1",
                                  "move n0 5 | 4 1 1", "move s1 6 | 4 1 1"}},
        {"deletes and removes", {"delete p1 | 3 1 1", "delete p1 | 2 1 1", "delete p3 | 1 1 1", "remove p2 | 0 1 1",
                                 "remove s1 | 0 0 1", "delete d1 | 0 0 0"}},
        {"added then removed", {"save 1 | 4 1 1", "save 8 | 4 1 2", "remove n0 | 3 1 2", "delete n1 | 3 1 1",
                                "save 3 | 4 1 1", "delete n2 | 4 1 1", "delete n2 | 3 1 1"}},
        {"moved then removed", {"save 1 | 4 1 1", "move n0 2 | 4 1 1", "remove n0 | 3 1 1", "move p1 3 | 3 1 1",
                                "remove p1 | 2 1 1", "move d1 9 | 2 1 1", "delete d1 | 2 1 0"}},
        {"refused changes count nothing", {"remove p2 | 2 1 1", "remove p2 ! | 2 1 1", "move p2 2 ! | 2 1 1",
                                           "delete p2 ! | 2 1 1", "remove s1 | 2 0 1", "remove s1 ! | 2 0 1",
                                           "save 1 | 3 0 1", "remove n0 | 2 0 1", "move n0 1 ! | 2 0 1"}},
    };
    for (const auto& scenario : scenarios)
        for (const char* ending : {"committed", "abandoned", "failed"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(scenario.first), QLatin1String(ending))))
                << scenario.second << QString::fromLatin1(ending);
}

void TestDevService::batchCountsAreTheBatchThreadsAlone()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, ending);
    const auto counts = [] { return QVector<int>{count(ZSDK_MEM_PC), count(ZSDK_MEM_SIM), count(ZSDK_MEM_DEVICE)}; };
    const auto countsElsewhere = [&] {
        QVector<int> seen;
        std::thread other([&] { seen = counts(); });
        other.join();
        return seen;
    };
    const auto memOf = [](int node) { return node == 6 || node == 7 ? ZSDK_MEM_SIM : node == 8 || node == 9 ? ZSDK_MEM_DEVICE : ZSDK_MEM_PC; };
    QHash<QString, QPair<int, int>> named;   // name -> (id, storage)
    const auto keep = [&](const QString& name, int node) {
        const int id = save(node, QStringLiteral("1234567"), name);
        named.insert(name, qMakePair(id, memOf(node)));
        return id > 0;
    };
    QVERIFY(keep(QStringLiteral("p1"), 1) && keep(QStringLiteral("p2"), 1) && keep(QStringLiteral("p3"), 4)
            && keep(QStringLiteral("s1"), 7) && keep(QStringLiteral("d1"), 8));
    const QVector<int> before{3, 1, 1};
    QCOMPARE(counts(), before);

    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    int added = 0;
    QVector<int> seen = before;
    for (const QString& step : steps) {
        const QStringList halves = step.split(QLatin1Char('|'));
        QStringList op = halves.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool refused = op.last() == QLatin1String("!");
        if (refused)
            op.removeLast();
        int rc = -1;
        if (op.at(0) == QLatin1String("save")) {
            const QString name = QStringLiteral("n%1").arg(added++);
            rc = keep(name, op.at(1).toInt()) ? 0 : 1;
        } else {
            const QPair<int, int> target = named.value(op.at(1));
            if (op.at(0) == QLatin1String("move")) {
                LocalRecord r(op.at(2).toInt(), QStringLiteral("1234567"), op.at(1));
                r.rec.iMsgId = target.first;
                rc = ZSDK_SMSSrv_UpdateMsg(&r.rec);
            } else if (op.at(0) == QLatin1String("delete")) {
                rc = ZSDK_SMSSrv_DeleteMsg(target.first, target.second);
            } else {
                rc = ZSDK_SMSSrv_RemoveMsg(target.first, target.second);
            }
        }
        QVERIFY2((rc == 0) != refused, qPrintable(QStringLiteral("%1: %2").arg(step).arg(rc)));
        seen.clear();
        for (const QString& n : halves.at(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            seen.append(n.toInt());
        QVERIFY2(counts() == seen, qPrintable(step));
        QVERIFY2(countsElsewhere() == before, qPrintable(step));   // not stored yet
        // The id lists the batch's thread reads agree with its counts, in ascending order.
        for (int mem : {ZSDK_MEM_PC, ZSDK_MEM_SIM, ZSDK_MEM_DEVICE}) {
            int32_t* ids = nullptr;
            int32_t n = 0;
            QCOMPARE(ZSDK_SMSSrv_GetSmsIdList(&ids, &n, mem), 0);
            const QVector<int> listed(ids, ids + n);
            ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
            QVERIFY2(listed.size() == seen.at(mem), qPrintable(step));
            QVERIFY2(std::is_sorted(listed.begin(), listed.end()), qPrintable(step));
            // A one-pass read sees the batch as the per-id reads do, here and on other threads.
            int perIdRc = 0, onePassRc = 0;
            const QStringList perId = readPerId(mem, &perIdRc);
            QVERIFY2(readOnePass(mem, &onePassRc) == perId && perIdRc == 0 && onePassRc == 0, qPrintable(step));
            QStringList perIdElsewhere, onePassElsewhere;
            std::thread other([&] {
                perIdElsewhere = readPerId(mem, &perIdRc);
                onePassElsewhere = readOnePass(mem, &onePassRc);
            });
            other.join();
            QVERIFY2(onePassElsewhere == perIdElsewhere && perIdRc == 0 && onePassRc == 0, qPrintable(step));
        }
    }

    if (ending == QLatin1String("committed")) {
        QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), 0);
        QCOMPARE(counts(), seen);
        QCOMPARE(countsElsewhere(), seen);
        restart(false);
        QCOMPARE(counts(), seen);
    } else if (ending == QLatin1String("abandoned")) {
        restart(false);   // the process ends before the batch's end
        QCOMPARE(counts(), before);
    } else {
        // The disk fills up: the batch's end fails and stores nothing of it.
        ZsdkSim::LimitStoreGrowth(1);
        const QString big(1500, QChar(0x0416));
        for (int i = 0; i < 8; ++i)
            QVERIFY(save(3, QStringLiteral("1234567"), big) > 0);
        QCOMPARE(count(ZSDK_MEM_PC), seen.at(0) + 8);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be stored")));
        QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), int(ZSDK_E_STORAGE));
        ZsdkSim::LimitStoreGrowth(0);
        QCOMPARE(counts(), before);
        QCOMPARE(countsElsewhere(), before);
        restart(false);
        QCOMPARE(counts(), before);
    }
}

void TestDevService::batchesBelongToTheirLocation()
{
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("pc batch")) > 0);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_DEVICE), int(ZSDK_E_NO_TRANSACTION));
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), int(ZSDK_E_FAIL));   // one per thread and location
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), 0);                      // still open: ended here
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), int(ZSDK_E_NO_TRANSACTION));

    // A card message is marked read in a SIM batch of another thread while a PC batch is open.
    std::atomic<int> begun{-1}, ended{-1}, marked{-1};
    const int simId = save(7, QStringLiteral("1234567"), QStringLiteral("card message"));
    QVERIFY(simId > 0);
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("1234567"), QStringLiteral("pc batch")) > 0);
    std::thread gui([&] {
        begun = ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_SIM);
        SMSDeviceRecord* r = nullptr;
        ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
        r->iMsgId = simId;
        ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_SIM);
        r->iReadFlag = 0;
        marked = ZSDK_SMSSrv_UpdateMsg(r);
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
        ended = ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_SIM);
    });
    gui.join();
    QCOMPARE(begun.load(), 0);
    QCOMPARE(marked.load(), 0);
    QCOMPARE(ended.load(), 0);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_SIM), int(ZSDK_E_NO_TRANSACTION));
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), 0);
    restart(false);
    QCOMPARE(count(ZSDK_MEM_PC), 2);
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = simId;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_SIM), 0);
    QCOMPARE(r->iReadFlag, 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
}

void TestDevService::foldersMustBelongToTheStorage_data()
{
    QTest::addColumn<int>("storedIn");
    QTest::addColumn<int>("saveOrUpdateTo");
    QTest::addColumn<bool>("update");
    QTest::newRow("save to 'none'") << -1 << 11 << false;
    QTest::newRow("save to the SIM root") << -1 << 12 << false;
    QTest::newRow("save to the PC root") << -1 << 13 << false;
    QTest::newRow("save to the device root") << -1 << 14 << false;
    QTest::newRow("save to Sent Items (a view of the outbox)") << -1 << 15 << false;
    QTest::newRow("save to folder 999") << -1 << 999 << false;
    QTest::newRow("save to a negative folder") << -1 << -3 << false;
    QTest::newRow("PC message to folder 999") << 1 << 999 << true;
    QTest::newRow("PC message to the SIM inbox") << 1 << 7 << true;
    QTest::newRow("PC message to the device outbox") << 0 << 8 << true;
    QTest::newRow("PC message to the PC root") << 1 << 13 << true;
    QTest::newRow("SIM message to the PC inbox") << 7 << 1 << true;
    QTest::newRow("device message to the SIM outbox") << 9 << 6 << true;
}

void TestDevService::foldersMustBelongToTheStorage()
{
    QFETCH(int, storedIn);
    QFETCH(int, saveOrUpdateTo);
    QFETCH(bool, update);
    if (!update) {
        int status = 0;
        QCOMPARE(save(saveOrUpdateTo, QStringLiteral("1"), QStringLiteral("x"), &status), -1);
        QCOMPARE(status, int(ZSDK_E_ARG));
        QCOMPARE(count(ZSDK_MEM_PC) + count(ZSDK_MEM_SIM) + count(ZSDK_MEM_DEVICE), 0);
        return;
    }
    const int id = save(storedIn, QStringLiteral("1"), QStringLiteral("x"));
    QVERIFY(id > 0);
    LocalRecord changed(saveOrUpdateTo, QStringLiteral("1"), QStringLiteral("x"));
    changed.rec.iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(&changed.rec), int(ZSDK_E_ARG));
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = id;
    const int mem = storedIn <= 5 ? ZSDK_MEM_PC : storedIn <= 7 ? ZSDK_MEM_SIM : ZSDK_MEM_DEVICE;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, mem), 0);
    QCOMPARE(r->iNode, storedIn);
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
}

void TestDevService::capacitiesAndMemoryFull()
{
    int32_t cap = 0, used = -1;
    QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&cap, &used, ZSDK_MEM_SIM), 0);
    QCOMPARE(cap, 5);
    QCOMPARE(used, 0);
    for (int i = 0; i < 5; ++i)
        QVERIFY(save(7, QStringLiteral("1234567"), QStringLiteral("m%1").arg(i)) > 0);
    int status = 0;
    QCOMPARE(save(7, QStringLiteral("1234567"), QStringLiteral("one too many"), &status), -1);
    QCOMPARE(status, int(ZSDK_E_MEMORY_FULL));
    QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&cap, &used, ZSDK_MEM_SIM), 0);
    QCOMPARE(used, 5);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> status2 = eventsOf(takeEvents(), ZSDK_EVT_STATUS);
    QCOMPARE(status2.size(), 1);
    QCOMPARE(status2.at(0).value, int(ZSDK_ST_SIM_FULL));

    // An incoming message for a full memory is refused with a memory-full event, not lost silently.
    ZsdkSim::Incoming in;
    in.mem = ZSDK_MEM_SIM;
    in.number = QStringLiteral("+491712345678");
    in.text = QStringLiteral("no room");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("storage 1 is full")));
    QCOMPARE(ZsdkSim::InjectMessage(in), -1);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> after = takeEvents();
    QCOMPARE(eventsOf(after, ZSDK_EVT_RECEIVED).size(), 0);
    QCOMPARE(eventsOf(after, ZSDK_EVT_STATUS).size(), 1);

    ZsdkSim::FillMemory(ZSDK_MEM_DEVICE);
    QCOMPARE(count(ZSDK_MEM_DEVICE), 6);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> filled = takeEvents();
    QCOMPARE(eventsOf(filled, ZSDK_EVT_STATUS).value(0).value, int(ZSDK_ST_DEVICE_FULL));
    // The messages that filled it are announced as arrivals are, and they are stored for good.
    QCOMPARE(eventsOf(filled, ZSDK_EVT_RECEIVED).size(), 6);
    const int pcBefore = count(ZSDK_MEM_PC);
    restart(false);
    QCOMPARE(count(ZSDK_MEM_DEVICE), 6);
    QCOMPARE(count(ZSDK_MEM_PC), pcBefore);
    // They are received messages of the device memory: its Inbox, as announced.
    for (const Event& e : eventsOf(filled, ZSDK_EVT_RECEIVED)) {
        QCOMPARE(e.node, 9);
        SMSDeviceRecord* r = nullptr;
        QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr), 0);
        r->iMsgId = e.id;
        QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_DEVICE), 0);
        QCOMPARE(r->iNode, 9);
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    }
}

void TestDevService::deleteMovesToTrashRemoveDeletes()
{
    const int inbox = save(1, QStringLiteral("1234567"), QStringLiteral("a"));
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(inbox, ZSDK_MEM_PC), 0);
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = inbox;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_PC), 0);
    QCOMPARE(r->iNode, 4);
    QCOMPARE(r->iOrigNode, 1);
    // Deleting from the trash deletes for good.
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(inbox, ZSDK_MEM_PC), 0);
    r->iMsgId = inbox;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_PC), int(ZSDK_E_NOT_FOUND));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);

    const int outbox = save(0, QStringLiteral("1234567"), QStringLiteral("b"));
    QCOMPARE(ZSDK_SMSSrv_RemoveMsg(outbox, ZSDK_MEM_PC), 0);
    QCOMPARE(count(ZSDK_MEM_PC), 0);
    QCOMPARE(ZSDK_SMSSrv_RemoveMsg(outbox, ZSDK_MEM_PC), int(ZSDK_E_NOT_FOUND));

    const int sim = save(7, QStringLiteral("1234567"), QStringLiteral("c"));
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(sim, ZSDK_MEM_PC), int(ZSDK_E_NOT_FOUND));   // wrong memory
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(sim, ZSDK_MEM_SIM), 0);
    QCOMPARE(count(ZSDK_MEM_SIM), 0);

    // The device deleting a message of its own accord says which one left which folder; one it
    // does not have is no news.
    const int onDevice = save(9, QStringLiteral("1234567"), QStringLiteral("d"));
    QVERIFY(ZsdkSim::WaitForEvents());
    takeEvents();
    QVERIFY(ZsdkSim::DeviceDeletesMessage(onDevice));
    QVERIFY(!ZsdkSim::DeviceDeletesMessage(onDevice));
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> deleted = eventsOf(takeEvents(), ZSDK_EVT_DELETED);
    QCOMPARE(deleted.size(), 1);
    QCOMPARE(deleted.first().value, onDevice);
    QCOMPARE(deleted.first().node, 9);
    QCOMPARE(count(ZSDK_MEM_DEVICE), 0);
}

void TestDevService::sendReportsEveryPartThenTheStoredCopy()
{
    const QString text(200, QLatin1Char('a'));   // two GSM segments
    SMSDeviceRecord* handle = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("+491711111111; 0302222222;")), w(text)), 0);
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);   // the service copied what it needs
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> all = takeEvents();
    QCOMPARE(all.size(), 5);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(all.at(i).code, int(ZSDK_EVT_SEND_RESULT));
        QCOMPARE(all.at(i).status, 0);
        QVERIFY(all.at(i).thread != QThread::currentThreadId());
    }
    QCOMPARE(all.at(0).number, QStringLiteral("+491711111111"));
    QCOMPARE(all.at(2).number, QStringLiteral("0302222222"));
    const Event saved = all.at(4);
    QCOMPARE(saved.code, int(ZSDK_EVT_SENT_SAVED));
    QCOMPARE(saved.status, 0);
    QCOMPARE(saved.node, 0);
    QCOMPARE(saved.content, text);
    QCOMPARE(saved.number, QStringLiteral("+491711111111; 0302222222;"));
    QVERIFY(saved.id > 0);
    QCOMPARE(count(ZSDK_MEM_PC), 1);
}

// A send is cancelled by the record it was given with: its parts still waiting fail and its copy
// is kept unsent, while another send goes on. A record that was never sent has nothing to cancel.
void TestDevService::cancellingOneSendLeavesTheOthers()
{
    ZsdkSim::SetSendDelay(200);
    auto restore = qScopeGuard([] { ZsdkSim::SetSendDelay(0); });
    SMSDeviceRecord* first = nullptr;
    SMSDeviceRecord* second = nullptr;
    SMSDeviceRecord* stranger = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&first, w(QStringLiteral("1111111;2222222")), w(QStringLiteral("first"))), 0);
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&second, w(QStringLiteral("3333333")), w(QStringLiteral("second"))), 0);
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&stranger, w(QStringLiteral("4444444")), w(QStringLiteral("never sent"))), 0);
    auto release = qScopeGuard([&] {
        ZSDK_SMSSrv_ReleaseSMSRecord(&first);
        ZSDK_SMSSrv_ReleaseSMSRecord(&second);
        ZSDK_SMSSrv_ReleaseSMSRecord(&stranger);
    });
    QCOMPARE(ZSDK_SMSSrv_SendMsg(first), 0);
    QCOMPARE(ZSDK_SMSSrv_SendMsg(second), 0);
    QCOMPARE(ZSDK_SMSSrv_CancelSendMsg(&first), 0);
    QCOMPARE(ZSDK_SMSSrv_CancelSendMsg(&stranger), int(ZSDK_E_NOT_FOUND));
    QVERIFY(ZsdkSim::WaitForEvents(10000));
    const QList<Event> all = takeEvents();
    QHash<QString, QList<int>> results;   // number: the status of each part
    for (const Event& e : eventsOf(all, ZSDK_EVT_SEND_RESULT))
        results[e.number] << e.status;
    QCOMPARE(results.value(QStringLiteral("1111111")), QList<int>{1});
    QCOMPARE(results.value(QStringLiteral("2222222")), QList<int>{1});
    QCOMPARE(results.value(QStringLiteral("3333333")), QList<int>{0});
    QVERIFY(!results.contains(QStringLiteral("4444444")));
    QHash<QString, int> saved;            // text: the status of its stored copy
    for (const Event& e : eventsOf(all, ZSDK_EVT_SENT_SAVED))
        saved.insert(e.content, e.status);
    QCOMPARE(saved.size(), 2);
    QCOMPARE(saved.value(QStringLiteral("first"), -1), 1);
    QCOMPARE(saved.value(QStringLiteral("second"), -1), 0);
}

void TestDevService::failedPartsMarkTheStoredCopyNotSent()
{
    ZsdkSim::FailNextSends(1);
    SMSDeviceRecord* handle = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("1234567;7654321")), w(QStringLiteral("hi")));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> all = takeEvents();
    const QList<Event> results = eventsOf(all, ZSDK_EVT_SEND_RESULT);
    QCOMPARE(results.size(), 2);
    QCOMPARE(results.at(0).status, 1);
    QCOMPARE(results.at(1).status, 0);
    QCOMPARE(eventsOf(all, ZSDK_EVT_SENT_SAVED).value(0).status, 1);

    // With the radio off every part fails.
    ZsdkSim::SetRadio(false);
    ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("1234567")), w(QStringLiteral("hi")));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> off = takeEvents();
    QCOMPARE(eventsOf(off, ZSDK_EVT_SEND_RESULT).value(0).status, 1);
    ZsdkSim::SetRadio(true);

    // No recipient at all is refused at once.
    ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral(" ; ")), w(QStringLiteral("hi")));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), int(ZSDK_E_ARG));
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
}

void TestDevService::sendThatCannotGoOutIsAnswered_data()
{
    QTest::addColumn<QString>("lost");
    QTest::addColumn<int>("told");   // the status code besides "cannot send"; -1 none
    QTest::newRow("the device removed") << "device" << int(ZSDK_ST_DEVICE_REMOVED);
    QTest::newRow("no network service") << "network" << -1;
    QTest::newRow("the radio off") << "radio" << -1;
    QTest::newRow("the SIM taken out") << "sim" << int(ZSDK_ST_SIM_UNUSABLE);
}

void TestDevService::sendThatCannotGoOutIsAnswered()
{
    QFETCH(QString, lost);
    QFETCH(int, told);
    const auto set = [&lost](bool there) {
        if (lost == QLatin1String("device"))
            ZsdkSim::SetDevicePresent(there);
        else if (lost == QLatin1String("network"))
            ZsdkSim::SetNetworkService(there);
        else if (lost == QLatin1String("radio"))
            ZsdkSim::SetRadio(there);
        else
            ZsdkSim::SetSimPresent(there);
    };
    const auto statusCodes = [] {
        QList<int> codes;
        for (const Event& e : eventsOf(takeEvents(), ZSDK_EVT_STATUS))
            codes << e.value;
        return codes;
    };
    set(false);
    QVERIFY(ZsdkSim::WaitForEvents());
    QList<int> codes = statusCodes();
    if (told >= 0)
        QVERIFY(codes.contains(told));
    QVERIFY(codes.contains(ZSDK_ST_CANNOT_SEND));   // nothing can be sent any more
    // Told once: the same state again is no news.
    set(false);
    QVERIFY(ZsdkSim::WaitForEvents());
    QCOMPARE(statusCodes(), QList<int>());
    const QString text(200, QLatin1Char('b'));      // two segments
    SMSDeviceRecord* handle = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("1234567;7654321")), w(text)), 0);
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> all = takeEvents();
    const QList<Event> results = eventsOf(all, ZSDK_EVT_SEND_RESULT);
    QCOMPARE(results.size(), 4);   // every recipient and segment
    for (const Event& r : results)
        QCOMPARE(r.status, 1);
    // The text is kept, as not sent.
    const QList<Event> saved = eventsOf(all, ZSDK_EVT_SENT_SAVED);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().status, 1);
    QCOMPARE(saved.first().content, text);
    QVERIFY(saved.first().id > 0);
    // Back again: sending is possible once more, and a send goes out.
    set(true);
    QVERIFY(ZsdkSim::WaitForEvents());
    QVERIFY(statusCodes().contains(ZSDK_ST_CAN_SEND));
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("1234567")), w(QStringLiteral("again"))), 0);
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> again = eventsOf(takeEvents(), ZSDK_EVT_SEND_RESULT);
    QCOMPARE(again.size(), 1);
    QCOMPARE(again.first().status, 0);
}

void TestDevService::flashMessageIsAnnouncedNotStored()
{
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+491712345678");
    in.text = QStringLiteral("flash!");
    in.msgClass = 0;
    QCOMPARE(ZsdkSim::InjectMessage(in), -1);
    in.msgClass = 3;
    in.text = QStringLiteral("normal");
    const int id = ZsdkSim::InjectMessage(in);
    QVERIFY(id > 0);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> received = eventsOf(takeEvents(), ZSDK_EVT_RECEIVED);
    QCOMPARE(received.size(), 2);
    QCOMPARE(received.at(0).msgClass, 0);
    QCOMPARE(received.at(0).id, -1);
    QCOMPARE(received.at(0).content, QStringLiteral("flash!"));
    QCOMPARE(received.at(1).id, id);
    QCOMPARE(received.at(1).node, 1);
    QCOMPARE(count(ZSDK_MEM_PC), 1);
}

void TestDevService::deliveryReportWhenRequested()
{
    QCOMPARE(ZSDK_SMSSrv_SetSMSReceiptNotify(1), 0);
    // The first recipient's message does not go out: only the second one's is reported.
    ZsdkSim::FailNextSends(1);
    SMSDeviceRecord* handle = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("+491799999999;+491712345678")), w(QStringLiteral("report me")));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
    ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> reports = eventsOf(takeEvents(), ZSDK_EVT_RECEIVED);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.at(0).node, 5);
    QCOMPARE(reports.at(0).number, QStringLiteral("+491712345678"));
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = reports.at(0).id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_PC), 0);
    QCOMPARE(r->iMsgType, 1);
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
}

void TestDevService::segmentCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("segments");
    const QString euro(QChar(0x20AC));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");   // one surrogate pair
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one letter") << QStringLiteral("a") << 1;
    QTest::newRow("160 GSM letters fit one") << QString(160, 'a') << 1;
    QTest::newRow("161 GSM letters need two") << QString(161, 'a') << 2;
    QTest::newRow("306 = 153 x 2") << QString(306, 'a') << 2;
    QTest::newRow("307 need three") << QString(307, 'a') << 3;
    QTest::newRow("80 euro signs are 160 septets") << QString(80, QChar(0x20AC)) << 1;
    QTest::newRow("159 letters and a brace are 161 septets") << (QString(159, 'a') + QStringLiteral("{")) << 2;
    QTest::newRow("an escape pair is not split at 153") << (QString(152, 'a') + euro + QString(10, 'a')) << 2;
    QTest::newRow("escape pair moves to the next part") << (QString(152, 'a') + euro + QString(152, 'a')) << 3;
    QTest::newRow("accented GSM letters stay GSM") << QString::fromUtf8("\xC3\xA9\xC3\xA8\xC3\xB1\xC3\xBC") << 1;
    QTest::newRow("70 UCS-2 characters fit one") << QString(70, QChar(0x0416)) << 1;
    QTest::newRow("71 UCS-2 characters need two") << QString(71, QChar(0x0416)) << 2;
    QTest::newRow("134 = 67 x 2") << QString(134, QChar(0x0416)) << 2;
    QTest::newRow("135 need three") << QString(135, QChar(0x0416)) << 3;
    QTest::newRow("one non-GSM character makes 150 letters UCS-2") << (QString(149, 'a') + QChar(0x0416)) << 3;
    QTest::newRow("35 emoji are 70 code units") << emoji.repeated(35) << 1;
    QTest::newRow("a surrogate pair is not split at 67") << (QString(66, QChar(0x0416)) + emoji + QString(60, QChar(0x0416))) << 2;
    QTest::newRow("a pair straddling the boundary starts the next part") << (QString(66, QChar(0x0416)) + emoji + QString(66, QChar(0x0416))) << 3;
}

void TestDevService::segmentCounts()
{
    QFETCH(QString, text);
    QFETCH(int, segments);
    QCOMPARE(GsmText::segmentCount(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())), segments);
    int32_t viaApi = -1;
    QCOMPARE(ZSDK_SMSSrv_GetMsgSplitCount(w(text), &viaApi), 0);
    QCOMPARE(viaApi, segments);
}

void TestDevService::phoneNumbersMatch_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("international and national form") << "+49 171 2345678" << "01712345678" << true;
    QTest::newRow("00 prefix and plus") << "0049 171 2345678" << "+491712345678" << true;
    QTest::newRow("formatting is ignored") << "(0171) 234-56.78" << "01712345678" << true;
    QTest::newRow("a US number without country code") << "+1 212 555 1234" << "212-555-1234" << true;
    QTest::newRow("different numbers") << "+491712345678" << "+491712345679" << false;
    QTest::newRow("same digits in another country") << "+441712345678" << "+491712345678" << false;
    QTest::newRow("a short code matches itself") << "22222" << "22222" << true;
    QTest::newRow("a short code is not the end of a long number") << "45678" << "+491712345678" << false;
    QTest::newRow("a service code") << "*100#" << "*100#" << true;
    QTest::newRow("nothing is never a match") << "" << "" << false;
}

void TestDevService::phoneNumbersMatch()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(PhoneNumber::matches(a, b), same);
    QCOMPARE(PhoneNumber::matches(b, a), same);
}

void TestDevService::phoneBookLookup()
{
    QVERIFY(ZsdkSim::AddContact(QStringLiteral("Anna <A.>"), QStringLiteral("+49 171 2345678")));
    QVERIFY(ZsdkSim::WaitForEvents());
    QVERIFY(!eventsOf(takeEvents(), ZSDK_EVT_PB_READY).isEmpty());
    struct Case { const char* number; const char* name; int found; };
    for (const Case& c : {Case{"01712345678", "Anna <A.>", 1}, Case{"+4930999", "", 0}}) {
        ZSDK_WCHAR* name = nullptr;
        int32_t found = -1;
        QCOMPARE(ZSDK_PBSrv_FindNameByNumber(w(QString::fromLatin1(c.number)), &name, 48, &found), 0);
        QVERIFY(name);
        QCOMPARE(QString::fromUtf16(name), QString::fromUtf8(c.name));
        QCOMPARE(found, c.found);
        delete[] name;
    }
    // The name is cut to the buffer the caller allows.
    ZSDK_WCHAR* name = nullptr;
    QCOMPARE(ZSDK_PBSrv_FindNameByNumber(w(QStringLiteral("01712345678")), &name, 5, nullptr), 0);
    QCOMPARE(QString::fromUtf16(name), QStringLiteral("Anna"));
    delete[] name;
}

void TestDevService::memoryListFollowsTheCard()
{
    uint16_t n = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, &n), 0);
    QCOMPARE(int(n), 2);
    uint16_t types[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    QCOMPARE(ZSDK_SMSSrv_SMSGetMemoryListType(types, &n), 0);
    QCOMPARE(int(types[0]), 0);
    QCOMPARE(int(types[1]), 1);
    QCOMPARE(int(types[2]), 0xFFFF);

    ZsdkSim::SetSimPresent(false);
    QCOMPARE(ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, &n), 0);
    QCOMPARE(int(n), 1);
    QCOMPARE(count(ZSDK_MEM_SIM), -1);
    int32_t sim = -1;
    QCOMPARE(ZSDK_DevSrv_GetSimStatus(&sim), 0);
    QCOMPARE(sim, 0);
    ZsdkSim::SetDevicePresent(false);
    QVERIFY(ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, &n) != 0);
    int32_t dev = -1;
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&dev), 0);
    QVERIFY(dev != 3);
    QVERIFY(ZsdkSim::WaitForEvents());
    QList<int> codes;
    for (const Event& e : eventsOf(takeEvents(), ZSDK_EVT_STATUS))
        codes << e.value;
    QVERIFY(codes.contains(ZSDK_ST_SIM_UNUSABLE));
    QCOMPARE(codes.mid(codes.size() - 2), (QList<int>{ZSDK_ST_DEVICE_REMOVED, ZSDK_ST_CANNOT_SEND}));
    ZsdkSim::SetDevicePresent(true);
    ZsdkSim::SetSimPresent(true);
}

void TestDevService::deviceStateAsThePageReadsIt_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("dev");       // the device status
    QTest::addColumn<int>("sim");       // these four: -1 when answered "no device"
    QTest::addColumn<int>("pin");
    QTest::addColumn<int>("service");
    QTest::addColumn<int>("radio");
    QTest::addColumn<bool>("card");     // the SIM's type and IMSI can be read
    QTest::newRow("all there") << "" << 3 << 1 << 1 << 2 << 1 << true;
    QTest::newRow("no network service") << "network" << 3 << 1 << 1 << 0 << 1 << true;
    QTest::newRow("radio off") << "radio" << 3 << 1 << 1 << 0 << 0 << true;
    QTest::newRow("the PIN asked for") << "pin" << 3 << 1 << 2 << 2 << 1 << true;
    QTest::newRow("the SIM taken out") << "sim" << 3 << 0 << 0 << 0 << 1 << false;
    QTest::newRow("the device removed") << "device" << 0 << -1 << -1 << -1 << -1 << false;
}

// What the page reads of the device, its SIM and the network in each state the simulator plays.
void TestDevService::deviceStateAsThePageReadsIt()
{
    QFETCH(QString, change);
    QFETCH(int, dev);
    QFETCH(int, sim);
    QFETCH(int, pin);
    QFETCH(int, service);
    QFETCH(int, radio);
    QFETCH(bool, card);
    ZsdkSim::SetSimType(2);
    ZsdkSim::SetProductType(1);
    ZsdkSim::SetMultiModeCard(true);
    if (change == QLatin1String("network"))
        ZsdkSim::SetNetworkService(false);
    else if (change == QLatin1String("radio"))
        ZsdkSim::SetRadio(false);
    else if (change == QLatin1String("pin"))
        ZsdkSim::SetPinState(2);
    else if (change == QLatin1String("sim"))
        ZsdkSim::SetSimPresent(false);
    else if (change == QLatin1String("device"))
        ZsdkSim::SetDevicePresent(false);
    // The value is read once the call has answered (it is taken by reference).
    const auto answer = [](int rc, const int32_t& out) { return rc == int(ZSDK_E_NO_DEVICE) ? -1 : rc == 0 ? int(out) : -100 - rc; };
    int32_t value = -7;
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), 0);
    QCOMPARE(int(value), dev);
    value = -7;
    QCOMPARE(answer(ZSDK_DevSrv_GetSimStatus(&value), value), sim);
    value = -7;
    uint8_t pinTries = 0, pukTries = 0, spare = 9;
    QCOMPARE(answer(ZSDK_DevSrv_GetPinStatus(0, &value, &pinTries, &pukTries, &spare), value), pin);
    if (pin >= 0) {
        QCOMPARE(int(pinTries), 3);
        QCOMPARE(int(pukTries), 10);
        QCOMPARE(int(spare), 0);
        QCOMPARE(ZSDK_DevSrv_GetPinStatus(0, &value, nullptr, nullptr, nullptr), 0);   // the tries are optional
    }
    value = -7;
    QCOMPARE(answer(ZSDK_NetSrv_GetSrvStatus(&value), value), service);
    int32_t rf[2] = {-7, -7};
    QCOMPARE(answer(ZSDK_DevSrv_GetRFSwitch(rf), rf[0]), radio);
    value = -7;
    QCOMPARE(answer(ZSDK_DevSrv_GetSimType(&value), value), card ? 2 : -1);
    ZSDK_WCHAR imsi[32] = {};
    QCOMPARE(ZSDK_DevSrv_GetIMSI(imsi, 32), card ? 0 : int(ZSDK_E_NO_DEVICE));
    if (card) {
        QCOMPARE(QString::fromUtf16(imsi), QStringLiteral("262019876543210"));
        QCOMPARE(ZSDK_DevSrv_GetIMSI(imsi, 15), int(ZSDK_E_ARG));   // no room for its end
    }
    // Asked of the frame, not of the device: answered in every state.
    QCOMPARE(ZSDK_DevSrv_GetProductType(&value), 0);
    QCOMPARE(int(value), 1);
    QCOMPARE(ZSDK_DevSrv_GetMultiModeCardStatus(&value, 0, 0, 0), 0);
    QCOMPARE(int(value), 1);
    ZsdkSim::FailMultiModeQuery(true);
    QVERIFY(ZSDK_DevSrv_GetMultiModeCardStatus(&value, 0, 0, 0) != 0);
}

void TestDevService::cardOpensOnlyWithThePinSettled_data()
{
    QTest::addColumn<int>("pinState");
    QTest::addColumn<int>("status");
    QTest::newRow("PIN given") << 1 << int(ZSDK_OK);
    QTest::newRow("PIN disabled") << 8 << int(ZSDK_OK);
    QTest::newRow("PIN required") << 2 << int(ZSDK_E_NO_DEVICE);
    QTest::newRow("PUK required") << 3 << int(ZSDK_E_NO_DEVICE);
}

// A card that waits for its PIN or PUK is in the device but cannot be read or written; the
// computer's own store stays open.
void TestDevService::cardOpensOnlyWithThePinSettled()
{
    QFETCH(int, pinState);
    ZsdkSim::SetPinState(pinState);
    auto restore = qScopeGuard([] { ZsdkSim::SetPinState(1); });
    int32_t sim = -1;
    QCOMPARE(ZSDK_DevSrv_GetSimStatus(&sim), 0);
    QCOMPARE(sim, 1);
    int32_t n = -1;
    QTEST(int(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, ZSDK_MEM_SIM)), "status");
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, ZSDK_MEM_PC), int(ZSDK_OK));
}

void TestDevService::simIsReadAfterItsDelay()
{
    ZsdkSim::SetSimPresent(false);
    ZsdkSim::SetReadDelay(ZSDK_MEM_SIM, 1000);
    ZsdkSim::SetSimPresent(true);
    int32_t n = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, ZSDK_MEM_SIM), int(ZSDK_E_NOT_READY));
    QTRY_COMPARE_WITH_TIMEOUT(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, ZSDK_MEM_SIM), 0, 3000);
    QVERIFY(ZsdkSim::WaitForEvents());
    QList<int> codes;
    for (const Event& e : eventsOf(takeEvents(), ZSDK_EVT_STATUS))
        codes << e.value;
    QVERIFY(codes.indexOf(ZSDK_ST_SIM_PRESENT) < codes.indexOf(ZSDK_ST_SIM_READY));
}

void TestDevService::deviceSettingsPersist()
{
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(w(QStringLiteral("+491710760000"))), 0);
    QCOMPARE(ZSDK_SMSSrv_SMSSetPriority(2), 0);
    QCOMPARE(ZSDK_SMSSrv_SetSMSReceiptNotify(1), 0);
    restart(false);
    ZSDK_WCHAR buffer[100] = {};
    int32_t addressType = -1;
    QCOMPARE(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, buffer, 100), 0);
    QCOMPARE(QString::fromUtf16(buffer), QStringLiteral("+491710760000"));
    QCOMPARE(addressType, 145);   // international number
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(w(QStringLiteral("01710760000"))), 0);
    QCOMPARE(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, buffer, 100), 0);
    QCOMPARE(addressType, 129);   // national number
    ZSDK_WCHAR tiny[4] = {};
    QVERIFY(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, tiny, 4) != 0);
    QVERIFY(ZSDK_SMSSrv_GetSMSCentreNumber(nullptr, buffer, 100) != 0);
    int32_t value = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSGetPriority(&value), 0);
    QCOMPARE(value, 2);
    QCOMPARE(ZSDK_SMSSrv_GetSMSReceiptNotify(&value), 0);
    QCOMPARE(value, 1);
}

void TestDevService::badArgumentsFailCleanly()
{
    QVERIFY(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(nullptr, 0) != 0);
    int32_t n = 0;
    QVERIFY(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, 7) != 0);
    QVERIFY(ZSDK_SMSSrv_GetSmsIdList(nullptr, &n, 0) != 0);
    SMSDeviceRecord* list = nullptr;
    QVERIFY(ZSDK_SMSSrv_GetMsgList(nullptr, &n, 0) != 0);
    QVERIFY(ZSDK_SMSSrv_GetMsgList(&list, nullptr, 0) != 0);
    QVERIFY(!list);
    QVERIFY(ZSDK_SMSSrv_ReleaseMsgList(nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_ReleaseMsgList(&list) != 0);
    QVERIFY(ZSDK_SMSSrv_CreateSMSRecord(nullptr, nullptr, nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_GetMsg(nullptr, 0) != 0);
    QVERIFY(ZSDK_SMSSrv_SaveMsg(nullptr, &n, nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_UpdateMsg(nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_SendMsg(nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_CancelSendMsg(nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_GetRecordInfo(nullptr, &n, 0) != 0);
    QVERIFY(ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_GetMsgSplitCount(nullptr, &n) != 0);
    QVERIFY(ZSDK_DevSrv_GetDevStatus(nullptr) != 0);
    QVERIFY(ZSDK_DevSrv_GetRFSwitch(nullptr) != 0);
    QVERIFY(ZSDK_PBSrv_FindNameByNumber(nullptr, nullptr, 48, nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(nullptr) != 0);
    QVERIFY(ZSDK_SMSSrv_DeleteMsg(999999, 0) != 0);
    QVERIFY(ZSDK_SMSSrv_BeginTransaction(9) != 0);
    LocalRecord nowhere(11, QStringLiteral("1"), QStringLiteral("x"));
    int32_t id = -1;
    QVERIFY(ZSDK_SMSSrv_SaveMsg(&nowhere.rec, &id, nullptr) != 0);
    QCOMPARE(id, -1);
    LocalRecord unknown(1, QStringLiteral("1"), QStringLiteral("x"));
    unknown.rec.iMsgId = 424242;
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(&unknown.rec), int(ZSDK_E_NOT_FOUND));
    // A device name the service does not know (a typing error after --device) changes nothing.
    const QString device = ZsdkDevice::Chosen();
    QVERIFY(!ZsdkDevice::Choose(QStringLiteral("usb")));
    QCOMPARE(ZsdkDevice::Chosen(), device);
    // Nothing chosen: the environment's choice, and for an unknown one the simulated modem.
    const QByteArray environment = qgetenv("ZSDK_DEVICE");
    const auto restoreEnvironment = qScopeGuard([&environment] { qputenv("ZSDK_DEVICE", environment); });
    const QList<QPair<QByteArray, QString>> fromEnvironment{
        {"Auto ", QStringLiteral("auto")}, {"modemmanager", QStringLiteral("modemmanager")}, {"usb", QStringLiteral("sim")}, {"", QStringLiteral("sim")}};
    for (const auto& choice : fromEnvironment) {
        qputenv("ZSDK_DEVICE", choice.first);
        QCOMPARE(ZsdkDevice::Chosen(), choice.second);
    }

    // The simulator's controls change nothing for a memory that is not a card: every memory keeps
    // its size and can still be read.
    int32_t capacity[3] = {}, used = 0;
    for (int mem : {ZSDK_MEM_SIM, ZSDK_MEM_DEVICE})
        QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&capacity[mem], &used, mem), 0);
    for (int mem : {-1, int(ZSDK_MEM_PC), 3}) {
        ZsdkSim::SetReadDelay(mem, 60000);
        ZsdkSim::SetCapacity(mem, 1);
    }
    for (int mem : {ZSDK_MEM_PC, ZSDK_MEM_SIM, ZSDK_MEM_DEVICE})
        QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, mem), 0);
    for (int mem : {ZSDK_MEM_SIM, ZSDK_MEM_DEVICE}) {
        int32_t now = -1;
        QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&now, &used, mem), 0);
        QCOMPARE(now, capacity[mem]);
    }
}

void TestDevService::releaseRefusesForeignPointers()
{
    LocalRecord mine(1, QStringLiteral("1"), QStringLiteral("x"));
    SMSDeviceRecord* p = &mine.rec;
    QVERIFY(ZSDK_SMSSrv_ReleaseSMSRecord(&p) != 0);
    QCOMPARE(p, &mine.rec);
    QVERIFY(ZSDK_SMSSrv_GetMsg(&mine.rec, 0) != 0);   // its text pointers are not the service's
    int32_t ids[2] = {1, 2};
    int32_t* list = ids;
    QVERIFY(ZSDK_SMSSrv_ReleaseSmsIdList(&list) != 0);
    SMSDeviceRecord* twice = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&twice, nullptr, nullptr);
    SMSDeviceRecord* copy = twice;
    QCOMPARE(ZSDK_SMSSrv_ReleaseSMSRecord(&twice), 0);
    QVERIFY(ZSDK_SMSSrv_ReleaseSMSRecord(&copy) != 0);
    // A message list goes back whole, once, and only through its own release call.
    QVERIFY(save(1, QStringLiteral("1"), QStringLiteral("a")) > 0 && save(1, QStringLiteral("2"), QStringLiteral("b")) > 0);
    SMSDeviceRecord* records = nullptr;
    int32_t n = 0;
    QCOMPARE(ZSDK_SMSSrv_GetMsgList(&records, &n, ZSDK_MEM_PC), 0);
    QCOMPARE(n, 2);
    SMSDeviceRecord* second = records + 1;
    QVERIFY(ZSDK_SMSSrv_ReleaseMsgList(&second) != 0);
    QVERIFY(ZSDK_SMSSrv_ReleaseSMSRecord(&second) != 0);
    QVERIFY(ZSDK_SMSSrv_ReleaseSMSRecord(&records) != 0);
    SMSDeviceRecord* again = records;
    QCOMPARE(ZSDK_SMSSrv_ReleaseMsgList(&records), 0);
    QVERIFY(!records);
    QVERIFY(ZSDK_SMSSrv_ReleaseMsgList(&again) != 0);
    QVERIFY(ZSDK_SMSSrv_ReleaseMsgList(&p) != 0);
}

// A list handed out reads the same until it is released, whatever happens to the storage and to
// other lists meanwhile.
void TestDevService::listKeepsItsTextsWhileTheStorageChanges()
{
    QList<int> ids;
    for (int i = 0; i < 5; ++i)
        ids << save(1, QStringLiteral("+49171%1").arg(i), QStringLiteral("text %1 ").arg(i) + QString(i * 50, QLatin1Char('y')));
    ids << save(1, QString(), QString());
    QVERIFY(!ids.contains(-1));
    SMSDeviceRecord* records = nullptr;
    int32_t n = 0;
    QCOMPARE(ZSDK_SMSSrv_GetMsgList(&records, &n, ZSDK_MEM_PC), 0);
    QCOMPARE(n, ids.size());
    QStringList before;
    for (int i = 0; i < n; ++i)
        before << describe(records[i]);
    for (int id : ids.mid(0, 3))
        QCOMPARE(ZSDK_SMSSrv_RemoveMsg(id, ZSDK_MEM_PC), 0);
    QVERIFY(save(1, QStringLiteral("+49999"), QStringLiteral("later")) > 0);
    SMSDeviceRecord* other = nullptr;
    int32_t m = 0;
    QCOMPARE(ZSDK_SMSSrv_GetMsgList(&other, &m, ZSDK_MEM_PC), 0);
    QCOMPARE(m, ids.size() - 3 + 1);
    QCOMPARE(ZSDK_SMSSrv_ReleaseMsgList(&other), 0);
    QStringList after;
    for (int i = 0; i < n; ++i)
        after << describe(records[i]);
    QCOMPARE(after, before);
    QVERIFY(before.last().endsWith(QStringLiteral("||")));   // no number, no text: empty, not missing
    QCOMPARE(ZSDK_SMSSrv_ReleaseMsgList(&records), 0);
}

void TestDevService::callsFromSeveralThreads()
{
    const int threads = 4, each = 40;
    std::vector<std::thread> pool;
    std::vector<std::vector<int>> ids(threads);
    std::atomic<int> failures{0};
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([t, &ids, &failures] {
            for (int i = 0; i < each; ++i) {
                const int id = save(1, QStringLiteral("+4917100%1").arg(t * 100 + i), QStringLiteral("thread %1 message %2").arg(t).arg(i));
                if (id < 0 || count(ZSDK_MEM_PC) < 1)
                    ++failures;
                ids[size_t(t)].push_back(id);
                int32_t seg = 0;
                ZSDK_SMSSrv_GetMsgSplitCount(w(QStringLiteral("hello")), &seg);
            }
        });
    }
    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+491712345678");
    for (int i = 0; i < 20; ++i) {
        in.text = QStringLiteral("incoming %1").arg(i);
        QVERIFY(ZsdkSim::InjectMessage(in) > 0);
    }
    for (auto& th : pool)
        th.join();
    QCOMPARE(failures.load(), 0);
    QSet<int> unique;
    for (const auto& list : ids)
        for (int id : list)
            unique.insert(id);
    QCOMPARE(unique.size(), threads * each);
    QCOMPARE(count(ZSDK_MEM_PC), threads * each + 20);
    QVERIFY(ZsdkSim::WaitForEvents());
    // Received events come in the order the messages arrived.
    const QList<Event> received = eventsOf(takeEvents(), ZSDK_EVT_RECEIVED);
    QCOMPARE(received.size(), 20);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(received.at(i).content, QStringLiteral("incoming %1").arg(i));
}

void TestDevService::burstOfArrivalsIsAnnouncedInOrderAndKept()
{
    // The network delivers faster than the disk syncs: each message is still announced once, in
    // the order it came, is stored when it is announced and survives a restart.
    const int n = 200;
    QVector<int> injected;
    std::thread network([&] {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491712345678");
        for (int i = 0; i < n; ++i) {
            in.text = QStringLiteral("burst %1").arg(i);
            injected.append(ZsdkSim::InjectMessage(in));
        }
    });
    // Meanwhile other callers keep using the service.
    for (int i = 0; i < 20; ++i)
        QVERIFY(save(2, QStringLiteral("1234567"), QStringLiteral("draft %1").arg(i)) > 0);
    network.join();
    QVERIFY(ZsdkSim::WaitForEvents());
    const QList<Event> received = eventsOf(takeEvents(), ZSDK_EVT_RECEIVED);
    QCOMPARE(received.size(), n);
    for (int i = 0; i < n; ++i) {
        QCOMPARE(received.at(i).content, QStringLiteral("burst %1").arg(i));
        QCOMPARE(received.at(i).id, injected.at(i));
    }
    restart(false);
    int rc = 0;
    const QStringList stored = readPerId(ZSDK_MEM_PC, &rc);
    QCOMPARE(rc, 0);
    QCOMPARE(stored.size(), n + 20);
    for (int i = 0; i < n; ++i) {
        const QString ending = QStringLiteral("|burst %1").arg(i);
        QVERIFY2(std::count_if(stored.cbegin(), stored.cend(), [&](const QString& m) { return m.endsWith(ending); }) == 1,
                 qPrintable(ending));
    }
}

QTEST_GUILESS_MAIN(TestDevService)
// Events delivered by a dispatcher of the test's own, apart from the service's.
std::atomic<int> g_ownDevEvents{0};
std::atomic<int> g_ownSmsEvents{0};
int countOwnDevEvent(int) { ++g_ownDevEvents; return 0; }
int countOwnSmsEvent(int, void*) { ++g_ownSmsEvents; return 0; }

void TestDevService::modemGoneBeforeItsEventsRan_data()
{
    QTest::addColumn<QString>("pending");
    QTest::newRow("its start-up events") << QStringLiteral("start-up");
    QTest::newRow("an arrival") << QStringLiteral("arrival");
    QTest::newRow("a send under way") << QStringLiteral("send");
}

// The real-modem backend keeps its PC store in a modem of its own on the service's event thread;
// when start-up finds no modem and falls back to the simulator, that store goes while the thread
// lives on. Nothing still queued for a modem that is gone may run: it would use a destroyed
// object, and announce messages and device states of a device that is no longer there.
void TestDevService::modemGoneBeforeItsEventsRan()
{
    QFETCH(QString, pending);
    g_ownDevEvents = 0;
    g_ownSmsEvents = 0;
    EventDispatcher events;
    QVERIFY(events.addDevCallback(countOwnDevEvent));
    QVERIFY(events.addSmsCallback(countOwnSmsEvent));
    QVERIFY(events.addPbCallback(countOwnSmsEvent));
    // The event thread is busy until the modem is gone, so everything it posts is still queued.
    std::atomic<bool> release{false};
    events.post([&release] {
        while (!release.load())
            std::this_thread::yield();
    });
    auto releaseOnFailure = qScopeGuard([&release] { release = true; });
    {
        ZsdkSim::Options o;
        o.databasePath = m_dir.filePath(QStringLiteral("gone-%1.sqlite").arg(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        o.seed = false;
        o.simReadDelayMs = 0;
        o.deviceReadDelayMs = 0;
        SimModem modem(o, &events);
        if (pending == QLatin1String("arrival")) {
            ZsdkSim::Incoming in;
            in.number = QStringLiteral("+491711111111");
            in.text = QStringLiteral("arrives as the modem goes");
            QVERIFY(modem.inject(in) > 0);
        } else if (pending == QLatin1String("send")) {
            static int handle;
            QCOMPARE(modem.send(&handle, QStringLiteral("+491712222222"), QStringLiteral("sent as the modem goes")), int(ZSDK_OK));
        }
    }
    release = true;
    QVERIFY(events.waitIdle(5000));
    QCOMPARE(g_ownDevEvents.load(), 0);
    QCOMPARE(g_ownSmsEvents.load(), 0);

    // The dispatcher itself goes on serving whoever is still there.
    std::atomic<bool> ran{false};
    events.post([&ran] { ran = true; });
    QVERIFY(events.waitIdle(5000));
    QVERIFY(ran.load());

    // Stopped while an event is still planned: it is dropped, and the log says so.
    events.post([] {}, 60000);
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^EventDispatcher: 1 queued device events dropped at shut-down$")));
    events.stop();
}

#include "tst_devservice.moc"
