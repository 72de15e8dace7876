// The simulated modem's storage: PC, SIM and device memories, phone book and device settings in
// one SQLite file.
//
// Why the SQLite C API and not QtSql: every thread of the plug-in (GUI, device events, worker,
// memory readers) calls the device service, and a batch opened by the worker must not shut the
// others out. One connection shared by all of them, guarded by the caller's mutex, gives that;
// QtSql forbids using a connection from any thread but its creator's.
#pragma once

#include <QString>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

struct StoredMessage {
    int id = -1;
    int mem = 0;          // 0 PC, 1 SIM, 2 device
    int readFlag = 0;
    int origNode = 0;
    int node = 0;
    int status = 0;
    int kind = 0;
    int msgClass = 3;
    int attrB = 0;
    int attrC = 0;
    int attrD = 0;
    int priority = 0;
    QString time;         // "yyyyMMddhhmmss"
    QString number;
    QString content;
};

struct Contact {
    QString name;
    QString number;
};

// Not thread-safe by itself: the owner serialises every call.
class SmsDatabase
{
public:
    SmsDatabase() = default;
    ~SmsDatabase();
    SmsDatabase(const SmsDatabase&) = delete;
    SmsDatabase& operator=(const SmsDatabase&) = delete;

    // Opens or creates the file. A file that is not a readable database is renamed aside
    // ("<name>.corrupt-<time>") and an empty store is created in its place; `note` tells what
    // happened. False only when no store at all could be created.
    bool open(const QString& path, QString* note);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    int insert(StoredMessage& message);          // new id, -1 on failure
    bool update(const StoredMessage& message);   // by id
    bool get(int id, StoredMessage* out);
    bool remove(int id, int mem);
    int count(int mem);                          // kept in memory once read
    QVector<int> ids(int mem);
    int messageCount();                          // all memories

    bool addContact(const Contact& contact);
    QVector<Contact> contacts();

    QString setting(const QString& key, const QString& fallback = QString());
    bool setSetting(const QString& key, const QString& value);

    bool begin();
    bool commit();
    bool rollback();
    bool inTransaction() const { return m_inTransaction; }

    QString lastError() const;

private:
    bool exec(const char* sql);
    bool createSchema();
    sqlite3_stmt* statement(int slot, const char* sql);
    void readRow(sqlite3_stmt* st, StoredMessage* out);

    sqlite3* m_db = nullptr;
    QString m_path;
    bool m_inTransaction = false;
    sqlite3_stmt* m_statements[16] = {};
    // Message counts per memory (-1: not read yet). Counting scans the memory's index, and every
    // save asks whether the memory is full.
    int m_counts[3] = {-1, -1, -1};
    void forgetCounts();
};
