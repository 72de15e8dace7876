// Device, network, radio, SIM and memory questions, the SMS settings the store answers and the
// number check.

#include "store/SMSStatusUILogic.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "entry/SettingUIService.h"
#include "zsdk.h"

bool SMSStatusUILogic::IsDevAvailable()
{
    SMS_LOG("%s: %s: %s: Calling ZSDK_DevSrv_GetDevStatus ()");
    int32_t state = 0;
    return ZSDK_DevSrv_GetDevStatus(&state) == 0 && state == 3;
}

bool SMSStatusUILogic::GetNetworkModeStatus()
{
    int32_t state = 0;
    const ZSDK_STATUS rc = ZSDK_NetSrv_GetSrvStatus(&state);
    if (rc != 0) {
        SMS_LOG("%s: %s: %s: ZSDK_NetSrv_GetSrvStatus returned %li", long(rc));
        return false;
    }
    return state == 2;
}

bool SMSStatusUILogic::IsRFEnabled()
{
    int32_t block[2];
    if (!ZSDK_memset(block, sizeof block, 0, sizeof block))
        SMS_LOG("%s: %s: %s: %d: ZSDK_memset fail", __LINE__);
    if (!IsDevAvailable() || ZSDK_DevSrv_GetRFSwitch(block) != 0) {
        SMS_LOG("<======== %s: %s: %s:  ZSDK_DevSrv_GetRFSwitch failed");
        return false;
    }
    SMS_LOG("<======== %s: %s: %s:  ZSDK_DevSrv_GetRFSwitch success");
    return block[0] != 0 && block[1] != 0;
}

int SMSStatusUILogic::GetSimStatus(int* status)
{
    if (!status)
        return 15;
    int32_t state = 0;
    if (ZSDK_DevSrv_GetSimStatus(&state) != 0) {
        *status = 0;
        SMS_DEBUG("%s : %s : %s : ZSDK_DevSrv_GetSimStatus returned Error", SMSLog::now().constData(), "SMSStatusUILogicStatus.cpp", __func__);
        return 1;
    }
    *status = state;
    return 0;
}

bool SMSStatusUILogic::IsSimValidForSMS()
{
    int32_t state = 0;
    uint8_t a = 0, b = 0, c = 0;
    const ZSDK_STATUS rc = ZSDK_DevSrv_GetPinStatus(0, &state, &a, &b, &c);
    SMS_LOG("%s: %s: %s:%d : %d ZSDK_DevSrv_GetPinStatus ", int(rc), int(state));
    return rc == 0 && (state == 1 || state == 8);
}

bool SMSStatusUILogic::GetMemorySatus(int* capacity, int* used, int memPosition)
{
    SMS_LOG("%s: %s: %s: Calling ZSDK_SMSSrv_GetRecordInfo()");
    int32_t cap = 0, n = 0;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_GetRecordInfo(&cap, &n, memPosition);
    SMS_DEBUG("%s: %s:returned value ZSDK_SMSSrv_GetRecordInfo = %ld", SMSLog::now().constData(), __func__, long(rc));
    if (rc != 0)
        return true;
    if (capacity)
        *capacity = cap;
    if (used)
        *used = n;
    return false;
}

int SMSStatusUILogic::GetSMSSetting(const QString& key, bool* value)
{
    const QString group = QStringLiteral("SMSSERVICE");
    QString text = CommonUtils::GetSettings(group, key);
    if (text.isEmpty()) {
        // The settings page writes the defaults when it is first initialised.
        CSettingUIService* service = CSettingUIService::Instance();
        service->Init();
        service->InitSmsSetting();
        text = CommonUtils::GetSettings(group, key);
    }
    if (text.isEmpty()) {
        SMS_DEBUG("%s : %s: %s: String is empty", SMSLog::now().constData(), "SMSStatusUILogicStatus.cpp", __func__);
        return 23;
    }
    const bool on = text.toInt() != 0;
    if (value)
        *value = on;
    SMS_DEBUG("%s : %s: %s:GetSettings() Return %d", SMSLog::now().constData(), "SMSStatusUILogicStatus.cpp", __func__, int(on));
    return 0;
}

QString SMSStatusUILogic::GetSoundAlertFile()
{
    return CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile"));
}

namespace {
QMutex g_configMutex;
std::function<QString(const QString&)> g_configLookup;   // set while the settings logic exists
}

void SMSStatusUILogic::SetConfigLookup(std::function<QString(const QString&)> lookup)
{
    QMutexLocker lock(&g_configMutex);
    g_configLookup = std::move(lookup);
}

QString SMSStatusUILogic::GetRegExpForNumberLimitCustomization()
{
    std::function<QString(const QString&)> lookup;
    {
        QMutexLocker lock(&g_configMutex);
        lookup = g_configLookup;
    }
    return lookup ? lookup(QStringLiteral("NumberLimit")) : QString();
}

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
