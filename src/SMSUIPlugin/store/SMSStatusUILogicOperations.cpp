// Message operations: each works on a copy of the caller's record and keeps the buffers in step
// with the device service.

#include "store/SMSStatusUILogic.h"

#include "store/SMSLog.h"
#include "store/SMSTypes.h"
#include "zsdk.h"

#include <utility>

namespace {
// The ids this thread's open batch has taken out of their folders (see BeginBatch).
thread_local bool t_batchOpen = false;
thread_local QList<int> t_batchChanged;

struct DeviceRecordGuard {
    SMSDeviceRecord* record = nullptr;
    ~DeviceRecordGuard()
    {
        if (record)
            ZSDK_SMSSrv_ReleaseSMSRecord(&record);
    }
};
}

int SMSStatusUILogic::BeginBatch(int memPosition)
{
    const ZSDK_STATUS rc = ZSDK_SMSSrv_BeginTransaction(memPosition);
    t_batchOpen = rc == 0;
    return rc;
}

int SMSStatusUILogic::EndBatch(int memPosition)
{
    const ZSDK_STATUS rc = ZSDK_SMSSrv_EndTransaction(memPosition);
    // Stored or dropped, the device now lists what it holds: loads may take these ids again.
    t_batchOpen = false;
    const QList<int> changed = std::exchange(t_batchChanged, {});
    QMutexLocker lock(&m_mutexBuffer);
    for (int id : changed)
        m_setChangedInBatch.remove(id);
    return rc;
}

void SMSStatusUILogic::noteTakenOut(int msgId)
{
    if (!t_batchOpen)
        return;   // stored at once: no load can list it in its old place any more
    t_batchChanged << msgId;
    QMutexLocker lock(&m_mutexBuffer);
    m_setChangedInBatch.insert(msgId);
}

bool SMSStatusUILogic::DeleteSMS(int msgId, int node, int memPosition)
{
    ZSDK_STATUS rc;
    if (node >= NODE_LOCAL_TRASH && node <= NODE_LOCAL_CBS) {
        SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg ()");
        rc = ZSDK_SMSSrv_RemoveMsg(msgId, memPosition);
        SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg () returned %li", long(rc));
        if (rc == 0) {
            noteTakenOut(msgId);
            emit DeleteSMSInUiService(msgId, node, memPosition, true);
        }
    } else {
        rc = ZSDK_SMSSrv_DeleteMsg(msgId, memPosition);
        SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_DeleteMsg () returned %li", long(rc));
        if (rc == 0) {
            noteTakenOut(msgId);
            emit DeleteSMSInUiService(msgId, node, memPosition, false);
        }
    }
    return rc != 0;
}

int SMSStatusUILogic::ForceDeleteSMS(int msgId, int node, int memPosition)
{
    // Removal skips the Trash, so it happens only to a message that really lies in the folder
    // the caller names: an id taken from another folder must never cost the user a message.
    {
        DeviceRecordGuard guard;
        if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, nullptr, nullptr) != 0 || !guard.record)
            return SMS_FAIL;
        guard.record->iMsgId = msgId;
        if (ZSDK_SMSSrv_GetMsg(guard.record, memPosition) != 0 || guard.record->iNode != node) {
            SMS_WARN("%s: %s: %s: message %d is not in folder %d; nothing removed", msgId, node);
            return SMS_FAIL;
        }
    }
    const ZSDK_STATUS rc = ZSDK_SMSSrv_RemoveMsg(msgId, memPosition);
    SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg () returned %li", long(rc));
    if (rc == 0) {
        noteTakenOut(msgId);
        emit DeleteSMSInUiService(msgId, node, memPosition, true);
    }
    return 1;
}

// Reads message `newId` back from the storage of `toNode` into the buffers.
int SMSStatusUILogic::readBack(int newId, int toNode)
{
    DeviceRecordGuard guard;
    if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, nullptr, nullptr) != 0 || !guard.record) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord returned error");
        return SMS_FAIL;
    }
    guard.record->iMsgId = newId;
    if (ZSDK_SMSSrv_GetMsg(guard.record, GetMemPosition(toNode)) != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_GetMsg returned error");
        return SMS_OK;   // the change itself succeeded
    }
    SMSLocalRecordPtr rec;
    return sortSMSToCorrespondingNodes(guard.record, &rec);
}

// Stores a copy of `rec` in folder `toNode`: as a new message (id -1) or under its own id, and
// with its previous folder set to the target or kept. The new id goes to *newId.
int SMSStatusUILogic::saveCopy(const SMSLocalRecord& rec, int toNode, bool keepId, bool targetIsOrigin, int32_t* newId)
{
    SMSLocalRecord copy = rec;
    SMSDeviceRecord device{};
    populateLocalRecordToSDKStructure(&device, &copy);
    if (!keepId)
        device.iMsgId = -1;
    // The device keeps sent PC messages in the outbox; Sent Items is the page's view of them.
    device.iNode = toNode == NODE_LOCAL_SENT ? NODE_LOCAL_OUTBOX : toNode;
    if (targetIsOrigin)
        device.iOrigNode = device.iNode;
    int32_t flag = 1;
    *newId = -1;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_SaveMsg(&device, newId, &flag);
    if (rc != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SaveMsg() returned %li", long(rc));
        return SMS_FAIL;
    }
    return SMS_OK;
}

