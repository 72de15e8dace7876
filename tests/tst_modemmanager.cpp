// The device service over ModemManager: the real backend and ModemManagerQt against a mock
// ModemManager on a private bus, driven through the C API as the page drives it.

#include "DeviceChoice.h"
#include "MockModemManager.h"
#include "SimControl.h"
#include "zsdk.h"

#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {

struct Event {
    int event = -1;
    int value = 0;        // event 2: status code; events 0, 1, 3: id
    int status = 0;
    int node = 0;
    int kind = 0;
    int msgClass = 0;
    int attrC = 0;
    int attrD = 0;
    QString number;
    QString text;
};

QString wide(const ZSDK_WCHAR* p)
{
    return p ? QString::fromUtf16(reinterpret_cast<const char16_t*>(p)) : QString();
}

class Recorder : public QObject
{
    Q_OBJECT
public:
    QMutex mutex;
    QVector<Event> events;
signals:
    void got();
};

Recorder* g_recorder = nullptr;

int onEvent(int event, void* data)
{
    Event e;
    e.event = event;
    if (event == ZSDK_EVT_STATUS || event == ZSDK_EVT_DELETED) {
        auto* block = static_cast<ZSDK_EventBlock*>(data);
        e.value = block->value;
        e.node = block->folder;
    } else if (data && event != ZSDK_EVT_PB_READY && event != ZSDK_EVT_PB_READY2) {
        auto* r = static_cast<SMSDeviceRecord*>(data);
        e.value = r->iMsgId;
        e.status = r->iStatus;
        e.node = r->iNode;
        e.kind = r->iMsgType;
        e.msgClass = r->iAttrA;
        e.attrC = r->iAttrC;
        e.attrD = r->iAttrD;
        e.number = wide(r->pNumber);
        e.text = wide(r->pContent);
    }
    {
        QMutexLocker lock(&g_recorder->mutex);
        g_recorder->events.append(e);
    }
    QMetaObject::invokeMethod(g_recorder, [] { emit g_recorder->got(); }, Qt::QueuedConnection);
    return 1;
}

struct Stored {
    int id = -1;
    int read = 0;
    int node = 0;
    int status = 0;
    int msgClass = 0;
    QString number;
    QString text;
    QString time;
};

bool operator==(const Stored& a, const Stored& b)
{
    return a.id == b.id && a.read == b.read && a.node == b.node && a.status == b.status && a.msgClass == b.msgClass
        && a.number == b.number && a.text == b.text && a.time == b.time;
}

Stored storedOf(const SMSDeviceRecord* r)
{
    Stored s;
    s.id = r->iMsgId;
    s.read = r->iReadFlag;
    s.node = r->iNode;
    s.status = r->iStatus;
    s.msgClass = r->iAttrA;
    s.number = wide(r->pNumber);
    s.text = wide(r->pContent);
    s.time = wide(r->szTime);
    return s;
}

// A memory read in one call; it must give what the id list and one read per id give.
QVector<Stored> listMemoryAtOnce(int mem, int* rc = nullptr)
{
    QVector<Stored> out;
    SMSDeviceRecord* records = nullptr;
    int32_t count = 0;
    const int status = ZSDK_SMSSrv_GetMsgList(&records, &count, mem);
    if (rc)
        *rc = status;
    if (status != ZSDK_OK)
        return out;
    for (int i = 0; i < count; ++i)
        out.append(storedOf(records + i));
    ZSDK_SMSSrv_ReleaseMsgList(&records);
    return out;
}

QVector<Stored> listMemory(int mem, int* rc = nullptr)
{
    QVector<Stored> out;
    int32_t* ids = nullptr;
    int32_t count = 0;
    const int status = ZSDK_SMSSrv_GetSmsIdList(&ids, &count, mem);
    if (rc)
        *rc = status;
    if (status != ZSDK_OK)
        return out;
    for (int i = 0; i < count; ++i) {
        SMSDeviceRecord* r = nullptr;
        ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
        r->iMsgId = ids[i];
        if (ZSDK_SMSSrv_GetMsg(r, mem) == ZSDK_OK)
            out.append(storedOf(r));
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    }
    ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    return out;
}

Stored findText(const QVector<Stored>& list, const QString& text)
{
    for (const Stored& s : list)
        if (s.text == text)
            return s;
    return {};
}

// Marks message `id` of memory `mem` read through the device service, as the page does on a
// click.
bool markRead(int id, int mem = ZSDK_MEM_SIM)
{
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = id;
    bool ok = ZSDK_SMSSrv_GetMsg(r, mem) == ZSDK_OK;
    if (ok) {
        r->iReadFlag = 0;
        ok = ZSDK_SMSSrv_UpdateMsg(r) == ZSDK_OK;
    }
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    return ok;
}

// A message for ZSDK_SMSSrv_SaveMsg; it points into `number` and `text`, which must outlive it.
SMSDeviceRecord recordFor(int node, int origNode, const QString& number, const QString& text, const QString& time)
{
    SMSDeviceRecord rec{};
    rec.iMsgId = -1;
    rec.iNode = node;
    rec.iOrigNode = origNode;
    for (int i = 0; i < time.size(); ++i)
        rec.szTime[i] = time.at(i).unicode();
    rec.pNumber = const_cast<ZSDK_WCHAR*>(reinterpret_cast<const ZSDK_WCHAR*>(number.utf16()));
    rec.pContent = const_cast<ZSDK_WCHAR*>(reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
    return rec;
}

QVariantMap sms(const QString& number, const QString& text, uint storage, const QString& time = QStringLiteral("2026-12-01T10:00:00+01:00"))
{
    return {{QStringLiteral("Number"), number}, {QStringLiteral("Text"), text}, {QStringLiteral("Storage"), storage},
            {QStringLiteral("Timestamp"), time}, {QStringLiteral("State"), 3u}, {QStringLiteral("PduType"), 1u}};
}

} // namespace

class TestModemManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void listsBothMemoriesAndTheDeviceState();
    void pcStoreStateIsReported();
    void restartKeepsIdsAndReadFlags();
    void lockedSimKeepsIdsAndReadFlags();
    void arrivals_data();
    void arrivals();
    void multipartIsAnnouncedOnceComplete();
    void sendsToEachRecipientAndPairsTheReport();
    void failingSendGivesFailedResults();
    void cancelledSendStopsBeforeTheNextRecipient();
    void storesOnTheSimAndDeletes();
    void refusedDeleteIsToldAndKeepsTheMessage_data();
    void refusedDeleteIsToldAndKeepsTheMessage();
    void messageDeletedElsewhereLeavesTheCard();
    void moveOffTheCardLosesNothing_data();
    void moveOffTheCardLosesNothing();
    void modemUnpluggedMidSend();
    void modemUnpluggedWhileIdle();
    void failures_data();
    void failures();

private:
    // Starts the mock with these parameters and the service on it; waits until the cards are read.
    void startService(const QVariantMap& mockParameters = {}, bool saveToPc = true);
    bool waitFor(const std::function<bool(const Event&)>& match, int timeoutMs = 10000, Event* found = nullptr);
    void clearEvents();
    // The cards can be read (the service may have announced it before the callback was there).
    bool waitReady();
    QVector<Event> recorded(int event);

    MockModemManager m_mm;
    QTemporaryDir m_dir;
    Recorder m_recorder;
};

void TestModemManager::initTestCase()
{
    g_recorder = &m_recorder;
    const QString problem = m_mm.startBus();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestModemManager::init()
{
    clearEvents();
}

void TestModemManager::cleanup()
{
    ZSDK_SMSSrv_UnRegCallBack(onEvent);
    ZsdkSim::Shutdown();
}

void TestModemManager::cleanupTestCase()
{
    ZsdkSim::Shutdown();
    m_mm.stopMock();
}

void TestModemManager::clearEvents()
{
    QMutexLocker lock(&m_recorder.mutex);
    m_recorder.events.clear();
}

bool TestModemManager::waitFor(const std::function<bool(const Event&)>& match, int timeoutMs, Event* found)
{
    QDeadlineTimer deadline(timeoutMs);
    int seen = 0;
    forever {
        {
            QMutexLocker lock(&m_recorder.mutex);
            for (; seen < m_recorder.events.size(); ++seen) {
                if (match(m_recorder.events.at(seen))) {
                    if (found)
                        *found = m_recorder.events.at(seen);
                    return true;
                }
            }
        }
        if (deadline.hasExpired())
            return false;
        QSignalSpy spy(&m_recorder, &Recorder::got);
        {
            QMutexLocker lock(&m_recorder.mutex);
            if (seen < m_recorder.events.size())
                continue;
        }
        spy.wait(int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

bool TestModemManager::waitReady()
{
    int32_t count = 0;
    auto ready = [&count](const Event&) { return ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM) == ZSDK_OK; };
    return ready(Event()) || waitFor(ready, 10000);
}

QVector<Event> TestModemManager::recorded(int event)
{
    QMutexLocker lock(&m_recorder.mutex);
    QVector<Event> out;
    for (const Event& e : qAsConst(m_recorder.events))
        if (e.event == event)
            out.append(e);
    return out;
}

void TestModemManager::startService(const QVariantMap& mockParameters, bool saveToPc)
{
    ZsdkSim::Shutdown();
    const QString problem = m_mm.startMock(mockParameters);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(ZsdkDevice::Choose(QStringLiteral("modemmanager")));
    ZsdkDevice::ModemOptions o;
    o.databasePath = m_dir.filePath(QStringLiteral("modem.sqlite"));
    o.timeoutMs = 2000;
    o.saveToPc = saveToPc;
    ZsdkDevice::ConfigureModem(o);
}

// The frame's warning about the message store asks the service how the PC store is; with a real
// modem that store is the one beside it, and its real state is told.
void TestModemManager::pcStoreStateIsReported()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    QCOMPARE(ZsdkDevice::InUse(), QStringLiteral("MockModem 3000"));
    QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::Healthy);
    QCOMPARE(ZsdkSim::DatabasePath(), m_dir.filePath(QStringLiteral("modem.sqlite")));
    QVERIFY(ZsdkSim::OpenNote().isEmpty());
}

// Messages on the SIM and in the device memory, listed and read through the C API; the device
// state the page asks for comes from the modem, the SIM and the registration.
void TestModemManager::listsBothMemoriesAndTheDeviceState()
{
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("On the SIM, first"), 1), false);
    m_mm.addSms(sms(QStringLiteral("+491702222222"), QStringLiteral("On the SIM, second"), 1, QStringLiteral("2026-12-02T08:30:00+01:00")), false);
    QVariantMap sent = sms(QStringLiteral("+491703333333"), QStringLiteral("Draft kept on the device"), 2);
    sent[QStringLiteral("PduType")] = 2u;
    sent[QStringLiteral("State")] = 1u;
    m_mm.addSms(sent, false);
    QVariantMap classOne = sms(QStringLiteral("+491704444444"), QStringLiteral("Class one, on the device"), 2);
    classOne[QStringLiteral("Class")] = 1;
    m_mm.addSms(classOne, false);
    // Neither a status report kept on the card nor a message whose parts still arrive is one of
    // the card's messages.
    QVariantMap report = sms(QStringLiteral("+491705555555"), QString(), 1);
    report[QStringLiteral("PduType")] = 3u;
    m_mm.addSms(report, false);
    QVariantMap receiving = sms(QStringLiteral("+491706666666"), QStringLiteral("The first part of"), 1);
    receiving[QStringLiteral("State")] = 2u;
    m_mm.addSms(receiving, false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());

    QCOMPARE(ZsdkDevice::InUse(), QStringLiteral("MockModem 3000"));
    int32_t count = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_OK);
    QCOMPARE(count, 2);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_DEVICE), ZSDK_OK);
    QCOMPARE(count, 2);

    const QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    const QVector<Stored> device = listMemory(ZSDK_MEM_DEVICE);
    QCOMPARE(sim.size(), 2);
    QCOMPARE(device.size(), 2);
    QVERIFY(listMemoryAtOnce(ZSDK_MEM_SIM) == sim);
    QVERIFY(listMemoryAtOnce(ZSDK_MEM_DEVICE) == device);
    const Stored second = findText(sim, QStringLiteral("On the SIM, second"));
    QCOMPARE(second.number, QStringLiteral("+491702222222"));
    QCOMPARE(second.node, 7);
    QCOMPARE(second.read, 1);
    QCOMPARE(second.time, QDateTime::fromString(QStringLiteral("2026-12-02T08:30:00+01:00"), Qt::ISODate).toLocalTime().toString(QStringLiteral("yyyyMMddhhmmss")));
    // A message with no class is not a flash message (the binding would say class 0).
    QCOMPARE(second.msgClass, 3);
    QCOMPARE(findText(device, QStringLiteral("Class one, on the device")).msgClass, 1);
    const Stored draft = findText(device, QStringLiteral("Draft kept on the device"));
    QCOMPARE(draft.node, 8);
    QCOMPARE(draft.status, 1);
    QSet<int> ids;
    for (const Stored& s : sim + device)
        ids.insert(s.id);
    QCOMPARE(ids.size(), 4);   // unique across both memories

    int32_t capacity = 0, used = 0;
    QCOMPARE(ZSDK_SMSSrv_GetRecordInfo(&capacity, &used, ZSDK_MEM_SIM), ZSDK_OK);
    QCOMPARE(used, 2);
    QVERIFY(capacity >= used);
    uint16_t types[4] = {};
    uint16_t n = 4;
    QCOMPARE(ZSDK_SMSSrv_SMSGetMemoryListType(types, &n), ZSDK_OK);
    QCOMPARE(n, uint16_t(2));

    int32_t value = 0;
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), ZSDK_OK);
    QCOMPARE(value, 3);
    QCOMPARE(ZSDK_DevSrv_GetSimStatus(&value), ZSDK_OK);
    QCOMPARE(value, 1);
    QCOMPARE(ZSDK_DevSrv_GetPinStatus(0, &value, nullptr, nullptr, nullptr), ZSDK_OK);
    QCOMPARE(value, 1);
    QCOMPARE(ZSDK_NetSrv_GetSrvStatus(&value), ZSDK_OK);
    QCOMPARE(value, 2);
    ZSDK_WCHAR imsi[32] = {};
    QCOMPARE(ZSDK_DevSrv_GetIMSI(imsi, 32), ZSDK_OK);
    QCOMPARE(wide(imsi), QStringLiteral("262019876543210"));

    // The radio goes to low power, the SIM asks for its PIN: the page hears both, and the frame
    // is told why nothing can be sent.
    clearEvents();
    QVERIFY(ZsdkDevice::Problem().isEmpty());
    m_mm.setModem(QStringLiteral("org.freedesktop.ModemManager1.Modem"), {{QStringLiteral("PowerState"), 2u}});
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_CANNOT_SEND; }));
    QTRY_COMPARE(ZsdkDevice::Problem(), QStringLiteral("The modem's radio is off"));
    int32_t rf[2] = {1, 1};
    QCOMPARE(ZSDK_DevSrv_GetRFSwitch(rf), ZSDK_OK);
    QCOMPARE(rf[0], 0);
    m_mm.setModem(QStringLiteral("org.freedesktop.ModemManager1.Modem"), {{QStringLiteral("UnlockRequired"), 2u}});
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_SIM_UNUSABLE; }));
    QCOMPARE(ZSDK_DevSrv_GetPinStatus(0, &value, nullptr, nullptr, nullptr), ZSDK_OK);
    QCOMPARE(value, 2);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_E_NO_DEVICE);
    int rc = ZSDK_OK;
    QVERIFY(listMemoryAtOnce(ZSDK_MEM_SIM, &rc).isEmpty());
    QCOMPARE(rc, int(ZSDK_E_NO_DEVICE));
}

