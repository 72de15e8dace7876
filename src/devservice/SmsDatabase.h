// The simulated modem's storage: PC, SIM and device memories, phone book and device settings in
// one SQLite file.
//
// Why the SQLite C API and not QtSql: every thread of the plug-in (GUI, device events, worker,
// memory readers) calls the device service, and QtSql forbids using a connection from any thread
// but its creator's. One connection serves them all, guarded by the caller's mutex.
//
// Transaction rules (see docs/design.md): every call is its own short transaction and no
// statement is left holding a read snapshot when the call returns. A batch is not an open SQLite
// transaction: its changes are collected in memory (visible to the thread that opened it) and
// written in one short transaction at its end, so other callers and other processes keep reading
// and writing while it runs, and a batch that never ends leaves nothing behind.
#pragma once

#include <QHash>
#include <QString>
#include <QVector>
#include <Qt>
#include <memory>

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

class PendingBatch;

// Not thread-safe by itself: the owner serialises every call. Batches belong to the thread that
// opened them (QThread::currentThreadId()).
class SmsDatabase
{
public:
    // Written to PRAGMA user_version. A store with a higher number was made by a newer program and
    // is left untouched.
    static constexpr int kSchemaVersion = 1;

    enum class State {
        Closed,
        Ready,        // read and write
        ReadOnly,     // the file or its folder cannot be written: messages readable, changes fail
        Locked,       // another program holds the file; opening is tried again on use
        Refused,      // not a store this program may write (newer or foreign schema): not opened
        Failed        // no store could be opened or created
    };

    SmsDatabase();
    ~SmsDatabase();
    SmsDatabase(const SmsDatabase&) = delete;
    SmsDatabase& operator=(const SmsDatabase&) = delete;

    // Opens or creates the file. Only a file SQLite itself reports as corrupt or not a database is
    // renamed aside ("<name>.corrupt-<time>", its -wal and -shm renamed beside it) and replaced by
    // an empty store; a locked, read-only or foreign file is never replaced. `note` tells what
    // happened (empty when all was well). True when messages can be read.
    bool open(const QString& path, QString* note);
    // A store that was locked at open is tried again (at most once a second); true when open now.
    bool reopenIfLocked(QString* note);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isWritable() const { return m_db != nullptr && m_state == State::Ready; }
    State state() const { return m_state; }
    bool wasCreated() const { return m_created; }     // this open made a new, empty store
    bool wasSetAside() const { return m_setAside; }   // a damaged file was renamed aside
    QString path() const { return m_path; }

    // Received messages: written and synced to disk before the call returns, outside any batch.
    int insertDurable(StoredMessage& message);
    // Received messages that are announced only after syncToDisk(): committed at once (outside
    // any batch) without waiting for the disk, so that one sync serves every message of a burst.
    int insertReceived(StoredMessage& message);
    // Everything committed so far is on disk when this returns true.
    bool syncToDisk();
    int insert(StoredMessage& message);          // new id, -1 on failure
    bool update(const StoredMessage& message);   // by id
    bool get(int id, StoredMessage* out);
    bool remove(int id, int mem);
    int count(int mem);                          // kept in memory while no other program writes
    QVector<int> ids(int mem);
    // Every message of `mem` in id order, in one query: what ids() and get() for each id give.
    QVector<StoredMessage> messages(int mem);
    int messageCount();                          // all memories

    bool addContact(const Contact& contact);
    QVector<Contact> contacts();

    QString setting(const QString& key, const QString& fallback = QString());
    bool setSetting(const QString& key, const QString& value);

    // Batches, one per (thread, location). While the calling thread has a batch open, its changes
    // go into that batch (the one of the message's location if it has several) and its reads see
    // them; other threads see the store as committed.
    enum class BatchResult { Ok, NoBatch, AlreadyOpen, Failed };
    BatchResult beginBatch(int location);
    BatchResult endBatch(int location);          // Failed: nothing of the batch was stored
    bool inBatch() const;                         // the calling thread has a batch open
    // Changes made inside this scope bypass the calling thread's batches (received messages,
    // generated fill-ups).
    class Direct
    {
    public:
        Direct();
        ~Direct();
        Direct(const Direct&) = delete;
        Direct& operator=(const Direct&) = delete;

    private:
        bool m_previous;
    };

    // One short write transaction of its own (seeding, fill-ups); never inside a batch.
    bool beginDirect();
    bool commitDirect();

    QString lastError() const;
    // Lets the file grow by at most `pages` more pages (0: no limit), as a nearly full disk would.
    void limitGrowth(int pages);

    // The batch overlay's access to the committed store.
    int reserveId();
    bool getCommitted(int id, StoredMessage* out);
    int countCommitted(int mem);
    QVector<int> idsCommitted(int mem);

private:
    class Query;
    friend class Query;

    bool exec(const char* sql, int* rcOut = nullptr);
    int execRetrying(const char* sql);
    int openConnection(int flags, const QByteArray& uri);
    int prepareStore(bool writable, QString* why);
    int validateSchema(bool writable, QString* why, bool* needsSchema);
    int createSchema();
    bool setAside(QString* where);
    void closeConnection();
    sqlite3_stmt* statement(int slot, const char* sql);
    void readRow(sqlite3_stmt* st, StoredMessage* out);
    int insertRow(StoredMessage& message, bool keepId);
    bool applyBatch(const PendingBatch& batch);
    PendingBatch* batchFor(int mem) const;
    QVector<PendingBatch*> threadBatches() const;
    void checkOtherWriters();
    void forgetCounts();

    sqlite3* m_db = nullptr;
    QString m_path;
    State m_state = State::Closed;
    bool m_created = false;
    bool m_setAside = false;
    qint64 m_lastReopen = 0;
    sqlite3_stmt* m_statements[20] = {};
    // Message counts per memory (-1: not read yet). Counting scans the memory's index, and every
    // save asks whether the memory is full. PRAGMA data_version tells when another connection
    // (another program) changed the file, which drops them.
    int m_counts[3] = {-1, -1, -1};
    qint64 m_dataVersion = -1;
    bool m_directOpen = false;
    QHash<QPair<Qt::HANDLE, int>, std::shared_ptr<PendingBatch>> m_batches;
};
