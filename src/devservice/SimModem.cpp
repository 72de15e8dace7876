#include "SimModem.h"

#include "DeviceRecords.h"
#include "EventDispatcher.h"
#include "GsmText.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const char* const kSettingSeeded = "seeded";

bool validMem(int mem) { return mem >= ZSDK_MEM_PC && mem <= ZSDK_MEM_DEVICE; }

QString timeAgo(int minutes)
{
    return QDateTime::currentDateTime().addSecs(-60LL * minutes).toString(QStringLiteral("yyyyMMddhhmmss"));
}

} // namespace

SimModem::SimModem(const ZsdkSim::Options& options, EventDispatcher* events)
    : m_events(events), m_capacity{options.pcCapacity, options.simCapacity, options.deviceCapacity}
{
    m_clock.start();
    m_state.imsi = QStringLiteral("262019876543210");
    m_readDelay[ZSDK_MEM_SIM] = options.simReadDelayMs;
    m_readDelay[ZSDK_MEM_DEVICE] = options.deviceReadDelayMs;
    m_readyAt[ZSDK_MEM_SIM] = options.simReadDelayMs;
    m_readyAt[ZSDK_MEM_DEVICE] = options.deviceReadDelayMs;

    QString path = options.databasePath;
    if (path.isEmpty())
        path = QString::fromLocal8Bit(qgetenv("ZSDK_DATABASE"));
    if (path.isEmpty())
        path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/zsdk-sim.sqlite");
    if (!m_db.open(path, &m_openNote))
        qWarning("SimModem: no message store could be opened at %s; running without storage", qPrintable(path));
    // Demo messages go only into a store this start created: never into one that replaced a
    // damaged file, and never into one that could not be opened as it is.
    if (options.seed && m_db.isWritable() && m_db.wasCreated() && !m_db.wasSetAside()
        && m_db.setting(QLatin1String(kSettingSeeded)).isEmpty() && m_db.messageCount() == 0)
        seed();
    loadContacts();
    // The card memories become readable after their read delay, as a real SIM does after start-up.
    if (options.simReadDelayMs > 0)
        scheduleReady(ZSDK_MEM_SIM, options.simReadDelayMs);
    post([this] { m_events->deliverDev(ZSDK_DEV_INIT_DONE); m_events->deliverPb(ZSDK_EVT_PB_READY); });
}

// The event thread may outlive this modem; what is still queued for it must not run.
SimModem::~SimModem()
{
    m_events->forget(this);
}

void SimModem::post(std::function<void()> task, int delayMs)
{
    m_events->post(std::move(task), delayMs, this);
}

// Only folders that hold messages: the tree's roots (12-14), Sent Items (15, a view of the PC
// outbox) and "none" (11) are no place to store a message.
int SimModem::memoryOfFolder(int node)
{
    switch (node) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 10:
        return ZSDK_MEM_PC;
    case 6: case 7:
        return ZSDK_MEM_SIM;
    case 8: case 9:
        return ZSDK_MEM_DEVICE;
    default:
        return -1;
    }
}

SimModem::StoreState SimModem::storeState() const
{
    QMutexLocker lock(&m_mutex);
    return {m_db.state(), m_db.wasSetAside(), m_openNote};
}

int SimModem::capacity(int mem) const { return validMem(mem) ? m_capacity[mem] : 0; }