// ModemManager's object paths change when it restarts; ids and read flags stay with the message.
void TestModemManager::restartKeepsIdsAndReadFlags()
{
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Read me"), 1), false);
    m_mm.addSms(sms(QStringLiteral("+491702222222"), QStringLiteral("Leave me unread"), 2), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const Stored read = findText(listMemory(ZSDK_MEM_SIM), QStringLiteral("Read me"));
    const Stored unread = findText(listMemory(ZSDK_MEM_DEVICE), QStringLiteral("Leave me unread"));
    QVERIFY(read.id >= 0);
    QVERIFY(unread.id >= 0);
    QVERIFY(markRead(read.id));
    ZSDK_SMSSrv_UnRegCallBack(onEvent);

    // ModemManager restarts: the same messages under other paths (one more message first).
    startService();
    clearEvents();
    m_mm.addSms(sms(QStringLiteral("+491709999999"), QStringLiteral("New on the SIM"), 1, QStringLiteral("2026-12-03T09:00:00+01:00")), false);
    m_mm.addSms(sms(QStringLiteral("+491702222222"), QStringLiteral("Leave me unread"), 2), false);
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Read me"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 2);
    const Stored readAgain = findText(sim, QStringLiteral("Read me"));
    QCOMPARE(readAgain.id, read.id);
    QCOMPARE(readAgain.read, 0);
    const Stored unreadAgain = findText(listMemory(ZSDK_MEM_DEVICE), QStringLiteral("Leave me unread"));
    QCOMPARE(unreadAgain.id, unread.id);
    QCOMPARE(unreadAgain.read, 1);
    const Stored fresh = findText(sim, QStringLiteral("New on the SIM"));
    QVERIFY(fresh.id >= 0);
    QVERIFY(fresh.id != read.id && fresh.id != unread.id);
}

// The modem comes back with the SIM asking for its PIN, so ModemManager lists none of the card's
// messages: the rows that keep their ids and read flags wait for the PIN instead of going.
void TestModemManager::lockedSimKeepsIdsAndReadFlags()
{
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Read me"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const Stored read = findText(listMemory(ZSDK_MEM_SIM), QStringLiteral("Read me"));
    QVERIFY(read.id >= 0);
    QVERIFY(markRead(read.id));
    ZSDK_SMSSrv_UnRegCallBack(onEvent);

    startService({{QStringLiteral("lock"), 2}});
    m_mm.addSms(sms(QStringLiteral("+491702222222"), QStringLiteral("In the device memory"), 2), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    // The device memory is listed after the card: once it shows, the card was looked at.
    int32_t count = -1;
    QTRY_VERIFY_WITH_TIMEOUT(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_DEVICE) == ZSDK_OK && count == 1, 10000);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_E_NO_DEVICE);
    // The status bar says why the card is not shown.
    QCOMPARE(ZsdkDevice::Problem(), QStringLiteral("The SIM card needs its PIN"));
    ZSDK_SMSSrv_UnRegCallBack(onEvent);

    // Next time the PIN was entered before: ModemManager lists the card's message again.
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Read me"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 1);
    QCOMPARE(sim.first().id, read.id);
    QCOMPARE(sim.first().read, 0);
}

