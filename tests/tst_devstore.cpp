// The device service's message store under attack: a process killed in the middle of a batch while
// messages arrive, two processes on one file, a long run of saves, damaged, locked, read-only,
// newer and foreign files, a full disk, and shut-down with sends in flight.
//
// Some cases need a process of their own; this executable runs them when DEVSTORE_CHILD names the
// part to play (see childMain).

#include "SimControl.h"
#include "SmsDatabase.h"
#include "zsdk.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const int kBatchSize = 40;

const ZSDK_WCHAR* w(const QString& s) { return reinterpret_cast<const ZSDK_WCHAR*>(s.utf16()); }

int saveTo(int node, const QString& number, const QString& text, int* status = nullptr)
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
    int32_t id = -1, reserved = 1;
    const int rc = ZSDK_SMSSrv_SaveMsg(&r, &id, &reserved);
    if (status)
        *status = rc;
    return rc == 0 ? id : -1;
}

int countOf(int mem)
{
    int32_t n = -1;
    return ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, mem) == 0 ? n : -1;
}

QString contentOf(int id, int mem, int* node = nullptr)
{
    SMSDeviceRecord* r = nullptr;
    if (ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr) != 0)
        return QString();
    r->iMsgId = id;
    QString text;
    if (ZSDK_SMSSrv_GetMsg(r, mem) == 0) {
        text = QString::fromUtf16(r->pContent);
        if (node)
            *node = r->iNode;
    } else {
        text = QStringLiteral("<missing>");
    }
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
    return text;
}

void configure(const QString& path, bool seed = false)
{
    ZsdkSim::Options o;
    o.databasePath = path;
    o.seed = seed;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    o.simCapacity = 5;
    ZsdkSim::Configure(o);
}

void removeStore(const QString& path)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

// Everything stored in a file, read with SQLite directly (independent of the code under test).
struct Row {
    int id;
    int node;
    QString content;
    int kind;
};
QVector<Row> rowsOf(const QString& path)
{
    QVector<Row> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return rows;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT id, node, content, kind FROM messages ORDER BY id", -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(st, 2);
        const int bytes = sqlite3_column_bytes(st, 2);
        rows.append({sqlite3_column_int(st, 0), sqlite3_column_int(st, 1),
                     data ? QString(reinterpret_cast<const QChar*>(data), bytes / 2) : QString(), sqlite3_column_int(st, 3)});
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

bool execSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1) : QByteArray();
}

// ---- a disk that refuses writes -----------------------------------------------------------------

// Below SQLite, the disk refuses every write to a store's log while g_diskRefuses is set, as a full
// disk or a removed stick does. Statements of a transaction write into SQLite's cache; what is
// refused is the commit that writes them out.
std::atomic<bool> g_diskRefuses{false};
sqlite3_vfs* g_realVfs = nullptr;
sqlite3_vfs g_refusingVfs;

struct RefusingFile {
    sqlite3_file base;
    bool log;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
sqlite3_file* realOf(sqlite3_file* f) { return reinterpret_cast<RefusingFile*>(f)->real(); }

const sqlite3_io_methods g_refusingIo = {
    3,
    [](sqlite3_file* f) { return realOf(f)->pMethods->xClose(realOf(f)); },
    [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return realOf(f)->pMethods->xRead(realOf(f), b, n, o); },
    [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
        if (reinterpret_cast<RefusingFile*>(f)->log && g_diskRefuses.load())
            return SQLITE_FULL;
        return realOf(f)->pMethods->xWrite(realOf(f), b, n, o);
    },
    [](sqlite3_file* f, sqlite3_int64 size) { return realOf(f)->pMethods->xTruncate(realOf(f), size); },
    [](sqlite3_file* f, int flags) { return realOf(f)->pMethods->xSync(realOf(f), flags); },
    [](sqlite3_file* f, sqlite3_int64* size) { return realOf(f)->pMethods->xFileSize(realOf(f), size); },
    [](sqlite3_file* f, int lock) { return realOf(f)->pMethods->xLock(realOf(f), lock); },
    [](sqlite3_file* f, int lock) { return realOf(f)->pMethods->xUnlock(realOf(f), lock); },
    [](sqlite3_file* f, int* out) { return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out); },
    [](sqlite3_file* f, int op, void* arg) { return realOf(f)->pMethods->xFileControl(realOf(f), op, arg); },
    [](sqlite3_file* f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); },
    [](sqlite3_file* f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); },
    [](sqlite3_file* f, int page, int size, int extend, void volatile** out) {
        return realOf(f)->pMethods->xShmMap(realOf(f), page, size, extend, out);
    },
    [](sqlite3_file* f, int offset, int n, int flags) { return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags); },
    [](sqlite3_file* f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); },
    [](sqlite3_file* f, int remove) { return realOf(f)->pMethods->xShmUnmap(realOf(f), remove); },
    [](sqlite3_file* f, sqlite3_int64 offset, int n, void** out) { return realOf(f)->pMethods->xFetch(realOf(f), offset, n, out); },
    [](sqlite3_file* f, sqlite3_int64 offset, void* p) { return realOf(f)->pMethods->xUnfetch(realOf(f), offset, p); },
};