int SMSStatusUILogic::MoveSMS(const SMSLocalRecord* rec, int fromNode, int toNode, int mode)
{
    if (mode != 4 && mode != 5)
        return SMS_OK;
    if (!rec)
        return SMS_FAIL;
    m_iLastFromNode = fromNode;
    m_iLastToNode = toNode;
    int32_t newId = -1;
    if (saveCopy(*rec, toNode, false, mode == 5, &newId) != SMS_OK)
        return SMS_FAIL;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_RemoveMsg(rec->iMsgId, GetMemPosition(fromNode));
    if (rc != 0) {
        SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg () returned %li", long(rc));
        // The original stays where it was: the copy just saved goes again, so the message is
        // not there twice.
        const ZSDK_STATUS undo = ZSDK_SMSSrv_RemoveMsg(newId, GetMemPosition(toNode));
        if (undo != 0)
            SMS_WARN("%s: %s: %s: message %d could not leave folder %d and its copy %d in folder %d could not be taken back (%li): it is there twice",
                     rec->iMsgId, fromNode, int(newId), toNode, long(undo));
        return SMS_FAIL;
    }
    noteTakenOut(rec->iMsgId);
    emit DeleteSMSInUiService(rec->iMsgId, fromNode, fromNode, true);
    return readBack(newId, toNode) == SMS_FAIL ? SMS_FAIL : SMS_OK;
}

int SMSStatusUILogic::CopySMS(const SMSLocalRecord* rec, int fromNode, int toNode, int mode)
{
    if (mode != 6 && mode != 9)
        return SMS_OK;
    if (!rec)
        return SMS_FAIL;
    m_iLastFromNode = fromNode;
    m_iLastToNode = toNode;
    int32_t newId = -1;
    if (saveCopy(*rec, toNode, true, mode == 6, &newId) != SMS_OK)
        return SMS_FAIL;
    return readBack(newId, toNode);
}

// The message is saved back into its previous folder first and leaves the trash only once that
// save succeeded: a recover that cannot be done (card full or absent) leaves it where it was.
int SMSStatusUILogic::RecoverSMS(const SMSLocalRecord* rec, int fromNode, int memPosition)
{
    if (!rec)
        return SMS_FAIL;
    SMSLocalRecord copy = *rec;
    SMSDeviceRecord device{};
    populateLocalRecordToSDKStructure(&device, &copy);
    device.iNode = device.iOrigNode;
    int32_t newId = -1, flag = 1;
    ZSDK_STATUS rc = ZSDK_SMSSrv_SaveMsg(&device, &newId, &flag);
    SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SaveMsg() returned %li", long(rc));
    if (rc != 0)
        return SMS_FAIL;
    const int target = GetMemPosition(device.iNode);
    rc = ZSDK_SMSSrv_RemoveMsg(copy.iMsgId, memPosition);
    SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg () returned %li", long(rc));
    if (rc != 0) {
        // Still in the trash: the copy just saved goes again, so the message is not there twice.
        const ZSDK_STATUS undo = ZSDK_SMSSrv_RemoveMsg(newId, target);
        if (undo != 0)
            SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_RemoveMsg () returned %li", long(undo));
        return SMS_FAIL;
    }
    noteTakenOut(copy.iMsgId);
    emit DeleteSMSInUiService(copy.iMsgId, fromNode, memPosition, true);
    DeviceRecordGuard guard;
    if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, nullptr, nullptr) != 0 || !guard.record)
        return SMS_FAIL;
    guard.record->iMsgId = newId;
    // Read back from where it went (a message dragged from the card to the trash goes back there).
    if (ZSDK_SMSSrv_GetMsg(guard.record, target) != 0)
        return SMS_FAIL;
    SMSLocalRecordPtr restored;
    return sortSMSToCorrespondingNodes(guard.record, &restored) == SMS_OK ? SMS_OK : SMS_FAIL;
}

int SMSStatusUILogic::SaveMsgToDraft(const QString& number, const QString& content, SMSLocalRecordPtr* stored)
{
    DeviceRecordGuard guard;
    if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, number.utf16(), content.utf16()) != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord failed");
        return SMS_FAIL;
    }
    if (!guard.record) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord returned pRecord NULL");
        return SMS_FAIL;
    }
    guard.record->iOrigNode = NODE_LOCAL_DRAFT;
    guard.record->iNode = NODE_LOCAL_DRAFT;
    guard.record->iPriority = 4;
    int32_t newId = -1, flag = 1;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_SaveMsg(guard.record, &newId, &flag);
    SMS_DEBUG("%s: %s:returned value ZSDK_SMSSrv_SaveMsg = %ld", SMSLog::now().constData(), __func__, long(rc));
    if (rc != 0)
        return SMS_FAIL;
    guard.record->iMsgId = newId;
    SMSLocalRecordPtr rec;
    if (sortSMSToCorrespondingNodes(guard.record, &rec) != SMS_OK)
        return SMS_FAIL;
    if (stored)
        *stored = GetSingleSMSPtr(NODE_LOCAL_DRAFT, newId);
    SMSDeviceRecord* record = guard.record;
    guard.record = nullptr;
    if (ZSDK_SMSSrv_ReleaseSMSRecord(&record) != 0) {
        SMS_LOG("%s: %s: %s:ZSDK_SMSSrv_ReleaseSMSRecord returned error");
        return SMS_FAIL;
    }
    return SMS_OK;
}

