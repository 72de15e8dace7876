// The store's buffers: construction, loading from the device service, counts, names and icons.

#include "store/SMSStatusUILogic.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "store/SMSTypes.h"
#include "zsdk.h"

#include <QLocale>
#include <QThread>
#include <memory>

namespace {
SMSStatusUILogic* g_store = nullptr;
QMutex g_instanceMutex;

// Releases a device record however the function leaves.
struct DeviceRecordGuard {
    SMSDeviceRecord* record = nullptr;
    ~DeviceRecordGuard()
    {
        if (record && ZSDK_SMSSrv_ReleaseSMSRecord(&record) != 0)
            SMS_DEBUG("%s: %s: ZSDK_SMSSrv_ReleaseSMSRecord returned error", SMSLog::now().constData(), "SMSStatusUILogicBuffers.cpp");
    }
};

QString numberOrName(const QString& number, const QString& name, bool useEmptyName)
{
    return (name.isEmpty() && !useEmptyName) ? number : name;
}
} // namespace

SMSStatusUILogic* SMSStatusUILogic::Instance()
{
    QMutexLocker lock(&g_instanceMutex);
    if (!g_store) {
        SMS_DEBUG("%s: %s:Entered ", SMSLog::now().constData(), __func__);
        g_store = new SMSStatusUILogic;
        SMS_DEBUG("%s: %s:Exit ", SMSLog::now().constData(), __func__);
    }
    return g_store;
}

SMSStatusUILogic* SMSStatusUILogic::Existing() { return g_store; }

// Callbacks find the store through Existing() under the callback mutex; Release clears the
// pointer under that same mutex before destroying, so a callback sees either the whole store or
// none.
extern QMutex g_smsCallbackMutex;

void SMSStatusUILogic::Release()
{
    SMSStatusUILogic* store = nullptr;
    {
        QMutexLocker callbacks(&g_smsCallbackMutex);
        QMutexLocker lock(&g_instanceMutex);
        store = g_store;
        g_store = nullptr;
    }
    delete store;
}

SMSStatusUILogic::SMSStatusUILogic()
{
    m_strPluginPath = CommonUtils::GetPluginLibraryPath();
    storeTableImages();
}

SMSStatusUILogic::~SMSStatusUILogic()
{
    delete m_pDetectThread;
    ReleaseAllSmsBuffers();
}

void SMSStatusUILogic::InsertSingleSMS(int node, int msgId, const SMSLocalRecordPtr& rec)
{
    if (!rec)
        return;
    if (!keptInFolder(*rec))
        return;
    QMutexLocker lock(&m_mutexBuffer);
    m_hashSMSBuffer[node].insert(msgId, rec);
    ++m_hashGeneration[node];
}

bool SMSStatusUILogic::keptInFolder(const SMSLocalRecord& rec)
{
    // Flash messages are announced, never kept in an inbox.
    return !(rec.iAttrA == 0 && (rec.iOrigNode == 1 || rec.iOrigNode == 7 || rec.iOrigNode == 9 || rec.iOrigNode == 10));
}

quint64 SMSStatusUILogic::FolderGeneration(int node) const
{
    QMutexLocker lock(&m_mutexBuffer);
    return m_hashGeneration.value(node);
}

SMSLocalRecordPtr SMSStatusUILogic::GetSingleSMSPtr(int node, int msgId)
{
    QMutexLocker lock(&m_mutexBuffer);
    return m_hashSMSBuffer.value(node).value(msgId);
}

SMSLocalRecord SMSStatusUILogic::GetSingleSMS(int node, int msgId)
{
    const SMSLocalRecordPtr rec = GetSingleSMSPtr(node, msgId);
    return rec ? *rec : SMSLocalRecord();
}

SMSFolderBuffer SMSStatusUILogic::getSmsBuffer(int node)
{
    QMutexLocker lock(&m_mutexBuffer);
    return m_hashSMSBuffer.value(node);
}

