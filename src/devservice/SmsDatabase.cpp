#include "SmsDatabase.h"

#include "StoreBatch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <sqlite3.h>

namespace {

enum Slot {
    SInsert, SInsertWithId, SUpdate, SGet, SRemove, SCount, SIds, SAll, SAddContact, SContacts,
    SGetSetting, SSetSetting, SDataVersion, SSequence, SSetSequence, SAddSequence, SList
};

// How long a call waits for another program's write to end before it reports failure; opening
// waits less, a store still locked then is tried again when it is next needed.
const int kBusyTimeoutMs = 5000;
const int kOpenBusyTimeoutMs = 1500;
// SQLite answers SQLITE_BUSY without waiting in a few cases (a WAL being recovered, a read
// transaction that would have to be upgraded); such a call is tried again this often.
const int kBusyRetries = 20;
// The log is checkpointed every 1000 pages (SQLite's default) and cut back to this size.
const char* const kJournalLimit = "PRAGMA journal_size_limit=4194304";

// Changes made while this is set bypass the thread's batches.
thread_local bool t_direct = false;

bool isBusy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }
// Busy answers given without waiting for the busy timeout: a log being recovered by another
// connection, a snapshot that cannot be upgraded, a table locked inside this process. Plain
// SQLITE_BUSY has already waited the whole timeout and is final.
bool retryable(int rc) { return rc == SQLITE_BUSY_RECOVERY || rc == SQLITE_BUSY_SNAPSHOT || (rc & 0xff) == SQLITE_LOCKED; }
bool isDamage(int rc) { return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB; }

// Texts are stored as raw UTF-16 so that NUL characters and lone surrogates come back exactly.
void bindText(sqlite3_stmt* st, int index, const QString& text)
{
    sqlite3_bind_blob(st, index, text.utf16(), text.size() * 2, SQLITE_TRANSIENT);
}

QString columnText(sqlite3_stmt* st, int index)
{
    // A store written by another program may hold real text values: those are read as text,
    // not reinterpreted as UTF-16 bytes.
    if (sqlite3_column_type(st, index) == SQLITE_TEXT) {
        const void* data = sqlite3_column_text16(st, index);
        const int bytes = sqlite3_column_bytes16(st, index);
        return data ? QString(reinterpret_cast<const QChar*>(data), bytes / 2) : QString();
    }
    const void* data = sqlite3_column_blob(st, index);
    const int bytes = sqlite3_column_bytes(st, index);
    if (!data || bytes <= 0)
        return QString();
    return QString(reinterpret_cast<const QChar*>(data), bytes / 2);
}

void pause(int attempt) { QThread::msleep(std::min(50, 2 + attempt * 5)); }

} // namespace

