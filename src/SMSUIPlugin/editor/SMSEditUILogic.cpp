#include "editor/SMSEditUILogic.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "zsdk.h"

#include <QMutex>
#include <cstring>

namespace {
SMSEditUILogic* g_editLogic = nullptr;
QMutex g_editMutex;
}

SMSEditUILogic* SMSEditUILogic::Instance()
{
    QMutexLocker lock(&g_editMutex);
    if (!g_editLogic)
        g_editLogic = new SMSEditUILogic;
    return g_editLogic;
}

void SMSEditUILogic::Destroy()
{
    QMutexLocker lock(&g_editMutex);
    delete g_editLogic;
    g_editLogic = nullptr;
}

int SMSEditUILogic::SendSMS(const QString& numbers, const QString& content)
{
    SMSDeviceRecord* handle = nullptr;
    const ZSDK_STATUS created = ZSDK_SMSSrv_CreateSMSRecord(&handle, numbers.utf16(), content.utf16());
    qWarning("The Error code returned by the ZSDK_SMSSrv_CreateSMSRecord = %ld", long(created));
    int result = 1;
    if (created == 0 && handle) {
        SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_SendMsg ()");
        const ZSDK_STATUS sent = ZSDK_SMSSrv_SendMsg(handle);
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SendMsg () returned %li", long(sent));
        result = sent == 0 ? 0 : 1;
    }
    if (handle && ZSDK_SMSSrv_ReleaseSMSRecord(&handle) != 0)
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_ReleaseSMSRecord returned error");
    return result;
}

int SMSEditUILogic::CancelSendSMS(SMSDeviceRecord** handle)
{
    if (!handle)
        return 1;
    return ZSDK_SMSSrv_CancelSendMsg(handle) != 0 ? 1 : 0;
}

bool SMSEditUILogic::UpdateSms(const SMSLocalRecord& record)
{
    const QString content = record.strContent;
    bool withContent = true;
    if (record.iMsgType == 1) {
        // A delivery report whose stored text is empty shows a translated label; the label must
        // not be written back as the report's text.
        SMSDeviceRecord* stored = nullptr;
        if (ZSDK_SMSSrv_CreateSMSRecord(&stored, nullptr, nullptr) != 0 || !stored) {
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord returned error");
            return true;
        }
        stored->iMsgId = record.iMsgId;
        const bool read = ZSDK_SMSSrv_GetMsg(stored, 0) == 0;
        if (read && (!stored->pContent || stored->pContent[0] == 0))
            withContent = false;
        ZSDK_SMSSrv_ReleaseSMSRecord(&stored);
        if (!read) {
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_GetMsg returned error");
            return true;
        }
    }
    SMSDeviceRecord update{};
    update.iMsgId = record.iMsgId;
    update.iReadFlag = record.iReadFlag;
    update.iOrigNode = record.iOrigNode == 15 ? 0 : record.iOrigNode;
    update.iNode = record.iNode == 15 ? 0 : record.iNode;
    if (record.iNode == 15)
        update.iOrigNode = 0;
    update.iStatus = record.iStatus;
    update.iMsgType = record.iMsgType;
    update.iAttrA = record.iAttrA;
    update.iAttrB = record.iAttrB;
    update.iAttrC = record.iAttrC;
    update.iAttrD = record.iAttrD;
    update.iPriority = record.iPriority;
    update.pNumber = const_cast<ZSDK_WCHAR*>(record.strNumber.utf16());
    update.pContent = withContent ? const_cast<ZSDK_WCHAR*>(content.utf16()) : nullptr;
    if (!ZSDK_memset(update.szTime, sizeof update.szTime, 0, sizeof update.szTime))
        SMS_LOG("%s: %s: %s: %d: ZSDK_memset fail ", __LINE__);
    std::memcpy(update.szTime, record.strTime.utf16(), size_t(qMin(record.strTime.size(), 19)) * 2);
    const ZSDK_STATUS rc = ZSDK_SMSSrv_UpdateMsg(&update);
    SMS_LOG("%s: %s: %s : ReadUnreadFlagValue = %d ", record.iReadFlag);
    return rc != 0;
}

int SMSEditUILogic::GetMsgSegmentCount(const QString& text, int* count)
{
    int32_t segments = 0;
    if (ZSDK_SMSSrv_GetMsgSplitCount(text.utf16(), &segments) != 0)
        return 1;
    if (count)
        *count = segments;
    return 0;
}

QString SMSEditUILogic::GetCardTypeName()
{
    m_strCardType.clear();
    int32_t product = 3;
    if (ZSDK_DevSrv_GetProductType(&product) == 0)
        m_strCardType = CommonUtils::GetSettings(QStringLiteral("customize"), product == 1 ? QStringLiteral("uimtype") : QStringLiteral("simtype"));
    return m_strCardType;
}