void SMSStatusUILogic::RemoveSMSFromMap(int node, int msgId, bool permanent)
{
    QMutexLocker lock(&m_mutexBuffer);
    auto folder = m_hashSMSBuffer.find(node);
    if (folder == m_hashSMSBuffer.end())
        return;
    const int removed = folder->count(msgId);
    const SMSLocalRecordPtr rec = folder->take(msgId);
    if (!rec)
        return;
    ++m_hashGeneration[node];
    if (removed > 1)
        SMS_LOG("%s: %s: %s Something abnormal happened");
    if (permanent)
        return;   // the last holder of the record frees it
    // Records in the buffers are never changed in place (other threads may be reading them); the
    // trash gets a changed copy.
    SMSLocalRecordPtr trashed = SMSLocalRecordPtr::create(*rec);
    trashed->iNode = NODE_LOCAL_TRASH;
    trashed->iReadFlag = 0;
    trashed->imgStatus = StatusImage(0);
    m_hashSMSBuffer[NODE_LOCAL_TRASH].insert(msgId, trashed);
    ++m_hashGeneration[NODE_LOCAL_TRASH];
}

int SMSStatusUILogic::DeleteSMSFromBuffer(int msgId, int node, int, bool permanent)
{
    RemoveSMSFromMap(node, msgId, permanent);
    return 0;
}

void SMSStatusUILogic::DeleteListSMSFromBuffer(int node, int)
{
    QMutexLocker lock(&m_mutexBuffer);
    m_hashSMSBuffer.insert(node, SMSFolderBuffer());
    ++m_hashGeneration[node];
}

QList<int> SMSStatusUILogic::storageFolders(int memPosition)
{
    switch (memPosition) {
    case MEM_PC: return {0, 1, 2, 3, 4, 5, 10, 15};
    case MEM_SIM: return {6, 7};
    case MEM_DEVICE: return {8, 9};
    default: return {};
    }
}

int SMSStatusUILogic::ReleaseSmsBuffer(int memPosition)
{
    QList<int> folders;
    switch (memPosition) {
    case MEM_PC: folders = {0, 1, 2, 3, 4, 5}; break;
    case MEM_SIM: folders = {6, 7}; break;
    case MEM_DEVICE: folders = {8, 9}; break;
    default: folders = {0}; break;
    }
    for (int node : folders)
        DeleteListSMSFromBuffer(node, -1);
    return 0;
}

int SMSStatusUILogic::ReleaseAllSmsBuffers()
{
    ReleaseSmsBuffer(MEM_PC);
    ReleaseSmsBuffer(MEM_SIM);
    ReleaseSmsBuffer(MEM_DEVICE);
    return 0;
}

int SMSStatusUILogic::sortSMSToCorrespondingNodes(SMSDeviceRecord* device, SMSLocalRecordPtr* out, SMSNameCache* names)
{
    if (!device || !out) {
        SMS_LOG("%s: %s: %s: invalid input params");
        return SMS_INVALID_ARG;
    }
    QMutexLocker sort(&m_mutexSort);
    const SMSLocalRecordPtr rec = convertDeviceRecord(device, names);
    *out = rec;
    if (!rec)
        return SMS_FAIL;
    InsertSingleSMS(rec->iNode, rec->iMsgId, rec);
    if (device->iNode >= 16 || (device->iNode >= 11 && device->iNode <= 14)) {
        SMS_LOG("%s: %s: %s: Position is wrong");
        return SMS_FAIL;
    }
    return SMS_OK;
}

SMSLocalRecordPtr SMSStatusUILogic::convertDeviceRecord(SMSDeviceRecord* device, SMSNameCache* names)
{
    SMSLocalRecordPtr rec = SMSLocalRecordPtr::create();
    if (populateSDKRecordToLocalStructure(device, rec.data()) != SMS_OK) {
        SMS_LOG("%s: %s: %s: populateSDKRecordToLocalStructure returned error");
        return {};
    }
    addIconsToTable(rec.data());
    getNameByNumberFromPhoneBookEx(rec->strNumber, rec->strName, rec->strNameList, names);
    if (rec->strTime.size() < 14) {
        SMS_LOG("%s: %s: %s: invalid input param");
    } else {
        rec->dtTime = parseTime(rec->strTime);
    }
    if (device->iNode == NODE_LOCAL_REPORT && device->iMsgType == 1) {
        int result = -1;
        rec->strContent = getReportContentMsg(rec->iStatus, rec->strContent, &result);
        rec->iReportResult = result;
    }
    return rec;
}

int SMSStatusUILogic::GetSMSCount(int memPosition)
{
    int32_t n = 0;
    if (ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, memPosition) == 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SMSRecordSetGetRecordCount () returned SUCCESS");
        return n;
    }
    SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SMSRecordSetGetRecordCount () returned FAILURE");
    return -1;
}