Q_DECLARE_METATYPE(QVariantMap)

// What arrives and where it ends: normal messages in the PC inbox (and off the card, once the PC
// copy is committed) or on the card, flash messages announced only, a message ModemManager could
// not decode (only data, e.g. a WAP push) neither announced nor left on the card.
void TestModemManager::arrivals_data()
{
    QTest::addColumn<QVariantMap>("props");
    QTest::addColumn<bool>("saveToPc");
    QTest::addColumn<int>("node");        // of the announcement; -1 none
    QTest::addColumn<int>("msgClass");
    QTest::addColumn<bool>("storedOnPc");
    QTest::addColumn<bool>("leftOnModem");

    const QVariantMap plain = sms(QStringLiteral("+491705555555"), QStringLiteral("Are you coming tonight?"), 1);
    QTest::newRow("a normal message goes to the PC inbox") << plain << true << 1 << 3 << true << false;
    QTest::newRow("with save on the card it stays on the SIM") << plain << false << 7 << 3 << false << true;
    QVariantMap onDevice = plain;
    onDevice[QStringLiteral("Storage")] = 2u;
    QTest::newRow("with save on the card it stays in the device memory") << onDevice << false << 9 << 3 << false << true;
    QVariantMap flash = plain;
    flash[QStringLiteral("Class")] = 0;
    QTest::newRow("a flash message is announced, not kept") << flash << true << 1 << 0 << false << false;
    QVariantMap classTwo = plain;
    classTwo[QStringLiteral("Class")] = 2;
    QTest::newRow("a class-2 message is an ordinary message") << classTwo << true << 1 << 2 << true << false;
    QVariantMap wap = plain;
    wap[QStringLiteral("Text")] = QString();
    wap[QStringLiteral("Data")] = QByteArray::fromHex("0106246170706c69636174696f6e2f766e642e7761702e6d6d732d6d65737361676500");
    QTest::newRow("only data, no text: not announced, not left on the card") << wap << true << -1 << 0 << false << false;
}

void TestModemManager::arrivals()
{
    QFETCH(QVariantMap, props);
    QFETCH(bool, saveToPc);
    QFETCH(int, node);
    QFETCH(int, msgClass);
    QFETCH(bool, storedOnPc);
    QFETCH(bool, leftOnModem);

    startService({}, saveToPc);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    int32_t before = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&before, ZSDK_MEM_PC), ZSDK_OK);
    clearEvents();
    const QString path = m_mm.addSms(props, true);
    QVERIFY(!path.isEmpty());
    Event got;
    const bool announced = waitFor([](const Event& e) { return e.event == ZSDK_EVT_RECEIVED; }, node < 0 ? 1500 : 10000, &got);
    QCOMPARE(announced, node >= 0);
    if (announced) {
        QCOMPARE(got.node, node);
        QCOMPARE(got.msgClass, msgClass);
        QCOMPARE(got.number, props.value(QStringLiteral("Number")).toString());
        QCOMPARE(got.text, props.value(QStringLiteral("Text")).toString());
        if (msgClass == 0)
            QCOMPARE(got.value, -1);
    }
    // Whatever leaves the modem does so after the announcement; wait until the modem's list
    // says what the service did with the message.
    QTRY_COMPARE_WITH_TIMEOUT(m_mm.messagePaths().contains(path), leftOnModem, 5000);
    int32_t after = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&after, ZSDK_MEM_PC), ZSDK_OK);
    QCOMPARE(after - before, storedOnPc ? 1 : 0);
    const QVector<Stored> pc = listMemory(ZSDK_MEM_PC);
    QCOMPARE(pc.size(), after);
    QVERIFY(listMemoryAtOnce(ZSDK_MEM_PC) == pc);
    if (storedOnPc) {
        // Read on the PC: the flag is kept in the PC memory.
        const auto readFlagOf = [](int id) {
            for (const Stored& m : listMemory(ZSDK_MEM_PC))
                if (m.id == id)
                    return m.read;
            return -1;
        };
        QCOMPARE(readFlagOf(got.value), 1);
        QVERIFY(markRead(got.value, ZSDK_MEM_PC));
        QCOMPARE(readFlagOf(got.value), 0);
    }
    if (leftOnModem) {
        const int mem = node == 7 ? ZSDK_MEM_SIM : ZSDK_MEM_DEVICE;
        const Stored card = findText(listMemory(mem), props.value(QStringLiteral("Text")).toString());
        QCOMPARE(card.id, got.value);
        QCOMPARE(card.read, 1);
    }
    if (node < 0)
        QVERIFY(ZsdkDevice::Problem().contains(QStringLiteral("only data")));
}

// ModemManager announces a multipart message while its parts still arrive (text incomplete):
// the page hears of it once, with the whole text.
void TestModemManager::multipartIsAnnouncedOnceComplete()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    clearEvents();
    QVariantMap first = sms(QStringLiteral("+491706666666"), QStringLiteral("The first half of a long message, "), 1);
    first[QStringLiteral("State")] = 2u;   // receiving
    const QString path = m_mm.addSms(first, true);
    QVERIFY(!waitFor([](const Event& e) { return e.event == ZSDK_EVT_RECEIVED; }, 1000));
    const QString whole = QStringLiteral("The first half of a long message, and the second half.");
    m_mm.setSms(path, {{QStringLiteral("State"), 3u}, {QStringLiteral("Text"), whole}});
    Event got;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_RECEIVED; }, 10000, &got));
    QCOMPARE(got.text, whole);
    QCOMPARE(got.node, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!m_mm.messagePaths().contains(path), 5000);
    int received = 0;
    QMutexLocker lock(&m_recorder.mutex);
    for (const Event& e : qAsConst(m_recorder.events))
        received += e.event == ZSDK_EVT_RECEIVED ? 1 : 0;
    QCOMPARE(received, 1);
}

