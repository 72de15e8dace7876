#include "MMSession.h"

#include "DeviceRecords.h"
#include "EventDispatcher.h"
#include "SimModem.h"

#include <ModemManagerQt/Manager>
#include <ModemManagerQt/Sim>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDateTime>
#include <QTimer>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ModemManager1");
const QString kSmsInterface = QStringLiteral("org.freedesktop.ModemManager1.Sms");
const QString kReferenceKey = QStringLiteral("modem-report-ref/%1");

int memOfStorage(MMSmsStorage storage)
{
    switch (storage) {
    case MM_SMS_STORAGE_SM: return ZSDK_MEM_SIM;
    case MM_SMS_STORAGE_ME: return ZSDK_MEM_DEVICE;
    default: return -1;
    }
}

const char* const kNoTime = "00000000000000";

QString timeField(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyyMMddhhmmss")) : QLatin1String(kNoTime);
}

// GSM delivery states (3GPP TS 23.040 9.2.3.15) as the report folder's status: 0 delivered,
// 0x22 still trying, anything else failed.
int reportStatus(MMSmsDeliveryState state)
{
    const uint value = uint(state);
    if (value <= 0x1F)
        return 0;
    if (value >= 0x20 && value <= 0x3F)
        return 0x22;
    return int(value == 0 ? 1 : value);
}

QString key(const StoredMessage& m) { return m.time + QChar(0x1F) + m.number + QChar(0x1F) + m.content; }

} // namespace

struct MMSession::SendJob {
    const void* handle = nullptr;
    QStringList recipients;
    QString text;
    int parts = 1;
    int index = 0;
    bool cancelled = false;
    bool finished = false;
    QVector<bool> results;
    QVector<uint> references;
    int sentId = -1;
};

MMSession::MMSession(std::shared_ptr<MMShared> shared, SimModem* pc, EventDispatcher* events, const MMOptions& options)
    : m_shared(std::move(shared)), m_pc(pc), m_events(events), m_options(options)
{
}

MMSession::~MMSession()
{
    for (const auto& c : qAsConst(m_connections))
        disconnect(c);
}

void MMSession::start()
{
    ModemManager::Notifier* notifier = ModemManager::notifier();
    connect(notifier, &ModemManager::Notifier::modemAdded, this, [this](const QString&) {
        if (!m_device)
            lookForModem();
    });
    connect(notifier, &ModemManager::Notifier::modemRemoved, this, [this](const QString& uni) {
        if (m_device && m_device->uni() == uni)
            detach(QStringLiteral("The modem was removed"));
    });
    connect(notifier, &ModemManager::Notifier::serviceDisappeared, this, [this] {
        if (m_device)
            detach(QStringLiteral("ModemManager stopped; the modem is not reachable"));
    });
    connect(notifier, &ModemManager::Notifier::serviceAppeared, this, [this] {
        if (!m_device)
            lookForModem();
    });
    lookForModem();
    QMutexLocker lock(&m_shared->mutex);
    m_shared->firstLookDone = true;
    m_shared->looked.wakeAll();
}

void MMSession::lookForModem()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        note(QStringLiteral("The system bus is not reachable (%1); no real modem can be used").arg(bus.lastError().message()));
        return;
    }
    QString withoutMessaging;
    for (const ModemManager::ModemDevice::Ptr& device : ModemManager::modemDevices()) {
        if (device->hasInterface(ModemManager::ModemDevice::MessagingInterface)) {
            attach(device);
            return;
        }
        if (ModemManager::Modem::Ptr modem = device->modemInterface())
            withoutMessaging = modem->model();
    }
    if (!withoutMessaging.isEmpty()) {
        note(QStringLiteral("The modem \"%1\" offers no short messages").arg(withoutMessaging));
        return;
    }
    // ModemManagerQt only logs why it found nothing; ask the daemon directly to say why.
    QDBusMessage ping = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/ModemManager1"),
                                                       QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const QDBusMessage reply = bus.call(ping, QDBus::Block, m_options.timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        note(describe(reply.errorName(), reply.errorMessage()));
    else
        note(QStringLiteral("ModemManager sees no modem"));
}

