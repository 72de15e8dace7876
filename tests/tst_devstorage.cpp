// What the device service answers when its store cannot take a write (a nearly full disk, or
// another program holding the store's write lock past the busy timeout), and that such a write
// changes nothing: no half-stored message, no count or id list that disagrees
// with the file, no announcement of a message that was not kept. Also the answers for messages
// that are not where the caller says.

#include "SimControl.h"
#include "TestSupport.h"
#include "zsdk.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

#include <atomic>

namespace {

const ZSDK_WCHAR* w(const QString& s) { return reinterpret_cast<const ZSDK_WCHAR*>(s.utf16()); }

// A record pointing at the given texts; they must outlive it.
SMSDeviceRecord record(int node, const QString& number, const QString& text)
{
    SMSDeviceRecord r{};
    r.iMsgId = -1;
    r.iNode = node;
    r.iOrigNode = node;
    r.iAttrA = 3;
    r.pNumber = const_cast<ZSDK_WCHAR*>(w(number));
    r.pContent = const_cast<ZSDK_WCHAR*>(w(text));
    const QString t = QStringLiteral("20261206101530");
    for (int i = 0; i < t.size(); ++i)
        r.szTime[i] = t.at(i).unicode();
    return r;
}

int save(int node, const QString& text, int32_t* id)
{
    const QString number = QStringLiteral("+491711234567");
    SMSDeviceRecord r = record(node, number, text);
    int32_t reserved = 1;
    *id = -1;
    return ZSDK_SMSSrv_SaveMsg(&r, id, &reserved);
}

int countOf(int mem)
{
    int32_t n = -1;
    return ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, mem) == 0 ? n : -1;
}

QList<int> idsOf(int mem)
{
    int32_t* ids = nullptr;
    int32_t n = 0;
    QList<int> out;
    if (ZSDK_SMSSrv_GetSmsIdList(&ids, &n, mem) != 0)
        return {-1};
    for (int i = 0; i < n; ++i)
        out << ids[i];
    ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    return out;
}

// The message's text and folder, "<missing>" when the service has no such message there.
QString contentOf(int id, int mem, int* node = nullptr)
{
    SMSDeviceRecord* r = nullptr;
    if (ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr) != 0)
        return QString();
    r->iMsgId = id;
    QString text = QStringLiteral("<missing>");
    if (ZSDK_SMSSrv_GetMsg(r, mem) == 0) {
        text = QString::fromUtf16(r->pContent);
        if (node)
            *node = r->iNode;
    }
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    return text;
}

std::atomic<int> g_received{0};
int countReceived(int event, void*)
{
    if (event == ZSDK_EVT_RECEIVED)
        ++g_received;
    return 1;
}

} // namespace

class TestDevStorage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void refusedWriteKeepsTheRest_data();
    void refusedWriteKeepsTheRest();
    void messageNotWhereTheCallerSays_data();
    void messageNotWhereTheCallerSays();

private:
    QTemporaryDir m_dir;
};

void TestDevStorage::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestDevStorage::init()
{
    TestSupport::freshModem(m_dir.filePath(QStringLiteral("store.sqlite")));
    g_received = 0;
}

void TestDevStorage::cleanup()
{
    ZsdkSim::LimitStoreGrowth(0);
    ZSDK_SMSSrv_UnRegCallBack(countReceived);
}

void TestDevStorage::cleanupTestCase()
{
    ZsdkSim::Shutdown();
}

void TestDevStorage::refusedWriteKeepsTheRest_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("locked");   // another program holds the write lock; else the disk is full
    QTest::newRow("saving a new message") << "save" << false;
    QTest::newRow("saving a message inside a batch") << "batch" << false;
    QTest::newRow("changing a message's text") << "update" << false;
    QTest::newRow("a message arriving") << "receive" << false;
    QTest::newRow("a device setting") << "setting" << false;
    QTest::newRow("ending a batch while another program writes") << "batch" << true;
    QTest::newRow("a message arriving while another program writes") << "receive" << true;
}