// Every connection this process opens from now on goes through the refusing disk.
bool installRefusingDisk()
{
    g_realVfs = sqlite3_vfs_find(nullptr);
    if (!g_realVfs || g_realVfs->iVersion < 3)
        return false;
    g_refusingVfs = *g_realVfs;
    g_refusingVfs.zName = "refusing-disk";
    g_refusingVfs.szOsFile = int(sizeof(RefusingFile)) + g_realVfs->szOsFile;
    g_refusingVfs.pNext = nullptr;
    g_refusingVfs.xOpen = [](sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
        auto* file = reinterpret_cast<RefusingFile*>(f);
        file->log = (flags & SQLITE_OPEN_WAL) != 0;
        const int rc = g_realVfs->xOpen(g_realVfs, name, file->real(), flags, outFlags);
        file->base.pMethods = file->real()->pMethods ? &g_refusingIo : nullptr;
        return rc;
    };
    return sqlite3_vfs_register(&g_refusingVfs, 1) == SQLITE_OK;
}

// ---- child processes -------------------------------------------------------------------------

void say(const QByteArray& line)
{
    const QByteArray out = line + '\n';
    ssize_t written = ::write(STDOUT_FILENO, out.constData(), size_t(out.size()));
    Q_UNUSED(written);
}

int announceReceived(int event, void* data)
{
    if (event == ZSDK_EVT_RECEIVED && data) {
        auto* r = static_cast<SMSDeviceRecord*>(data);
        say("A " + QByteArray::number(r->iMsgId) + ' ' + QString::fromUtf16(r->pContent).toUtf8());
    }
    return 1;
}

// Moves every inbox message to the favourites in one batch while another thread receives
// messages, until it is killed.
int childBatch(const QString& path)
{
    configure(path);
    ZSDK_SMSSrv_RegCallBack(announceReceived);
    int32_t* ids = nullptr;
    int32_t n = 0;
    if (ZSDK_SMSSrv_GetSmsIdList(&ids, &n, ZSDK_MEM_PC) != 0)
        return 2;
    QVector<int> originals(ids, ids + n);
    ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    std::thread arrivals([] {
        ZsdkSim::Incoming in;
        in.number = QStringLiteral("+491712345678");
        for (int i = 0;; ++i) {
            in.text = QStringLiteral("arrival %1").arg(i);
            ZsdkSim::InjectMessage(in);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));   // a busy line, not a flood
        }
    });
    arrivals.detach();
    say("READY");
    if (ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC) != 0)
        return 3;
    for (int id : originals) {
        const QString text = contentOf(id, ZSDK_MEM_PC);
        if (saveTo(3, QStringLiteral("+4930123456"), text) < 0 || ZSDK_SMSSrv_RemoveMsg(id, ZSDK_MEM_PC) != 0)
            return 4;
        std::this_thread::sleep_for(std::chrono::microseconds(300));   // as the worker pauses
    }
    if (ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC) != 0)
        return 5;
    say("COMMITTED");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

// Saves and reads its own messages while another process does the same on the same file.
int childWriter(const QString& path, const QString& tag, int count)
{
    configure(path);
    int lastId = -1;
    for (int i = 0; i < count; ++i) {
        int status = 0;
        const QString text = QStringLiteral("%1 %2").arg(tag).arg(i);
        const int id = saveTo(1, tag, text, &status);
        if (id < 0) {
            say("FAILED save " + QByteArray::number(i) + " status " + QByteArray::number(status));
            return 1;
        }
        if (lastId >= 0 && contentOf(lastId, ZSDK_MEM_PC) != QStringLiteral("%1 %2").arg(tag).arg(i - 1)) {
            say("FAILED read " + QByteArray::number(i));
            return 1;
        }
        if (countOf(ZSDK_MEM_PC) < i + 1) {
            say("FAILED count " + QByteArray::number(i));
            return 1;
        }
        lastId = id;
    }
    say("DONE");
    return 0;
}

int callInFromCallback(int event, void*)
{
    if (event == ZSDK_EVT_SEND_RESULT)
        countOf(ZSDK_MEM_PC);
    return 1;
}

// Starts sends and leaves main while their results are still being delivered.
int childExitWhileSending(const QString& path)
{
    configure(path);
    ZSDK_SMSSrv_RegCallBack(callInFromCallback);
    ZsdkSim::SetSendDelay(1);
    for (int i = 0; i < 5; ++i) {
        SMSDeviceRecord* handle = nullptr;
        ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("+491711111111;+491722222222;+491733333333")),
                                    w(QStringLiteral("message %1").arg(i)));
        ZSDK_SMSSrv_SendMsg(handle);
        ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
    }
    return 0;
}

// Opens a store its user may only read: every message is shown, and every change (a save, a
// delete to the trash, a delete for good, a setting) is refused rather than answered as done.
int childReadOnly(const QString& path, int expected)
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        say("FAILED cannot drop root");
        return 1;
    }
    configure(path, true);
    const int n = countOf(ZSDK_MEM_PC);
    int status = 0;
    saveTo(1, QStringLiteral("1"), QStringLiteral("must not be stored"), &status);
    const int toTrash = qEnvironmentVariableIntValue("DEVSTORE_INBOX_ID");
    const int inTrash = qEnvironmentVariableIntValue("DEVSTORE_TRASH_ID");
    const int trashed = ZSDK_SMSSrv_DeleteMsg(toTrash, ZSDK_MEM_PC);
    const int deleted = ZSDK_SMSSrv_DeleteMsg(inTrash, ZSDK_MEM_PC);
    const int removed = ZSDK_SMSSrv_RemoveMsg(inTrash, ZSDK_MEM_PC);
    const int centre = ZSDK_SMSSrv_SetSMSCentreNumber(w(QStringLiteral("+491700000001")));
    const int validity = ZSDK_SMSSrv_SetSMSValidityPeriod(11);
    int inboxNode = -1, trashNode = -1;
    const bool kept = contentOf(toTrash, ZSDK_MEM_PC, &inboxNode) != QLatin1String("<missing>")
        && contentOf(inTrash, ZSDK_MEM_PC, &trashNode) != QLatin1String("<missing>") && inboxNode == 1 && trashNode == 4
        && countOf(ZSDK_MEM_PC) == expected;
    const bool stateOk = ZsdkSim::StoreState() == ZsdkSim::StoreStatus::ReadOnly;
    say("COUNT " + QByteArray::number(n) + " SAVE " + QByteArray::number(status) + " TRASH " + QByteArray::number(trashed)
        + " DELETE " + QByteArray::number(deleted) + " REMOVE " + QByteArray::number(removed) + " CENTRE "
        + QByteArray::number(centre) + " VALIDITY " + QByteArray::number(validity) + " KEPT " + (kept ? "yes" : "no")
        + " STATE " + (stateOk ? "readonly" : "other") + " NOTE " + ZsdkSim::OpenNote().toUtf8());
    const bool refused = status != 0 && trashed == ZSDK_E_STORAGE && deleted == ZSDK_E_STORAGE && removed == ZSDK_E_STORAGE
        && centre == ZSDK_E_STORAGE && validity == ZSDK_E_STORAGE;
    return n == expected && refused && kept && stateOk && ZsdkSim::OpenNote().contains(QStringLiteral("read-only")) ? 0 : 1;
}