void MMSession::attach(const ModemManager::ModemDevice::Ptr& device)
{
    m_device = device;
    m_modem = device->modemInterface();
    m_messaging = device->messagingInterface();
    m_3gpp = device->interface(ModemManager::ModemDevice::GsmInterface).objectCast<ModemManager::Modem3gpp>();
    if (!m_modem || !m_messaging) {
        m_device.clear();
        note(QStringLiteral("The modem could not be read from ModemManager"));
        return;
    }
    m_modem->setTimeout(m_options.timeoutMs);
    m_messaging->setTimeout(m_options.timeoutMs);
    const QString model = m_modem->model().isEmpty() ? m_modem->manufacturer() : m_modem->model();
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->attached = true;
        m_shared->model = model.isEmpty() ? QStringLiteral("Modem") : model;
        m_shared->problem.clear();
        m_shared->deviceMemory = m_messaging->supportedStorages().contains(MM_SMS_STORAGE_ME);
    }
    m_connections << connect(m_modem.data(), &ModemManager::Modem::stateChanged, this, [this] { refreshState(); })
                  << connect(m_modem.data(), &ModemManager::Modem::unlockRequiredChanged, this, [this] { refreshState(); })
                  << connect(m_modem.data(), &ModemManager::Modem::powerStateChanged, this, [this] { refreshState(); })
                  << connect(m_modem.data(), &ModemManager::Modem::simPathChanged, this, [this] {
                         // The binding replaces its SIM object on the same signal; read it afterwards.
                         QTimer::singleShot(0, this, [this] { refreshState(); });
                     })
                  << connect(m_messaging.data(), &ModemManager::ModemMessaging::messageAdded, this,
                             [this](const QString& path, bool received) {
                                 if (m_own.contains(path) || m_sms.contains(path))
                                     return;
                                 if (ModemManager::Sms::Ptr sms = m_messaging->findMessage(path)) {
                                     if (received)
                                         m_arrivals.insert(path);
                                     watch(sms);
                                     consider(path);
                                 }
                             })
                  << connect(m_messaging.data(), &ModemManager::ModemMessaging::messageDeleted, this,
                             [this](const QString& path) { onDeleted(path); });
    if (m_3gpp)
        m_connections << connect(m_3gpp.data(), &ModemManager::Modem3gpp::registrationStateChanged, this, [this] { refreshState(); });
    qInfo("zsdk: using the modem %s (%s) through ModemManager", qPrintable(model), qPrintable(device->uni()));
    refreshState();
    listMessages();
    if (!m_shared->stopped)
        m_events->post([events = m_events] { events->deliverDev(ZSDK_DEV_INIT_DONE); });
    postStatus(ZSDK_ST_SIM_READY);
}

void MMSession::detach(const QString& why)
{
    for (const auto& c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    m_device.clear();
    m_modem.clear();
    m_messaging.clear();
    m_3gpp.clear();
    m_sms.clear();
    m_arrivals.clear();
    m_own.clear();
    m_deleting.clear();
    m_lastCanSend = -1;
    m_lastSim = -1;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->attached = false;
        m_shared->listed = false;
        m_shared->cards.clear();
        m_shared->state.devStatus = 0;
        m_shared->model.clear();
    }
    note(why);
    postStatus(ZSDK_ST_DEVICE_REMOVED);
    // Whatever was being sent did not go out.
    if (m_current && !m_current->finished) {
        auto job = m_current;
        while (!job->finished)
            recipientDone(job, false, why);
    }
}