// One result per recipient, then the stored sent message; each recipient's message is created
// with the user's centre, validity and report request; a status report finds its sent message.
void TestModemManager::sendsToEachRecipientAndPairsTheReport()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QString centre = QStringLiteral("+491710760000");
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(reinterpret_cast<const ZSDK_WCHAR*>(centre.utf16())), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_SetSMSReceiptNotify(1), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(24 * 3600), ZSDK_OK);
    clearEvents();
    SMSDeviceRecord* r = nullptr;
    const QString to = QStringLiteral("+491701111111;+491702222222");
    const QString text = QStringLiteral("See you at eight");
    ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_OK);
    Event saved;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SENT_SAVED; }, 10000, &saved));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    const QVector<Event> results = recorded(ZSDK_EVT_SEND_RESULT);
    QCOMPARE(results.size(), 2);
    QCOMPARE(results.at(0).number, QStringLiteral("+491701111111"));
    QCOMPARE(results.at(1).number, QStringLiteral("+491702222222"));
    QCOMPARE(results.at(0).status, 0);
    QCOMPARE(results.at(1).status, 0);
    QCOMPARE(saved.status, 0);
    QCOMPARE(saved.node, 0);
    QCOMPARE(saved.number, to);
    QVERIFY(saved.value >= 0);
    const QVariantMap created = m_mm.lastCreate();
    QCOMPARE(created.value(QStringLiteral("number")).toString(), QStringLiteral("+491702222222"));
    QCOMPARE(created.value(QStringLiteral("text")).toString(), text);
    QCOMPARE(created.value(QStringLiteral("smsc")).toString(), centre);
    QCOMPARE(created.value(QStringLiteral("validity")).toUInt(), 24u * 60u);   // minutes
    QCOMPARE(created.value(QStringLiteral("delivery-report-request")).toBool(), true);

    // The mock gives references 41 and 42 in sending order; the report for the second arrives.
    clearEvents();
    QVariantMap report = sms(QStringLiteral("+491702222222"), QString(), 1);
    report[QStringLiteral("PduType")] = 3u;
    report[QStringLiteral("MessageReference")] = 42u;
    report[QStringLiteral("DeliveryState")] = 0u;
    const QString reportPath = m_mm.addSms(report, true);
    Event got;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_RECEIVED; }, 10000, &got));
    QCOMPARE(got.node, 5);
    QCOMPARE(got.kind, 1);
    QCOMPARE(got.status, 0);
    QCOMPARE(got.attrC, 42);
    QCOMPARE(got.attrD, saved.value);
    QCOMPARE(got.number, QStringLiteral("+491702222222"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_mm.messagePaths().contains(reportPath), 5000);

    // The network's delivery state as the report folder shows it: delivered (up to 0x1F), still
    // trying (0x20 to 0x3F, all shown as 0x22), failed (the state itself).
    const QList<QPair<uint, int>> states{{0x1F, 0}, {0x20, 0x22}, {0x3F, 0x22}, {0x40, 0x40}, {0x65, 0x65}};
    for (const auto& state : states) {
        clearEvents();
        report[QStringLiteral("DeliveryState")] = state.first;
        m_mm.addSms(report, true);
        QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_RECEIVED; }, 10000, &got));
        QCOMPARE(got.node, 5);
        QCOMPARE(got.status, state.second);
    }
}

void TestModemManager::failingSendGivesFailedResults()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    m_mm.behave({{QStringLiteral("fail_sends"), 1}});
    // No delivery report is asked for when the person does not want one; a validity of exactly
    // ModemManager's smallest unit, one minute, is still passed on.
    QCOMPARE(ZSDK_SMSSrv_SetSMSReceiptNotify(0), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_SetSMSValidityPeriod(60), ZSDK_OK);
    clearEvents();
    SMSDeviceRecord* r = nullptr;
    const QString to = QStringLiteral("+491701111111,+491702222222");
    const QString text = QStringLiteral("Only the second one gets this");
    ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_OK);
    Event saved;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SENT_SAVED; }, 10000, &saved));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    QVector<int> statuses;
    for (const Event& e : recorded(ZSDK_EVT_SEND_RESULT))
        statuses.append(e.status);
    QCOMPARE(statuses.size(), 2);
    QVERIFY(statuses.at(0) != 0);
    QCOMPARE(statuses.at(1), 0);
    QVERIFY(saved.status != 0);
    const QVariantMap created = m_mm.lastCreate();
    QCOMPARE(created.value(QStringLiteral("number")).toString(), QStringLiteral("+491702222222"));
    QVERIFY2(!created.contains(QStringLiteral("delivery-report-request")), qPrintable(created.keys().join(' ')));
    QCOMPARE(created.value(QStringLiteral("validity")).toUInt(), 1u);
    // The network's refusal is named as such, not taken for ModemManager not answering.
    QVERIFY2(ZsdkDevice::Problem().contains(QStringLiteral("+491701111111")), qPrintable(ZsdkDevice::Problem()));
    QVERIFY2(ZsdkDevice::Problem().contains(QStringLiteral("network timeout")), qPrintable(ZsdkDevice::Problem()));
}

// The person cancels a message to three recipients while the first is with the modem: the others
// are not sent, their results say so, and the stored copy is marked not sent.
void TestModemManager::cancelledSendStopsBeforeTheNextRecipient()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    clearEvents();
    SMSDeviceRecord* r = nullptr;
    const QString to = QStringLiteral("+491701111111;+491702222222;+491703333333");
    const QString text = QStringLiteral("Never mind");
    ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_CancelSendMsg(&r), ZSDK_OK);
    Event saved;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SENT_SAVED; }, 15000, &saved));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    QVector<int> statuses;
    for (const Event& e : recorded(ZSDK_EVT_SEND_RESULT))
        statuses.append(e.status);
    QCOMPARE(statuses.size(), 3);
    QVERIFY(statuses.at(1) != 0);
    QVERIFY(statuses.at(2) != 0);
    QVERIFY(saved.status != 0);
    // Only the first recipient's message was ever handed to the modem.
    QCOMPARE(m_mm.lastCreate().value(QStringLiteral("number")).toString(), QStringLiteral("+491701111111"));
    // A cancel the person asked for is not reported as a failure of the device.
    QVERIFY2(!ZsdkDevice::Problem().contains(QStringLiteral("+491702222222")), qPrintable(ZsdkDevice::Problem()));
}