int SimModem::checkMemory(int mem)
{
    if (!validMem(mem))
        return ZSDK_E_ARG;
    if (!m_db.isOpen() && !m_db.reopenIfLocked(&m_openNote))
        return ZSDK_E_STORAGE;
    if (mem == ZSDK_MEM_PC)
        return ZSDK_OK;
    if (m_state.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    if (mem == ZSDK_MEM_SIM && (m_state.simStatus != 1 || !(m_state.pinState == 1 || m_state.pinState == 8)))
        return ZSDK_E_NO_DEVICE;
    if (m_clock.elapsed() < m_readyAt[mem])
        return ZSDK_E_NOT_READY;
    return ZSDK_OK;
}

void SimModem::postStatus(int code, int delayMs)
{
    post([this, code] {
        ZSDK_EventBlock block{code, 0};
        m_events->deliverSms(ZSDK_EVT_STATUS, &block);
    }, delayMs);
}

void SimModem::postMessageEvent(int event, const StoredMessage& message, int delayMs)
{
    post([this, event, message] {
        OwnedRecord record;
        record.fill(message);
        m_events->deliverSms(event, &record.rec);
    }, delayMs);
}

// A message that arrived is announced once it is on disk. Arrivals are committed without waiting
// for the disk and the event thread syncs once for all that were committed before it announces
// the first of them: a burst of a thousand messages costs a few syncs instead of a thousand.
void SimModem::postArrival(const StoredMessage& message)
{
    post([this, message] {
        syncArrivals();
        OwnedRecord record;
        record.fill(message);
        m_events->deliverSms(ZSDK_EVT_RECEIVED, &record.rec);
    });
}

void SimModem::syncArrivals()
{
    QMutexLocker lock(&m_mutex);
    if (!m_unsyncedArrivals)
        return;
    if (!m_db.syncToDisk())
        qWarning("SimModem: received messages could not be synced to disk: %s", qPrintable(m_db.lastError()));
    m_unsyncedArrivals = false;
}

void SimModem::scheduleReady(int mem, int delayMs)
{
    m_readyAt[mem] = m_clock.elapsed() + delayMs;
    postStatus(mem == ZSDK_MEM_SIM ? ZSDK_ST_SIM_READY : ZSDK_ST_SIM_PRESENT, delayMs);
}

int SimModem::recordCount(int mem, int* count)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    const int n = m_db.count(mem);
    if (n < 0)
        return ZSDK_E_STORAGE;
    *count = n;
    return ZSDK_OK;
}

int SimModem::idList(int mem, QVector<int>* ids)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    *ids = m_db.ids(mem);
    return ZSDK_OK;
}

int SimModem::getMessage(int id, int mem, StoredMessage* out)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    StoredMessage m;
    if (!m_db.get(id, &m) || m.mem != mem)
        return ZSDK_E_NOT_FOUND;
    *out = m;
    return ZSDK_OK;
}

int SimModem::messages(int mem, QVector<StoredMessage>* out)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    *out = m_db.messages(mem);
    return ZSDK_OK;
}

int SimModem::saveMessage(StoredMessage& message) { return store(message, false); }

int SimModem::store(StoredMessage& message, bool received, bool syncLater)
{
    const int mem = memoryOfFolder(message.node);
    if (mem < 0)
        return ZSDK_E_ARG;
    int fullCode = -1;
    {
        QMutexLocker lock(&m_mutex);
        if (const int rc = checkMemory(mem))
            return rc;
        const int used = m_db.count(mem);
        if (used >= capacity(mem))
            return ZSDK_E_MEMORY_FULL;
        message.mem = mem;
        // A received message is announced as stored: it is on disk before that, whatever batch
        // the caller's thread has open.
        const int id = !received ? m_db.insert(message) : syncLater ? m_db.insertReceived(message) : m_db.insertDurable(message);
        if (id < 0)
            return ZSDK_E_STORAGE;
        if (received && syncLater)
            m_unsyncedArrivals = true;
        if (used + 1 >= capacity(mem))
            fullCode = mem == ZSDK_MEM_SIM ? ZSDK_ST_SIM_FULL : mem == ZSDK_MEM_DEVICE ? ZSDK_ST_DEVICE_FULL : ZSDK_ST_PC_FULL;
    }
    if (fullCode >= 0)
        postStatus(fullCode);
    return ZSDK_OK;
}