// A cached statement in use: reset (and its read snapshot let go) when the call is done with it.
class SmsDatabase::Query
{
public:
    Query(SmsDatabase* db, int slot, const char* sql) : m_db(db), m_st(db->m_db ? db->statement(slot, sql) : nullptr) {}
    ~Query()
    {
        if (m_st) {
            sqlite3_reset(m_st);
            sqlite3_clear_bindings(m_st);
        }
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    explicit operator bool() const { return m_st != nullptr; }
    sqlite3_stmt* get() const { return m_st; }

    // Steps once; a statement outside a transaction that SQLite turned away as busy is started
    // again (nothing of it has happened yet).
    int step()
    {
        int rc = sqlite3_step(m_st);
        for (int attempt = 0; retryable(rc) && m_first && sqlite3_get_autocommit(m_db->m_db) && attempt < kBusyRetries; ++attempt) {
            sqlite3_reset(m_st);
            pause(attempt);
            rc = sqlite3_step(m_st);
        }
        m_first = false;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            qWarning("SmsDatabase: '%s' failed: %s", sqlite3_sql(m_st), sqlite3_errmsg(m_db->m_db));
        return rc;
    }

private:
    SmsDatabase* m_db;
    sqlite3_stmt* m_st;
    bool m_first = true;
};

SmsDatabase::Direct::Direct() : m_previous(t_direct) { t_direct = true; }
SmsDatabase::Direct::~Direct() { t_direct = m_previous; }

SmsDatabase::SmsDatabase() = default;
SmsDatabase::~SmsDatabase() { close(); }

void SmsDatabase::forgetCounts()
{
    for (int& c : m_counts)
        c = -1;
}

void SmsDatabase::closeConnection()
{
    for (sqlite3_stmt*& st : m_statements) {
        if (st)
            sqlite3_finalize(st);
        st = nullptr;
    }
    forgetCounts();
    m_dataVersion = -1;
    if (m_db) {
        if (m_directOpen)
            exec("ROLLBACK");
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    m_directOpen = false;
}

void SmsDatabase::close()
{
    // Open batches that never reached their end are dropped: all or nothing.
    m_batches.clear();
    closeConnection();
    m_state = State::Closed;
}

bool SmsDatabase::exec(const char* sql, int* rcOut)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rcOut)
        *rcOut = rc;
    if (rc != SQLITE_OK) {
        qWarning("SmsDatabase: '%s' failed: %s", sql, err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

int SmsDatabase::execRetrying(const char* sql)
{
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt <= kBusyRetries; ++attempt) {
        rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
        if (!retryable(rc) || !sqlite3_get_autocommit(m_db))
            break;
        pause(attempt);
    }
    if (rc != SQLITE_OK)
        qWarning("SmsDatabase: '%s' failed: %s", sql, sqlite3_errmsg(m_db));
    return rc;
}

QString SmsDatabase::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
}

int SmsDatabase::openConnection(int flags, const QByteArray& uri)
{
    int rc = sqlite3_open_v2(uri.constData(), &m_db, flags | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (m_db)
            sqlite3_close(m_db);
        m_db = nullptr;
        return rc;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kOpenBusyTimeoutMs);
    // Until the file is known to be healthy, closing must not fold the log into it or delete the
    // log: a damaged file is set aside together with its log as they were.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return SQLITE_OK;
}

// What a store must look like. Returns SQLITE_OK, an SQLite error, or SQLITE_FORMAT with `why`
// set when the file is a database this program must not write.
int SmsDatabase::validateSchema(bool writable, QString* why, bool* needsSchema)
{
    sqlite3_stmt* st = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &st, nullptr) != SQLITE_OK)
        return sqlite3_errcode(m_db);
    int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW)
        return rc;
    if (version > kSchemaVersion) {
        *why = QStringLiteral("it was written by a newer program (store version %1, this program knows %2); it is left "
                              "untouched").arg(version).arg(kSchemaVersion);
        return SQLITE_FORMAT;
    }

    static const char* const required[] = {"id", "mem", "readflag", "orignode", "node", "status", "kind", "class",
                                           "attrb", "attrc", "attrd", "priority", "time", "number", "content"};
    QSet<QString> have;
    QStringList unknownRequired;
    rc = sqlite3_prepare_v2(m_db, "PRAGMA table_info(messages)", -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))).toLower();
        have.insert(name);
        const bool notNull = sqlite3_column_int(st, 3) != 0;
        const bool hasDefault = sqlite3_column_type(st, 4) != SQLITE_NULL;
        const bool known = std::find_if(std::begin(required), std::end(required),
                                        [&](const char* r) { return name == QLatin1String(r); }) != std::end(required);
        if (!known && notNull && !hasDefault)
            unknownRequired << name;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return rc;
    if (!have.isEmpty()) {
        QStringList missing;
        for (const char* r : required)
            if (!have.contains(QLatin1String(r)))
                missing << QLatin1String(r);
        if (!missing.isEmpty()) {
            *why = QStringLiteral("its message table lacks the column(s) %1: it is not a message store of this "
                                  "program; it is left untouched").arg(missing.join(QStringLiteral(", ")));
            return SQLITE_FORMAT;
        }
        if (!unknownRequired.isEmpty()) {
            *why = QStringLiteral("its message table requires the column(s) %1, which this program does not know how to "
                                  "fill; it is left untouched").arg(unknownRequired.join(QStringLiteral(", ")));
            return SQLITE_FORMAT;
        }
    } else if (version != 0) {
        *why = QStringLiteral("it says it is a message store (version %1) but has no message table; it is left "
                              "untouched").arg(version);
        return SQLITE_FORMAT;
    }
    if (!writable)
        return have.isEmpty() ? SQLITE_READONLY : SQLITE_OK;
    *needsSchema = have.isEmpty() || version < kSchemaVersion;
    return SQLITE_OK;
}