// Saving to the SIM creates the message on the modem and stores it in "sm"; deleting removes it.
void TestModemManager::storesOnTheSimAndDeletes()
{
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Already there"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QStringList before = m_mm.messagePaths();
    const QString number = QStringLiteral("+491707777777");
    const QString text = QStringLiteral("Copied to the card");
    SMSDeviceRecord rec = recordFor(7, 7, number, text, QStringLiteral("20261201120000"));
    rec.iAttrA = 3;
    int32_t newId = -1, reserved = 1;
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&rec, &newId, &reserved), ZSDK_OK);
    QVERIFY(newId >= 0);
    const QStringList after = m_mm.messagePaths();
    QCOMPARE(after.size(), before.size() + 1);
    const QString path = after.last();
    QCOMPARE(m_mm.smsProperty(path, QStringLiteral("Storage")).toUInt(), 1u);
    QCOMPARE(m_mm.smsProperty(path, QStringLiteral("Text")).toString(), text);
    QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 2);
    QCOMPARE(findText(sim, text).id, newId);
    QCOMPARE(findText(sim, text).read, 0);
    QCOMPARE(findText(sim, text).node, 7);
    QCOMPARE(findText(sim, text).time, QStringLiteral("20261201120000"));

    // After a restart of the service the copy is still the SIM inbox message it was made as
    // (ModemManager keeps it as an outgoing message without a time).
    ZSDK_SMSSrv_UnRegCallBack(onEvent);
    ZsdkSim::Shutdown();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 2);
    QCOMPARE(findText(sim, text).id, newId);
    QCOMPARE(findText(sim, text).node, 7);
    QCOMPARE(findText(sim, text).time, QStringLiteral("20261201120000"));

    // A full card refuses; the page hears that the SIM is full.
    clearEvents();
    const QString overflow = QStringLiteral("overflow");
    rec.pContent = const_cast<ZSDK_WCHAR*>(reinterpret_cast<const ZSDK_WCHAR*>(overflow.utf16()));
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&rec, &newId, &reserved), ZSDK_E_MEMORY_FULL);
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_SIM_FULL; }));
    QCOMPARE(listMemory(ZSDK_MEM_SIM).size(), 2);

    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(findText(sim, text).id, ZSDK_MEM_SIM), ZSDK_OK);
    QVERIFY(!m_mm.messagePaths().contains(path));
    QCOMPARE(listMemory(ZSDK_MEM_SIM).size(), 1);
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(findText(sim, text).id, ZSDK_MEM_SIM), ZSDK_E_NOT_FOUND);
}

// Another program on the machine deletes a card message through ModemManager: the card list no
// longer offers it and the page hears which message went, so its table does not keep a ghost row.
void TestModemManager::refusedDeleteIsToldAndKeepsTheMessage_data()
{
    QTest::addColumn<QString>("error");   // the D-Bus error ModemManager answers the delete with
    QTest::addColumn<QString>("told");    // the status-bar line
    QTest::newRow("the modem object is gone")
        << "org.freedesktop.DBus.Error.UnknownObject" << "The modem went away";
    QTest::newRow("the modem no longer has the method")
        << "org.freedesktop.DBus.Error.UnknownMethod" << "The modem went away";
    QTest::newRow("a policy refuses")
        << "org.freedesktop.ModemManager1.Error.Core.Unauthorized"
        << "Permission denied by ModemManager: refused: org.freedesktop.ModemManager1.Error.Core.Unauthorized";
    QTest::newRow("the bus refuses")
        << "org.freedesktop.DBus.Error.AccessDenied" << "Permission denied by ModemManager: refused: org.freedesktop.DBus.Error.AccessDenied";
    QTest::newRow("a rule refuses") << "org.freedesktop.ModemManager1.Error.Core.NotAuthorized"
                                    << "Permission denied by ModemManager: refused: org.freedesktop.ModemManager1.Error.Core.NotAuthorized";
    QTest::newRow("no answer in time") << "org.freedesktop.DBus.Error.NoReply" << "ModemManager did not answer within 2 s";
    QTest::newRow("the bus timed out") << "org.freedesktop.DBus.Error.Timeout" << "ModemManager did not answer within 2 s";
    QTest::newRow("the call timed out") << "org.freedesktop.DBus.Error.TimedOut" << "ModemManager did not answer within 2 s";
    // The network's own time-out is not ModemManager failing to answer.
    QTest::newRow("the network timed out")
        << "org.freedesktop.ModemManager1.Error.MobileEquipment.NetworkTimeout"
        << "refused: org.freedesktop.ModemManager1.Error.MobileEquipment.NetworkTimeout";
    QTest::newRow("the service went") << "org.freedesktop.DBus.Error.ServiceUnknown" << "ModemManager is not running";
    QTest::newRow("nobody owns the name") << "org.freedesktop.DBus.Error.NameHasNoOwner" << "ModemManager is not running";
    QTest::newRow("anything else: ModemManager's own text")
        << "org.freedesktop.ModemManager1.Error.Core.Failed" << "refused: org.freedesktop.ModemManager1.Error.Core.Failed";
}

// ModemManager refuses to delete a card message: the message stays on the card and in the list,
// and the user is told why in plain words.
void TestModemManager::refusedDeleteIsToldAndKeepsTheMessage()
{
    QFETCH(QString, error);
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Keep me"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 1);
    m_mm.behave({{QStringLiteral("delete_error"), error}});
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(sim.first().id, ZSDK_MEM_SIM), ZSDK_E_FAIL);
    m_mm.behave({{QStringLiteral("delete_error"), QString()}});
    QTEST(ZsdkDevice::Problem(), "told");
    QCOMPARE(m_mm.messagePaths().size(), 1);
    QCOMPARE(listMemory(ZSDK_MEM_SIM).size(), 1);
    QCOMPARE(findText(listMemory(ZSDK_MEM_SIM), QStringLiteral("Keep me")).id, sim.first().id);
}