int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray role = qgetenv("DEVSTORE_CHILD");
    const QString path = QString::fromLocal8Bit(qgetenv("DEVSTORE_PATH"));
    if (role == "batch")
        return childBatch(path);
    if (role == "writer")
        return childWriter(path, QString::fromLocal8Bit(qgetenv("DEVSTORE_TAG")), qEnvironmentVariableIntValue("DEVSTORE_COUNT"));
    if (role == "exit-sending")
        return childExitWhileSending(path);
    if (role == "readonly")
        return childReadOnly(path, qEnvironmentVariableIntValue("DEVSTORE_COUNT"));
    return 99;
}

QProcess* startChild(QObject* parent, const QByteArray& role, const QString& path, const QStringList& extraEnv = {})
{
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DEVSTORE_CHILD"), QString::fromLatin1(role));
    env.insert(QStringLiteral("DEVSTORE_PATH"), path);
    for (const QString& kv : extraEnv)
        env.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(QCoreApplication::applicationFilePath(), QStringList());
    return p;
}

} // namespace

class TestDevStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void killedBatchLosesNoArrivalAndIsAllOrNothing();
    void twoProcessesShareOneStore();
    void logStaysSmall();
    void damagedFileIsSetAsideWithItsLog_data();
    void damagedFileIsSetAsideWithItsLog();
    void lockedStoreIsWaitedForNeverReplaced();
    void readOnlyStoreIsReadNeverReplaced();
    void unknownStoresAreRefusedUntouched_data();
    void unknownStoresAreRefusedUntouched();
    void textWrittenByAnotherProgramReadsBack();
    void demoMessagesGoOnlyIntoANewStore();
    void storeEmptiedByAnotherProgramAnswersFailures();
    void failedBatchStoresNothingAndReusesNoId_data();
    void failedBatchStoresNothingAndReusesNoId();
    void eachBatchCommitsItsOwnStorage_data();
    void eachBatchCommitsItsOwnStorage();
    void shutDownWithSendsInFlight();
    void exitWithSendsInFlight();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestDevStore::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(installRefusingDisk());
    // The read-only case runs as an unprivileged user, who must reach the folder.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                            | QFileDevice::ExeOther);
    m_path = m_dir.filePath(QStringLiteral("store.sqlite"));
}

void TestDevStore::init()
{
    ZsdkSim::Shutdown();
    removeStore(m_path);
    for (const QString& aside : QDir(m_dir.path()).entryList({QStringLiteral("store.sqlite.corrupt-*")}))
        QFile::remove(m_dir.filePath(aside));
    configure(m_path);
}

void TestDevStore::cleanupTestCase() { ZsdkSim::Shutdown(); }

