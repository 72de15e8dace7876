#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"

#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "store/SMSLog.h"
#include "Startup.h"
#include "zsdk.h"

#include <QMutex>
#include <algorithm>

namespace {
SMSSettingUILogic* g_logic = nullptr;
QMutex g_logicMutex;   // the device callback looks the instance up on the service's thread

int deviceResult(const char* call, ZSDK_STATUS rc)
{
    SMS_DEBUG("%s: %s returned %ld", SMSLog::now().constData(), call, long(rc));
    return rc == 0 ? 0 : 23;
}
}

SMSSettingUILogic* SMSSettingUILogic::Instance()
{
    QMutexLocker lock(&g_logicMutex);
    if (!g_logic) {
        g_logic = new SMSSettingUILogic;
        SMSStatusUILogic::SetConfigLookup([](const QString& key) {
            SMSSettingUILogic* logic = SMSSettingUILogic::Existing();
            return logic ? logic->GetConfigValue(key) : QString();
        });
    }
    return g_logic;
}

SMSSettingUILogic* SMSSettingUILogic::Existing() { return g_logic; }

void SMSSettingUILogic::Destroy()
{
    SMSSettingUILogic* logic = nullptr;
    {
        QMutexLocker lock(&g_logicMutex);
        logic = g_logic;
        g_logic = nullptr;
    }
    delete logic;
}

SMSSettingUILogic::SMSSettingUILogic() = default;
SMSSettingUILogic::~SMSSettingUILogic() = default;

int SMSSettingUILogic::InitSmsXMLConfiguration()
{
    m_pConfigMap = std::make_unique<SMSConfigMap>();
    return SmsSettingXMLParse::GetSettingsFromXML(m_pConfigMap.get());
}

int SMSSettingUILogic::GetConfigBool(const QString& key, bool* value) const
{
    if (!m_pConfigMap)
        return 23;
    if (value && m_pConfigMap->contains(key))
        *value = SmsSettingXMLParse::IsOn(*m_pConfigMap, key);
    return 0;
}

QString SMSSettingUILogic::GetConfigValue(const QString& key) const
{
    if (!m_pConfigMap)
        return QString();
    const QList<QString> values = m_pConfigMap->values(key);
    return values.isEmpty() ? QString() : values.last();
}

QStringList SMSSettingUILogic::GetValidityPeriodList() const
{
    if (!m_pConfigMap)
        return {};
    QStringList list = m_pConfigMap->values(QStringLiteral("SMSSettingValidityPeriod"));
    std::reverse(list.begin(), list.end());   // QMultiMap lists the latest insertion first
    return list;
}

int SMSSettingUILogic::GetSMSSetting(const QString& key, bool* value) const
{
    const QString text = CommonUtils::GetSettings(m_strGroup, key);
    if (text.isEmpty()) {
        SMS_DEBUG("%s : %s: %s: String is empty", SMSLog::now().constData(), "SMSSettingUILogic.cpp", __func__);
        return 23;
    }
    if (value)
        *value = text.toInt() != 0;
    return 0;
}

int SMSSettingUILogic::SetSMSSetting(const QString& key, bool value)
{
    CommonUtils::SetSettings(m_strGroup, key, value ? QStringLiteral("1") : QStringLiteral("0"));
    return 0;
}

int SMSSettingUILogic::SetSoundAlertFile(const QString& path)
{
    if (path.isEmpty())
        return 23;
    CommonUtils::SetSettings(m_strGroup, QStringLiteral("SoundAlertFile"), path);
    return 0;
}

int SMSSettingUILogic::GetSoundAlertFile(QString* path) const
{
    if (path)
        *path = CommonUtils::GetSettings(m_strGroup, QStringLiteral("SoundAlertFile"));
    return 0;
}

int SMSSettingUILogic::DeliveryReportSetting(bool on)
{
    return deviceResult("ZSDK_SMSSrv_SetSMSReceiptNotify", ZSDK_SMSSrv_SetSMSReceiptNotify(on ? 1 : 0));
}

int SMSSettingUILogic::GetDeliveryReportSetting(bool* on)
{
    int32_t v = 0;
    const int rc = deviceResult("ZSDK_SMSSrv_GetSMSReceiptNotify", ZSDK_SMSSrv_GetSMSReceiptNotify(&v));
    if (rc == 0 && on)
        *on = v != 0;
    return rc;
}

int SMSSettingUILogic::SetSMSCentreNumber(const QString& number)
{
    return deviceResult("ZSDK_SMSSrv_SetSMSCentreNumber", ZSDK_SMSSrv_SetSMSCentreNumber(number.utf16()));
}

