// Device-service callbacks turned into the store's signals. Runs on the service's event thread;
// the signals reach the window through queued connections.

#include "store/SMSStatusUILogic.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "zsdk.h"

// Serialises callbacks with each other and with the store's release.
QMutex g_smsCallbackMutex;

int SMSStatusUILogic::InitStatusLogic()
{
    ZSDK_STATUS rc = ZSDK_SMSSrv_RegCallBack(&SMSStatusUILogic::SmsCallBackMethod);
    if (rc != 0) {
        SMS_WARN("%s: %s: %s: ZSDK_SMSSrv_RegCallBack returned %li", long(rc));
        return 1;
    }
    rc = ZSDK_PBSrv_RegisterPBCallback(&SMSStatusUILogic::SmsCallBackMethod);
    if (rc != 0) {
        SMS_WARN("%s: %s: %s: ZSDK_PBSrv_RegisterPBCallback returned %li", long(rc));
        return 1;
    }
    return 0;
}

void SMSStatusUILogic::unSDKRegisterEvent()
{
    ZSDK_SMSSrv_UnRegCallBack(&SMSStatusUILogic::SmsCallBackMethod);
    ZSDK_PBSrv_UnRegisterPBCallback(&SMSStatusUILogic::SmsCallBackMethod);
}

int SMSStatusUILogic::SmsCallBackMethod(int event, void* data)
{
    QMutexLocker lock(&g_smsCallbackMutex);
    SMS_DEBUG("%s: %s:Entered in callbackfunction ", SMSLog::now().constData(), __func__);
    if (CommonUtils::IsShuttingDown()) {
        SMS_DEBUG("%s: %s: the application is shutting down; event %d ignored", SMSLog::now().constData(), __func__, event);
        return 1;
    }
    SMSStatusUILogic* store = Existing();
    if (!store) {
        SMS_DEBUG("%s: %s:m_pSMSStatusLogicInst is NULL", SMSLog::now().constData(), __func__);
        return 0;
    }
    switch (event) {
    case ZSDK_EVT_SEND_RESULT: {
        SMS_LOG("%s: %s: %s: Obtained the EVENT_SMS_ONSENDRESULT");
        const auto* record = static_cast<const SMSDeviceRecord*>(data);
        if (record && record->iStatus == 0) {
            SMS_LOG("%s: %s: %s: Successfully sent the message(EVENT_SMS_ONSENDRESULT)");
            emit store->SmsSendResult(true);
        } else {
            SMS_LOG("%s: %s: %s: Failed to send the message(EVENT_SMS_ONSENDRESULT)");
            emit store->SmsSendResult(false);
        }
        break;
    }
    case ZSDK_EVT_RECEIVED:
        store->onSmsReceive(static_cast<SMSDeviceRecord*>(data));
        break;
    case ZSDK_EVT_STATUS:
        SMS_LOG("%s: %s: %s: Sending  EVENT_SMS_ONSTATUSCHANGED");
        if (data)
            emit store->memoryStatus(static_cast<const ZSDK_EventBlock*>(data)->value);
        break;
    case ZSDK_EVT_SENT_SAVED: {
        SMS_LOG("%s: %s: %s: Sending  EVENT_SMS_ONSAVESEND");
        auto* device = static_cast<SMSDeviceRecord*>(data);
        if (!device)
            break;
        SMSLocalRecordPtr rec;
        if (store->sortSMSToCorrespondingNodes(device, &rec) != 0)
            SMS_LOG("%s: %s: %s:sortSMSToCorrespondingNodes returned error");
        {
            QMutexLocker buffers(&store->m_mutexBuffer);
            store->m_listSentRecords.append(rec);
        }
        emit store->SMSSentRecord(device->iMsgId);
        emit store->progressbarCloseEvent(device->iStatus);
        break;
    }
    case ZSDK_EVT_DELETED:
        SMS_LOG("%s: %s: %s: Obtained the EVENT_SMS_DELETE");
        if (data) {
            const auto* block = static_cast<const ZSDK_EventBlock*>(data);
            emit store->CallBackDelete(block->value, block->folder);
        }
        break;
    case ZSDK_EVT_PB_READY:
    case ZSDK_EVT_PB_READY2:
        emit store->PBSIMNVReady();
        break;
    default:
        SMS_DEBUG("%s: %s:Caught in Default case ", SMSLog::now().constData(), __func__);
        break;
    }
    return 1;
}

void SMSStatusUILogic::onSmsReceive(SMSDeviceRecord* record)
{
    if (!record) {
        SMS_LOG("%s: %s: %s: Either m_pSMSStatusLogicInst or pHandle is NULL");
        return;
    }
    SMS_LOG("%s: %s: %s: Obtained the EVENT_SMS_ONRECEIVE");
    SMSLocalRecordPtr rec;
    if (sortSMSToCorrespondingNodes(record, &rec) != 0 || !rec) {
        SMS_LOG("%s: %s: %s:sortSMSToCorrespondingNodes returned error");
        return;
    }
    if (rec->iAttrA != 0) {
        {
            QMutexLocker buffers(&m_mutexBuffer);
            m_listReceivedRecords.append(rec);
        }
        emit SMSReceiveRecord(record->iMsgId);
    }
    const QString sender = rec->strName.isEmpty() ? rec->strNumber : rec->strName;
    const QString content = record->pContent ? QString::fromUtf16(record->pContent) : QString();
    int n = 0;
    while (n < 20 && record->szTime[n])
        ++n;
    const QString time = QString::fromUtf16(record->szTime, n);
    SMS_LOG("%s: %s: %s: Sending New Message Alert Signal ()");
    if (rec->iAttrA == 0) {
        SMS_LOG("%s: %s: %s: Sending the new message notification for Class 0 message");
        emit NewMsg_Event(content, rec->strNumber, time, record->iNode, 0);
    } else {
        SMS_LOG("%s: %s: %s: Sending the new message notification for ordinary message");
        emit NewMsg_Event(content, sender, time, record->iNode, 1);
    }
}

namespace {
QMutex g_notifyMutex;
std::function<void(const QString&)> g_notify;   // set while the new-message popup exists
}

void SMSStatusUILogic::SetNotifyHandler(std::function<void(const QString&)> show)
{
    QMutexLocker lock(&g_notifyMutex);
    g_notify = std::move(show);
}

void SMSStatusUILogic::showNotifyDialog(const QString& text)
{
    std::function<void(const QString&)> show;
    {
        QMutexLocker lock(&g_notifyMutex);
        show = g_notify;
    }
    if (!show) {
        SMS_LOG("%s: %s: %s:SMSTaskbarNotifier pointer obtained is NULL");
        return;
    }
    SMS_LOG("%s: %s: %s:Calling Show() function");
    show(text);
}