void TestDevStore::killedBatchLosesNoArrivalAndIsAllOrNothing()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("kill points drawn with seed %u", seed);
    // The first trial runs until the batch has ended and measures how long it takes; the others
    // are killed at a random point between the start and a little after that. Each received
    // message is synced to disk, so the batch's length depends on the disk.
    const int maxTrials = 20;
    QElapsedTimer budget;
    budget.start();
    qint64 batchMs = -1;
    int trials = 0;
    int committedTrials = 0;
    int announcedTotal = 0;
    for (int trial = 0; trial < maxTrials && (trial < 6 || budget.elapsed() < 20000); ++trial) {
        ++trials;
        ZsdkSim::Shutdown();
        removeStore(m_path);
        configure(m_path);
        for (int i = 0; i < kBatchSize; ++i)
            QVERIFY(saveTo(1, QStringLiteral("+4930123456"), QStringLiteral("original %1").arg(i)) > 0);
        ZsdkSim::Shutdown();

        QProcess* child = startChild(this, "batch", m_path);
        QVERIFY2(child->waitForStarted(10000), qPrintable(child->errorString()));
        QByteArray out;
        QDeadlineTimer ready(15000);
        while (!out.contains("READY\n") && !ready.hasExpired() && child->state() == QProcess::Running)
            if (child->waitForReadyRead(int(ready.remainingTime())))
                out += child->readAllStandardOutput();
        QVERIFY2(out.contains("READY\n"), child->readAllStandardError().constData());
        QElapsedTimer running;
        running.start();
        QDeadlineTimer runFor(batchMs < 0 ? 20000 : qint64(random.bounded(int(batchMs * 3 / 2) + 1)));
        while (!runFor.hasExpired() && child->state() == QProcess::Running && !(batchMs < 0 && out.contains("COMMITTED\n")))
            if (child->waitForReadyRead(int(qMax<qint64>(1, runFor.remainingTime()))))
                out += child->readAllStandardOutput();
        if (batchMs < 0) {
            QVERIFY2(out.contains("COMMITTED\n"), child->readAllStandardError().constData());
            batchMs = qMax<qint64>(1, running.elapsed());
        }
        ::kill(pid_t(child->processId()), SIGKILL);
        QVERIFY(child->waitForFinished(10000));
        out += child->readAllStandardOutput();
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);   // killed, it did not stop by itself
        delete child;

        const QVector<Row> rows = rowsOf(m_path);
        QHash<QString, int> copies;
        QHash<int, Row> byId;
        for (const Row& r : rows) {
            ++copies[r.content];
            byId.insert(r.id, r);
        }
        // Every message announced as received is there, exactly once, under its id.
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray& line : lines) {
            if (!line.startsWith("A "))
                continue;
            const int id = line.mid(2).split(' ').value(0).toInt();
            const QString text = QString::fromUtf8(line.mid(2 + QByteArray::number(id).size() + 1));
            QVERIFY2(byId.contains(id), qPrintable(QStringLiteral("trial %1: announced message %2 (%3) is gone").arg(trial).arg(id).arg(text)));
            QCOMPARE(byId.value(id).content, text);
            QCOMPARE(copies.value(text), 1);
            ++announcedTotal;
        }
        // The batch is all or nothing.
        int inInbox = 0, inFavourites = 0;
        for (const Row& r : rows) {
            if (!r.content.startsWith(QLatin1String("original ")))
                continue;
            QCOMPARE(copies.value(r.content), 1);
            (r.node == 1 ? inInbox : inFavourites)++;
        }
        const bool committed = out.contains("COMMITTED\n");
        committedTrials += committed ? 1 : 0;
        QVERIFY2((inInbox == kBatchSize && inFavourites == 0 && !committed) || (inInbox == 0 && inFavourites == kBatchSize),
                 qPrintable(QStringLiteral("trial %1: %2 in the inbox, %3 moved, committed %4").arg(trial).arg(inInbox).arg(inFavourites).arg(committed)));
    }
    qInfo("a batch took %lld ms; %d of %d trials were killed after its end; %d announced messages checked", batchMs,
          committedTrials, trials, announcedTotal);
    QVERIFY(announcedTotal > 0);
}

void TestDevStore::twoProcessesShareOneStore()
{
    QVERIFY(saveTo(1, QStringLiteral("1"), QStringLiteral("before")) > 0);
    ZsdkSim::Shutdown();
    const int each = 300;
    QProcess* a = startChild(this, "writer", m_path, {QStringLiteral("DEVSTORE_TAG=first"), QStringLiteral("DEVSTORE_COUNT=%1").arg(each)});
    QProcess* b = startChild(this, "writer", m_path, {QStringLiteral("DEVSTORE_TAG=second"), QStringLiteral("DEVSTORE_COUNT=%1").arg(each)});
    for (QProcess* p : {a, b}) {
        QVERIFY(p->waitForFinished(60000));
        const QByteArray out = p->readAllStandardOutput();
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, (out + p->readAllStandardError()).constData());
        QVERIFY(out.contains("DONE"));
    }
    const QVector<Row> rows = rowsOf(m_path);
    QCOMPARE(rows.size(), 1 + 2 * each);
    QSet<QString> texts;
    for (const Row& r : rows)
        texts.insert(r.content);
    for (int i = 0; i < each; ++i)
        QVERIFY(texts.contains(QStringLiteral("first %1").arg(i)) && texts.contains(QStringLiteral("second %1").arg(i)));
    // And this process, started again, counts them all.
    configure(m_path);
    QCOMPARE(countOf(ZSDK_MEM_PC), 1 + 2 * each);
}

void TestDevStore::logStaysSmall()
{
    const QString text(60, QLatin1Char('x'));
    int first = -1;
    for (int i = 0; i < 30000; ++i) {
        const int id = saveTo(1, QStringLiteral("+491712345678"), text);
        QVERIFY(id > 0);
        if (first < 0)
            first = id;
        if (i % 100 == 0) {
            // Reads between the writes, as the page does.
            QCOMPARE(contentOf(first, ZSDK_MEM_PC), text);
            QVERIFY(countOf(ZSDK_MEM_PC) > 0);
        }
    }
    const qint64 log = QFileInfo(m_path + QStringLiteral("-wal")).size();
    qInfo("log after 30,000 saves: %lld bytes", log);
    QVERIFY2(log < 16 * 1024 * 1024, qPrintable(QString::number(log)));
}

void TestDevStore::damagedFileIsSetAsideWithItsLog_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("closedFolder");   // the folder cannot be written: nothing can be set aside
    QTest::newRow("not a database") << "garbage" << false;
    QTest::newRow("truncated to half") << "truncated" << false;
    QTest::newRow("not a database, in a folder closed to writing") << "garbage" << true;
}