void MMSession::refreshState()
{
    if (!m_modem)
        return;
    DeviceState s;
    s.devStatus = 3;
    const QString simPath = m_modem->simPath();
    const bool simMissing = simPath.isEmpty() || simPath == QLatin1String("/")
        || (m_modem->state() == MM_MODEM_STATE_FAILED && m_modem->stateFailedReason() == MM_MODEM_STATE_FAILED_REASON_SIM_MISSING);
    s.simStatus = simMissing ? 0 : 1;
    switch (m_modem->unlockRequired()) {
    case MM_MODEM_LOCK_SIM_PUK:
    case MM_MODEM_LOCK_SIM_PUK2:
        s.pinState = 3;
        break;
    case MM_MODEM_LOCK_NONE:
    case MM_MODEM_LOCK_UNKNOWN:
        s.pinState = 1;
        break;
    default:
        s.pinState = 2;
        break;
    }
    if (simMissing)
        s.pinState = 0;
    const MMModemPowerState power = m_modem->powerState();
    s.radioOn = power != MM_MODEM_POWER_STATE_LOW && power != MM_MODEM_POWER_STATE_OFF;
    bool registered = false;
    if (m_3gpp) {
        switch (m_3gpp->registrationState()) {
        case MM_MODEM_3GPP_REGISTRATION_STATE_HOME:
        case MM_MODEM_3GPP_REGISTRATION_STATE_ROAMING:
        case MM_MODEM_3GPP_REGISTRATION_STATE_HOME_SMS_ONLY:
        case MM_MODEM_3GPP_REGISTRATION_STATE_ROAMING_SMS_ONLY:
        case MM_MODEM_3GPP_REGISTRATION_STATE_HOME_CSFB_NOT_PREFERRED:
        case MM_MODEM_3GPP_REGISTRATION_STATE_ROAMING_CSFB_NOT_PREFERRED:
            registered = true;
            break;
        default:
            break;
        }
    } else {
        registered = m_modem->state() >= MM_MODEM_STATE_REGISTERED;
    }
    s.netStatus = registered ? 2 : 0;
    if (!simMissing && m_device->sim())
        s.imsi = m_device->sim()->imsi();
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->state = s;
    }
    const int sim = s.simStatus == 1 && (s.pinState == 1 || s.pinState == 8) ? 1 : 0;
    if (m_lastSim != -1 && sim != m_lastSim) {
        if (sim) {
            postStatus(ZSDK_ST_SIM_PRESENT);
            listMessages();
            postStatus(ZSDK_ST_SIM_READY);
        } else {
            note(s.simStatus == 0 ? QStringLiteral("No SIM card in the modem") : QStringLiteral("The SIM card needs its PIN"));
            postStatus(ZSDK_ST_SIM_UNUSABLE);
        }
    } else if (m_lastSim == -1 && !sim) {
        note(s.simStatus == 0 ? QStringLiteral("No SIM card in the modem") : QStringLiteral("The SIM card needs its PIN"));
        postStatus(ZSDK_ST_SIM_UNUSABLE);
    }
    m_lastSim = sim;
    const int canSend = s.radioOn && s.netStatus == 2 && sim ? 1 : 0;
    if (canSend != m_lastCanSend)
        postStatus(canSend ? ZSDK_ST_CAN_SEND : ZSDK_ST_CANNOT_SEND);
    if (m_lastCanSend != -1 && !s.radioOn && canSend != m_lastCanSend)
        note(QStringLiteral("The modem's radio is off"));
    m_lastCanSend = canSend;
}

bool MMSession::isCardMessage(const ModemManager::Sms::Ptr& sms) const
{
    if (memOfStorage(sms->storage()) < 0)
        return false;
    if (sms->pduType() == MM_SMS_PDU_TYPE_STATUS_REPORT)
        return false;
    if (sms->state() == MM_SMS_STATE_RECEIVING)
        return false;
    // A message ModemManager could not turn into text (a WAP push, a binary message) has no
    // place among the card messages.
    return !(sms->text().isEmpty() && !sms->data().isEmpty());
}

StoredMessage MMSession::cardRecord(const ModemManager::Sms::Ptr& sms, int mem, int msgClass) const
{
    StoredMessage m;
    m.mem = mem;
    const bool outgoing = sms->pduType() == MM_SMS_PDU_TYPE_SUBMIT || sms->pduType() == MM_SMS_PDU_TYPE_CDMA_SUBMIT;
    m.node = mem == ZSDK_MEM_SIM ? (outgoing ? 6 : 7) : (outgoing ? 8 : 9);
    m.origNode = m.node;
    m.status = outgoing && sms->state() != MM_SMS_STATE_SENT ? 1 : 0;
    m.time = timeField(sms->timestamp());
    m.number = sms->number();
    m.content = sms->text();
    m.msgClass = msgClass;
    m.readFlag = outgoing ? 0 : 1;
    return m;
}