int SimModem::updateMessage(const StoredMessage& message)
{
    QMutexLocker lock(&m_mutex);
    StoredMessage old;
    if (!m_db.isOpen() && !m_db.reopenIfLocked(&m_openNote))
        return ZSDK_E_STORAGE;
    if (!m_db.get(message.id, &old))
        return ZSDK_E_NOT_FOUND;
    if (const int rc = checkMemory(old.mem))
        return rc;
    // An update never moves a message between storages: the folder must be one of its own.
    if (memoryOfFolder(message.node) != old.mem)
        return ZSDK_E_ARG;
    StoredMessage changed = message;
    changed.mem = old.mem;   // an update never moves a message between storages
    return m_db.update(changed) ? ZSDK_OK : ZSDK_E_STORAGE;
}

int SimModem::deleteMessage(int id, int mem)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    StoredMessage m;
    if (!m_db.get(id, &m) || m.mem != mem)
        return ZSDK_E_NOT_FOUND;
    // Cards have no trash; a message already in the trash goes for good.
    if (mem != ZSDK_MEM_PC || m.node == 4)
        return m_db.remove(id, mem) ? ZSDK_OK : ZSDK_E_STORAGE;
    m.origNode = m.node;
    m.node = 4;
    return m_db.update(m) ? ZSDK_OK : ZSDK_E_STORAGE;
}

int SimModem::removeMessage(int id, int mem)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    StoredMessage m;
    if (!m_db.get(id, &m) || m.mem != mem)
        return ZSDK_E_NOT_FOUND;
    return m_db.remove(id, mem) ? ZSDK_OK : ZSDK_E_STORAGE;
}