bool SMSStatusUILogic::GetSMSRecordCount(int memPosition)
{
    int32_t n = 0;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_SMSRecordSetGetRecordCount(&n, memPosition);
    if (rc != 0) {
        SMS_DEBUG("The Error code returned by the ZSDK_SMSSrv_SMSRecordSetGetRecordCount = %ld", long(rc));
        return true;
    }
    m_iIdCount.store(n);   // the card readers call this on their own threads
    return false;
}

void SMSStatusUILogic::noteIdsRead(QList<int> ids)
{
    QMutexLocker lock(&m_mutexIds);
    m_iIdCount.store(ids.size());
    m_listMsgIds.swap(ids);
}

QList<int> SMSStatusUILogic::LastReadIds() const
{
    QMutexLocker lock(&m_mutexIds);
    return m_listMsgIds;
}

int SMSStatusUILogic::GetMessageIdList(int memPosition)
{
    int32_t* ids = nullptr;
    int32_t n = m_iIdCount.load();
    const ZSDK_STATUS rc = ZSDK_SMSSrv_GetSmsIdList(&ids, &n, memPosition);
    bool ok = rc == 0 && n >= 1;
    if (rc == 0 && ids) {
        QList<int> read;
        read.reserve(n);
        for (int i = 0; i < n; ++i)
            read.append(ids[i]);
        noteIdsRead(std::move(read));
    } else {
        SMS_DEBUG("The Error code returned by the ZSDK_SMSSrv_GetSmsIdList = %ld", long(rc));
    }
    if (ids)
        ZSDK_SMSSrv_ReleaseSmsIdList(&ids);
    if (!ok) {
        SMS_LOG("%s: %s: %s: GetMessageIdList returned error");
        return SMS_FAIL;
    }
    return SMS_OK;
}

namespace {
// Every message of a storage, read in one device-service call; released however the load ends.
struct MessageList {
    SMSDeviceRecord* records = nullptr;
    int32_t count = 0;
    ~MessageList() { release(); }
    void release()
    {
        if (records && ZSDK_SMSSrv_ReleaseMsgList(&records) != 0)
            SMS_DEBUG("%s: %s: ZSDK_SMSSrv_ReleaseMsgList returned error", SMSLog::now().constData(), "SMSStatusUILogicBuffers.cpp");
        records = nullptr;
        count = 0;
    }
    ZSDK_STATUS read(int memPosition)
    {
        release();
        count = 0;   // all messages of the storage
        return ZSDK_SMSSrv_GetMsgList(&records, &count, memPosition);
    }
};
} // namespace

int SMSStatusUILogic::PopulateSMSFromSDK(int memPosition)
{
    // What a load reads stays in its own locals until it is done: the card readers store their
    // memory's count on their own threads meanwhile, and a load of another storage may run on
    // another thread.
    // Messages a job's open batch took out are still listed until the batch is stored; the ids
    // are taken before the list is read, since one taken out later leaves the buffers by its
    // own signal after this load.
    QSet<int> takenOut;
    {
        QMutexLocker lock(&m_mutexBuffer);
        takenOut = m_setChangedInBatch;
    }
    int count = GetSMSCount(memPosition);
    // The whole storage in one device-service call: one call per id costs as much as the rest
    // of the start-up with a large PC store.
    MessageList list;
    bool countAgrees = false;
    for (int attempt = 1; !countAgrees; ++attempt) {
        const ZSDK_STATUS rc = list.read(memPosition);
        if (rc != 0 || !list.records || list.count < 1) {
            SMS_DEBUG("The Error code returned by the ZSDK_SMSSrv_GetMsgList = %ld", long(rc));
            SMS_LOG("%s: %s: %s: GetMessageIdList returned error");
            return SMS_FAIL;
        }
        if (count > 0 && count == list.count) {
            countAgrees = true;
            break;
        }
        // A message arrived or went between the count and the list. The list is one snapshot of
        // the storage; a count taken after it tells whether the storage has held still since.
        count = GetSMSCount(memPosition);
        countAgrees = count > 0 && count == list.count;
        if (countAgrees)
            break;
        SMS_LOG("%s: %s: %s: SMS Count  error");
        // Messages keep arriving faster than the storage can be read: the last list is still a
        // whole storage at one moment, and every later arrival comes with its own event. It is
        // shown rather than leaving the user with nothing, and the load reports the failure.
        if (count < 0 || attempt == 3)
            break;
    }
    QList<int> ids;
    ids.reserve(list.count);
    for (int i = 0; i < list.count; ++i)
        ids.append(list.records[i].iMsgId);
    noteIdsRead(std::move(ids));
    int result = SMS_OK;
    // While a whole memory is loaded the same numbers come again and again; their phone-book
    // answers are kept for the length of this load. The cache is this call's own: the device
    // thread converts arrivals meanwhile and must never see it (it ends with this call).
    SMSNameCache names;
    for (int i = 0; i < list.count; ++i) {
        if (takenOut.contains(list.records[i].iMsgId))
            continue;
        SMSLocalRecordPtr rec;
        result = sortSMSToCorrespondingNodes(&list.records[i], &rec, &names);
        if (result != SMS_OK)
            SMS_LOG("%s: %s: %s: sortLocalSMSToLocalNodes returned error");
    }
    return countAgrees ? result : SMS_FAIL;
}