void TestModemManager::messageDeletedElsewhereLeavesTheCard()
{
    startService();
    const QString gonePath = m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Deleted elsewhere"), 1), false);
    m_mm.addSms(sms(QStringLiteral("+491702222222"), QStringLiteral("Stays"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QVector<Stored> before = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(before.size(), 2);
    const Stored gone = findText(before, QStringLiteral("Deleted elsewhere"));
    QVERIFY(gone.id >= 0);
    clearEvents();

    QVERIFY(m_mm.deleteSms(gonePath));
    Event deleted;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_DELETED; }, 10000, &deleted));
    QCOMPARE(deleted.value, gone.id);
    QCOMPARE(deleted.node, gone.node);
    const QVector<Stored> after = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(after.size(), 1);
    QCOMPARE(after.constFirst().text, QStringLiteral("Stays"));
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(gone.id, ZSDK_MEM_SIM), ZSDK_E_NOT_FOUND);
    // A click on a row still showing it changes nothing either.
    SMSDeviceRecord click = recordFor(gone.node, gone.node, gone.number, gone.text, gone.time);
    click.iMsgId = gone.id;
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(&click), ZSDK_E_NOT_FOUND);
    QCOMPARE(listMemory(ZSDK_MEM_SIM), after);
}

void TestModemManager::moveOffTheCardLosesNothing_data()
{
    QTest::addColumn<bool>("commitFails");
    QTest::newRow("the PC keeps the batch") << false;
    QTest::newRow("the PC disk is full at the commit") << true;
}

// A message moved off the card to the PC: the PC copy is made in a batch, the card copy deleted
// in it. ModemManager cannot take a deletion back, so whatever becomes of the batch the message
// is afterwards in exactly one place – on the PC when the batch was kept, else still on the card.
void TestModemManager::moveOffTheCardLosesNothing()
{
    QFETCH(bool, commitFails);
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("Moving to the PC"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    const QVector<Stored> sim = listMemory(ZSDK_MEM_SIM);
    QCOMPARE(sim.size(), 1);
    const int pcBefore = listMemory(ZSDK_MEM_PC).size();

    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_SIM), ZSDK_OK);
    const QString number = QStringLiteral("+491701111111");
    // Long enough that the PC store needs new pages for it when the batch is written.
    const QString text = QStringLiteral("Moving to the PC") + QString(100000, QChar(0x0416));
    SMSDeviceRecord rec = recordFor(0, 6, number, text, QStringLiteral("20261201100000"));
    int32_t newId = -1, reserved = 1;
    QCOMPARE(ZSDK_SMSSrv_SaveMsg(&rec, &newId, &reserved), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(sim.first().id, ZSDK_MEM_SIM), ZSDK_OK);
    if (commitFails)
        ZsdkSim::LimitStoreGrowth(2);
    auto restore = qScopeGuard([] { ZsdkSim::LimitStoreGrowth(0); });
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_SIM), commitFails ? ZSDK_E_STORAGE : ZSDK_OK);
    ZsdkSim::LimitStoreGrowth(0);

    const int onCard = listMemory(ZSDK_MEM_SIM).size();
    const int onPc = listMemory(ZSDK_MEM_PC).size() - pcBefore;
    QCOMPARE(onCard + onPc, 1);
    QCOMPARE(onCard, commitFails ? 1 : 0);
    QCOMPARE(m_mm.messagePaths().size(), onCard);
    // A deletion held for a batch that was not kept is not done by the next batch either.
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_SIM), ZSDK_OK);
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_SIM), ZSDK_OK);
    QCOMPARE(listMemory(ZSDK_MEM_SIM).size(), onCard);
}

// The modem is pulled out while the second of three recipients is being sent to: that one and
// the rest fail, the stored sent message says not sent, and the page hears the device is gone.
void TestModemManager::modemUnpluggedMidSend()
{
    startService();
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    m_mm.behave({{QStringLiteral("remove_after_sends"), 1}});
    clearEvents();
    SMSDeviceRecord* r = nullptr;
    const QString to = QStringLiteral("+491701111111;+491702222222;+491703333333");
    const QString text = QStringLiteral("Unplugged halfway");
    ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
    QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_OK);
    Event saved;
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SENT_SAVED; }, 15000, &saved));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    QVector<int> statuses;
    bool removed = false;
    {
        QMutexLocker lock(&m_recorder.mutex);
        for (const Event& e : qAsConst(m_recorder.events)) {
            if (e.event == ZSDK_EVT_SEND_RESULT)
                statuses.append(e.status);
            removed = removed || (e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_DEVICE_REMOVED);
        }
    }
    QCOMPARE(statuses.size(), 3);
    QCOMPARE(statuses.at(0), 0);
    QVERIFY(statuses.at(1) != 0);
    QVERIFY(statuses.at(2) != 0);
    QVERIFY(saved.status != 0);
    QVERIFY(saved.value >= 0);   // the PC copy is kept
    QVERIFY(removed || waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_DEVICE_REMOVED; }));
    int32_t value = 3;
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), ZSDK_OK);
    QVERIFY(value != 3);
    int32_t count = 0;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_E_NO_DEVICE);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_PC), ZSDK_OK);
    QVERIFY(!ZsdkDevice::Problem().isEmpty());
}