int SMSStatusUILogic::UpdateSms(const SMSLocalRecord* rec)
{
    if (!rec)
        return SMS_INVALID_ARG;
    SMSLocalRecord copy = *rec;
    SMSDeviceRecord device{};
    const int rc = populateLocalRecordToSDKStructure(&device, &copy);
    if (rc != SMS_OK) {
        SMS_LOG("%s: %s: %s  populateLocalRecordToSDKStructure returned error");
        return rc;
    }
    ZSDK_SMSSrv_UpdateMsg(&device);
    emit DeleteSMSInUiService(copy.iMsgId, copy.iNode, GetMemPosition(copy.iNode), true);
    UpdateSMSBufferUsingMsgID(copy.iMsgId, copy.iNode);
    return rc;
}

int SMSStatusUILogic::ReadUnReadSMS(int msgId, int node)
{
    SMSLocalRecord copy = GetSingleSMS(node, msgId);
    if (copy.iReadFlag == 0)
        return SMS_OK;
    copy.iReadFlag = 0;
    copy.imgStatus = StatusImage(0);
    SMSDeviceRecord device{};
    if (populateLocalRecordToSDKStructure(&device, &copy) != SMS_OK) {
        SMS_LOG("%s: %s: %s populateLocalRecordToSDKStructure returned failure");
        return SMS_FAIL;
    }
    if (ZSDK_SMSSrv_UpdateMsg(&device) != 0) {
        SMS_LOG("%s: %s: %s ZSDK_SMSSrv_UpdateMsg returned failure");
        return SMS_FAIL;
    }
    return SMS_OK;
}

int SMSStatusUILogic::GetSMSRecordUsingID(int msgId, int node, SMSLocalRecord** out)
{
    if (!out)
        return SMS_INVALID_ARG;
    *out = new SMSLocalRecord;
    DeviceRecordGuard guard;
    if (ZSDK_SMSSrv_CreateSMSRecord(&guard.record, nullptr, nullptr) != 0 || !guard.record)
        return SMS_FAIL;
    guard.record->iMsgId = msgId;
    if (ZSDK_SMSSrv_GetMsg(guard.record, GetMemPosition(node)) != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_GetMsg returned error");
        return SMS_FAIL;
    }
    populateSDKRecordToLocalStructure(guard.record, *out);
    SMSDeviceRecord* record = guard.record;
    guard.record = nullptr;
    if (ZSDK_SMSSrv_ReleaseSMSRecord(&record) != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_ReleaseSMSRecord returned error");
        return SMS_FAIL;
    }
    return SMS_OK;
}

bool SMSStatusUILogic::IsDropAllowed(int source, int target, const QList<SMSLocalRecordPtr>& dragged) const
{
    QList<int> allowed;
    switch (source) {
    case NODE_LOCAL_OUTBOX:
    case NODE_LOCAL_SENT:
        allowed = {2, 3, 4};
        if (m_bLocal2Device)
            allowed << 6 << 8;
        break;
    case NODE_LOCAL_INBOX:
        allowed = {2, 3, 4};
        if (m_bLocal2Device)
            allowed << 7 << 9;
        break;
    case NODE_LOCAL_DRAFT: allowed = {3, 4}; break;
    case NODE_LOCAL_FAVORITE: allowed = {2, 4}; break;
    case NODE_LOCAL_TRASH: allowed = {2, 3}; break;
    case NODE_SIM_OUTBOX: allowed = {0, 2, 3, 4, 8, 15}; break;
    case NODE_SIM_INBOX: allowed = {1, 2, 3, 4, 9}; break;
    case NODE_DEVICE_OUTBOX: allowed = {0, 2, 3, 4, 6, 15}; break;
    case NODE_DEVICE_INBOX: allowed = {1, 2, 3, 4, 7}; break;
    default: return false;
    }
    if (!allowed.contains(target))
        return false;
    const bool sentItems = sentItemsView();
    if ((source == NODE_SIM_OUTBOX || source == NODE_DEVICE_OUTBOX) && sentItems
        && (target == NODE_LOCAL_OUTBOX || target == NODE_LOCAL_SENT)) {
        // Unsent copies go to the Outbox, sent ones to Sent Items.
        for (const SMSLocalRecordPtr& rec : dragged) {
            if (!rec)
                continue;
            if (target == NODE_LOCAL_OUTBOX && rec->iStatus == 1)
                return true;
            if (target == NODE_LOCAL_SENT && rec->iStatus != 1)
                return true;
        }
        return false;
    }
    return true;
}