int SmsDatabase::createSchema()
{
    int rc = SQLITE_OK;
    {
        // A new store, or one from before the version number (same layout): made current in one
        // transaction, so that two first starts at once cannot both half-create it, and only the
        // one that really created it counts it as new.
        rc = execRetrying("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return rc;
        bool fresh = false;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, "SELECT COUNT(*) FROM sqlite_master WHERE name='messages'", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            fresh = sqlite3_column_int(st, 0) == 0;
        sqlite3_finalize(st);
        const QByteArray setVersion = "PRAGMA user_version=" + QByteArray::number(kSchemaVersion);
        const bool ok = exec("CREATE TABLE IF NOT EXISTS messages ("
                             " id INTEGER PRIMARY KEY AUTOINCREMENT, mem INTEGER NOT NULL, readflag INTEGER, orignode INTEGER,"
                             " node INTEGER, status INTEGER, kind INTEGER, class INTEGER, attrb INTEGER, attrc INTEGER,"
                             " attrd INTEGER, priority INTEGER, time BLOB, number BLOB, content BLOB)", &rc)
            && exec("CREATE INDEX IF NOT EXISTS messages_mem ON messages(mem)", &rc)
            && exec("CREATE TABLE IF NOT EXISTS contacts (id INTEGER PRIMARY KEY, name BLOB, number BLOB)", &rc)
            && exec("CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value BLOB)", &rc)
            && exec(setVersion.constData(), &rc)
            && exec("COMMIT", &rc);
        if (!ok) {
            exec("ROLLBACK");
            return rc;
        }
        m_created = m_created || fresh;
    }
    return SQLITE_OK;
}

// Nothing is written to the file before it is known to be healthy and ours: a damaged file is set
// aside as it was found, a foreign one is left as it was.
int SmsDatabase::prepareStore(bool writable, QString* why)
{
    int rc = SQLITE_OK;
    // quick_check reads every page: a damaged file is found now, not in the middle of use.
    for (int attempt = 0; attempt <= kBusyRetries; ++attempt) {
        sqlite3_stmt* check = nullptr;
        rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &check, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(check);
            if (rc == SQLITE_ROW) {
                const char* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
                if (qstrcmp(verdict, "ok") == 0) {
                    rc = SQLITE_OK;
                } else {
                    *why = QString::fromUtf8(verdict);
                    rc = SQLITE_CORRUPT;
                }
            }
        }
        sqlite3_finalize(check);
        if (!retryable(rc))
            break;
        pause(attempt);
    }
    if (rc != SQLITE_OK)
        return rc;
    bool needsSchema = false;
    rc = validateSchema(writable, why, &needsSchema);
    if (rc != SQLITE_OK || !writable)
        return rc;
    rc = execRetrying("PRAGMA journal_mode=WAL");
    if (rc != SQLITE_OK)
        return rc;
    exec("PRAGMA synchronous=NORMAL");
    exec(kJournalLimit);
    return needsSchema ? createSchema() : SQLITE_OK;
}

bool SmsDatabase::setAside(QString* where)
{
    QString aside = m_path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = aside.section(QLatin1Char('~'), 0, 0) + QStringLiteral("~%1").arg(n);
    // The log goes first: a fresh store must never find the damaged file's log beside it.
    QStringList moved;
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal"), QString()}) {
        const QString from = m_path + suffix;
        if (!QFileInfo::exists(from))
            continue;
        if (!QFile::rename(from, aside + suffix)) {
            for (const QString& back : qAsConst(moved))
                QFile::rename(aside + back, m_path + back);
            return false;
        }
        moved << suffix;
    }
    *where = aside;
    return true;
}