void TestDevStore::damagedFileIsSetAsideWithItsLog()
{
    QFETCH(QString, damage);
    QFETCH(bool, closedFolder);
    for (int i = 0; i < 400; ++i)
        QVERIFY(saveTo(1, QStringLiteral("+491712345678"), QStringLiteral("message %1 ").arg(i).repeated(20)) > 0);
    ZsdkSim::Shutdown();
    QVERIFY(!QFileInfo::exists(m_path + QStringLiteral("-wal")));
    if (damage == QLatin1String("garbage")) {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("this is not a database at all").repeated(200));
    } else {
        QFile f(m_path);
        QVERIFY(f.resize(f.size() / 2));
    }
    // A log and a shared-memory file lie beside it; they go with it, they are never deleted.
    for (const char* suffix : {"-wal", "-shm"}) {
        QFile f(m_path + QLatin1String(suffix));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("side file ") + suffix);
    }
    const QByteArray damagedHash = fileHash(m_path);

    configure(m_path, true);
    if (closedFolder) {
        // The damaged file stays where it is, untouched, and the service runs without a store:
        // every call answers a storage failure instead of starting a new store over it.
        const QFileDevice::Permissions open = QFile::permissions(m_dir.path());
        QVERIFY(QFile::setPermissions(m_dir.path(), open & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser)));
        // Permissions do not bind root: the store is opened as an unprivileged user then.
        const bool asOther = ::geteuid() == 0;
        if (asOther)
            setfsuid(65534);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be set aside")));
        const int n = countOf(ZSDK_MEM_PC);
        if (asOther)
            setfsuid(0);
        QFile::setPermissions(m_dir.path(), open);
        QCOMPARE(n, -1);
        QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::Unavailable);
        QVERIFY2(ZsdkSim::OpenNote().contains(QStringLiteral("could not be set aside")), qPrintable(ZsdkSim::OpenNote()));
        int status = 0;
        QCOMPARE(saveTo(1, QStringLiteral("1234567"), QStringLiteral("must not be stored"), &status), -1);
        QCOMPARE(status, int(ZSDK_E_STORAGE));
        ZsdkSim::Shutdown();
        QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("store.sqlite.corrupt-*")}).isEmpty());
        QCOMPARE(fileHash(m_path), damagedHash);
        QCOMPARE(fileHash(m_path + QStringLiteral("-wal")), QCryptographicHash::hash("side file -wal", QCryptographicHash::Sha1));
        return;
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("was damaged")));
    QCOMPARE(countOf(ZSDK_MEM_PC), 0);   // a new, empty store: no demo messages in it
    QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::SetAside);
    const QStringList aside = QDir(m_dir.path()).entryList({QStringLiteral("store.sqlite.corrupt-*")});
    QCOMPARE(aside.size(), 3);
    const QString main = aside.filter(QRegularExpression(QStringLiteral("corrupt-[0-9~]+$"))).value(0);
    QVERIFY(!main.isEmpty());
    QVERIFY(ZsdkSim::OpenNote().contains(main));
    QCOMPARE(fileHash(m_dir.filePath(main)), damagedHash);
    QCOMPARE(fileHash(m_dir.filePath(main + QStringLiteral("-wal"))), QCryptographicHash::hash("side file -wal", QCryptographicHash::Sha1));
    QVERIFY(QFileInfo::exists(m_dir.filePath(main + QStringLiteral("-shm"))));
    QVERIFY(saveTo(1, QStringLiteral("1234567"), QStringLiteral("works again")) > 0);
    for (const QString& name : aside)
        QFile::remove(m_dir.filePath(name));
}

void TestDevStore::lockedStoreIsWaitedForNeverReplaced()
{
    const int kept = saveTo(1, QStringLiteral("1"), QStringLiteral("kept"));
    QVERIFY(kept > 0);
    ZsdkSim::Shutdown();
    // Another program holds the file exclusively.
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(m_path).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE settings SET value=value;", nullptr, nullptr, nullptr), SQLITE_OK);

    configure(m_path, true);
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg)
            warnings << text;
    });
    auto restoreHandler = qScopeGuard([previous] { qInstallMessageHandler(previous); });
    QCOMPARE(countOf(ZSDK_MEM_PC), -1);
    QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::Unavailable);
    QVERIFY(ZsdkSim::OpenNote().contains(QStringLiteral("locked")));
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("store.sqlite.corrupt-*")}).isEmpty());
    QVERIFY(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC) != 0);
    // A change meanwhile fails as a storage failure, not as a message that is gone.
    SMSDeviceRecord change{};
    change.iMsgId = kept;
    change.iNode = 1;
    change.pNumber = const_cast<ZSDK_WCHAR*>(w(QStringLiteral("1")));
    change.pContent = const_cast<ZSDK_WCHAR*>(w(QStringLiteral("changed while locked")));
    QCOMPARE(ZSDK_SMSSrv_UpdateMsg(&change), int(ZSDK_E_STORAGE));
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(kept, ZSDK_MEM_PC), int(ZSDK_E_STORAGE));
    restoreHandler.dismiss();
    qInstallMessageHandler(previous);
    // Each try waits for the lock: the calls right after one do not try (and wait) again.
    QCOMPARE(warnings.filter(QStringLiteral("locked by another program")).size(), 1);

    QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    // Tried again when messages are next needed: the message is there, no demo messages joined it.
    QTRY_COMPARE_WITH_TIMEOUT(countOf(ZSDK_MEM_PC), 1, 5000);
    QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::Healthy);
    int node = -1;
    QCOMPARE(contentOf(kept, ZSDK_MEM_PC, &node), QStringLiteral("kept"));
    QCOMPARE(node, 1);
    QVERIFY(saveTo(1, QStringLiteral("1"), QStringLiteral("after the lock")) > 0);
}