int MMSession::readClass(const QString& path)
{
    // ModemManagerQt reads a property "SmsClass" that ModemManager does not publish (and then
    // answers 0, flash, for every message); the property is "Class", -1 for no class.
    QDBusMessage get = QDBusMessage::createMethodCall(kService, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kSmsInterface << QStringLiteral("Class");
    const QDBusMessage reply = QDBusConnection::systemBus().call(get, QDBus::Block, m_options.timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 3;
    const int value = reply.arguments().constFirst().value<QDBusVariant>().variant().toInt();
    return value >= 0 && value <= 3 ? value : 3;
}

void MMSession::listMessages()
{
    if (!m_messaging)
        return;
    for (const ModemManager::Sms::Ptr& sms : m_messaging->messages()) {
        if (!m_sms.contains(sms->uni()))
            watch(sms);
    }
    bool simUsable = false;
    {
        QMutexLocker lock(&m_shared->mutex);
        simUsable = m_shared->state.simStatus == 1 && (m_shared->state.pinState == 1 || m_shared->state.pinState == 8);
    }
    // Status reports found on the modem belong in the report folder.
    for (const ModemManager::Sms::Ptr& sms : m_sms) {
        if (sms->pduType() == MM_SMS_PDU_TYPE_STATUS_REPORT && sms->state() != MM_SMS_STATE_RECEIVING)
            m_arrivals.insert(sms->uni());
    }
    for (const QString& path : m_arrivals.values())
        consider(path);

    // Card messages get the ids and read flags the local store kept for them: matched by
    // storage, time, number and text, since ModemManager's paths change when it restarts.
    QVector<MMCardMessage> cards;
    for (int mem : {int(ZSDK_MEM_SIM), int(ZSDK_MEM_DEVICE)}) {
        if (mem == ZSDK_MEM_SIM && !simUsable)
            continue;
        QVector<int> ids;
        m_pc->idList(mem, &ids);
        QMultiHash<QString, StoredMessage> kept;
        for (int id : qAsConst(ids)) {
            StoredMessage row;
            if (m_pc->getMessage(id, mem, &row) == ZSDK_OK)
                kept.insert(key(row), row);
        }
        for (const ModemManager::Sms::Ptr& sms : m_sms) {
            if (memOfStorage(sms->storage()) != mem || !isCardMessage(sms) || m_arrivals.contains(sms->uni()))
                continue;
            StoredMessage m = cardRecord(sms, mem, readClass(sms->uni()));
            auto it = kept.find(key(m));
            if (it == kept.end() && m.time == QLatin1String(kNoTime)) {
                // ModemManager keeps no time for a message made with Create (a copy put on the
                // card); its row keeps the time the message had, so match it without.
                for (it = kept.begin(); it != kept.end(); ++it)
                    if (it->number == m.number && it->content == m.content)
                        break;
            }
            if (it != kept.end()) {
                // The row remembers what ModemManager does not: id, read flag, the folder the
                // user put the message in and, for copies, its time.
                m.id = it->id;
                m.readFlag = it->readFlag;
                m.node = it->node;
                m.origNode = it->origNode;
                m.time = it->time;
                kept.erase(it);
            } else if (m_pc->saveMessage(m) != ZSDK_OK) {
                qWarning("zsdk: no local id could be kept for a card message from %s", qPrintable(m.number));
                continue;
            }
            cards.append({sms->uni(), m});
        }
        // Rows of messages no longer on the card only held their id and read flag.
        for (const StoredMessage& gone : qAsConst(kept))
            m_pc->removeMessage(gone.id, mem);
    }
    std::sort(cards.begin(), cards.end(), [](const MMCardMessage& a, const MMCardMessage& b) { return a.message.id < b.message.id; });
    QMutexLocker lock(&m_shared->mutex);
    m_shared->cards = cards;
    m_shared->listed = true;
}

void MMSession::watch(const ModemManager::Sms::Ptr& sms)
{
    const QString path = sms->uni();
    sms->setTimeout(m_options.timeoutMs);
    m_sms.insert(path, sms);
    // The binding emits stateChanged before it has taken the other properties of the same
    // change (the complete text of a multipart message): look again once the event is done.
    connect(sms.data(), &ModemManager::Sms::stateChanged, this, [this, path] {
        QTimer::singleShot(0, this, [this, path] { consider(path); });
    });
}

void MMSession::consider(const QString& path)
{
    ModemManager::Sms::Ptr sms = m_sms.value(path);
    if (!sms || !m_arrivals.contains(path))
        return;
    if (sms->state() == MM_SMS_STATE_RECEIVING)
        return;   // the other parts are still on their way
    m_arrivals.remove(path);
    arrived(sms);
}

void MMSession::arrived(const ModemManager::Sms::Ptr& sms)
{
    const QString path = sms->uni();
    if (sms->pduType() == MM_SMS_PDU_TYPE_STATUS_REPORT) {
        importReport(sms);
        return;
    }
    if (sms->text().isEmpty() && !sms->data().isEmpty()) {
        qWarning("zsdk: a message from %s holds %d bytes of data and no text (a WAP push or binary message); it is removed from the modem",
                 qPrintable(sms->number()), int(sms->data().size()));
        note(QStringLiteral("A message from %1 could not be shown (no text, only data)").arg(sms->number()));
        deleteOnModem(path, "undecodable message");
        return;
    }
    const int msgClass = readClass(path);
    const int mem = memOfStorage(sms->storage());
    if (msgClass == 0) {
        // A flash message is shown once and not kept.
        StoredMessage flash = cardRecord(sms, mem < 0 ? ZSDK_MEM_PC : mem, 0);
        flash.id = -1;
        flash.mem = ZSDK_MEM_PC;
        flash.node = 1;
        flash.origNode = 1;
        flash.msgClass = 0;
        postRecord(ZSDK_EVT_RECEIVED, flash);
        deleteOnModem(path, "flash message shown");
        return;
    }
    bool toPc = m_options.saveToPc || mem < 0;
    if (toPc) {
        StoredMessage m = cardRecord(sms, ZSDK_MEM_PC, msgClass);
        m.mem = ZSDK_MEM_PC;
        m.node = 1;
        m.origNode = 1;
        m.readFlag = 1;
        const int rc = m_pc->saveReceived(m);
        if (rc == ZSDK_OK) {
            postRecord(ZSDK_EVT_RECEIVED, m);
            // Only now that the PC copy is committed may the card copy go.
            if (mem >= 0)
                deleteOnModem(path, "moved to the PC");
            return;
        }
        qWarning("zsdk: a received message could not be stored on the PC (status %d); it stays on the modem", rc);
        note(QStringLiteral("A received message could not be stored on the PC; it stays on the card"));
        if (mem < 0)
            return;
    }
    StoredMessage m = cardRecord(sms, mem, msgClass);
    if (m_pc->saveMessage(m) != ZSDK_OK) {
        qWarning("zsdk: no local id could be kept for a card message from %s", qPrintable(m.number));
        return;
    }
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->cards.append({path, m});
    }
    postRecord(ZSDK_EVT_RECEIVED, m);
}

void MMSession::importReport(const ModemManager::Sms::Ptr& sms)
{
    StoredMessage report;
    report.mem = ZSDK_MEM_PC;
    report.node = 5;
    report.origNode = 5;
    report.kind = 1;
    report.readFlag = 1;
    report.status = reportStatus(sms->deliveryState());
    report.number = sms->number();
    report.time = timeField(sms->dischargeTimestamp().isValid() ? sms->dischargeTimestamp() : sms->timestamp());
    report.attrC = int(sms->messageReference());
    report.attrD = -1;
    QString pairing;
    m_pc->setting(kReferenceKey.arg(sms->messageReference()), &pairing);
    const QStringList parts = pairing.split(QLatin1Char('\t'));
    if (parts.size() == 2)
        report.attrD = parts.at(0).toInt();   // the sent message this report is about
    if (m_pc->saveMessage(report) != ZSDK_OK) {
        qWarning("zsdk: a delivery report for %s could not be stored; it stays on the modem", qPrintable(report.number));
        return;
    }
    postRecord(ZSDK_EVT_RECEIVED, report);
    deleteOnModem(sms->uni(), "report moved to the PC");
}

void MMSession::deleteOnModem(const QString& path, const char* why)
{
    if (!m_messaging || m_deleting.contains(path))
        return;
    m_deleting.insert(path);
    auto* watcher = new QDBusPendingCallWatcher(m_messaging->deleteMessage(path), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [path, why](QDBusPendingCallWatcher* w) {
        if (w->isError())
            qWarning("zsdk: %s could not be deleted on the modem (%s): %s", qPrintable(path), why, qPrintable(w->error().message()));
        w->deleteLater();
    });
}

void MMSession::onDeleted(const QString& path)
{
    m_deleting.remove(path);
    m_sms.remove(path);
    m_arrivals.remove(path);
    m_own.remove(path);
    StoredMessage gone;
    bool found = false;
    {
        QMutexLocker lock(&m_shared->mutex);
        for (int i = 0; i < m_shared->cards.size(); ++i) {
            if (m_shared->cards.at(i).path == path) {
                gone = m_shared->cards.takeAt(i).message;
                found = true;
                break;
            }
        }
    }
    if (!found)
        return;
    m_pc->removeMessage(gone.id, gone.mem);
    if (!m_shared->stopped) {
        m_events->post([events = m_events, id = gone.id, node = gone.node] {
            ZSDK_EventBlock block{id, node};
            events->deliverSms(ZSDK_EVT_DELETED, &block);
        });
    }
}

int MMSession::storeOnCard(StoredMessage& message, int mem)
{
    if (!m_messaging)
        return ZSDK_E_NO_DEVICE;
    QVariantMap props;
    props.insert(QStringLiteral("number"), message.number);
    props.insert(QStringLiteral("text"), message.content);
    QDBusPendingReply<QDBusObjectPath> created = m_messaging->createMessage(props);
    created.waitForFinished();
    if (created.isError()) {
        note(describe(created.error().name(), created.error().message()));
        return ZSDK_E_FAIL;
    }
    const QString path = created.value().path();
    m_own.insert(path);
    // A created message shows in messages() only once Added went through the event loop.
    ModemManager::Sms::Ptr sms(new ModemManager::Sms(path), &QObject::deleteLater);
    sms->setTimeout(m_options.timeoutMs);
    QDBusPendingReply<> stored = sms->store(mem == ZSDK_MEM_SIM ? MM_SMS_STORAGE_SM : MM_SMS_STORAGE_ME);
    stored.waitForFinished();
    if (stored.isError()) {
        deleteOnModem(path, "not stored");
        const QString name = stored.error().name();
        if (name.contains(QLatin1String("MemoryFull")) || name.contains(QLatin1String("SimFull"))) {
            postStatus(mem == ZSDK_MEM_SIM ? ZSDK_ST_SIM_FULL : ZSDK_ST_DEVICE_FULL);
            return ZSDK_E_MEMORY_FULL;
        }
        note(describe(name, stored.error().message()));
        return ZSDK_E_FAIL;
    }
    m_sms.insert(path, sms);
    message.mem = mem;
    if (m_pc->saveMessage(message) != ZSDK_OK)
        return ZSDK_E_STORAGE;
    QMutexLocker lock(&m_shared->mutex);
    m_shared->cards.append({path, message});
    return ZSDK_OK;
}

int MMSession::deleteFromCard(int id, int mem)
{
    if (!m_messaging)
        return ZSDK_E_NO_DEVICE;
    QString path;
    {
        QMutexLocker lock(&m_shared->mutex);
        for (const MMCardMessage& c : qAsConst(m_shared->cards))
            if (c.message.id == id && c.message.mem == mem)
                path = c.path;
    }
    if (path.isEmpty())
        return ZSDK_E_NOT_FOUND;
    QDBusPendingReply<> reply = m_messaging->deleteMessage(path);
    reply.waitForFinished();
    if (reply.isError()) {
        note(describe(reply.error().name(), reply.error().message()));
        return ZSDK_E_FAIL;
    }
    {
        QMutexLocker lock(&m_shared->mutex);
        for (int i = 0; i < m_shared->cards.size(); ++i)
            if (m_shared->cards.at(i).path == path)
                m_shared->cards.removeAt(i--);
    }
    m_sms.remove(path);
    m_pc->removeMessage(id, mem);
    return ZSDK_OK;
}

// ---- sending ---------------------------------------------------------------------------------

int MMSession::send(const void* handle, const QStringList& recipients, const QString& text, int parts)
{
    auto job = std::make_shared<SendJob>();
    job->handle = handle;
    job->recipients = recipients;
    job->text = text;
    job->parts = parts;
    job->results.fill(false, recipients.size());
    job->references.fill(0, recipients.size());
    m_sendQueue.append(job);
    if (!m_current)
        QTimer::singleShot(0, this, [this] { nextSend(); });
    return ZSDK_OK;
}

int MMSession::cancelSend(const void* handle)
{
    bool found = false;
    auto mark = [&](const std::shared_ptr<SendJob>& job) {
        if (job && (!handle || job->handle == handle)) {
            job->cancelled = true;
            found = true;
        }
    };
    mark(m_current);
    for (const auto& job : qAsConst(m_sendQueue))
        mark(job);
    return found || !handle ? ZSDK_OK : ZSDK_E_NOT_FOUND;
}

void MMSession::nextSend()
{
    if (m_current || m_sendQueue.isEmpty())
        return;
    m_current = m_sendQueue.takeFirst();
    sendOne(m_current);
}

void MMSession::sendOne(const std::shared_ptr<SendJob>& job)
{
    if (job->cancelled) {
        recipientDone(job, false, QStringLiteral("cancelled"));
        return;
    }
    if (!m_messaging) {
        recipientDone(job, false, QStringLiteral("no modem"));
        return;
    }
    const int index = job->index;
    QVariantMap props;
    props.insert(QStringLiteral("number"), job->recipients.at(index));
    props.insert(QStringLiteral("text"), job->text);
    QString value;
    if (m_pc->setting(QStringLiteral("validity"), &value) == ZSDK_OK && value.toInt() >= 60)
        props.insert(QStringLiteral("validity"), uint(value.toInt() / 60));   // ModemManager takes minutes
    if (m_pc->setting(QStringLiteral("receipt"), &value) == ZSDK_OK && value.toInt() != 0)
        props.insert(QStringLiteral("delivery-report-request"), true);
    if (m_pc->setting(QStringLiteral("smsc"), &value) == ZSDK_OK && !value.trimmed().isEmpty())
        props.insert(QStringLiteral("smsc"), value.trimmed());
    auto* created = new QDBusPendingCallWatcher(m_messaging->createMessage(props), this);
    connect(created, &QDBusPendingCallWatcher::finished, this, [this, job, index](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (job->finished || job->index != index)
            return;   // the modem went away meanwhile; the result has been given
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            recipientDone(job, false, describe(reply.error().name(), reply.error().message()));
            return;
        }
        const QString path = reply.value().path();
        m_own.insert(path);
        ModemManager::Sms::Ptr sms(new ModemManager::Sms(path), &QObject::deleteLater);
        sms->setTimeout(m_options.timeoutMs);
        m_sms.insert(path, sms);
        // The reference arrives after the state turned to sent: pair reports by this one.
        connect(sms.data(), &ModemManager::Sms::messageReferenceChanged, this, [this, job, index, path](uint reference) {
            if (reference == 0)
                return;
            rememberReference(job, index, reference);
            deleteOnModem(path, "sent");
        });
        auto* sent = new QDBusPendingCallWatcher(sms->send(), this);
        connect(sent, &QDBusPendingCallWatcher::finished, this, [this, job, index, path, sms](QDBusPendingCallWatcher* s) {
            s->deleteLater();
            if (job->finished || job->index != index)
                return;
            if (s->isError()) {
                deleteOnModem(path, "not sent");
                recipientDone(job, false, describe(s->error().name(), s->error().message()));
                return;
            }
            if (sms->messageReference() != 0) {
                rememberReference(job, index, sms->messageReference());
                deleteOnModem(path, "sent");
            }
            recipientDone(job, true, QString());
        });
    });
}