bool SmsDatabase::open(const QString& path, QString* note)
{
    close();
    m_path = path;
    m_created = false;
    m_setAside = false;
    QString text;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/");

    for (int attempt = 0; attempt < 2; ++attempt) {
        QString why;
        int rc = openConnection(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, uri);
        bool writable = rc == SQLITE_OK && !sqlite3_db_readonly(m_db, "main");
        if (rc == SQLITE_OK)
            rc = prepareStore(writable, &why);
        if (rc == SQLITE_OK) {
            m_state = writable ? State::Ready : State::ReadOnly;
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
            if (!writable)
                text = QStringLiteral("message store %1 cannot be written (read-only); messages are shown but no change "
                                      "can be stored").arg(path);
            break;
        }
        closeConnection();
        const int primary = rc & 0xff;
        if (primary == SQLITE_FORMAT) {
            m_state = State::Refused;
            text = QStringLiteral("message store %1 is not used: %2").arg(path, why);
            break;
        }
        if (isBusy(rc)) {
            m_state = State::Locked;
            text = QStringLiteral("message store %1 is locked by another program; it is tried again when "
                                  "messages are needed").arg(path);
            break;
        }
        if (isDamage(rc) && attempt == 0 && QFileInfo::exists(path)) {
            QString aside;
            const QString reason = why.isEmpty() ? QString::fromUtf8(sqlite3_errstr(rc)) : why;
            if (!setAside(&aside)) {
                m_state = State::Failed;
                text = QStringLiteral("message store %1 is damaged (%2) and could not be set aside; running without "
                                      "a message store").arg(path, reason);
                break;
            }
            m_setAside = true;
            text = QStringLiteral("message store %1 was damaged (%2); it was set aside as %3 and a new, empty store "
                                  "was started").arg(path, reason, aside);
            continue;
        }
        if (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM
            || primary == SQLITE_AUTH || primary == SQLITE_IOERR) {
            // The file or its folder cannot be written: read what is there, change nothing.
            if (QFileInfo::exists(path)) {
                for (const char* mode : {"?mode=ro", "?mode=ro&immutable=1"}) {
                    if (openConnection(SQLITE_OPEN_READONLY, uri + mode) == SQLITE_OK
                        && prepareStore(false, &why) == SQLITE_OK) {
                        m_state = State::ReadOnly;
                        break;
                    }
                    closeConnection();
                }
            }
            if (m_state == State::ReadOnly) {
                text = QStringLiteral("message store %1 cannot be written (read-only); messages are shown but no "
                                      "change can be stored").arg(path);
            } else {
                m_state = State::Failed;
                text = QStringLiteral("message store %1 cannot be opened (%2); running without a message store")
                           .arg(path, QString::fromUtf8(sqlite3_errstr(rc)));
            }
            break;
        }
        m_state = State::Failed;
        text = QStringLiteral("message store %1 cannot be opened (%2); running without a message store")
                   .arg(path, QString::fromUtf8(sqlite3_errstr(rc)));
        break;
    }
    if (m_state != State::Ready && m_state != State::ReadOnly)
        closeConnection();
    // Counted from the end of this try: a locked file makes the try itself wait for the lock, and
    // the calls right after it must not each wait again.
    m_lastReopen = QDateTime::currentMSecsSinceEpoch();
    if (!text.isEmpty())
        qWarning("SmsDatabase: %s", qPrintable(text));
    if (note)
        *note = text;
    return m_db != nullptr;
}

bool SmsDatabase::reopenIfLocked(QString* note)
{
    if (m_db || m_state != State::Locked)
        return m_db != nullptr;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastReopen < 1000)
        return false;
    return open(m_path, note);
}

sqlite3_stmt* SmsDatabase::statement(int slot, const char* sql)
{
    sqlite3_stmt*& st = m_statements[slot];
    if (!st && sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK) {
        qWarning("SmsDatabase: cannot prepare '%s': %s", sql, sqlite3_errmsg(m_db));
        st = nullptr;
    }
    return st;
}

void SmsDatabase::checkOtherWriters()
{
    Query q(this, SDataVersion, "PRAGMA data_version");
    if (!q || q.step() != SQLITE_ROW)
        return;
    const qint64 version = sqlite3_column_int64(q.get(), 0);
    if (version != m_dataVersion)
        forgetCounts();
    m_dataVersion = version;
}

// ---- batches -----------------------------------------------------------------------------------

QVector<PendingBatch*> SmsDatabase::threadBatches() const
{
    QVector<PendingBatch*> out;
    if (t_direct || m_batches.isEmpty())
        return out;
    const Qt::HANDLE me = QThread::currentThreadId();
    for (auto it = m_batches.constBegin(); it != m_batches.constEnd(); ++it)
        if (it.key().first == me)
            out.append(it.value().get());
    return out;
}