void TestDevStore::readOnlyStoreIsReadNeverReplaced()
{
    int inbox = -1;
    for (int i = 0; i < 3; ++i)
        QVERIFY((inbox = saveTo(1, QStringLiteral("1"), QStringLiteral("kept %1").arg(i))) > 0);
    const int trash = saveTo(4, QStringLiteral("1"), QStringLiteral("kept in the trash"));
    QVERIFY(trash > 0);
    ZsdkSim::Shutdown();
    const QString folder = m_dir.filePath(QStringLiteral("readonly"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/store.sqlite");
    QVERIFY(QFile::copy(m_path, path));
    const QByteArray before = fileHash(path);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                              | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
    QProcess* child = startChild(this, "readonly", path,
                                 {QStringLiteral("DEVSTORE_COUNT=4"), QStringLiteral("DEVSTORE_INBOX_ID=%1").arg(inbox),
                                  QStringLiteral("DEVSTORE_TRASH_ID=%1").arg(trash)});
    QVERIFY(child->waitForFinished(30000));
    const QByteArray out = child->readAllStandardOutput();
    QVERIFY2(child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0, (out + child->readAllStandardError()).constData());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("store.sqlite")});
    QCOMPARE(fileHash(path), before);
}

void TestDevStore::unknownStoresAreRefusedUntouched_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("reason");
    QTest::newRow("made by a newer program") << QByteArray("PRAGMA user_version=7") << "newer program";
    QTest::newRow("a required column this program cannot fill")
        << QByteArray("DROP TABLE messages; CREATE TABLE messages (id INTEGER PRIMARY KEY, mem INTEGER, readflag INTEGER,"
                      " orignode INTEGER, node INTEGER, status INTEGER, kind INTEGER, class INTEGER, attrb INTEGER, attrc INTEGER,"
                      " attrd INTEGER, priority INTEGER, time TEXT, number TEXT, content TEXT, account TEXT NOT NULL);"
                      " INSERT INTO messages VALUES (1, 0, 0, 1, 1, 0, 0, 3, 0, 0, 0, 0, '20261206101530', '123', 'hello', 'me');"
                      " PRAGMA user_version=0")
        << "account";
    QTest::newRow("not a message store") << QByteArray("DROP TABLE messages; CREATE TABLE messages (a, b); PRAGMA user_version=0")
                                         << "not a message store";
}

void TestDevStore::unknownStoresAreRefusedUntouched()
{
    QFETCH(QByteArray, sql);
    QFETCH(QString, reason);
    QVERIFY(saveTo(1, QStringLiteral("1"), QStringLiteral("kept")) > 0);
    ZsdkSim::Shutdown();
    QVERIFY(execSql(m_path, sql.constData()));
    QVERIFY(execSql(m_path, "PRAGMA journal_mode=DELETE"));
    const QByteArray before = fileHash(m_path);

    configure(m_path, true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is not used")));
    int status = 0;
    QCOMPARE(saveTo(1, QStringLiteral("1"), QStringLiteral("must not be written"), &status), -1);
    QCOMPARE(status, int(ZSDK_E_STORAGE));
    QCOMPARE(ZsdkSim::StoreState(), ZsdkSim::StoreStatus::Unavailable);
    QVERIFY2(ZsdkSim::OpenNote().contains(reason), qPrintable(ZsdkSim::OpenNote()));
    ZsdkSim::Shutdown();
    QCOMPARE(fileHash(m_path), before);
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("store.sqlite.corrupt-*")}).isEmpty());
}

void TestDevStore::textWrittenByAnotherProgramReadsBack()
{
    const int id = saveTo(1, QStringLiteral("1"), QStringLiteral("placeholder"));
    QVERIFY(id > 0);
    ZsdkSim::Shutdown();
    // Another tool wrote the texts as SQL text, not as UTF-16 blobs.
    QVERIFY(execSql(m_path, "UPDATE messages SET number='+4930123456', content='Grüße aus Köln', time='20261206101530'"));
    configure(m_path);
    SMSDeviceRecord* r = nullptr;
    QCOMPARE(ZSDK_SMSSrv_CreateSMSRecord(&r, nullptr, nullptr), 0);
    r->iMsgId = id;
    QCOMPARE(ZSDK_SMSSrv_GetMsg(r, ZSDK_MEM_PC), 0);
    QCOMPARE(QString::fromUtf16(r->pContent), QString::fromUtf8("Grüße aus Köln"));
    QCOMPARE(QString::fromUtf16(r->pNumber), QStringLiteral("+4930123456"));
    QCOMPARE(QString::fromUtf16(r->szTime), QStringLiteral("20261206101530"));
    ZSDK_SMSSrv_ReleaseSMSRecord(&r);
}

// The simulated modem fills a store it has just created with demo messages, once: messages the
// user deleted do not come back at the next start, and a store with the user's own messages
// gains none.
void TestDevStore::demoMessagesGoOnlyIntoANewStore()
{
    ZsdkSim::Shutdown();
    removeStore(m_path);
    configure(m_path, false);
    QCOMPARE(countOf(ZSDK_MEM_PC), 0);   // asked for none: none
    ZsdkSim::Shutdown();
    configure(m_path, true);
    QCOMPARE(countOf(ZSDK_MEM_PC), 0);   // a store that was there already is the user's
    ZsdkSim::Shutdown();
    removeStore(m_path);

    configure(m_path, true);
    QVERIFY(countOf(ZSDK_MEM_PC) > 0);
    const QVector<Row> demo = rowsOf(m_path);
    QVERIFY(!demo.isEmpty());
    // The demo's delivery reports are reports; everything else is a message.
    for (const Row& row : demo)
        QVERIFY2(row.kind == (row.node == 5 ? 1 : 0), qPrintable(row.content));
    for (const Row& row : demo) {
        const int mem = (row.node == 6 || row.node == 7) ? ZSDK_MEM_SIM : (row.node == 8 || row.node == 9) ? ZSDK_MEM_DEVICE : ZSDK_MEM_PC;
        QVERIFY2(ZSDK_SMSSrv_RemoveMsg(row.id, mem) == 0, qPrintable(row.content));
    }
    QVERIFY(rowsOf(m_path).isEmpty());
    ZsdkSim::Shutdown();

    configure(m_path, true);
    QCOMPARE(countOf(ZSDK_MEM_PC), 0);
    QVERIFY(rowsOf(m_path).isEmpty());
    const int own = saveTo(1, QStringLiteral("+4930123456"), QStringLiteral("the user's own"));
    QVERIFY(own > 0);
    ZsdkSim::Shutdown();

    configure(m_path, true);
    QCOMPARE(countOf(ZSDK_MEM_PC), 1);
    const QVector<Row> after = rowsOf(m_path);
    QCOMPARE(after.size(), 1);
    QCOMPARE(after.first().id, own);
    QCOMPARE(after.first().content, QStringLiteral("the user's own"));
}