int SMSSettingUILogic::GetSMSCentreNumber(QString* number)
{
    ZSDK_WCHAR buffer[100];
    if (!ZSDK_memset(buffer, sizeof buffer, 0, sizeof buffer))
        SMS_DEBUG("%s: %s: ZSDK_memset fail", SMSLog::now().constData(), __func__);
    int32_t handle = 0;
    const ZSDK_STATUS rc = ZSDK_SMSSrv_GetSMSCentreNumber(&handle, buffer, 100);
    const QString device = QString::fromUtf16(buffer);
    const QString imsi = CommonUtils::getIMSI();
    const QString group = QStringLiteral("SMSCNumber");
    const QString imsi1 = CommonUtils::GetSettings(group, QStringLiteral("IMSI_1"));
    const QString imsi2 = CommonUtils::GetSettings(group, QStringLiteral("IMSI_2"));
    // An operator pins the centre number for SIMs of its own (by IMSI prefix).
    if (imsi.startsWith(imsi1)) {
        if (number)
            *number = CommonUtils::GetSettings(group, QStringLiteral("SMSCNumber_1"));
        return 0;
    }
    if (imsi.startsWith(imsi2)) {
        if (number)
            *number = CommonUtils::GetSettings(group, QStringLiteral("SMSCNumber_2"));
        return 0;
    }
    if (rc == 0) {
        if (number)
            *number = device;
        return 0;
    }
    return 23;
}

int SMSSettingUILogic::SetSMSValidityPeriod(unsigned value)
{
    return deviceResult("ZSDK_SMSSrv_SetSMSValidityPeriod", ZSDK_SMSSrv_SetSMSValidityPeriod(int32_t(value)));
}

int SMSSettingUILogic::GetSMSValidityPeriod(unsigned* value)
{
    int32_t v = 0;
    const int rc = deviceResult("ZSDK_SMSSrv_GetSMSValidityPeriod", ZSDK_SMSSrv_GetSMSValidityPeriod(&v));
    if (rc == 0 && value)
        *value = unsigned(v);
    return rc;
}

int SMSSettingUILogic::SaveMessagePrioritySetting(int priority)
{
    return deviceResult("ZSDK_SMSSrv_SMSSetPriority", ZSDK_SMSSrv_SMSSetPriority(priority));
}

int SMSSettingUILogic::GetMessagePrioritySetting(int* priority)
{
    int32_t v = 0;
    const int rc = deviceResult("ZSDK_SMSSrv_SMSGetPriority", ZSDK_SMSSrv_SMSGetPriority(&v));
    if (rc == 0 && priority)
        *priority = v;
    return rc;
}

int SMSSettingUILogic::GetProductType(QString* type)
{
    int32_t t = 3;
    if (ZSDK_DevSrv_GetProductType(&t) != 0)
        return 23;
    if (type) {
        switch (t) {
        case 0: *type = QStringLiteral("WCDMA"); break;
        case 1: *type = QStringLiteral("CDMA"); break;
        case 2: *type = QStringLiteral("SCDMA"); break;
        default: *type = QStringLiteral("UNKNOW"); break;
        }
    }
    return 0;
}

bool SMSSettingUILogic::GetDeviceStatus()
{
    int32_t s = 0;
    return ZSDK_DevSrv_GetDevStatus(&s) == 0 && s == 3;
}

QString SMSSettingUILogic::GetSimString()
{
    QString type;
    if (GetProductType(&type) != 0)
        return QString();
    return CommonUtils::GetSettings(QStringLiteral("customize"),
                                    type == QLatin1String("CDMA") ? QStringLiteral("uimtype") : QStringLiteral("simtype"));
}

bool SMSSettingUILogic::IsSimValid()
{
    PluginContainer* container = Startup::GetPluginContainer();
    if (!container) {
        SMS_DEBUG("%s: %s: Plugin container is null ", SMSLog::now().constData(), __func__);
        return false;
    }
    auto* mgr = qobject_cast<IDeviceMgr*>(container->GetPlugin(QLatin1String(HostGuid::DeviceMgr), 0x1001));
    return mgr && mgr->IsSimValid();
}

void SMSSettingUILogic::RegisterDevice()
{
    if (ZSDK_DevSrv_RegisterDevInitEventCallback(&SMSSettingUILogic::OnDeviceChangeEvent) != 0)
        SMS_DEBUG("%s: %s: ZSDK_DevSrv_RegisterDevInitEventCallback failed", SMSLog::now().constData(), __func__);
}

void SMSSettingUILogic::UnRegisterDevice()
{
    if (ZSDK_DevSrv_UnRegisterDevInitEventCallback(&SMSSettingUILogic::OnDeviceChangeEvent) != 0)
        SMS_LOG("%s: %s: %s: ZSDK_DevSrv_UnRegisterDevInitEventCallback failed");
}

int SMSSettingUILogic::OnDeviceChangeEvent(int event)
{
    QMutexLocker lock(&g_logicMutex);
    if (!g_logic)
        return false;
    if (event == ZSDK_DEV_INIT_DONE)
        SMS_LOG("%s: %s: %s: ZSDK_EVENT_DEV_DEVICE_INIT_FINISH ");
    if (event == ZSDK_DEV_INIT_DONE || event == ZSDK_DEV_EVENT) {
        emit g_logic->DeviceInit();
        return true;
    }
    return false;
}