PendingBatch* SmsDatabase::batchFor(int mem) const
{
    const QVector<PendingBatch*> mine = threadBatches();
    PendingBatch* best = nullptr;
    for (PendingBatch* b : mine)
        if (!best || b->location() == mem || (best->location() != mem && b->location() < best->location()))
            best = b;
    return best;
}

bool SmsDatabase::inBatch() const { return !threadBatches().isEmpty(); }

SmsDatabase::BatchResult SmsDatabase::beginBatch(int location)
{
    if (!isWritable())
        return BatchResult::Failed;
    const auto key = qMakePair(QThread::currentThreadId(), location);
    if (m_batches.contains(key))
        return BatchResult::AlreadyOpen;
    m_batches.insert(key, std::make_shared<PendingBatch>(location));
    return BatchResult::Ok;
}

SmsDatabase::BatchResult SmsDatabase::endBatch(int location)
{
    const auto key = qMakePair(QThread::currentThreadId(), location);
    const std::shared_ptr<PendingBatch> batch = m_batches.take(key);
    if (!batch)
        return BatchResult::NoBatch;
    if (batch->entries().isEmpty())
        return BatchResult::Ok;
    return applyBatch(*batch) ? BatchResult::Ok : BatchResult::Failed;
}

bool SmsDatabase::applyBatch(const PendingBatch& batch)
{
    if (!isWritable())
        return false;
    // The batch's end is the moment its changes are promised: synced to disk before it returns.
    exec("PRAGMA synchronous=FULL");
    if (execRetrying("BEGIN IMMEDIATE") != SQLITE_OK) {
        exec("PRAGMA synchronous=NORMAL");
        return false;
    }
    bool ok = true;
    for (auto it = batch.entries().constBegin(); ok && it != batch.entries().constEnd(); ++it) {
        StoredMessage m = it->message;
        if (it->isNew) {
            ok = insertRow(m, true) >= 0;
        } else if (it->removed) {
            Query q(this, SRemove, "DELETE FROM messages WHERE id=? AND mem=?");
            sqlite3_bind_int(q.get(), 1, it.key());
            sqlite3_bind_int(q.get(), 2, m.mem);
            ok = q && q.step() == SQLITE_DONE;
            // No row changed: someone else removed it meanwhile; the batch wanted it gone anyway.
        } else {
            Query q(this, SUpdate,
                    "UPDATE messages SET mem=?, readflag=?, orignode=?, node=?, status=?, kind=?, class=?, attrb=?,"
                    " attrc=?, attrd=?, priority=?, time=?, number=?, content=? WHERE id=?");
            const int ints[] = {m.mem, m.readFlag, m.origNode, m.node, m.status, m.kind, m.msgClass, m.attrB, m.attrC, m.attrD, m.priority};
            for (int i = 0; i < 11; ++i)
                sqlite3_bind_int(q.get(), i + 1, ints[i]);
            bindText(q.get(), 12, m.time);
            bindText(q.get(), 13, m.number);
            bindText(q.get(), 14, m.content);
            sqlite3_bind_int(q.get(), 15, m.id);
            ok = q && q.step() == SQLITE_DONE;
            if (ok && sqlite3_changes(m_db) == 0)
                qInfo("SmsDatabase: message %d was removed by another caller during a batch that changed it", m.id);
        }
    }
    forgetCounts();
    if (ok)
        ok = exec("COMMIT");
    if (!ok) {
        qWarning("SmsDatabase: a batch of %d change(s) could not be stored: %s", int(batch.entries().size()),
                 qPrintable(lastError()));
        if (!sqlite3_get_autocommit(m_db))
            exec("ROLLBACK");
    }
    exec("PRAGMA synchronous=NORMAL");
    if (!ok)
        return false;
    sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return true;
}