// Another program drops the store's tables while it is open: every read and change answers a
// failure (none claims a message or a change that is not there), a failed call leaves no lock
// on the file, and the store, opened again, is refused rather than filled anew.
void TestDevStore::storeEmptiedByAnotherProgramAnswersFailures()
{
    ZsdkSim::Shutdown();
    removeStore(m_path);
    SmsDatabase db;
    QVERIFY(db.open(m_path, nullptr));
    StoredMessage kept;
    kept.node = 1;
    kept.content = QStringLiteral("kept");
    QVERIFY(db.insert(kept) > 0);
    QVERIFY(execSql(m_path, "DROP TABLE messages; DROP TABLE contacts; DROP TABLE settings"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
    // The first call finds the tables gone when it runs, the others already when they are made.
    QCOMPARE(db.count(ZSDK_MEM_PC), -1);
    StoredMessage out;
    QVERIFY(!db.get(kept.id, &out));
    QVERIFY(!db.update(kept));
    QVERIFY(!db.remove(kept.id, ZSDK_MEM_PC));
    StoredMessage other = kept;
    QCOMPARE(db.insert(other), -1);
    QVERIFY(db.ids(ZSDK_MEM_PC).isEmpty());
    QVERIFY(db.messages(ZSDK_MEM_PC).isEmpty());
    QVERIFY(!db.addContact({QStringLiteral("Anna"), QStringLiteral("+491712345678")}));
    QVERIFY(db.contacts().isEmpty());
    QVERIFY(!db.setSetting(QStringLiteral("smsc"), QStringLiteral("+491710760000")));
    QCOMPARE(db.setting(QStringLiteral("smsc"), QStringLiteral("none")), QStringLiteral("none"));
    QVERIFY(db.beginBatch(ZSDK_MEM_PC) == SmsDatabase::BatchResult::Ok);
    QCOMPARE(db.insert(other), -1);   // no id can be reserved for it
    QVERIFY(db.endBatch(ZSDK_MEM_PC) == SmsDatabase::BatchResult::Ok);
    QVERIFY(execSql(m_path, "CREATE TABLE notes (a)"));   // nothing of it holds the file

    QString note;
    QVERIFY(!db.open(m_path, &note));
    QVERIFY2(note.contains(QStringLiteral("no message table")), qPrintable(note));
    QVERIFY(!db.get(kept.id, &out));
    QVERIFY(!db.update(kept));
    QVERIFY(!db.remove(kept.id, ZSDK_MEM_PC));
    QVERIFY(!db.addContact({QStringLiteral("Anna"), QStringLiteral("+491712345678")}));
    QVERIFY(!db.setSetting(QStringLiteral("smsc"), QStringLiteral("+491710760000")));
    QVERIFY(!db.beginDirect());
    QVERIFY(db.beginBatch(ZSDK_MEM_PC) == SmsDatabase::BatchResult::Failed);
}

void TestDevStore::failedBatchStoresNothingAndReusesNoId_data()
{
    QTest::addColumn<bool>("atTheCommit");
    QTest::newRow("the disk is nearly full") << false;
    QTest::newRow("the disk refuses the commit") << true;
}

void TestDevStore::failedBatchStoresNothingAndReusesNoId()
{
    QFETCH(bool, atTheCommit);
    const auto diskBack = qScopeGuard([] {
        g_diskRefuses = false;
        ZsdkSim::LimitStoreGrowth(0);
    });
    const int kept = saveTo(1, QStringLiteral("1"), QStringLiteral("kept"));
    const int trashed = saveTo(1, QStringLiteral("1"), QStringLiteral("to be deleted in the batch"));
    QVERIFY(kept > 0 && trashed > 0);
    if (!atTheCommit)
        ZsdkSim::LimitStoreGrowth(4);   // the disk is nearly full
    QCOMPARE(ZSDK_SMSSrv_BeginTransaction(ZSDK_MEM_PC), 0);
    QCOMPARE(ZSDK_SMSSrv_DeleteMsg(trashed, ZSDK_MEM_PC), 0);
    int highest = 0;
    const QString big(1500, QChar(0x0416));
    for (int i = 0; i < 100; ++i) {
        const int id = saveTo(3, QStringLiteral("1"), big);
        QVERIFY(id > 0);   // collected: the disk is not asked yet
        highest = qMax(highest, id);
    }
    QCOMPARE(countOf(ZSDK_MEM_PC), 102);
    g_diskRefuses = atTheCommit;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("batch of 101 change")));
    QCOMPARE(ZSDK_SMSSrv_EndTransaction(ZSDK_MEM_PC), int(ZSDK_E_STORAGE));
    // Nothing of it was stored, and the counts say so.
    QCOMPARE(countOf(ZSDK_MEM_PC), 2);
    int node = -1;
    QCOMPARE(contentOf(trashed, ZSDK_MEM_PC, &node), QStringLiteral("to be deleted in the batch"));
    QCOMPARE(node, 1);
    QCOMPARE(contentOf(highest, ZSDK_MEM_PC), QStringLiteral("<missing>"));
    if (atTheCommit) {
        // Nor does a memory the device fills meanwhile keep, or announce, what could not be written.
        static std::atomic<int> announced;
        announced = 0;
        const ZSDK_SMSCallback countArrivals = [](int event, void*) {
            if (event == ZSDK_EVT_RECEIVED)
                ++announced;
            return 1;
        };
        QCOMPARE(ZSDK_SMSSrv_RegCallBack(countArrivals), 0);
        ZsdkSim::FillMemory(ZSDK_MEM_SIM);
        QVERIFY(ZsdkSim::WaitForEvents());
        ZSDK_SMSSrv_UnRegCallBack(countArrivals);
        QCOMPARE(countOf(ZSDK_MEM_SIM), 0);
        QCOMPARE(announced.load(), 0);
    }
    g_diskRefuses = false;
    ZsdkSim::Shutdown();   // what the file holds, seen by a new start
    QCOMPARE(rowsOf(m_path).size(), 2);
    configure(m_path);
    ZsdkSim::LimitStoreGrowth(0);
    const int next = saveTo(1, QStringLiteral("1"), QStringLiteral("after the failed batch"));
    QVERIFY2(next > highest, qPrintable(QStringLiteral("%1 <= %2").arg(next).arg(highest)));
}

