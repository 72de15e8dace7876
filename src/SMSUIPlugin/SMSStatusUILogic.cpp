#include "SMSStatusUILogic.h"

#include "CommonUtils.h"
#include "SMSLog.h"
#include "zsdk.h"

namespace {
SMSStatusUILogic* g_store = nullptr;
// Serialises callbacks with each other; separate from the store so that a callback arriving
// while the store is being destroyed finds it gone rather than half-destroyed.
QMutex g_callbackMutex;
}

SMSStatusUILogic* SMSStatusUILogic::Instance()
{
    QMutexLocker lock(&g_callbackMutex);
    if (!g_store)
        g_store = new SMSStatusUILogic;
    return g_store;
}

SMSStatusUILogic* SMSStatusUILogic::Existing() { return g_store; }

void SMSStatusUILogic::Release()
{
    SMSStatusUILogic* store = nullptr;
    {
        QMutexLocker lock(&g_callbackMutex);
        store = g_store;
        g_store = nullptr;
    }
    delete store;
}

SMSStatusUILogic::SMSStatusUILogic() = default;
SMSStatusUILogic::~SMSStatusUILogic() = default;

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
    QMutexLocker lock(&g_callbackMutex);
    qDebug("%s: %s:Entered in callbackfunction ", SMSLog::now().constData(), __func__);
    if (CommonUtils::IsShuttingDown()) {
        qDebug("%s: %s: application is shutting down; event %d ignored", SMSLog::now().constData(), __func__, event);
        return 1;
    }
    SMSStatusUILogic* store = g_store;
    if (!store) {
        qDebug("%s: %s:m_pSMSStatusLogicInst is NULL", SMSLog::now().constData(), __func__);
        return 0;
    }
    switch (event) {
    case ZSDK_EVT_SEND_RESULT: {
        const auto* record = static_cast<const SMSDeviceRecord*>(data);
        emit store->SmsSendResult(record && record->iStatus == 0);
        break;
    }
    case ZSDK_EVT_STATUS:
        if (data)
            emit store->memoryStatus(static_cast<const ZSDK_EventBlock*>(data)->value);
        break;
    case ZSDK_EVT_DELETED:
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
        // Received and saved-sent messages go into the buffers; until they exist the events are
        // only logged.
        qDebug("%s: %s:Caught in Default case ", SMSLog::now().constData(), __func__);
        break;
    }
    return 1;
}

int SMSStatusUILogic::GetUnReadSMSTotalCount()
{
    return 0;
}

void SMSStatusUILogic::SyncBuffersWithPB() {}

bool SMSStatusUILogic::IsValidNumber(const QString& numbers) const
{
    if (numbers.startsWith(QLatin1Char(';')) || numbers.contains(QLatin1String(";;")))
        return false;
    for (int i = 0; i < numbers.size(); ++i) {
        const QChar c = numbers.at(i);
        if (!m_strNumberChars.contains(c))
            return false;
        if (c == QLatin1Char('+') && i > 0 && numbers.at(i - 1) != QLatin1Char(';'))
            return false;
    }
    return true;
}