int SmsDatabase::reserveId()
{
    if (!isWritable())
        return -1;
    if (execRetrying("BEGIN IMMEDIATE") != SQLITE_OK)
        return -1;
    int id = -1;
    {
        Query q(this, SSequence,
                "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name='messages'), 0),"
                " COALESCE((SELECT MAX(id) FROM messages), 0)) + 1");
        if (q && q.step() == SQLITE_ROW)
            id = sqlite3_column_int(q.get(), 0);
    }
    if (id > 0) {
        Query set(this, SSetSequence, "UPDATE sqlite_sequence SET seq=? WHERE name='messages'");
        sqlite3_bind_int(set.get(), 1, id);
        bool ok = set && set.step() == SQLITE_DONE;
        if (ok && sqlite3_changes(m_db) == 0) {
            Query add(this, SAddSequence, "INSERT INTO sqlite_sequence (name, seq) VALUES ('messages', ?)");
            sqlite3_bind_int(add.get(), 1, id);
            ok = add && add.step() == SQLITE_DONE;
        }
        if (!ok)
            id = -1;
    }
    if (id < 0 || !exec("COMMIT")) {
        if (!sqlite3_get_autocommit(m_db))
            exec("ROLLBACK");
        return -1;
    }
    return id;
}

// ---- messages ----------------------------------------------------------------------------------