void MMSession::recipientDone(const std::shared_ptr<SendJob>& job, bool ok, const QString& error)
{
    const int index = job->index;
    const QString to = job->recipients.at(index);
    job->results[index] = ok;
    if (!ok) {
        if (job->cancelled)
            qInfo("zsdk: the message to %s was cancelled", qPrintable(to));
        else
            note(QStringLiteral("The message to %1 was not sent: %2").arg(to, error));
    }
    if (!m_shared->stopped) {
        for (int part = 0; part < job->parts; ++part) {
            m_events->post([events = m_events, ok, to, text = job->text] {
                OwnedRecord record;
                record.rec.iStatus = ok ? 0 : 1;
                record.rec.iNode = 0;
                record.setTexts(to, text);
                events->deliverSms(ZSDK_EVT_SEND_RESULT, &record.rec);
            });
        }
    }
    ++job->index;
    if (job->index < job->recipients.size())
        sendOne(job);
    else
        finishJob(job);
}

void MMSession::finishJob(const std::shared_ptr<SendJob>& job)
{
    job->finished = true;
    StoredMessage sent;
    sent.mem = ZSDK_MEM_PC;
    sent.node = 0;
    sent.origNode = 0;
    sent.status = job->results.contains(false) ? 1 : 0;
    sent.time = currentTimeField();
    sent.number = job->recipients.join(QLatin1Char(';'));
    sent.content = job->text;
    sent.attrC = job->references.isEmpty() ? 0 : int(job->references.first());
    if (m_pc->saveMessage(sent) != ZSDK_OK) {
        qWarning("zsdk: the sent message could not be stored");
        note(QStringLiteral("The sent message could not be stored on the PC"));
        sent.id = -1;
    }
    job->sentId = sent.id;
    for (int i = 0; i < job->references.size(); ++i)
        if (job->references.at(i) != 0)
            rememberReference(job, i, job->references.at(i));
    postRecord(ZSDK_EVT_SENT_SAVED, sent);
    if (m_current == job)
        m_current.reset();
    QTimer::singleShot(0, this, [this] { nextSend(); });
}

