#include "SmsDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

enum Slot { SInsert, SUpdate, SGet, SRemove, SCount, SIds, SAll, SAddContact, SContacts, SGetSetting, SSetSetting };

// Texts are stored as raw UTF-16 so that NUL characters and lone surrogates come back exactly.
void bindText(sqlite3_stmt* st, int index, const QString& text)
{
    sqlite3_bind_blob(st, index, text.utf16(), text.size() * 2, SQLITE_TRANSIENT);
}

QString columnText(sqlite3_stmt* st, int index)
{
    const void* data = sqlite3_column_blob(st, index);
    const int bytes = sqlite3_column_bytes(st, index);
    if (!data || bytes <= 0)
        return QString();
    return QString(reinterpret_cast<const QChar*>(data), bytes / 2);
}

} // namespace

SmsDatabase::~SmsDatabase() { close(); }

void SmsDatabase::forgetCounts()
{
    for (int& c : m_counts)
        c = -1;
}

void SmsDatabase::close()
{
    for (sqlite3_stmt*& st : m_statements) {
        if (st)
            sqlite3_finalize(st);
        st = nullptr;
    }
    forgetCounts();
    if (m_db) {
        // An open batch that never reached its end is dropped: all or nothing.
        if (m_inTransaction)
            exec("ROLLBACK");
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    m_inTransaction = false;
}

bool SmsDatabase::exec(const char* sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        qWarning("SmsDatabase: '%s' failed: %s", sql, err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

QString SmsDatabase::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
}

bool SmsDatabase::createSchema()
{
    return exec("PRAGMA journal_mode=WAL")
        && exec("PRAGMA synchronous=NORMAL")
        && exec("CREATE TABLE IF NOT EXISTS messages ("
                " id INTEGER PRIMARY KEY AUTOINCREMENT, mem INTEGER NOT NULL, readflag INTEGER, orignode INTEGER,"
                " node INTEGER, status INTEGER, kind INTEGER, class INTEGER, attrb INTEGER, attrc INTEGER,"
                " attrd INTEGER, priority INTEGER, time BLOB, number BLOB, content BLOB)")
        && exec("CREATE INDEX IF NOT EXISTS messages_mem ON messages(mem)")
        && exec("CREATE TABLE IF NOT EXISTS contacts (id INTEGER PRIMARY KEY, name BLOB, number BLOB)")
        && exec("CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value BLOB)");
}

bool SmsDatabase::open(const QString& path, QString* note)
{
    close();
    m_path = path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QByteArray native = QFile::encodeName(path);
        int rc = sqlite3_open_v2(native.constData(), &m_db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(m_db, 2000);
            // quick_check reads every page: a damaged file is found now, not in the middle of use.
            sqlite3_stmt* check = nullptr;
            bool healthy = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK
                && sqlite3_step(check) == SQLITE_ROW
                && qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
            sqlite3_finalize(check);
            if (healthy && createSchema())
                return true;
        }
        const QString reason = m_db ? lastError() : QStringLiteral("cannot open");
        sqlite3_close(m_db);
        m_db = nullptr;
        if (attempt == 1 || !QFileInfo::exists(path))
            break;
        const QString aside = path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        const bool moved = QFile::rename(path, aside);
        const QString text = QStringLiteral("message database %1 is not readable (%2); %3")
                                 .arg(path, reason, moved ? QStringLiteral("set aside as ") + aside
                                                          : QStringLiteral("could not be set aside"));
        qWarning("SmsDatabase: %s", qPrintable(text));
        if (note)
            *note = text;
        if (!moved)
            break;
    }
    return false;
}

sqlite3_stmt* SmsDatabase::statement(int slot, const char* sql)
{
    sqlite3_stmt*& st = m_statements[slot];
    if (!st && sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) != SQLITE_OK) {
        qWarning("SmsDatabase: cannot prepare '%s': %s", sql, sqlite3_errmsg(m_db));
        st = nullptr;
        return nullptr;
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return st;
}

int SmsDatabase::insert(StoredMessage& m)
{
    if (!m_db)
        return -1;
    sqlite3_stmt* st = statement(SInsert,
        "INSERT INTO messages (mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd, priority,"
        " time, number, content) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!st)
        return -1;
    const int ints[] = {m.mem, m.readFlag, m.origNode, m.node, m.status, m.kind, m.msgClass, m.attrB, m.attrC, m.attrD, m.priority};
    for (int i = 0; i < 11; ++i)
        sqlite3_bind_int(st, i + 1, ints[i]);
    bindText(st, 12, m.time);
    bindText(st, 13, m.number);
    bindText(st, 14, m.content);
    if (sqlite3_step(st) != SQLITE_DONE) {
        qWarning("SmsDatabase: insert failed: %s", sqlite3_errmsg(m_db));
        return -1;
    }
    m.id = static_cast<int>(sqlite3_last_insert_rowid(m_db));
    if (m.mem >= 0 && m.mem < 3 && m_counts[m.mem] >= 0)
        ++m_counts[m.mem];
    return m.id;
}

bool SmsDatabase::update(const StoredMessage& m)
{
    if (!m_db)
        return false;
    sqlite3_stmt* st = statement(SUpdate,
        "UPDATE messages SET mem=?, readflag=?, orignode=?, node=?, status=?, kind=?, class=?, attrb=?, attrc=?,"
        " attrd=?, priority=?, time=?, number=?, content=? WHERE id=?");
    if (!st)
        return false;
    const int ints[] = {m.mem, m.readFlag, m.origNode, m.node, m.status, m.kind, m.msgClass, m.attrB, m.attrC, m.attrD, m.priority};
    for (int i = 0; i < 11; ++i)
        sqlite3_bind_int(st, i + 1, ints[i]);
    bindText(st, 12, m.time);
    bindText(st, 13, m.number);
    bindText(st, 14, m.content);
    sqlite3_bind_int(st, 15, m.id);
    return sqlite3_step(st) == SQLITE_DONE && sqlite3_changes(m_db) == 1;
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

bool SmsDatabase::get(int id, StoredMessage* out)
{
    if (!m_db || !out)
        return false;
    sqlite3_stmt* st = statement(SGet,
        "SELECT id, mem, readflag, orignode, node, status, kind, class, attrb, attrc, attrd, priority, time, number,"
        " content FROM messages WHERE id=?");
    if (!st)
        return false;
    sqlite3_bind_int(st, 1, id);
    if (sqlite3_step(st) != SQLITE_ROW)
        return false;
    readRow(st, out);
    return true;
}

bool SmsDatabase::remove(int id, int mem)
{
    if (!m_db)
        return false;
    sqlite3_stmt* st = statement(SRemove, "DELETE FROM messages WHERE id=? AND mem=?");
    if (!st)
        return false;
    sqlite3_bind_int(st, 1, id);
    sqlite3_bind_int(st, 2, mem);
    const bool removed = sqlite3_step(st) == SQLITE_DONE && sqlite3_changes(m_db) == 1;
    if (removed && mem >= 0 && mem < 3 && m_counts[mem] > 0)
        --m_counts[mem];
    return removed;
}

int SmsDatabase::count(int mem)
{
    if (!m_db)
        return -1;
    const bool cacheable = mem >= 0 && mem < 3;
    if (cacheable && m_counts[mem] >= 0)
        return m_counts[mem];
    sqlite3_stmt* st = statement(SCount, "SELECT COUNT(*) FROM messages WHERE mem=?");
    if (!st)
        return -1;
    sqlite3_bind_int(st, 1, mem);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    if (cacheable)
        m_counts[mem] = n;
    return n;
}

int SmsDatabase::messageCount()
{
    if (!m_db)
        return -1;
    sqlite3_stmt* st = statement(SAll, "SELECT COUNT(*) FROM messages");
    return st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
}

QVector<int> SmsDatabase::ids(int mem)
{
    QVector<int> out;
    if (!m_db)
        return out;
    sqlite3_stmt* st = statement(SIds, "SELECT id FROM messages WHERE mem=? ORDER BY id");
    if (!st)
        return out;
    sqlite3_bind_int(st, 1, mem);
    while (sqlite3_step(st) == SQLITE_ROW)
        out.append(sqlite3_column_int(st, 0));
    return out;
}

bool SmsDatabase::addContact(const Contact& contact)
{
    sqlite3_stmt* st = m_db ? statement(SAddContact, "INSERT INTO contacts (name, number) VALUES (?, ?)") : nullptr;
    if (!st)
        return false;
    bindText(st, 1, contact.name);
    bindText(st, 2, contact.number);
    return sqlite3_step(st) == SQLITE_DONE;
}

QVector<Contact> SmsDatabase::contacts()
{
    QVector<Contact> out;
    sqlite3_stmt* st = m_db ? statement(SContacts, "SELECT name, number FROM contacts ORDER BY id") : nullptr;
    if (!st)
        return out;
    while (sqlite3_step(st) == SQLITE_ROW)
        out.append({columnText(st, 0), columnText(st, 1)});
    return out;
}

QString SmsDatabase::setting(const QString& key, const QString& fallback)
{
    sqlite3_stmt* st = m_db ? statement(SGetSetting, "SELECT value FROM settings WHERE key=?") : nullptr;
    if (!st)
        return fallback;
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(st, 1, k.constData(), k.size(), SQLITE_TRANSIENT);
    return sqlite3_step(st) == SQLITE_ROW ? columnText(st, 0) : fallback;
}

bool SmsDatabase::setSetting(const QString& key, const QString& value)
{
    sqlite3_stmt* st = m_db ? statement(SSetSetting, "INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)") : nullptr;
    if (!st)
        return false;
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(st, 1, k.constData(), k.size(), SQLITE_TRANSIENT);
    bindText(st, 2, value);
    return sqlite3_step(st) == SQLITE_DONE;
}

bool SmsDatabase::begin()
{
    if (!m_db || m_inTransaction)
        return false;
    m_inTransaction = exec("BEGIN IMMEDIATE");
    return m_inTransaction;
}

bool SmsDatabase::commit()
{
    if (!m_db || !m_inTransaction)
        return false;
    m_inTransaction = false;
    return exec("COMMIT");
}

bool SmsDatabase::rollback()
{
    if (!m_db || !m_inTransaction)
        return false;
    m_inTransaction = false;
    forgetCounts();
    return exec("ROLLBACK");
}
