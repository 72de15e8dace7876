// The C API: argument checks, record and list ownership, and the hand-over to the backend.

#include "zsdk.h"

#include "DeviceChoice.h"
#include "DeviceRecords.h"
#include "EventDispatcher.h"
#include "GsmText.h"
#include "MMModem.h"
#include "SimControl.h"
#include "SimModem.h"

#include <QMutex>
#include <QSet>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <unordered_map>
#include <vector>

static_assert(sizeof(void*) != 4 || sizeof(SMSDeviceRecord) == 92, "SMSDeviceRecord must be 92 bytes on 32-bit");
static_assert(offsetof(SMSDeviceRecord, szTime) == 44, "SMSDeviceRecord: the time field follows the eleven integers");
static_assert(sizeof(void*) != 4 || (offsetof(SMSDeviceRecord, pNumber) == 84 && offsetof(SMSDeviceRecord, pContent) == 88),
              "SMSDeviceRecord: text pointers at 84 and 88 on the 32-bit layout");

namespace {

struct Service {
    // The dispatcher outlives the modem (the modem posts to it until its last line), but its
    // thread stops first: no event task may run once the modem is gone.
    std::unique_ptr<EventDispatcher> events;
    std::unique_ptr<DeviceBackend> modem;
    SimModem* sim = nullptr;   // the same object when the simulated modem is in use
    QString problem;           // why the chosen device is not the one in use
    ~Service()
    {
        if (modem)
            modem->stop();
        if (events)
            events->stop();
        sim = nullptr;
        modem.reset();
        events.reset();
    }
};

QMutex g_serviceMutex;
ZsdkSim::Options g_options;
QString g_device;              // empty: $ZSDK_DEVICE, else "sim"
ZsdkDevice::ModemOptions g_modemOptions;
QMutex g_noteMutex;
std::function<void(const QString&)> g_noteHandler;

void deliverNote(const QString& text)
{
    std::function<void(const QString&)> handler;
    {
        QMutexLocker lock(&g_noteMutex);
        handler = g_noteHandler;
    }
    if (handler)
        handler(text);
}

QString chosenDevice()
{
    if (!g_device.isEmpty())
        return g_device;
    const QString env = QString::fromLocal8Bit(qgetenv("ZSDK_DEVICE")).trimmed().toLower();
    return env == QLatin1String("modemmanager") || env == QLatin1String("auto") ? env : QStringLiteral("sim");
}

// Caller holds g_serviceMutex.
void startBackend(Service* s)
{
    const QString device = chosenDevice();
    if (device != QLatin1String("sim")) {
        MMOptions o;
        o.databasePath = g_modemOptions.databasePath;
        o.timeoutMs = g_modemOptions.timeoutMs;
        o.saveToPc = g_modemOptions.saveToPc;
        o.note = deliverNote;
        auto mm = std::make_unique<MMModem>(o, s->events.get());
        const bool found = mm->waitForFirstLook();
        if (found || device == QLatin1String("modemmanager")) {
            s->problem = mm->problem();
            s->modem = std::move(mm);
            return;
        }
        s->problem = mm->problem() + QStringLiteral("; using the simulated modem");
        qInfo("zsdk: %s", qPrintable(s->problem));
        mm->stop();
        mm.reset();
    }
    auto sim = std::make_unique<SimModem>(g_options, s->events.get());
    s->sim = sim.get();
    s->modem = std::move(sim);
}
std::unique_ptr<Service> g_service;
// Every call looks the service up without a lock: it counts itself in g_inFlight and then reads
// g_running. Shutdown clears g_running first and waits for g_inFlight to drain before anything is
// destroyed, so a call that found the service can finish with it.
std::atomic<Service*> g_running{nullptr};
std::atomic<int> g_inFlight{0};
bool g_stopping = false;   // under g_serviceMutex: a shut-down is under way
bool g_final = false;      // under g_serviceMutex: the library is being unloaded

// Answers every call while the service is shutting down.
class StoppedBackend : public DeviceBackend
{
public:
    int recordCount(int, int*) override { return ZSDK_E_SHUTDOWN; }
    int idList(int, QVector<int>*) override { return ZSDK_E_SHUTDOWN; }
    int getMessage(int, int, StoredMessage*) override { return ZSDK_E_SHUTDOWN; }
    int saveMessage(StoredMessage&) override { return ZSDK_E_SHUTDOWN; }
    int updateMessage(const StoredMessage&) override { return ZSDK_E_SHUTDOWN; }
    int deleteMessage(int, int) override { return ZSDK_E_SHUTDOWN; }
    int removeMessage(int, int) override { return ZSDK_E_SHUTDOWN; }
    int send(const void*, const QString&, const QString&) override { return ZSDK_E_SHUTDOWN; }
    int cancelSend(const void*) override { return ZSDK_E_SHUTDOWN; }
    int beginTransaction(int) override { return ZSDK_E_SHUTDOWN; }
    int endTransaction(int) override { return ZSDK_E_SHUTDOWN; }
    int recordInfo(int, int*, int*) override { return ZSDK_E_SHUTDOWN; }
    int memoryList(QVector<int>*) override { return ZSDK_E_SHUTDOWN; }
    int setting(const QString&, QString*) override { return ZSDK_E_SHUTDOWN; }
    int setSetting(const QString&, const QString&) override { return ZSDK_E_SHUTDOWN; }
    DeviceState state() override
    {
        DeviceState s;
        s.devStatus = 0;
        return s;
    }
    int findName(const QString&, QString*, bool*) override { return ZSDK_E_SHUTDOWN; }
    QString logDirectory() override { return QString(); }
};

// Defined before the final shut-down below, so that it outlives it: calls made while the library
// is unloaded still find it.
StoppedBackend g_stopped;

void shutdownAtExit()
{
    ZsdkSim::Shutdown();
    QMutexLocker lock(&g_serviceMutex);
    g_final = true;
}

Service* startService()
{
    QMutexLocker lock(&g_serviceMutex);
    if (g_stopping || g_final)
        return nullptr;
    // At process exit the service must stop before the statics its event thread uses are
    // destroyed: exit handlers run in reverse order of registration, so the handler is registered
    // after those statics exist.
    static const bool stopsAtExit = [] {
        currentTimeField();
        return std::atexit(shutdownAtExit) == 0;
    }();
    Q_UNUSED(stopsAtExit);
    if (!g_service) {
        auto s = std::make_unique<Service>();
        s->events = std::make_unique<EventDispatcher>();
        startBackend(s.get());
        g_service = std::move(s);
        g_running.store(g_service.get());
    }
    return g_service.get();
}

// The service for the length of one call (null while it shuts down); started on first use.
class ServiceRef
{
public:
    ServiceRef()
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            g_inFlight.fetch_add(1);
            m_service = g_running.load();
            if (m_service)
                return;
            g_inFlight.fetch_sub(1);
            if (!startService())
                return;
        }
    }
    ~ServiceRef()
    {
        if (m_service)
            g_inFlight.fetch_sub(1);
    }
    ServiceRef(const ServiceRef&) = delete;
    ServiceRef& operator=(const ServiceRef&) = delete;

    explicit operator bool() const { return m_service != nullptr; }
    DeviceBackend* operator->() const { return m_service ? m_service->modem.get() : &g_stopped; }
    SimModem* sim() const { return m_service ? m_service->sim : nullptr; }
    EventDispatcher* events() const { return m_service ? m_service->events.get() : nullptr; }
    Service* get() const { return m_service; }