// Pulled out with nothing under way: the page hears the device is gone; cards answer "no device".
void TestModemManager::modemUnpluggedWhileIdle()
{
    startService();
    m_mm.addSms(sms(QStringLiteral("+491701111111"), QStringLiteral("On the SIM"), 1), false);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    QVERIFY(waitReady());
    clearEvents();
    m_mm.control(QStringLiteral("RemoveModem"));
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_DEVICE_REMOVED; }));
    int32_t value = 3;
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), ZSDK_OK);
    QVERIFY(value != 3);
    QCOMPARE(listMemory(ZSDK_MEM_SIM).size(), 0);
    int rc = ZSDK_OK;
    listMemory(ZSDK_MEM_SIM, &rc);
    QCOMPARE(rc, int(ZSDK_E_NO_DEVICE));
    QCOMPARE(ZsdkDevice::InUse(), QStringLiteral("ModemManager (no modem)"));
    QVERIFY(ZsdkDevice::Problem().contains(QStringLiteral("removed")));
    // Plugged in again: the service takes the modem up and tells that the device is ready.
    static std::atomic<int> initDone{0};
    initDone = 0;
    const ZSDK_DevInitCallback onInit = [](int event) {
        if (event == ZSDK_DEV_INIT_DONE)
            ++initDone;
        return 1;
    };
    QCOMPARE(ZSDK_DevSrv_RegisterDevInitEventCallback(onInit), ZSDK_OK);
    auto unregister = qScopeGuard([onInit] { ZSDK_DevSrv_UnRegisterDevInitEventCallback(onInit); });
    clearEvents();
    m_mm.control(QStringLiteral("AddModem"), {QVariantMap()});
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_SIM_READY; }));
    QTRY_COMPARE(initDone.load(), 1);
    QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), ZSDK_OK);
    QCOMPARE(value, 3);
    // Unplugged again, so that ModemManager's own client library holds no modem when the next
    // test stops ModemManager.
    clearEvents();
    m_mm.control(QStringLiteral("RemoveModem"));
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_DEVICE_REMOVED; }));
    QTRY_COMPARE(ZsdkDevice::InUse(), QStringLiteral("ModemManager (no modem)"));
}

// When ModemManager is missing, has no (usable) modem, refuses or does not answer: the
// documented status, a line for the status bar, and the PC memory keeps working.
void TestModemManager::failures_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QVariantMap>("mock");       // "absent": no ModemManager at all
    QTest::addColumn<QVariantMap>("behaviour");  // set before a send
    QTest::addColumn<QString>("inUse");
    QTest::addColumn<QString>("problem");

    QTest::newRow("ModemManager not running, modemmanager chosen")
        << "modemmanager" << QVariantMap{{QStringLiteral("absent"), true}} << QVariantMap() << "ModemManager (no modem)" << "not running";
    QTest::newRow("ModemManager not running, auto falls back to the simulator")
        << "auto" << QVariantMap{{QStringLiteral("absent"), true}} << QVariantMap() << "Simulated modem" << "simulated modem";
    QTest::newRow("no modem")
        << "modemmanager" << QVariantMap{{QStringLiteral("modem"), false}} << QVariantMap() << "ModemManager (no modem)" << "no modem";
    QTest::newRow("a modem without messaging")
        << "modemmanager" << QVariantMap{{QStringLiteral("messaging"), false}} << QVariantMap() << "ModemManager (no modem)" << "offers no short messages";
    QTest::newRow("permission denied")
        << "modemmanager" << QVariantMap() << QVariantMap{{QStringLiteral("deny"), true}} << "MockModem 3000" << "Permission denied";
    QTest::newRow("ModemManager does not answer in time")
        << "modemmanager" << QVariantMap() << QVariantMap{{QStringLiteral("hang_ms"), 3500}} << "MockModem 3000" << "did not answer";
}

void TestModemManager::failures()
{
    QFETCH(QString, device);
    QFETCH(QVariantMap, mock);
    QFETCH(QVariantMap, behaviour);
    QFETCH(QString, inUse);
    QFETCH(QString, problem);

    if (mock.value(QStringLiteral("absent")).toBool()) {
        ZsdkSim::Shutdown();
        m_mm.stopMock();
    } else {
        startService(mock);
    }
    QVERIFY(ZsdkDevice::Choose(device));
    ZsdkDevice::ModemOptions o;
    o.databasePath = m_dir.filePath(QStringLiteral("modem.sqlite"));
    o.timeoutMs = 2000;
    ZsdkDevice::ConfigureModem(o);
    ZsdkSim::Options sim;
    sim.databasePath = m_dir.filePath(QStringLiteral("sim.sqlite"));
    ZsdkSim::Configure(sim);
    QVERIFY(ZSDK_SMSSrv_RegCallBack(onEvent) == ZSDK_OK);
    if (!behaviour.isEmpty())
        QVERIFY(waitReady());
    // ModemManagerQt hears of a restarted ModemManager on its own time: let the service settle.
    QTRY_COMPARE_WITH_TIMEOUT(ZsdkDevice::InUse(), inUse, 10000);

    if (!behaviour.isEmpty()) {
        m_mm.behave(behaviour);
        clearEvents();
        SMSDeviceRecord* r = nullptr;
        const QString to = QStringLiteral("+491701111111");
        const QString text = QStringLiteral("Does this go out?");
        ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(text.utf16()));
        QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_OK);
        Event result;
        QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SEND_RESULT; }, 15000, &result));
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
        QVERIFY(result.status != 0);
        QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_SENT_SAVED; }, 15000));
        m_mm.behave({{QStringLiteral("deny"), false}, {QStringLiteral("hang_ms"), 0}});
    } else if (inUse != QLatin1String("Simulated modem")) {
        int32_t value = 3;
        QCOMPARE(ZSDK_DevSrv_GetDevStatus(&value), ZSDK_OK);
        QVERIFY(value != 3);
        int32_t count = 0;
        QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_E_NO_DEVICE);
        SMSDeviceRecord* r = nullptr;
        const QString to = QStringLiteral("+491701111111");
        ZSDK_SMSSrv_CreateSMSRecord(&r, reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()), reinterpret_cast<const ZSDK_WCHAR*>(to.utf16()));
        QCOMPARE(ZSDK_SMSSrv_SendMsg(r), ZSDK_E_NO_DEVICE);
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(ZsdkDevice::Problem().contains(problem, Qt::CaseInsensitive), qPrintable(ZsdkDevice::Problem()), 10000);
    // The PC memory works whatever the modem does.
    int32_t count = -1;
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_PC), ZSDK_OK);
}

QTEST_GUILESS_MAIN(TestModemManager)
#include "tst_modemmanager.moc"
