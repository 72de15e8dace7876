#include "MMModem.h"

#include "GsmText.h"
#include "MMSession.h"
#include "SimControl.h"
#include "zsdk.h"
#include "SimModem.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QSemaphore>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace {

// ModemManagerQt keeps one process-wide manager object that lives on the thread which first
// used it; so there is one ModemManager thread for the whole process, kept across restarts of
// the service and ended when the application object goes.
QThread* g_thread = nullptr;

void endServiceThread()
{
    if (g_thread) {
        g_thread->quit();
        g_thread->wait(3000);
    }
}

QThread* serviceThread()
{
    if (!g_thread) {
        g_thread = new QThread;
        g_thread->setObjectName(QStringLiteral("zsdk-modemmanager"));
        g_thread->start();
        qAddPostRoutine(endServiceThread);
    }
    return g_thread;
}

// Without a capacity from ModemManager: the usual sizes, or what is stored when that is more.
const int kSimPlaces = 50;
const int kDevicePlaces = 100;

ZsdkSim::Options storeOptions(const MMOptions& options)
{
    ZsdkSim::Options o;
    o.databasePath = options.databasePath;
    if (o.databasePath.isEmpty())
        o.databasePath = QString::fromLocal8Bit(qgetenv("ZSDK_MODEM_DATABASE"));
    if (o.databasePath.isEmpty())
        o.databasePath = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/zsdk-modem.sqlite");
    o.seed = false;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    // The card rows in this store only keep ids and read flags; the cards' sizes are the modem's.
    o.simCapacity = 1 << 30;
    o.deviceCapacity = 1 << 30;
    return o;
}

} // namespace

MMModem::MMModem(const MMOptions& options, EventDispatcher* events)
    : m_shared(std::make_shared<MMShared>()), m_timeoutMs(qMax(100, options.timeoutMs))
{
    m_pc = std::make_unique<SimModem>(storeOptions(options), events);
    m_shared->state.devStatus = 0;
    m_session = new MMSession(m_shared, m_pc.get(), events, options);
    m_session->moveToThread(serviceThread());
    QMetaObject::invokeMethod(m_session, [s = m_session] { s->start(); }, Qt::QueuedConnection);
}

MMModem::~MMModem()
{
    stop();
    if (!g_thread->isRunning()) {
        // The application object is gone and took the thread's event loop with it.
        delete m_session;
        return;
    }
    auto done = std::make_shared<QSemaphore>();
    QObject::connect(m_session, &QObject::destroyed, [done] { done->release(); });
    m_session->deleteLater();
    if (!done->tryAcquire(1, m_timeoutMs)) {
        // The session is stuck in a call and still uses the store: leave both to the process end.
        qWarning("zsdk: the ModemManager session did not end within %d ms", m_timeoutMs);
        m_pc.release();
    }
}

void MMModem::stop()
{
    m_shared->stopped = true;
    m_pc->stop();
}

bool MMModem::waitForFirstLook()
{
    QMutexLocker lock(&m_shared->mutex);
    QDeadlineTimer deadline(m_timeoutMs);
    while (!m_shared->firstLookDone) {
        if (!m_shared->looked.wait(&m_shared->mutex, deadline)) {
            m_shared->problem = QStringLiteral("ModemManager did not answer within %1 s").arg(m_timeoutMs / 1000.0);
            return false;
        }
    }
    return m_shared->attached;
}

QString MMModem::problem() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->problem;
}

int MMModem::onServiceThread(std::function<int(MMSession&)> job)
{
    if (QThread::currentThread() == serviceThread())
        return job(*m_session);
    struct Pending {
        QSemaphore done;
        int rc = ZSDK_E_FAIL;
    };
    auto pending = std::make_shared<Pending>();
    QMetaObject::invokeMethod(m_session, [s = m_session, job, pending] {
        pending->rc = job(*s);
        pending->done.release();
    }, Qt::QueuedConnection);
    if (!pending->done.tryAcquire(1, m_timeoutMs)) {
        qWarning("zsdk: ModemManager did not answer within %d ms", m_timeoutMs);
        QMutexLocker lock(&m_shared->mutex);
        m_shared->problem = QStringLiteral("ModemManager did not answer within %1 s").arg(m_timeoutMs / 1000.0);
        return ZSDK_E_FAIL;
    }
    return pending->rc;
}