int SmsDatabase::insertRow(StoredMessage& m, bool keepId)
{
    Query q = keepId ? Query(this, SInsertWithId,
                             "INSERT INTO messages (mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd,"
                             " priority, time, number, content, id) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                     : Query(this, SInsert,
                             "INSERT INTO messages (mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd,"
                             " priority, time, number, content) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!q)
        return -1;
    const int ints[] = {m.mem, m.readFlag, m.origNode, m.node, m.status, m.kind, m.msgClass, m.attrB, m.attrC, m.attrD, m.priority};
    for (int i = 0; i < 11; ++i)
        sqlite3_bind_int(q.get(), i + 1, ints[i]);
    bindText(q.get(), 12, m.time);
    bindText(q.get(), 13, m.number);
    bindText(q.get(), 14, m.content);
    if (keepId)
        sqlite3_bind_int(q.get(), 15, m.id);
    if (q.step() != SQLITE_DONE)
        return -1;
    m.id = static_cast<int>(sqlite3_last_insert_rowid(m_db));
    return m.id;
}

int SmsDatabase::insert(StoredMessage& m)
{
    if (!isWritable())
        return -1;
    if (PendingBatch* batch = batchFor(m.mem))
        return batch->insert(*this, m);
    checkOtherWriters();
    if (insertRow(m, false) < 0)
        return -1;
    if (m.mem >= 0 && m.mem < 3 && m_counts[m.mem] >= 0)
        ++m_counts[m.mem];
    return m.id;
}

int SmsDatabase::insertDurable(StoredMessage& m)
{
    Direct direct;
    exec("PRAGMA synchronous=FULL");
    const int id = insert(m);
    exec("PRAGMA synchronous=NORMAL");
    return id;
}

int SmsDatabase::insertReceived(StoredMessage& m)
{
    Direct direct;
    return insert(m);
}

bool SmsDatabase::syncToDisk()
{
    if (!isWritable())
        return false;
    Direct direct;
    // A commit in FULL mode syncs the log, and with it every transaction committed before.
    exec("PRAGMA synchronous=FULL");
    bool ok = setSetting(QStringLiteral("received-synced"), QString::number(QDateTime::currentMSecsSinceEpoch()));
    exec("PRAGMA synchronous=NORMAL");
    // Without room for that small write: a checkpoint syncs the log before it copies it.
    if (!ok)
        ok = exec("PRAGMA wal_checkpoint(PASSIVE)");
    return ok;
}

bool SmsDatabase::update(const StoredMessage& m)
{
    if (!isWritable())
        return false;
    if (PendingBatch* batch = batchFor(m.mem))
        return batch->update(*this, m);
    Query q(this, SUpdate,
            "UPDATE messages SET mem=?, readflag=?, orignode=?, node=?, status=?, kind=?, class=?, attrb=?, attrc=?,"
            " attrd=?, priority=?, time=?, number=?, content=? WHERE id=?");
    if (!q)
        return false;
    const int ints[] = {m.mem, m.readFlag, m.origNode, m.node, m.status, m.kind, m.msgClass, m.attrB, m.attrC, m.attrD, m.priority};
    for (int i = 0; i < 11; ++i)
        sqlite3_bind_int(q.get(), i + 1, ints[i]);
    bindText(q.get(), 12, m.time);
    bindText(q.get(), 13, m.number);
    bindText(q.get(), 14, m.content);
    sqlite3_bind_int(q.get(), 15, m.id);
    return q.step() == SQLITE_DONE && sqlite3_changes(m_db) == 1;
}

void SmsDatabase::readRow(sqlite3_stmt* st, StoredMessage* out)
{
    out->id = sqlite3_column_int(st, 0);
    int* ints[] = {&out->mem, &out->readFlag, &out->origNode, &out->node, &out->status, &out->kind,
                   &out->msgClass, &out->attrB, &out->attrC, &out->attrD, &out->priority};
    for (int i = 0; i < 11; ++i)
        *ints[i] = sqlite3_column_int(st, i + 1);
    out->time = columnText(st, 12);
    out->number = columnText(st, 13);
    out->content = columnText(st, 14);
}

bool SmsDatabase::getCommitted(int id, StoredMessage* out)
{
    Query q(this, SGet,
            "SELECT id, mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd, priority, time, number,"
            " content FROM messages WHERE id=?");
    if (!q)
        return false;
    sqlite3_bind_int(q.get(), 1, id);
    if (q.step() != SQLITE_ROW)
        return false;
    readRow(q.get(), out);
    return true;
}

bool SmsDatabase::get(int id, StoredMessage* out)
{
    if (!m_db || !out)
        return false;
    for (const PendingBatch* batch : threadBatches()) {
        const int found = batch->get(id, out);
        if (found >= 0)
            return found == 1;
    }
    return getCommitted(id, out);
}

bool SmsDatabase::remove(int id, int mem)
{
    if (!isWritable())
        return false;
    if (PendingBatch* batch = batchFor(mem))
        return batch->remove(*this, id, mem);
    checkOtherWriters();
    Query q(this, SRemove, "DELETE FROM messages WHERE id=? AND mem=?");
    if (!q)
        return false;
    sqlite3_bind_int(q.get(), 1, id);
    sqlite3_bind_int(q.get(), 2, mem);
    const bool removed = q.step() == SQLITE_DONE && sqlite3_changes(m_db) == 1;
    if (removed && mem >= 0 && mem < 3 && m_counts[mem] > 0)
        --m_counts[mem];
    return removed;
}

int SmsDatabase::countCommitted(int mem)
{
    if (!m_db)
        return -1;
    checkOtherWriters();
    const bool cacheable = mem >= 0 && mem < 3;
    if (cacheable && m_counts[mem] >= 0)
        return m_counts[mem];
    Query q(this, SCount, "SELECT COUNT(*) FROM messages WHERE mem=?");
    if (!q)
        return -1;
    sqlite3_bind_int(q.get(), 1, mem);
    const int n = q.step() == SQLITE_ROW ? sqlite3_column_int(q.get(), 0) : -1;
    if (cacheable)
        m_counts[mem] = n;
    return n;
}

int SmsDatabase::count(int mem)
{
    int n = countCommitted(mem);
    if (n < 0)
        return n;
    for (const PendingBatch* batch : threadBatches())
        n += batch->countDelta(mem);
    return qMax(0, n);
}

int SmsDatabase::messageCount()
{
    Query q(this, SAll, "SELECT COUNT(*) FROM messages");
    return q && q.step() == SQLITE_ROW ? sqlite3_column_int(q.get(), 0) : -1;
}

QVector<int> SmsDatabase::idsCommitted(int mem)
{
    QVector<int> out;
    Query q(this, SIds, "SELECT id FROM messages WHERE mem=? ORDER BY id");
    if (!q)
        return out;
    sqlite3_bind_int(q.get(), 1, mem);
    while (q.step() == SQLITE_ROW)
        out.append(sqlite3_column_int(q.get(), 0));
    return out;
}

QVector<int> SmsDatabase::ids(int mem)
{
    QVector<int> out = idsCommitted(mem);
    for (const PendingBatch* batch : threadBatches())
        batch->adjustIds(mem, &out);
    return out;
}

QVector<StoredMessage> SmsDatabase::messages(int mem)
{
    QVector<StoredMessage> out;
    if (!m_db)
        return out;
    {
        Query q(this, SList,
                "SELECT id, mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd, priority, time, number,"
                " content FROM messages WHERE mem=? ORDER BY id");
        if (!q)
            return out;
        sqlite3_bind_int(q.get(), 1, mem);
        while (q.step() == SQLITE_ROW) {
            out.append(StoredMessage());
            readRow(q.get(), &out.last());
        }
    }
    const QVector<PendingBatch*> batches = threadBatches();
    if (batches.isEmpty())
        return out;
    // The calling thread's batches: the ids as ids() lists them, each message as get() reads it.
    QVector<int> ids;
    ids.reserve(out.size());
    for (const StoredMessage& m : qAsConst(out))
        ids.append(m.id);
    for (const PendingBatch* batch : batches)
        batch->adjustIds(mem, &ids);
    QVector<StoredMessage> merged;
    merged.reserve(ids.size());
    for (int id : qAsConst(ids)) {
        StoredMessage m;
        int found = -1;
        for (const PendingBatch* batch : batches) {
            found = batch->get(id, &m);
            if (found >= 0)
                break;
        }
        if (found < 0) {
            const auto committed = std::lower_bound(out.cbegin(), out.cend(), id,
                                                    [](const StoredMessage& a, int b) { return a.id < b; });
            if (committed == out.cend() || committed->id != id)
                continue;
            m = *committed;
        }
        if (found != 0 && m.mem == mem)
            merged.append(m);
    }
    return merged;
}

// ---- contacts and settings ---------------------------------------------------------------------

bool SmsDatabase::addContact(const Contact& contact)
{
    if (!isWritable())
        return false;
    Query q(this, SAddContact, "INSERT INTO contacts (name, number) VALUES (?, ?)");
    if (!q)
        return false;
    bindText(q.get(), 1, contact.name);
    bindText(q.get(), 2, contact.number);
    return q.step() == SQLITE_DONE;
}

QVector<Contact> SmsDatabase::contacts()
{
    QVector<Contact> out;
    Query q(this, SContacts, "SELECT name, number FROM contacts ORDER BY id");
    if (!q)
        return out;
    while (q.step() == SQLITE_ROW)
        out.append({columnText(q.get(), 0), columnText(q.get(), 1)});
    return out;
}

QString SmsDatabase::setting(const QString& key, const QString& fallback)
{
    Query q(this, SGetSetting, "SELECT value FROM settings WHERE key=?");
    if (!q)
        return fallback;
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(q.get(), 1, k.constData(), k.size(), SQLITE_TRANSIENT);
    return q.step() == SQLITE_ROW ? columnText(q.get(), 0) : fallback;
}

bool SmsDatabase::setSetting(const QString& key, const QString& value)
{
    if (!isWritable())
        return false;
    Query q(this, SSetSetting, "INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)");
    if (!q)
        return false;
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(q.get(), 1, k.constData(), k.size(), SQLITE_TRANSIENT);
    bindText(q.get(), 2, value);
    return q.step() == SQLITE_DONE;
}

void SmsDatabase::limitGrowth(int pages)
{
    if (!m_db)
        return;
    sqlite3_stmt* st = nullptr;
    QByteArray sql = "PRAGMA max_page_count=" + QByteArray::number(pages > 0 ? pages : 1073741823);
    if (pages > 0) {
        sqlite3_prepare_v2(m_db, "PRAGMA page_count", -1, &st, nullptr);
        const int used = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
        sqlite3_finalize(st);
        sql = "PRAGMA max_page_count=" + QByteArray::number(used + pages);
    }
    sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr);
    if (st)
        sqlite3_step(st);
    sqlite3_finalize(st);
}

// ---- direct transactions -------------------------------------------------------------------------

bool SmsDatabase::beginDirect()
{
    if (!isWritable() || m_directOpen)
        return false;
    m_directOpen = execRetrying("BEGIN IMMEDIATE") == SQLITE_OK;
    return m_directOpen;
}

bool SmsDatabase::commitDirect()
{
    if (!m_directOpen)
        return false;
    m_directOpen = false;
    if (exec("COMMIT"))
        return true;
    forgetCounts();
    if (!sqlite3_get_autocommit(m_db))
        exec("ROLLBACK");
    return false;
}