void MMSession::rememberReference(const std::shared_ptr<SendJob>& job, int recipient, uint reference)
{
    job->references[recipient] = reference;
    if (job->sentId >= 0)
        m_pc->setSetting(kReferenceKey.arg(reference), QStringLiteral("%1\t%2").arg(job->sentId).arg(job->recipients.at(recipient)));
}

// ---- events and notes ------------------------------------------------------------------------

void MMSession::postStatus(int code)
{
    if (m_shared->stopped)
        return;
    m_events->post([events = m_events, code] {
        ZSDK_EventBlock block{code, 0};
        events->deliverSms(ZSDK_EVT_STATUS, &block);
    });
}

void MMSession::postRecord(int event, const StoredMessage& message)
{
    if (m_shared->stopped)
        return;
    m_events->post([events = m_events, event, message] {
        OwnedRecord record;
        record.fill(message);
        events->deliverSms(event, &record.rec);
    });
}

void MMSession::note(const QString& text)
{
    qWarning("zsdk: %s", qPrintable(text));
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->problem = text;
    }
    if (m_options.note && !m_shared->stopped)
        m_events->post([note = m_options.note, text] { note(text); });
}

QString MMSession::describe(const QString& errorName, const QString& message) const
{
    if (errorName.contains(QLatin1String("AccessDenied")) || errorName.contains(QLatin1String("Unauthorized"))
        || errorName.contains(QLatin1String("NotAuthorized")))
        return QStringLiteral("Permission denied by ModemManager: %1").arg(message);
    // D-Bus's own time-outs; ModemManager's NetworkTimeout is the network's answer and keeps its text.
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply") || errorName == QLatin1String("org.freedesktop.DBus.Error.Timeout")
        || errorName == QLatin1String("org.freedesktop.DBus.Error.TimedOut"))
        return QStringLiteral("ModemManager did not answer within %1 s").arg(m_options.timeoutMs / 1000.0);
    if (errorName.contains(QLatin1String("ServiceUnknown")) || errorName.contains(QLatin1String("NameHasNoOwner")))
        return QStringLiteral("ModemManager is not running");
    if (errorName.contains(QLatin1String("UnknownObject")) || errorName.contains(QLatin1String("UnknownMethod")))
        return QStringLiteral("The modem went away");
    return message.isEmpty() ? errorName : message;
}