int SMSStatusUILogic::ReloadSmsBuffer(int memPosition)
{
    const QList<int> folders = storageFolders(memPosition);
    if (folders.isEmpty()) {
        SMS_WARN("%s: %s: %s: no storage %d; nothing read", memPosition);
        return SMS_INVALID_ARG;
    }
    // Arrivals are converted and inserted under m_mutexSort. Holding it from the read to the
    // replacement puts every arrival either in the list read (it is stored before it is
    // announced) or into the folders that replaced the old ones, never into ones thrown away.
    QMutexLocker sort(&m_mutexSort);
    QSet<int> takenOut;
    {
        QMutexLocker lock(&m_mutexBuffer);
        takenOut = m_setChangedInBatch;   // see PopulateSMSFromSDK
    }
    MessageList list;
    const ZSDK_STATUS rc = list.read(memPosition);
    if (rc != 0 || !list.records || list.count < 0) {
        SMS_WARN("%s: %s: %s: storage %d could not be read (status %ld); the messages shown before are kept",
                 memPosition, long(rc));
        return SMS_FAIL;
    }
    QList<int> ids;
    ids.reserve(list.count);
    for (int i = 0; i < list.count; ++i)
        ids.append(list.records[i].iMsgId);
    noteIdsRead(std::move(ids));
    QHash<int, SMSFolderBuffer> read;
    for (int node : folders)
        read.insert(node, SMSFolderBuffer());
    SMSNameCache names;
    for (int i = 0; i < list.count; ++i) {
        SMSDeviceRecord& device = list.records[i];
        if (takenOut.contains(device.iMsgId))
            continue;
        const SMSLocalRecordPtr rec = convertDeviceRecord(&device, &names);
        if (!rec) {
            SMS_WARN("%s: %s: %s: message %d of storage %d cannot be shown", int(device.iMsgId), memPosition);
            continue;
        }
        if (keptInFolder(*rec))
            read[rec->iNode].insert(rec->iMsgId, rec);
    }
    QMutexLocker lock(&m_mutexBuffer);
    for (auto it = read.begin(); it != read.end(); ++it) {
        m_hashSMSBuffer.insert(it.key(), std::move(it.value()));
        ++m_hashGeneration[it.key()];
    }
    return SMS_OK;
}

int SMSStatusUILogic::UpdateSMSBufferUsingMsgID(int msgId, int node)
{
    DeviceRecordGuard guard;
    if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, nullptr, nullptr) != 0 || !guard.record) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord returned error");
        return SMS_FAIL;
    }
    guard.record->iMsgId = msgId;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_GetMsg(guard.record, GetMemPosition(node));
    if (rc != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_GetMsg returned %li", long(rc));
        return SMS_FAIL;
    }
    SMSLocalRecordPtr rec;
    if (sortSMSToCorrespondingNodes(guard.record, &rec) != SMS_OK) {
        SMS_LOG("%s: %s: %s:sortSMSToCorrespondingNodes returned error");
        return SMS_FAIL;
    }
    return SMS_OK;
}

int SMSStatusUILogic::GetUnreadCountInNode(int node)
{
    QMutexLocker lock(&m_mutexBuffer);
    int n = 0;
    for (const SMSLocalRecordPtr& rec : m_hashSMSBuffer.value(node))
        n += (rec && rec->iReadFlag == 1) ? 1 : 0;
    return n;
}