int SimModem::send(const void* handle, const QString& numbers, const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    QStringList recipients;
    for (const QString& n : numbers.split(separators, Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            recipients << n.trimmed();
    if (recipients.isEmpty())
        return ZSDK_E_ARG;
    const int parts = qMax(1, GsmText::segmentCount(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));

    auto pending = std::make_shared<PendingSend>();
    QVector<bool> outcome;
    int delay = 0;
    bool receipt = false;
    {
        QMutexLocker lock(&m_mutex);
        // Without the device nothing goes out, yet the send is answered part by part like any
        // failed one and kept unsent in the PC outbox: no caller waits for a result that never
        // comes, and the text is not lost.
        const bool canSend = m_state.devStatus == 3 && m_state.radioOn && m_state.netStatus == 2 && m_state.simStatus == 1;
        for (int i = 0; i < recipients.size() * parts; ++i) {
            bool ok = canSend;
            if (ok && m_failParts > 0) {
                --m_failParts;
                ok = false;
            }
            outcome.append(ok);
        }
        delay = m_sendDelay;
        m_sends.insert(handle, pending);
        receipt = m_db.setting(QStringLiteral("receipt"), QStringLiteral("0")).toInt() != 0;
    }

    // One result per recipient and segment, then the stored copy in the PC outbox.
    auto allSent = std::make_shared<bool>(true);
    auto sentTo = std::make_shared<QVector<bool>>(recipients.size(), true);
    for (int i = 0; i < outcome.size(); ++i) {
        const bool planned = outcome.at(i);
        const QString to = recipients.at(i / parts);
        const int recipient = i / parts;
        post([this, pending, planned, to, text, allSent, sentTo, recipient] {
            const bool ok = planned && !pending->cancelled;
            *allSent = *allSent && ok;
            (*sentTo)[recipient] = (*sentTo)[recipient] && ok;
            OwnedRecord record;
            record.rec.iStatus = ok ? 0 : 1;
            record.rec.iNode = 0;
            record.setTexts(to, text);
            m_events->deliverSms(ZSDK_EVT_SEND_RESULT, &record.rec);
        }, delay * (i + 1));
    }
    const int finalDelay = delay * outcome.size();
    post([this, handle, pending, numbers, text, allSent, sentTo, recipients, receipt] {
        StoredMessage sent;
        sent.node = 0;
        sent.origNode = 0;
        sent.status = *allSent ? 0 : 1;
        sent.time = currentTimeField();
        sent.number = numbers;
        sent.content = text;
        {
            QMutexLocker lock(&m_mutex);
            if (m_sends.value(handle) == pending)
                m_sends.remove(handle);
        }
        if (saveMessage(sent) != ZSDK_OK) {
            qWarning("SimModem: the sent message could not be stored");
            sent.id = -1;
        }
        OwnedRecord record;
        record.fill(sent);
        m_events->deliverSms(ZSDK_EVT_SENT_SAVED, &record.rec);
        if (receipt) {
            for (int r = 0; r < recipients.size(); ++r) {
                if (!(*sentTo)[r])
                    continue;
                ZsdkSim::Incoming report;
                report.kind = 1;
                report.number = recipients.at(r);
                inject(report);
            }
        }
    }, finalDelay);
    return ZSDK_OK;
}

int SimModem::cancelSend(const void* handle)
{
    QMutexLocker lock(&m_mutex);
    if (!handle) {
        for (auto& p : m_sends)
            p->cancelled = true;
        return ZSDK_OK;
    }
    auto it = m_sends.find(handle);
    if (it == m_sends.end())
        return ZSDK_E_NOT_FOUND;
    (*it)->cancelled = true;
    return ZSDK_OK;
}

int SimModem::beginTransaction(int mem)
{
    QMutexLocker lock(&m_mutex);
    if (!validMem(mem))
        return ZSDK_E_ARG;
    if (!m_db.isOpen())
        m_db.reopenIfLocked(&m_openNote);
    switch (m_db.beginBatch(mem)) {
    case SmsDatabase::BatchResult::Ok: return ZSDK_OK;
    case SmsDatabase::BatchResult::AlreadyOpen: return ZSDK_E_FAIL;
    default: return ZSDK_E_STORAGE;
    }
}

int SimModem::endTransaction(int mem)
{
    QMutexLocker lock(&m_mutex);
    if (!validMem(mem))
        return ZSDK_E_ARG;
    switch (m_db.endBatch(mem)) {
    case SmsDatabase::BatchResult::Ok: return ZSDK_OK;
    case SmsDatabase::BatchResult::NoBatch: return ZSDK_E_NO_TRANSACTION;
    default: return ZSDK_E_STORAGE;   // nothing of the batch was stored
    }
}

int SimModem::recordInfo(int mem, int* cap, int* used)
{
    QMutexLocker lock(&m_mutex);
    if (const int rc = checkMemory(mem))
        return rc;
    const int n = m_db.count(mem);
    if (n < 0)
        return ZSDK_E_STORAGE;
    *cap = capacity(mem);
    *used = n;
    return ZSDK_OK;
}

int SimModem::memoryList(QVector<int>* types)
{
    QMutexLocker lock(&m_mutex);
    types->clear();
    if (m_state.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    if (m_state.simStatus == 1)
        types->append(0);
    types->append(1);
    return ZSDK_OK;
}

int SimModem::setting(const QString& key, QString* value)
{
    QMutexLocker lock(&m_mutex);
    if (!m_db.isOpen() && !m_db.reopenIfLocked(&m_openNote))
        return ZSDK_E_STORAGE;
    *value = m_db.setting(key);
    return ZSDK_OK;
}

int SimModem::setSetting(const QString& key, const QString& value)
{
    QMutexLocker lock(&m_mutex);
    return m_db.setSetting(key, value) ? ZSDK_OK : ZSDK_E_STORAGE;
}

DeviceState SimModem::state()
{
    QMutexLocker lock(&m_mutex);
    return m_state;
}

int SimModem::findName(const QString& number, QString* name, bool* found)
{
    const PhoneNumber::Key key = PhoneNumber::normalize(number);
    QMutexLocker lock(&m_mutex);
    for (const auto& contact : qAsConst(m_contacts)) {
        if (PhoneNumber::matches(key, contact.first)) {
            *name = contact.second;
            *found = true;
            return ZSDK_OK;
        }
    }
    name->clear();
    *found = false;
    return ZSDK_OK;
}

QString SimModem::logDirectory()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log/");
    QDir().mkpath(dir);
    return dir;
}

void SimModem::loadContacts()
{
    QMutexLocker lock(&m_mutex);
    m_contacts.clear();
    for (const Contact& c : m_db.contacts())
        m_contacts.append({PhoneNumber::normalize(c.number), c.name});
}

// ---- control -----------------------------------------------------------------------------------

int SimModem::inject(const ZsdkSim::Incoming& in)
{
    StoredMessage m;
    m.readFlag = 1;
    m.msgClass = in.msgClass;
    m.kind = in.kind;
    m.time = in.time.isEmpty() ? currentTimeField() : in.time;
    m.number = in.number;
    m.content = in.text;
    if (in.kind == 1) {
        m.node = 5;
        m.status = in.reportStatus;
    } else if (in.kind == 2) {
        m.node = 10;
    } else {
        m.node = in.mem == ZSDK_MEM_SIM ? 7 : in.mem == ZSDK_MEM_DEVICE ? 9 : 1;
    }
    m.origNode = m.node;
    if (in.msgClass == 0) {
        // Flash messages are shown, never stored.
        postMessageEvent(ZSDK_EVT_RECEIVED, m);
        return -1;
    }
    const int rc = store(m, true, true);
    if (rc == ZSDK_E_MEMORY_FULL) {
        const int mem = memoryOfFolder(m.node);
        qWarning("SimModem: storage %d is full; incoming message from %s not stored", mem, qPrintable(in.number));
        postStatus(mem == ZSDK_MEM_SIM ? ZSDK_ST_SIM_FULL : mem == ZSDK_MEM_DEVICE ? ZSDK_ST_DEVICE_FULL : ZSDK_ST_PC_FULL);
        return -1;
    }
    if (rc != ZSDK_OK) {
        qWarning("SimModem: incoming message from %s not stored (status %d)", qPrintable(in.number), rc);
        return -1;
    }
    postArrival(m);
    return m.id;
}

bool SimModem::deviceDeletes(int id)
{
    StoredMessage m;
    {
        QMutexLocker lock(&m_mutex);
        SmsDatabase::Direct direct;   // the device acts on its own, outside any caller's batch
        if (!m_db.get(id, &m) || !m_db.remove(id, m.mem))
            return false;
    }
    post([this, id, node = m.node] {
        ZSDK_EventBlock block{id, node};
        m_events->deliverSms(ZSDK_EVT_DELETED, &block);
    });
    return true;
}

void SimModem::setSimPresent(bool present)
{
    QMutexLocker lock(&m_mutex);
    if ((m_state.simStatus == 1) == present)
        return;
    m_state.simStatus = present ? 1 : 0;
    m_state.pinState = present ? 1 : 0;
    if (!present) {
        lock.unlock();
        postStatus(ZSDK_ST_SIM_UNUSABLE);
        postStatus(ZSDK_ST_CANNOT_SEND);
        return;
    }
    postStatus(ZSDK_ST_SIM_PRESENT);
    scheduleReady(ZSDK_MEM_SIM, m_readDelay[ZSDK_MEM_SIM]);
    postStatus(ZSDK_ST_CAN_SEND, m_readDelay[ZSDK_MEM_SIM]);
}

void SimModem::setPinState(int state)
{
    QMutexLocker lock(&m_mutex);
    m_state.pinState = state;
}

void SimModem::setDevicePresent(bool present)
{
    QMutexLocker lock(&m_mutex);
    if ((m_state.devStatus == 3) == present)
        return;
    m_state.devStatus = present ? 3 : 0;
    if (!present) {
        postStatus(ZSDK_ST_DEVICE_REMOVED);
        postStatus(ZSDK_ST_CANNOT_SEND);
        return;
    }
    m_readyAt[ZSDK_MEM_DEVICE] = m_clock.elapsed() + m_readDelay[ZSDK_MEM_DEVICE];
    post([this] { m_events->deliverDev(ZSDK_DEV_INIT_DONE); });
    scheduleReady(ZSDK_MEM_SIM, m_readDelay[ZSDK_MEM_SIM]);
    if (m_state.radioOn && m_state.netStatus == 2 && m_state.simStatus == 1)
        postStatus(ZSDK_ST_CAN_SEND, m_readDelay[ZSDK_MEM_SIM]);
}

void SimModem::setRadio(bool on)
{
    QMutexLocker lock(&m_mutex);
    if (m_state.radioOn == on)
        return;
    m_state.radioOn = on;
    postStatus(on ? ZSDK_ST_CAN_SEND : ZSDK_ST_CANNOT_SEND);
}

void SimModem::setNetworkService(bool available)
{
    QMutexLocker lock(&m_mutex);
    const int status = available ? 2 : 0;
    if (m_state.netStatus == status)
        return;
    m_state.netStatus = status;
    postStatus(available ? ZSDK_ST_CAN_SEND : ZSDK_ST_CANNOT_SEND);
}

void SimModem::setMultiModeCard(bool multiMode) { QMutexLocker lock(&m_mutex); m_state.multiMode = multiMode; }
void SimModem::failMultiModeQuery(bool fail) { QMutexLocker lock(&m_mutex); m_state.multiModeQueryFails = fail; }
void SimModem::setProductType(int type) { QMutexLocker lock(&m_mutex); m_state.productType = type; }
void SimModem::setSimType(int type) { QMutexLocker lock(&m_mutex); m_state.simType = type; }

void SimModem::setReadDelay(int mem, int ms)
{
    QMutexLocker lock(&m_mutex);
    if (mem == ZSDK_MEM_SIM || mem == ZSDK_MEM_DEVICE) {
        m_readDelay[mem] = qMax(0, ms);
        m_readyAt[mem] = qMin(m_readyAt[mem], m_clock.elapsed() + m_readDelay[mem]);
    }
}

void SimModem::setCapacity(int mem, int cap)
{
    QMutexLocker lock(&m_mutex);
    if (validMem(mem))
        m_capacity[mem] = qMax(0, cap);
}

void SimModem::fillMemory(int mem)
{
    if (!validMem(mem))
        return;
    int missing = 0;
    QList<StoredMessage> stored;
    {
        QMutexLocker lock(&m_mutex);
        SmsDatabase::Direct direct;   // the device fills itself, outside any caller's batch
        missing = capacity(mem) - qMax(0, m_db.count(mem));
        const bool own = m_db.beginDirect();
        for (int i = 0; i < missing; ++i) {
            StoredMessage m;
            m.mem = mem;
            m.node = mem == ZSDK_MEM_SIM ? 7 : mem == ZSDK_MEM_DEVICE ? 9 : 1;
            m.origNode = m.node;
            m.time = timeAgo(60 * 24 + i);
            m.number = QStringLiteral("+4917100%1").arg(i, 5, 10, QLatin1Char('0'));
            m.content = QStringLiteral("Stored message %1").arg(i + 1);
            if (m_db.insert(m) >= 0)
                stored << m;
        }
        if (own && !m_db.commitDirect())
            stored.clear();
    }
    // The messages reached the memory as received ones do, and are announced the same way, so
    // that whoever shows the memory shows them.
    for (const StoredMessage& m : qAsConst(stored))
        postMessageEvent(ZSDK_EVT_RECEIVED, m);
    postStatus(mem == ZSDK_MEM_SIM ? ZSDK_ST_SIM_FULL : mem == ZSDK_MEM_DEVICE ? ZSDK_ST_DEVICE_FULL : ZSDK_ST_PC_FULL);
}

void SimModem::failNextSends(int parts) { QMutexLocker lock(&m_mutex); m_failParts = qMax(0, parts); }
void SimModem::setSendDelay(int ms) { QMutexLocker lock(&m_mutex); m_sendDelay = qMax(0, ms); }
void SimModem::limitStoreGrowth(int pages) { QMutexLocker lock(&m_mutex); m_db.limitGrowth(pages); }

QList<QPair<QString, QString>> SimModem::contactList()
{
    QMutexLocker lock(&m_mutex);
    QList<QPair<QString, QString>> out;
    for (const Contact& c : m_db.contacts())
        out.append({c.name, c.number});
    return out;
}

bool SimModem::addContact(const QString& name, const QString& number)
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_db.addContact({name, number}))
            return false;
        m_contacts.append({PhoneNumber::normalize(number), name});
    }
    signalPhoneBookReady();
    return true;
}