int MMModem::cardReadable(int mem) const
{
    if (!m_shared->attached)
        return ZSDK_E_NO_DEVICE;
    const DeviceState& s = m_shared->state;
    if (mem == ZSDK_MEM_SIM && (s.simStatus != 1 || !(s.pinState == 1 || s.pinState == 8)))
        return ZSDK_E_NO_DEVICE;
    if (mem == ZSDK_MEM_DEVICE && !m_shared->deviceMemory)
        return ZSDK_E_NO_DEVICE;
    if (!m_shared->listed)
        return ZSDK_E_NOT_READY;
    return ZSDK_OK;
}

int MMModem::recordCount(int mem, int* count)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->recordCount(mem, count);
    if (mem != ZSDK_MEM_SIM && mem != ZSDK_MEM_DEVICE)
        return ZSDK_E_ARG;
    QMutexLocker lock(&m_shared->mutex);
    if (const int rc = cardReadable(mem))
        return rc;
    *count = int(std::count_if(m_shared->cards.cbegin(), m_shared->cards.cend(),
                               [mem](const MMCardMessage& c) { return c.message.mem == mem; }));
    return ZSDK_OK;
}

int MMModem::idList(int mem, QVector<int>* ids)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->idList(mem, ids);
    if (mem != ZSDK_MEM_SIM && mem != ZSDK_MEM_DEVICE)
        return ZSDK_E_ARG;
    QMutexLocker lock(&m_shared->mutex);
    if (const int rc = cardReadable(mem))
        return rc;
    ids->clear();
    for (const MMCardMessage& c : qAsConst(m_shared->cards))
        if (c.message.mem == mem)
            ids->append(c.message.id);
    return ZSDK_OK;
}

int MMModem::getMessage(int id, int mem, StoredMessage* out)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->getMessage(id, mem, out);
    if (mem != ZSDK_MEM_SIM && mem != ZSDK_MEM_DEVICE)
        return ZSDK_E_ARG;
    QMutexLocker lock(&m_shared->mutex);
    if (const int rc = cardReadable(mem))
        return rc;
    for (const MMCardMessage& c : qAsConst(m_shared->cards)) {
        if (c.message.id == id && c.message.mem == mem) {
            *out = c.message;
            return ZSDK_OK;
        }
    }
    return ZSDK_E_NOT_FOUND;
}

int MMModem::messages(int mem, QVector<StoredMessage>* out)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->messages(mem, out);
    if (mem != ZSDK_MEM_SIM && mem != ZSDK_MEM_DEVICE)
        return ZSDK_E_ARG;
    QMutexLocker lock(&m_shared->mutex);
    if (const int rc = cardReadable(mem))
        return rc;
    out->clear();
    for (const MMCardMessage& c : qAsConst(m_shared->cards))
        if (c.message.mem == mem)
            out->append(c.message);
    return ZSDK_OK;
}

int MMModem::saveMessage(StoredMessage& message)
{
    const int mem = SimModem::memoryOfFolder(message.node);
    if (mem < 0)
        return ZSDK_E_ARG;
    if (mem == ZSDK_MEM_PC)
        return m_pc->saveMessage(message);
    {
        QMutexLocker lock(&m_shared->mutex);
        if (const int rc = cardReadable(mem))
            return rc;
    }
    auto copy = std::make_shared<StoredMessage>(message);
    const int rc = onServiceThread([copy, mem](MMSession& s) { return s.storeOnCard(*copy, mem); });
    if (rc == ZSDK_OK)
        message = *copy;
    return rc;
}

int MMModem::updateMessage(const StoredMessage& message)
{
    {
        QMutexLocker lock(&m_shared->mutex);
        for (MMCardMessage& c : m_shared->cards) {
            if (c.message.id != message.id)
                continue;
            // ModemManager keeps no read flag: the local store does, for this card message.
            c.message.readFlag = message.readFlag;
            const StoredMessage row = c.message;
            lock.unlock();
            return m_pc->updateMessage(row);
        }
    }
    StoredMessage old;
    if (m_pc->getMessage(message.id, ZSDK_MEM_PC, &old) != ZSDK_OK)
        return ZSDK_E_NOT_FOUND;   // a card row without its card message is not changed
    return m_pc->updateMessage(message);
}

int MMModem::deleteMessage(int id, int mem)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->deleteMessage(id, mem);
    return removeMessage(id, mem);
}

