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
        if (ZSDK_SMSSrv_GetMsg(r, mem) == ZSDK_OK) {
            Stored s;
            s.id = r->iMsgId;
            s.read = r->iReadFlag;
            s.node = r->iNode;
            s.status = r->iStatus;
            s.msgClass = r->iAttrA;
            s.number = wide(r->pNumber);
            s.text = wide(r->pContent);
            s.time = wide(r->szTime);
            out.append(s);
        }
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
    void restartKeepsIdsAndReadFlags();

private:
    // Starts the mock with these parameters and the service on it; waits until the cards are read.
    void startService(const QVariantMap& mockParameters = {}, bool saveToPc = true);
    bool waitFor(const std::function<bool(const Event&)>& match, int timeoutMs = 10000, Event* found = nullptr);
    void clearEvents();
    // The cards can be read (the service may have announced it before the callback was there).
    bool waitReady();

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

    // The radio goes to low power, the SIM asks for its PIN: the page hears both.
    clearEvents();
    m_mm.setModem(QStringLiteral("org.freedesktop.ModemManager1.Modem"), {{QStringLiteral("PowerState"), 2u}});
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_CANNOT_SEND; }));
    int32_t rf[2] = {1, 1};
    QCOMPARE(ZSDK_DevSrv_GetRFSwitch(rf), ZSDK_OK);
    QCOMPARE(rf[0], 0);
    m_mm.setModem(QStringLiteral("org.freedesktop.ModemManager1.Modem"), {{QStringLiteral("UnlockRequired"), 2u}});
    QVERIFY(waitFor([](const Event& e) { return e.event == ZSDK_EVT_STATUS && e.value == ZSDK_ST_SIM_UNUSABLE; }));
    QCOMPARE(ZSDK_DevSrv_GetPinStatus(0, &value, nullptr, nullptr, nullptr), ZSDK_OK);
    QCOMPARE(value, 2);
    QCOMPARE(ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&count, ZSDK_MEM_SIM), ZSDK_E_NO_DEVICE);
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
    SMSDeviceRecord* r = nullptr;
    ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr);
    r->iMsgId = read.id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_SIM), ZSDK_OK);
    r->iReadFlag = 0;
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(r), ZSDK_OK);
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
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

QTEST_GUILESS_MAIN(TestModemManager)
#include "tst_modemmanager.moc"