void SimModem::signalPhoneBookReady()
{
    post([this] { m_events->deliverPb(ZSDK_EVT_PB_READY); });
}

void SimModem::signalDeviceInitialised()
{
    post([this] { m_events->deliverDev(ZSDK_DEV_INIT_DONE); m_events->deliverDev(ZSDK_DEV_EVENT); });
}

void SimModem::seed()
{
    struct Seed { int mem, node, read, status; int minutesAgo; const char* number; const char* text; };
    static const Seed seeds[] = {
        {0, 1, 1, 0, 12, "+491712345678", "Are we still on for lunch tomorrow? I booked a table for 12:30."},
        {0, 1, 0, 0, 95, "+4930123456", "Your parcel will be delivered today between 14:00 and 16:00. Track it at www.example.com/track"},
        {0, 1, 0, 0, 60 * 26, "+447700900123", "Happy birthday! Call me when you are free."},
        {0, 1, 0, 0, 60 * 50, "22222", "Your data balance: 2.4 GB left until 31.12."},
        {0, 0, 0, 0, 30, "+491712345678", "Yes, see you at 12:30."},
        {0, 0, 0, 1, 200, "+491601112223", "Running late, start without me."},
        {0, 2, 0, 0, 400, "", "Notes for the meeting: budget, timeline, hiring"},
        {0, 5, 0, 0, 29, "+491712345678", ""},
        {1, 7, 1, 0, 45, "+491609876543", "Message stored on the card."},
        {1, 7, 0, 0, 60 * 30, "+4930123456", "Card inbox: your PIN letter was sent."},
        {1, 6, 0, 0, 60 * 31, "+491609876543", "Thanks, got it."},
        {2, 9, 1, 0, 20, "+33612345678", "Bonjour! Message in the device memory."},
        {2, 8, 0, 0, 60 * 3, "+33612345678", "Merci, a bientot."},
    };
    QMutexLocker lock(&m_mutex);
    SmsDatabase::Direct direct;
    const bool own = m_db.beginDirect();
    for (const Seed& s : seeds) {
        StoredMessage m;
        m.mem = s.mem;
        m.node = s.node;
        m.origNode = s.node;
        m.readFlag = s.read;
        m.status = s.status;
        m.kind = s.node == 5 ? 1 : 0;
        m.time = timeAgo(s.minutesAgo);
        m.number = QString::fromUtf8(s.number);
        m.content = QString::fromUtf8(s.text);
        m_db.insert(m);
    }
    m_db.addContact({QStringLiteral("Anna Schmidt"), QStringLiteral("+49 171 2345678")});
    m_db.addContact({QStringLiteral("Office"), QStringLiteral("030 123456")});
    m_db.addContact({QStringLiteral("Claire Dubois"), QStringLiteral("+33 6 12 34 56 78")});
    m_db.setSetting(QLatin1String(kSettingSeeded), QStringLiteral("1"));
    m_db.setSetting(QStringLiteral("smsc"), QStringLiteral("+491710760000"));
    if (own)
        m_db.commitDirect();
}