void TestDevStorage::refusedWriteKeepsTheRest()
{
    QFETCH(QString, write);
    QFETCH(bool, locked);
    int32_t kept = -1, other = -1;
    QCOMPARE(save(1, QStringLiteral("kept"), &kept), 0);
    QCOMPARE(save(7, QStringLiteral("on the card"), &other), 0);
    QCOMPARE(ZSDK_SMSSrv_SetSMSCentreNumber(w(QStringLiteral("+4930000"))), 0);
    QCOMPARE(ZSDK_SMSSrv_RegCallBack(countReceived), 0);
    const QList<int> pcIds = idsOf(ZSDK_MEM_PC);
    const QList<int> simIds = idsOf(ZSDK_MEM_SIM);
    QCOMPARE(pcIds, QList<int>{kept});
    // Far more than the few pages the disk still has.
    const QString big(200000, QChar(0x0416));
    sqlite3* writer = nullptr;   // the other program
    const auto unblock = [&] {
        if (writer)
            sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        writer = nullptr;
        ZsdkSim::LimitStoreGrowth(0);
    };
    const auto unblockOnFailure = qScopeGuard(unblock);
    // From here on the store refuses the write.
    const auto refuse = [&] {
        if (!locked) {
            ZsdkSim::LimitStoreGrowth(2);
            return true;
        }
        return sqlite3_open(QFile::encodeName(ZsdkSim::DatabasePath()).constData(), &writer) == SQLITE_OK
            && sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    int rc = 0;
    if (write == QLatin1String("save")) {
        QVERIFY(refuse());
        int32_t id = 0;
        rc = save(1, big, &id);
    } else if (write == QLatin1String("batch")) {
        QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
        int32_t id = 0;
        QCOMPARE(save(1, big, &id), 0);   // collected, written at the end
        QCOMPARE(countOf(ZSDK_MEM_PC), 2);
        QVERIFY(refuse());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        rc = ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC);
    } else if (write == QLatin1String("update")) {
        QVERIFY(refuse());
        const QString number = QStringLiteral("+491711234567");
        SMSDeviceRecord r = record(1, number, big);
        r.iMsgId = kept;
        rc = ZSDK_SMSSrv_UpdateMsg(&r);
    } else if (write == QLatin1String("receive")) {
        QVERIFY(refuse());
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491719999999");
        in.text = big;
        rc = ZsdkSim::InjectMessage(in) < 0 ? int(ZSDK_E_STORAGE) : 0;
    } else {
        QVERIFY(refuse());
        rc = ZSDK_SMSSrv_SetSMSCentreNumber(w(QString(100000, QLatin1Char('1'))));
    }
    QCOMPARE(rc, int(ZSDK_E_STORAGE));
    QVERIFY(ZsdkSim::WaitForEvents());
    // Nothing changed, and the service's figures agree with what it keeps.
    QCOMPARE(countOf(ZSDK_MEM_PC), 1);
    QCOMPARE(countOf(ZSDK_MEM_SIM), 1);
    QCOMPARE(idsOf(ZSDK_MEM_PC), pcIds);
    QCOMPARE(idsOf(ZSDK_MEM_SIM), simIds);
    int node = -1;
    QCOMPARE(contentOf(kept, ZSDK_MEM_PC, &node), QStringLiteral("kept"));
    QCOMPARE(node, 1);
    QCOMPARE(contentOf(other, ZSDK_MEM_SIM), QStringLiteral("on the card"));
    QCOMPARE(g_received.load(), 0);   // nobody was told of a message that is not kept
    ZSDK_WCHAR centre[100] = {};
    int32_t addressType = 0;
    QCOMPARE(ZSDK_SMSSrv_GetSMSCentreNumber(&addressType, centre, 100), 0);
    QCOMPARE(QString::fromUtf16(centre), QStringLiteral("+4930000"));
    // With room again, or the other program done, a write goes through and is counted once.
    unblock();
    int32_t id = -1;
    QCOMPARE(save(1, QStringLiteral("after"), &id), 0);
    QCOMPARE(countOf(ZSDK_MEM_PC), 2);
    QCOMPARE(idsOf(ZSDK_MEM_PC), (QList<int>{kept, id}));
}

void TestDevStorage::messageNotWhereTheCallerSays_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("mem");
    QTest::addColumn<int>("result");
    QTest::newRow("remove a PC message from the card") << "remove" << int(ZSDK_MEM_SIM) << int(ZSDK_E_NOT_FOUND);
    QTest::newRow("delete a PC message on the device") << "delete" << int(ZSDK_MEM_DEVICE) << int(ZSDK_E_NOT_FOUND);
    QTest::newRow("read a PC message from the card") << "get" << int(ZSDK_MEM_SIM) << int(ZSDK_E_NOT_FOUND);
    QTest::newRow("move a PC message to the card by an update") << "update" << int(ZSDK_MEM_SIM) << int(ZSDK_E_ARG);
    QTest::newRow("remove it where it is") << "remove" << int(ZSDK_MEM_PC) << 0;
    QTest::newRow("delete it where it is: to the Trash") << "delete" << int(ZSDK_MEM_PC) << 0;
}

void TestDevStorage::messageNotWhereTheCallerSays()
{
    QFETCH(QString, call);
    QFETCH(int, mem);
    QFETCH(int, result);
    int32_t id = -1, card = -1;
    QCOMPARE(save(1, QStringLiteral("on the PC"), &id), 0);
    QCOMPARE(save(7, QStringLiteral("on the card"), &card), 0);
    int rc = -1;
    if (call == QLatin1String("remove")) {
        rc = ZSDK_SMSSrv_RemoveMsg(id, mem);
    } else if (call == QLatin1String("delete")) {
        rc = ZSDK_SMSSrv_DeleteMsg(id, mem);
    } else if (call == QLatin1String("get")) {
        SMSDeviceRecord* r = nullptr;
        QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr), 0);
        r->iMsgId = id;
        rc = ZSDK_SMSSrv_GetMsg(r, mem);
        ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    } else {
        const QString number = QStringLiteral("+491711234567");
        const QString text = QStringLiteral("changed");
        SMSDeviceRecord r = record(mem == ZSDK_MEM_SIM ? 7 : 1, number, text);
        r.iMsgId = id;
        rc = ZSDK_SMSSrv_UpdateMsg(&r);
    }
    QCOMPARE(rc, result);
    const bool gone = call == QLatin1String("remove") && result == 0;
    const bool trashed = call == QLatin1String("delete") && result == 0;
    QCOMPARE(countOf(ZSDK_MEM_PC), gone ? 0 : 1);
    QCOMPARE(idsOf(ZSDK_MEM_PC), gone ? QList<int>() : QList<int>{id});
    int node = -1;
    QCOMPARE(contentOf(id, ZSDK_MEM_PC, &node), gone ? QStringLiteral("<missing>") : QStringLiteral("on the PC"));
    if (!gone)
        QCOMPARE(node, trashed ? 4 : 1);
    // The card's message is untouched either way.
    QCOMPARE(countOf(ZSDK_MEM_SIM), 1);
    QCOMPARE(contentOf(card, ZSDK_MEM_SIM), QStringLiteral("on the card"));
}

QTEST_MAIN(TestDevStorage)
#include "tst_devstorage.moc"