int SMSStatusUILogic::GetCountInNode(int node)
{
    QMutexLocker lock(&m_mutexBuffer);
    return m_hashSMSBuffer.value(node).size();
}

int SMSStatusUILogic::LoadAndCountUnread(int memPosition)
{
    switch (memPosition) {
    case MEM_PC:
        return GetUnreadCountInNode(1) + GetUnreadCountInNode(5) + GetUnreadCountInNode(10);
    case MEM_SIM:
        PopulateSMSFromSDK(MEM_SIM);
        return GetUnreadCountInNode(7);
    case MEM_DEVICE:
        PopulateSMSFromSDK(MEM_DEVICE);
        return GetUnreadCountInNode(9);
    default:
        return 0;
    }
}

int SMSStatusUILogic::GetUnReadSMSTotalCount()
{
    int total = LoadAndCountUnread(MEM_PC);
    uint16_t n = 0;
    if (ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, &n) != 0) {
        SMS_LOG("%s: %s: %s ZSDK_SMSSrv_SMSGetMemoryListType returned error");
        return total;
    }
    if (n == 0)
        return total;
    std::unique_ptr<uint16_t[]> types(new uint16_t[n]);
    ZSDK_memset(types.get(), n * sizeof(uint16_t), 0, n * sizeof(uint16_t));
    if (ZSDK_SMSSrv_SMSGetMemoryListType(types.get(), &n) != 0)
        return total;
    for (int i = 0; i < n; ++i) {
        if (types[i] == 0)
            total += LoadAndCountUnread(MEM_SIM);
        else if (types[i] == 1)
            total += LoadAndCountUnread(MEM_DEVICE);
    }
    return total;
}

bool SMSStatusUILogic::IsAnyMessagesUnRead(int node)
{
    QMutexLocker lock(&m_mutexBuffer);
    for (const SMSLocalRecordPtr& rec : m_hashSMSBuffer.value(node)) {
        if (!rec) {
            SMS_LOG("%s: %s:%s :  Buffers corrupted");
            return false;
        }
        if (rec->iReadFlag != 0)
            return true;
    }
    return false;
}

void SMSStatusUILogic::SyncBuffersWithPB()
{
    // Collect the records first: the phone-book lookups are device calls and must not run under
    // the buffer lock that the device thread's callbacks also need.
    QList<SMSLocalRecordPtr> records;
    {
        QMutexLocker lock(&m_mutexBuffer);
        for (const SMSFolderBuffer& folder : qAsConst(m_hashSMSBuffer)) {
            for (const SMSLocalRecordPtr& rec : folder) {
                if (rec)
                    records << rec;
                else
                    SMS_LOG("%s: %s:%s :  Error occured in reading Hash");
            }
        }
    }
    for (const SMSLocalRecordPtr& rec : qAsConst(records)) {
        QString names, list;
        getNameByNumberFromPhoneBookEx(rec->strNumber, names, list);
        if (names == rec->strName && list == rec->strNameList)
            continue;
        SMSLocalRecordPtr renamed = SMSLocalRecordPtr::create(*rec);
        renamed->strName = names;
        renamed->strNameList = list;
        QMutexLocker lock(&m_mutexBuffer);
        // Replace only if the record is still where it was; it may have moved meanwhile.
        SMSFolderBuffer& folder = m_hashSMSBuffer[rec->iNode];
        auto it = folder.find(rec->iMsgId);
        if (it != folder.end() && it.value() == rec) {
            it.value() = renamed;
            ++m_hashGeneration[rec->iNode];
        }
    }
}