void TestDevStore::eachBatchCommitsItsOwnStorage_data()
{
    QTest::addColumn<QList<int>>("locations");   // batches opened on one thread, ended in this order
    QTest::newRow("the PC's and the card's") << QList<int>{ZSDK_MEM_PC, ZSDK_MEM_SIM};
    QTest::newRow("the card's and the device's") << QList<int>{ZSDK_MEM_DEVICE, ZSDK_MEM_SIM};
    QTest::newRow("the PC's and the device's") << QList<int>{ZSDK_MEM_PC, ZSDK_MEM_DEVICE};
    QTest::newRow("all three") << QList<int>{ZSDK_MEM_SIM, ZSDK_MEM_PC, ZSDK_MEM_DEVICE};
}

// A job moving between two storages holds a batch on each: a change goes into the batch of its
// message's storage, so ending one batch stores exactly that storage's changes.
void TestDevStore::eachBatchCommitsItsOwnStorage()
{
    QFETCH(QList<int>, locations);
    const int inboxOf[] = {1, 7, 9};
    // The service keeps its open batches in a hash: each round starts it with a new hash seed, so
    // the batches are met in several orders.
    for (int round = 0; round < 8; ++round) {
        qSetGlobalQHashSeed(-1);
        ZsdkSim::Shutdown();
        removeStore(m_path);
        configure(m_path);
        for (int mem : locations)
            QCOMPARE(ZSDK_SMSSrv_BeginTransaction(mem), 0);
        for (int mem : locations)
            QVERIFY(saveTo(inboxOf[mem], QStringLiteral("1"), QStringLiteral("in storage %1").arg(mem)) > 0);
        QVERIFY(rowsOf(m_path).isEmpty());
        QStringList ended;
        for (int mem : locations) {
            QCOMPARE(ZSDK_SMSSrv_EndTransaction(mem), 0);
            ended << QStringLiteral("in storage %1").arg(mem);
            QStringList stored;
            for (const Row& row : rowsOf(m_path))
                stored << row.content;
            ended.sort();
            stored.sort();
            QCOMPARE(stored, ended);
        }
    }
}

namespace {
std::atomic<int> g_callbacks{0};
int busyCallback(int, void*)
{
    ++g_callbacks;
    countOf(ZSDK_MEM_PC);   // callbacks call back into the service, as the page does
    return 1;
}
} // namespace

void TestDevStore::shutDownWithSendsInFlight()
{
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::thread caller([&] {
        while (!stop.load()) {
            countOf(ZSDK_MEM_PC);
            saveTo(2, QStringLiteral("1"), QStringLiteral("draft"));
            ++answered;
        }
    });
    for (int round = 0; round < 15; ++round) {
        configure(m_path);
        QCOMPARE(ZSDK_SMSSrv_RegCallBack(busyCallback), 0);
        ZsdkSim::SetSendDelay(1);
        for (int i = 0; i < 4; ++i) {
            SMSDeviceRecord* handle = nullptr;
            ZSDK_SMSSrv_CreateSMSRecord(&handle, w(QStringLiteral("+491711111111;+491722222222")), w(QStringLiteral("in flight")));
            QCOMPARE(ZSDK_SMSSrv_SendMsg(handle), 0);
            ZSDK_SMSSrv_ReleaseSMSRecord(&handle);
        }
        QTRY_VERIFY_WITH_TIMEOUT(g_callbacks.load() > 0, 5000);
        ZsdkSim::Shutdown();
    }
    stop = true;
    caller.join();
    QVERIFY(answered.load() > 0);
}

void TestDevStore::exitWithSendsInFlight()
{
    for (int run = 0; run < 5; ++run) {
        removeStore(m_path);
        QProcess* child = startChild(this, "exit-sending", m_path);
        QVERIFY(child->waitForFinished(30000));
        const QByteArray err = child->readAllStandardError();
        QVERIFY2(child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0, err.constData());
        QVERIFY2(!err.contains("ERROR: AddressSanitizer"), err.constData());
        delete child;
    }
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("DEVSTORE_CHILD"))
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestDevStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_devstore.moc"