private:
    Service* m_service = nullptr;
};

// Shuts the service down when the library is unloaded (process exit), before the globals above
// are gone; later calls fail instead of starting it again.
struct FinalShutdown {
    ~FinalShutdown()
    {
        ZsdkSim::Shutdown();
        QMutexLocker lock(&g_serviceMutex);
        g_final = true;
    }
};

// Records and id lists handed out; anything else given to a Release function is refused.
QMutex g_ownedMutex;
std::unordered_map<SMSDeviceRecord*, std::unique_ptr<OwnedRecord>> g_records;
QSet<int32_t*> g_idLists;

// A message list handed out: the records and the messages they were made from, whose texts
// (each NUL-terminated in its own QString) the records point at. The texts are not copied a
// second time: a large store's list held them twice until released.
struct OwnedList {
    std::vector<SMSDeviceRecord> records;
    QVector<StoredMessage> messages;
};
std::unordered_map<SMSDeviceRecord*, std::unique_ptr<OwnedList>> g_lists;

ServiceRef modem() { return {}; }

template <typename Fn>
ZSDK_STATUS withEvents(Fn fn)
{
    ServiceRef s;
    if (!s)
        return ZSDK_E_SHUTDOWN;
    return fn(s.events()) ? ZSDK_OK : ZSDK_E_ARG;
}