int MMModem::removeMessage(int id, int mem)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->removeMessage(id, mem);
    if (mem != ZSDK_MEM_SIM && mem != ZSDK_MEM_DEVICE)
        return ZSDK_E_ARG;
    {
        QMutexLocker batches(&m_batchMutex);
        auto open = m_batches.find(QThread::currentThreadId());
        if (open != m_batches.end()) {
            QMutexLocker lock(&m_shared->mutex);
            if (const int rc = cardReadable(mem))
                return rc;
            const QPair<int, int> deletion(id, mem);
            const bool onCard = std::any_of(m_shared->cards.cbegin(), m_shared->cards.cend(),
                                            [&](const MMCardMessage& c) { return c.message.id == id && c.message.mem == mem; });
            if (!onCard || open->cardDeletions.contains(deletion))
                return ZSDK_E_NOT_FOUND;
            open->cardDeletions.append(deletion);
            return ZSDK_OK;
        }
    }
    return deleteFromCardNow(id, mem);
}

int MMModem::deleteFromCardNow(int id, int mem)
{
    {
        QMutexLocker lock(&m_shared->mutex);
        if (const int rc = cardReadable(mem))
            return rc;
    }
    return onServiceThread([id, mem](MMSession& s) { return s.deleteFromCard(id, mem); });
}

int MMModem::send(const void* handle, const QString& numbers, const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    QStringList recipients;
    for (const QString& n : numbers.split(separators, Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            recipients << n.trimmed();
    if (recipients.isEmpty())
        return ZSDK_E_ARG;
    {
        QMutexLocker lock(&m_shared->mutex);
        if (!m_shared->attached)
            return ZSDK_E_NO_DEVICE;
    }
    const int parts = qMax(1, GsmText::segmentCount(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
    return onServiceThread([handle, recipients, text, parts](MMSession& s) { return s.send(handle, recipients, text, parts); });
}

int MMModem::cancelSend(const void* handle)
{
    return onServiceThread([handle](MMSession& s) { return s.cancelSend(handle); });
}

int MMModem::beginTransaction(int mem)
{
    QMutexLocker batches(&m_batchMutex);
    const int rc = m_pc->beginTransaction(mem);
    if (rc == ZSDK_OK)
        m_batches[QThread::currentThreadId()].locations.insert(mem);
    return rc;
}

int MMModem::endTransaction(int mem)
{
    QVector<QPair<int, int>> deletions;
    int rc = ZSDK_OK;
    {
        QMutexLocker batches(&m_batchMutex);
        rc = m_pc->endTransaction(mem);
        auto open = m_batches.find(QThread::currentThreadId());
        if (rc == ZSDK_E_NO_TRANSACTION || open == m_batches.end())
            return rc;
        open->locations.remove(mem);
        if (rc != ZSDK_OK) {
            if (!open->cardDeletions.isEmpty())
                qWarning("zsdk: the PC store could not keep a batch (status %d); %d message(s) stay on the card",
                         rc, int(open->cardDeletions.size()));
            open->cardDeletions.clear();
        }
        if (!open->locations.isEmpty())
            return rc;   // the thread's other batch still decides about its deletions
        deletions = open->cardDeletions;
        m_batches.erase(open);
    }
    // The batch is stored: only now may the card copies go. One that cannot go stays where it
    // is, beside its PC copy, and the next read of the card shows it there.
    for (const auto& deletion : qAsConst(deletions))
        if (const int failed = deleteFromCardNow(deletion.first, deletion.second))
            qWarning("zsdk: message %d was stored on the PC but could not be deleted from the card (status %d); it is on both",
                     deletion.first, failed);
    return rc;
}

int MMModem::recordInfo(int mem, int* capacity, int* used)
{
    if (mem == ZSDK_MEM_PC)
        return m_pc->recordInfo(mem, capacity, used);
    int count = 0;
    if (const int rc = recordCount(mem, &count))
        return rc;
    *used = count;
    *capacity = qMax(count, mem == ZSDK_MEM_SIM ? kSimPlaces : kDevicePlaces);
    return ZSDK_OK;
}

int MMModem::memoryList(QVector<int>* types)
{
    QMutexLocker lock(&m_shared->mutex);
    types->clear();
    if (!m_shared->attached)
        return ZSDK_E_NO_DEVICE;
    if (m_shared->state.simStatus == 1)
        types->append(0);
    if (m_shared->deviceMemory)
        types->append(1);
    return ZSDK_OK;
}

int MMModem::setting(const QString& key, QString* value) { return m_pc->setting(key, value); }
int MMModem::setSetting(const QString& key, const QString& value) { return m_pc->setSetting(key, value); }

DeviceState MMModem::state()
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->state;
}

int MMModem::findName(const QString& number, QString* name, bool* found) { return m_pc->findName(number, name, found); }
QString MMModem::logDirectory() { return m_pc->logDirectory(); }

QString MMModem::deviceName()
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->model.isEmpty() ? QStringLiteral("ModemManager (no modem)") : m_shared->model;
}