void SMSStatusUILogic::getNameByNumberFromPhoneBookEx(const QString& numbers, QString& names, QString& nameList, SMSNameCache* cache)
{
    names.clear();
    nameList.clear();
    auto lookUp = [cache](const QString& number, bool* ok) {
        const auto cached = cache ? cache->constFind(number) : SMSNameCache::const_iterator();
        if (cache && cached != cache->constEnd()) {
            *ok = cached->first;
            return cached->second;
        }
        ZSDK_WCHAR* name = nullptr;
        int32_t found = 0;
        *ok = ZSDK_PBSrv_FindNameByNumber(number.utf16(), &name, 48, &found) == 0 && found;
        const QString text = *ok && name ? QString::fromUtf16(name) : QString();
        delete[] name;
        if (cache)
            cache->insert(number, qMakePair(*ok, text));
        return text;
    };
    // Nearly every message has one number: its texts are the number's own, without splitting
    // and joining (a store of ten thousand messages loads this once per message).
    if (!numbers.contains(QLatin1Char(';'))) {
        if (numbers.isEmpty())
            return;
        bool ok = false;
        const QString text = lookUp(numbers, &ok);
        names = ok ? numberOrName(numbers, text, false) : numbers;
        if (ok)
            nameList = text;
        return;
    }
    const QStringList parts = numbers.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        const QString& number = parts.at(i);
        bool ok = false;
        const QString text = lookUp(number, &ok);
        const QString sep = i == 0 ? QString() : QStringLiteral("; ");
        if (ok) {
            names += sep + numberOrName(number, text, false);
            nameList += sep + text;
        } else {
            names += sep + number;
            if (i > 0)
                nameList += QLatin1Char(';');
        }
    }
}

QString SMSStatusUILogic::getNameByNumberFromPhoneBook(const QString& numbers)
{
    QString names;
    const QStringList parts = numbers.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        ZSDK_WCHAR* name = nullptr;
        int32_t found = 0;
        const bool ok = ZSDK_PBSrv_FindNameByNumber(parts.at(i).utf16(), &name, 48, &found) == 0 && found;
        const QString text = ok && name ? QString::fromUtf16(name) : QString();
        delete[] name;
        names += (i == 0 ? QString() : QStringLiteral("; ")) + (ok ? text : parts.at(i));
    }
    return names;
}

void SMSStatusUILogic::storeTableImages()
{
    m_listStatusImages.clear();
    for (int i = 0; i < 5; ++i) {
        QImage image;
        getTableImageFromFile(i, image);
        m_listStatusImages.append(image);
    }
}

bool SMSStatusUILogic::getTableImageFromFile(int index, QImage& out)
{
    static QImage strip;   // read once: every store shares the same file
    if (strip.isNull()) {
        strip.load(m_strPluginPath + m_strPluginDir + QStringLiteral("sms_status.png"));
        if (strip.isNull())
            qWarning("SMSStatusUILogic: status images %s%ssms_status.png missing", qPrintable(m_strPluginPath), qPrintable(m_strPluginDir));
    }
    if (strip.isNull())
        return false;
    out = strip.copy(16 * index, 0, 16, 16);
    return true;
}

QImage SMSStatusUILogic::StatusImage(int index) const
{
    return m_listStatusImages.value(index);
}

void SMSStatusUILogic::addIconsToTable(SMSLocalRecord* rec)
{
    if (!rec)
        return;
    auto sentOrNot = [rec] { return rec->iStatus == 0 ? 2 : 3; };
    auto readOrNot = [rec] { return rec->iReadFlag == 1 ? 1 : 0; };
    int image = -1;
    switch (rec->iNode) {
    case 0: case 6: case 8: image = sentOrNot(); break;
    case 1: case 5: case 10: case 7: case 9: image = readOrNot(); break;
    case 15: image = 2; break;
    case 2: case 3: case 4:
        switch (rec->iOrigNode) {
        case 0: image = sentOrNot(); break;
        case 1: case 10: image = readOrNot(); break;
        case 2: image = 4; break;
        case 3: image = 0; break;
        case 15: image = 2; break;
        default: break;
        }
        break;
    default:
        break;
    }
    if (image >= 0)
        rec->imgStatus = StatusImage(image);
}

QList<SMSLocalRecordPtr> SMSStatusUILogic::TakeSentRecords()
{
    QMutexLocker lock(&m_mutexBuffer);
    QList<SMSLocalRecordPtr> out;
    out.swap(m_listSentRecords);
    return out;
}

SMSLocalRecordPtr SMSStatusUILogic::TakeSentRecord(int msgId)
{
    QMutexLocker lock(&m_mutexBuffer);
    for (int i = 0; i < m_listSentRecords.size(); ++i) {
        if (m_listSentRecords.at(i) && m_listSentRecords.at(i)->iMsgId == msgId)
            return m_listSentRecords.takeAt(i);
    }
    return {};
}

QList<SMSLocalRecordPtr> SMSStatusUILogic::TakeReceivedRecords()
{
    QMutexLocker lock(&m_mutexBuffer);
    QList<SMSLocalRecordPtr> out;
    out.swap(m_listReceivedRecords);
    return out;
}