OwnedRecord* ownedRecord(SMSDeviceRecord* record)
{
    QMutexLocker lock(&g_ownedMutex);
    auto it = g_records.find(record);
    return it == g_records.end() ? nullptr : it->second.get();
}

ZSDK_WCHAR* newWide(const QString& text)
{
    auto* out = new ZSDK_WCHAR[text.size() + 1];
    std::memcpy(out, text.utf16(), size_t(text.size()) * 2);
    out[text.size()] = 0;
    return out;
}

int getInt(const char* key, int32_t* value, int fallback)
{
    if (!value)
        return ZSDK_E_ARG;
    QString text;
    if (const int rc = modem()->setting(QLatin1String(key), &text))
        return rc;
    bool ok = false;
    const int v = text.toInt(&ok);
    *value = ok ? v : fallback;
    return ZSDK_OK;
}

int setInt(const char* key, int32_t value)
{
    return modem()->setSetting(QLatin1String(key), QString::number(value));
}

} // namespace

extern "C" {

ZSDK_STATUS ZSDK_SMSSrv_RegCallBack(ZSDK_SMSCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->addSmsCallback(cb); }); }
ZSDK_STATUS ZSDK_SMSSrv_UnRegCallBack(ZSDK_SMSCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->removeSmsCallback(cb); }); }
ZSDK_STATUS ZSDK_PBSrv_RegisterPBCallback(ZSDK_SMSCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->addPbCallback(cb); }); }
ZSDK_STATUS ZSDK_PBSrv_UnRegisterPBCallback(ZSDK_SMSCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->removePbCallback(cb); }); }
ZSDK_STATUS ZSDK_DevSrv_RegisterDevInitEventCallback(ZSDK_DevInitCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->addDevCallback(cb); }); }
ZSDK_STATUS ZSDK_DevSrv_UnRegisterDevInitEventCallback(ZSDK_DevInitCallback cb) { return withEvents([cb](EventDispatcher* e) { return e->removeDevCallback(cb); }); }

ZSDK_STATUS ZSDK_SMSSrv_SMSRecordSetGetRecordCount(int32_t* count, int32_t location)
{
    if (!count)
        return ZSDK_E_ARG;
    int n = 0;
    const int rc = modem()->recordCount(location, &n);
    if (rc == ZSDK_OK)
        *count = n;
    return rc;
}

