#include "worker/SMSThreadUI.h"

#include "editor/SMSEditUILogic.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "zsdk.h"

#include <atomic>

namespace {
// One flag for every worker: the progress dialog cancels whichever job runs.
std::atomic<bool> g_cancel{false};

bool isCardOutbox(int node) { return node == NODE_SIM_OUTBOX || node == NODE_DEVICE_OUTBOX; }
bool isDeviceFolder(int node) { return node == 8 || node == 9 || node == 14; }
bool isSimFolder(int node) { return node == 6 || node == 7 || node == 12; }
}

SMSThreadUI::SMSThreadUI()
{
    if (SMSStatusUILogic* store = SMSStatusUILogic::Existing())
        connect(store, &SMSStatusUILogic::SmsSendResult, this, &SMSThreadUI::onSendResult);
}

void SMSThreadUI::setWork(int kind, const QList<SMSLocalRecordPtr>& records, int memPosition, int targetNode, int sourceNode)
{
    g_cancel.store(false);
    m_iWorkKind = kind;
    m_iMemPosition = memPosition;
    m_iTargetNode = targetNode;
    m_iSourceNode = sourceNode;
    for (const SMSLocalRecordPtr& rec : records)
        if (rec)
            m_listRecords.append(*rec);
}

void SMSThreadUI::setSendWork(int kind, const QString& number, const QString& content)
{
    g_cancel.store(false);
    m_iWorkKind = kind;
    m_strNumber = number;
    m_strContent = content;
}

void SMSThreadUI::requestCancel() { g_cancel.store(true); }
void SMSThreadUI::clearCancel() { g_cancel.store(false); }
bool SMSThreadUI::isCancelRequested() { return g_cancel.load(); }

void SMSThreadUI::onSendResult(bool ok) { emit SendSignalEvent(ok, 0); }

void SMSThreadUI::run()
{
    switch (m_iWorkKind) {
    case WorkSend: sendSmsWork(); break;
    case WorkCancelSend: cancelSendWork(); break;
    case WorkDelete: case WorkRecover: case WorkDragMove: case WorkMove:
    case WorkCopy: case WorkCopy7: case WorkCopy8: case WorkDragCopy:
        recordLoop();
        break;
    default:
        break;
    }
    // Whatever ended the job (done, cancelled, refused by the device, no store), its records
    // must not be worked on again by the next one.
    m_listRecords.clear();
}

void SMSThreadUI::sendSmsWork()
{
    // The results arrive later as the store's send results (onSendResult).
    SMSEditUILogic* logic = SMSEditUILogic::Instance();
    if (!logic) {
        SMS_LOG("%s: %s: %s: SMSEditUILogic::Instance() failed");
        emit sendNotStarted();
        return;
    }
    if (logic->SendSMS(m_strNumber, m_strContent) != 0) {
        SMS_WARN("%s: %s: %s: the device did not take the message; no results will come");
        emit sendNotStarted();
    }
}

void SMSThreadUI::cancelSendWork()
{
    SMSDeviceRecord* handle = nullptr;   // no handle: every send still waiting
    SMSEditUILogic::Instance()->CancelSendSMS(&handle);
}

int SMSThreadUI::moveCopyDestination(const SMSLocalRecord& rec, int previous) const
{
    if (m_iSourceNode != NODE_SIM_ROOT && m_iSourceNode != NODE_DEVICE_ROOT)
        return m_iTargetNode;
    switch (rec.iNode) {
    case NODE_SIM_OUTBOX: return isDeviceFolder(m_iTargetNode) ? NODE_DEVICE_OUTBOX : NODE_LOCAL_OUTBOX;
    case NODE_SIM_INBOX: return isDeviceFolder(m_iTargetNode) ? NODE_DEVICE_INBOX : NODE_LOCAL_INBOX;
    case NODE_DEVICE_OUTBOX: return isSimFolder(m_iTargetNode) ? NODE_SIM_OUTBOX : NODE_LOCAL_OUTBOX;
    case NODE_DEVICE_INBOX: return isSimFolder(m_iTargetNode) ? NODE_SIM_INBOX : NODE_LOCAL_INBOX;
    default: return previous;
    }
}

bool SMSThreadUI::dragRefused(const SMSLocalRecord& rec) const
{
    if (!m_bSentItemsBox || !isCardOutbox(rec.iNode))
        return false;
    // Sent copies belong in Sent Items, unsent ones in the Outbox.
    return (rec.iStatus == 0 && m_iTargetNode == NODE_LOCAL_OUTBOX) || (rec.iStatus == 1 && m_iTargetNode == NODE_LOCAL_SENT);
}

void SMSThreadUI::handleRecord(int i, const SMSLocalRecord& rec, int* destination)
{
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    switch (m_iWorkKind) {
    case WorkDelete:
        // The window counts deletions, it does not need to know which failed.
        emit deleteSignalEvent(store->DeleteSMS(rec.iMsgId, rec.iNode, m_iMemPosition) ? 0 : i);
        break;
    case WorkRecover:
        emit recoverSignalEvent(store->RecoverSMS(&rec, rec.iNode, m_iMemPosition) == 0, i);
        break;
    case WorkMove:
        *destination = moveCopyDestination(rec, *destination);
        emit moveOrCopyEvent(store->MoveSMS(&rec, rec.iNode, *destination, WorkMove) == 0, i);
        break;
    case WorkCopy: case WorkCopy7: case WorkCopy8:
        *destination = moveCopyDestination(rec, *destination);
        emit moveOrCopyEvent(store->CopySMS(&rec, rec.iNode, *destination, WorkCopy) == 0, i);
        break;
    case WorkDragMove:
    case WorkDragCopy:
        if (dragRefused(rec)) {
            SMS_LOG("%s: %s: %s: Sending the signale(smsDragged) in case of failure");
            emit smsDragged(false);
        } else if (m_iWorkKind == WorkDragMove) {
            emit smsDragged(store->MoveSMS(&rec, rec.iNode, m_iTargetNode, WorkDragMove) == 0);
        } else {
            emit smsDragged(store->CopySMS(&rec, rec.iNode, m_iTargetNode, WorkDragCopy) == 0);
        }
        break;
    default:
        break;
    }
}

void SMSThreadUI::recordLoop()
{
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (!store)
        return;
    const bool deleting = m_iWorkKind == WorkDelete;
    if (store->BeginBatch(m_iMemPosition) != 0) {
        if (deleting)
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_BeginTransaction returned error");
        else
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_BeginTransaction failed");
        return;
    }
    int destination = -1;
    int i = 0;
    while (i < m_listRecords.size() && !g_cancel.load()) {
        const SMSLocalRecord rec = m_listRecords.at(i);
        handleRecord(i, rec, &destination);
        QThread::usleep(500);
        ++i;
    }
    if (g_cancel.load()) {
        m_listRecords.clear();
        g_cancel.store(false);
    }
    if (store->EndBatch(m_iMemPosition) != 0) {
        if (deleting)
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_EndTransaction returned error");
        else
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_EndTransaction failed");
        // The records were reported done one by one, but the device kept none of them: the
        // window reads the storages again and says that the whole job failed.
        SMS_WARN("%s: %s: %s: the device could not store the batch; nothing of it was kept");
        emit batchNotStored();
    }
    m_listRecords.clear();
}