ZSDK_STATUS ZSDK_SMSSrv_GetSmsIdList(int32_t** ids, int32_t* count, int32_t location)
{
    if (!ids || !count)
        return ZSDK_E_ARG;
    QVector<int> list;
    if (const int rc = modem()->idList(location, &list))
        return rc;
    if (*count > 0 && list.size() > *count)
        list.resize(*count);
    auto* array = new int32_t[size_t(qMax(1, list.size()))];
    for (int i = 0; i < list.size(); ++i)
        array[i] = list.at(i);
    {
        QMutexLocker lock(&g_ownedMutex);
        g_idLists.insert(array);
    }
    *ids = array;
    *count = list.size();
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_ReleaseSmsIdList(int32_t** ids)
{
    if (!ids || !*ids)
        return ZSDK_E_ARG;
    QMutexLocker lock(&g_ownedMutex);
    if (!g_idLists.remove(*ids))
        return ZSDK_E_ARG;
    delete[] *ids;
    *ids = nullptr;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_CreateSMSRecord(SMSDeviceRecord** record, const ZSDK_WCHAR* number, const ZSDK_WCHAR* text)
{
    if (!record)
        return ZSDK_E_ARG;
    auto owned = std::make_unique<OwnedRecord>();
    const QString time = currentTimeField();
    for (int i = 0; i < time.size() && i < 19; ++i)
        owned->rec.szTime[i] = time.at(i).unicode();
    owned->setTexts(fromWide(number), fromWide(text));
    SMSDeviceRecord* out = &owned->rec;
    {
        QMutexLocker lock(&g_ownedMutex);
        g_records.emplace(out, std::move(owned));
    }
    *record = out;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_ReleaseSMSRecord(SMSDeviceRecord** record)
{
    if (!record || !*record)
        return ZSDK_E_ARG;
    QMutexLocker lock(&g_ownedMutex);
    if (g_records.erase(*record) == 0)
        return ZSDK_E_ARG;
    *record = nullptr;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_GetMsg(SMSDeviceRecord* record, int32_t location)
{
    if (!record)
        return ZSDK_E_ARG;
    OwnedRecord* owned = ownedRecord(record);
    if (!owned)
        return ZSDK_E_ARG;   // the text pointers of a caller's record cannot be replaced safely
    StoredMessage m;
    if (const int rc = modem()->getMessage(record->iMsgId, location, &m))
        return rc;
    owned->fill(m);
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_GetMsgList(SMSDeviceRecord** records, int32_t* count, int32_t location)
{
    if (!records || !count)
        return ZSDK_E_ARG;
    QVector<StoredMessage> messages;
    if (const int rc = modem()->messages(location, &messages))
        return rc;
    if (*count > 0 && messages.size() > *count)
        messages.resize(*count);
    auto list = std::make_unique<OwnedList>();
    // One record more than needed, so that an empty list still has an address of its own.
    list->records.resize(size_t(messages.size()) + 1);
    list->messages = std::move(messages);
    // Read through a const reference only: the vector is never detached or changed while the
    // records point into its texts, and utf16() of a QString is its own NUL-terminated data.
    const QVector<StoredMessage>& kept = list->messages;
    for (int i = 0; i < kept.size(); ++i) {
        const StoredMessage& m = kept.at(i);
        SMSDeviceRecord& rec = list->records[size_t(i)];
        fillFields(m, &rec);
        rec.pNumber = const_cast<ZSDK_WCHAR*>(m.number.utf16());
        rec.pContent = const_cast<ZSDK_WCHAR*>(m.content.utf16());
    }
    SMSDeviceRecord* out = list->records.data();
    const int32_t listed = kept.size();
    {
        QMutexLocker lock(&g_ownedMutex);
        g_lists.emplace(out, std::move(list));
    }
    *records = out;
    *count = listed;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_ReleaseMsgList(SMSDeviceRecord** records)
{
    if (!records || !*records)
        return ZSDK_E_ARG;
    std::unique_ptr<OwnedList> list;
    {
        QMutexLocker lock(&g_ownedMutex);
        auto it = g_lists.find(*records);
        if (it == g_lists.end())
            return ZSDK_E_ARG;
        list = std::move(it->second);
        g_lists.erase(it);
    }
    *records = nullptr;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_SaveMsg(const SMSDeviceRecord* record, int32_t* newId, int32_t* reserved)
{
    Q_UNUSED(reserved);
    if (!record || !newId)
        return ZSDK_E_ARG;
    StoredMessage m;
    toStored(*record, &m);
    m.id = -1;
    if (const int rc = modem()->saveMessage(m))
        return rc;
    *newId = m.id;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_UpdateMsg(const SMSDeviceRecord* record)
{
    if (!record)
        return ZSDK_E_ARG;
    StoredMessage m;
    toStored(*record, &m);
    return modem()->updateMessage(m);
}

ZSDK_STATUS ZSDK_SMSSrv_DeleteMsg(int32_t id, int32_t location) { return modem()->deleteMessage(id, location); }
ZSDK_STATUS ZSDK_SMSSrv_RemoveMsg(int32_t id, int32_t location) { return modem()->removeMessage(id, location); }

ZSDK_STATUS ZSDK_SMSSrv_SendMsg(const SMSDeviceRecord* record)
{
    if (!record)
        return ZSDK_E_ARG;
    return modem()->send(record, fromWide(record->pNumber), fromWide(record->pContent));
}

ZSDK_STATUS ZSDK_SMSSrv_CancelSendMsg(SMSDeviceRecord** handle)
{
    if (!handle)
        return ZSDK_E_ARG;
    return modem()->cancelSend(*handle);
}

ZSDK_STATUS ZSDK_SMSSrv_BeginTransaction(int32_t location) { return modem()->beginTransaction(location); }
ZSDK_STATUS ZSDK_SMSSrv_EndTransaction(int32_t location) { return modem()->endTransaction(location); }

ZSDK_STATUS ZSDK_SMSSrv_GetRecordInfo(int32_t* capacity, int32_t* used, int32_t location)
{
    if (!capacity || !used)
        return ZSDK_E_ARG;
    int c = 0, u = 0;
    const int rc = modem()->recordInfo(location, &c, &u);
    if (rc == ZSDK_OK) {
        *capacity = c;
        *used = u;
    }
    return rc;
}

ZSDK_STATUS ZSDK_SMSSrv_SMSGetMemoryListType(uint16_t* types, uint16_t* count)
{
    if (!count)
        return ZSDK_E_ARG;
    QVector<int> list;
    if (const int rc = modem()->memoryList(&list))
        return rc;
    if (!types) {
        *count = uint16_t(list.size());
        return ZSDK_OK;
    }
    const int n = qMin(int(*count), list.size());
    for (int i = 0; i < n; ++i)
        types[i] = uint16_t(list.at(i));
    *count = uint16_t(n);
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_GetMsgSplitCount(const ZSDK_WCHAR* text, int32_t* count)
{
    if (!text || !count)
        return ZSDK_E_ARG;
    size_t n = 0;
    while (text[n])
        ++n;
    *count = GsmText::segmentCount(reinterpret_cast<const char16_t*>(text), n);
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_GetSMSCentreNumber(int32_t* addressType, ZSDK_WCHAR* buffer, int32_t bufferLength)
{
    if (!addressType || !buffer || bufferLength <= 0)
        return ZSDK_E_ARG;
    QString number;
    if (const int rc = modem()->setting(QStringLiteral("smsc"), &number))
        return rc;
    if (number.size() >= bufferLength)
        return ZSDK_E_ARG;
    std::memcpy(buffer, number.utf16(), size_t(number.size()) * 2);
    buffer[number.size()] = 0;
    *addressType = number.startsWith(QLatin1Char('+')) ? 145 : 129;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_SMSSrv_SetSMSCentreNumber(const ZSDK_WCHAR* number)
{
    if (!number)
        return ZSDK_E_ARG;
    return modem()->setSetting(QStringLiteral("smsc"), fromWide(number));
}

ZSDK_STATUS ZSDK_SMSSrv_GetSMSValidityPeriod(int32_t* value) { return getInt("validity", value, 255); }
ZSDK_STATUS ZSDK_SMSSrv_SetSMSValidityPeriod(int32_t value) { return setInt("validity", value); }
ZSDK_STATUS ZSDK_SMSSrv_GetSMSReceiptNotify(int32_t* value) { return getInt("receipt", value, 0); }
ZSDK_STATUS ZSDK_SMSSrv_SetSMSReceiptNotify(int32_t value) { return setInt("receipt", value); }
ZSDK_STATUS ZSDK_SMSSrv_SMSGetPriority(int32_t* value) { return getInt("priority", value, 0); }
ZSDK_STATUS ZSDK_SMSSrv_SMSSetPriority(int32_t value) { return setInt("priority", value); }

ZSDK_STATUS ZSDK_DevSrv_GetDevStatus(int32_t* status)
{
    if (!status)
        return ZSDK_E_ARG;
    *status = modem()->state().devStatus;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetSimStatus(int32_t* status)
{
    if (!status)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    *status = s.simStatus;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetPinStatus(int32_t, int32_t* state, uint8_t* pinTries, uint8_t* pukTries, uint8_t* spare)
{
    if (!state)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    *state = s.pinState;
    if (pinTries)
        *pinTries = uint8_t(s.pinTries);
    if (pukTries)
        *pukTries = uint8_t(s.pukTries);
    if (spare)
        *spare = 0;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetRFSwitch(void* block8)
{
    if (!block8)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    const int32_t values[2] = {s.radioOn ? 1 : 0, s.powerOn ? 1 : 0};
    std::memcpy(block8, values, sizeof values);
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetMultiModeCardStatus(int32_t* multiMode, int32_t, int32_t, int32_t)
{
    if (!multiMode)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.multiModeQueryFails)
        return ZSDK_E_FAIL;
    *multiMode = s.multiMode ? 1 : 0;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetSimType(int32_t* type)
{
    if (!type)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3 || s.simStatus != 1)
        return ZSDK_E_NO_DEVICE;
    *type = s.simType;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetProductType(int32_t* type)
{
    if (!type)
        return ZSDK_E_ARG;
    *type = modem()->state().productType;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_DevSrv_GetIMSI(ZSDK_WCHAR* buffer, int32_t bufferLength)
{
    if (!buffer || bufferLength <= 0)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3 || s.simStatus != 1)
        return ZSDK_E_NO_DEVICE;
    if (s.imsi.size() >= bufferLength)
        return ZSDK_E_ARG;
    std::memcpy(buffer, s.imsi.utf16(), size_t(s.imsi.size()) * 2);
    buffer[s.imsi.size()] = 0;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_NetSrv_GetSrvStatus(int32_t* status)
{
    if (!status)
        return ZSDK_E_ARG;
    const DeviceState s = modem()->state();
    if (s.devStatus != 3)
        return ZSDK_E_NO_DEVICE;
    *status = (s.radioOn && s.simStatus == 1) ? s.netStatus : 0;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_PBSrv_FindNameByNumber(const ZSDK_WCHAR* number, ZSDK_WCHAR** name, int32_t maxLength, int32_t* found)
{
    if (!number || !name || maxLength <= 0)
        return ZSDK_E_ARG;
    QString text;
    bool hit = false;
    if (const int rc = modem()->findName(fromWide(number), &text, &hit))
        return rc;
    *name = newWide(text.left(maxLength - 1));
    if (found)
        *found = hit ? 1 : 0;
    return ZSDK_OK;
}

ZSDK_STATUS ZSDK_GetLogDirectory(ZSDK_WCHAR** dir)
{
    if (!dir)
        return ZSDK_E_ARG;
    const QString path = modem()->logDirectory();
    if (path.isEmpty())
        return ZSDK_E_SHUTDOWN;
    *dir = newWide(path);
    return ZSDK_OK;
}

} // extern "C"

// ---- control API ---------------------------------------------------------------------------------

namespace ZsdkSim {

void Configure(const Options& options)
{
    QMutexLocker lock(&g_serviceMutex);
    g_options = options;
}

void Shutdown()
{
    std::unique_ptr<Service> old;
    {
        QMutexLocker lock(&g_serviceMutex);
        if (g_stopping)
            return;
        g_stopping = true;
        g_running.store(nullptr);   // new calls fail from here on
        old = std::move(g_service);
    }
    if (old) {
        // The backend and the event thread first (a callback that calls in now gets a failure),
        // then the calls still running on other threads, then the modem and the dispatcher.
        const bool onEventThread = old->events->onEventThread();
        old->modem->stop();
        old->events->stop();
        while (g_inFlight.load() > 0)
            std::this_thread::yield();
        if (onEventThread)
            (void)old.release();   // called from a callback: the thread cannot join itself
        old.reset();
    }
    QMutexLocker lock(&g_serviceMutex);
    g_stopping = false;
}

namespace {
FinalShutdown g_finalShutdown;

// The control API acts on the simulated modem only; with a real modem it does nothing.
template <typename R, typename Fn>
R withSim(R failed, Fn fn)
{
    ServiceRef s;
    return s && s.sim() ? fn(s.sim()) : failed;
}
template <typename Fn>
void withSim(Fn fn)
{
    ServiceRef s;
    if (s && s.sim())
        fn(s.sim());
}
} // namespace

bool WaitForEvents(int timeoutMs)
{
    ServiceRef s;
    return s && s.events()->waitIdle(timeoutMs);
}
// What the message store says about itself is true of either backend: the simulated modem is
// its own store, a real modem keeps its PC memory in one beside it.
template <typename R, typename Fn>
R withStore(R failed, Fn fn)
{
    ServiceRef s;
    if (!s)
        return failed;
    if (s.sim())
        return fn(s.sim());
    if (auto* mm = dynamic_cast<MMModem*>(s.get()->modem.get()); mm && mm->pcStore())
        return fn(mm->pcStore());
    return failed;
}

QString DatabasePath() { return withStore(QString(), [](SimModem* m) { return m->databasePath(); }); }
QString OpenNote() { return withStore(QString(), [](SimModem* m) { return m->openNote(); }); }
StoreStatus StoreState()
{
    return withStore(StoreStatus::Unavailable, [](SimModem* m) {
        const SimModem::StoreState s = m->storeState();
        switch (s.state) {
        case SmsDatabase::State::Ready: return s.setAside ? StoreStatus::SetAside : StoreStatus::Healthy;
        case SmsDatabase::State::ReadOnly: return StoreStatus::ReadOnly;
        default: return StoreStatus::Unavailable;
        }
    });
}
int InjectMessage(const Incoming& message) { return withSim(-1, [&](SimModem* m) { return m->inject(message); }); }
bool DeviceDeletesMessage(int id) { return withSim(false, [id](SimModem* m) { return m->deviceDeletes(id); }); }
void SetSimPresent(bool present) { withSim([=](SimModem* m) { m->setSimPresent(present); }); }
void SetPinState(int state) { withSim([=](SimModem* m) { m->setPinState(state); }); }
void SetDevicePresent(bool present) { withSim([=](SimModem* m) { m->setDevicePresent(present); }); }
void SetRadio(bool on) { withSim([=](SimModem* m) { m->setRadio(on); }); }
void SetNetworkService(bool available) { withSim([=](SimModem* m) { m->setNetworkService(available); }); }
void SetMultiModeCard(bool multiMode) { withSim([=](SimModem* m) { m->setMultiModeCard(multiMode); }); }
void FailMultiModeQuery(bool fail) { withSim([=](SimModem* m) { m->failMultiModeQuery(fail); }); }
void SetProductType(int type) { withSim([=](SimModem* m) { m->setProductType(type); }); }
void SetSimType(int type) { withSim([=](SimModem* m) { m->setSimType(type); }); }
void SetReadDelay(int mem, int ms) { withSim([=](SimModem* m) { m->setReadDelay(mem, ms); }); }
void SetCapacity(int mem, int capacity) { withSim([=](SimModem* m) { m->setCapacity(mem, capacity); }); }
void FillMemory(int mem) { withSim([=](SimModem* m) { m->fillMemory(mem); }); }
void FailNextSends(int parts) { withSim([=](SimModem* m) { m->failNextSends(parts); }); }
void SetSendDelay(int msPerPart) { withSim([=](SimModem* m) { m->setSendDelay(msPerPart); }); }
void LimitStoreGrowth(int pages) { withStore(0, [=](SimModem* m) { m->limitStoreGrowth(pages); return 0; }); }
bool AddContact(const QString& name, const QString& number) { return withSim(false, [&](SimModem* m) { return m->addContact(name, number); }); }
QList<QPair<QString, QString>> Contacts()
{
    return withSim(QList<QPair<QString, QString>>(), [](SimModem* m) { return m->contactList(); });
}
void SignalPhoneBookReady() { withSim([](SimModem* m) { m->signalPhoneBookReady(); }); }
void SignalDeviceInitialised() { withSim([](SimModem* m) { m->signalDeviceInitialised(); }); }

} // namespace ZsdkSim

// ---- device choice -------------------------------------------------------------------------------

namespace ZsdkDevice {

bool Choose(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n != QLatin1String("sim") && n != QLatin1String("modemmanager") && n != QLatin1String("auto"))
        return false;
    QMutexLocker lock(&g_serviceMutex);
    g_device = n;
    return true;
}

QString Chosen()
{
    QMutexLocker lock(&g_serviceMutex);
    return chosenDevice();
}

void ConfigureModem(const ModemOptions& options)
{
    QMutexLocker lock(&g_serviceMutex);
    g_modemOptions = options;
}

QString InUse() { return modem()->deviceName(); }

QString Problem()
{
    ServiceRef ref;
    Service* s = ref.get();
    if (!s)
        return QString();
    if (auto* mm = dynamic_cast<MMModem*>(s->modem.get())) {
        const QString now = mm->problem();
        return now.isEmpty() ? s->problem : now;
    }
    return s->problem;
}

void SetNoteHandler(std::function<void(const QString&)> handler)
{
    QMutexLocker lock(&g_noteMutex);
    g_noteHandler = std::move(handler);
}

} // namespace ZsdkDevice
