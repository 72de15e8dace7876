// The one place where the SMS settings are read and written: PC-side options in the host
// settings group "SMSSERVICE", device options through the device service, and the plug-in's
// configuration file.
#pragma once

#include "store/SmsSettingXMLParse.h"

#include <QObject>
#include <QStringList>
#include <memory>

class SMSSettingUILogic : public QObject
{
    Q_OBJECT
public:
    static SMSSettingUILogic* Instance();
    static SMSSettingUILogic* Existing();
    static void Destroy();

    int InitSmsXMLConfiguration();
    bool IsConfigLoaded() const { return m_pConfigMap != nullptr; }
    int GetConfigBool(const QString& key, bool* value) const;   // 23 without a loaded map
    QString GetConfigValue(const QString& key) const;
    QStringList GetValidityPeriodList() const;

    int GetSMSSetting(const QString& key, bool* value) const;
    int SetSMSSetting(const QString& key, bool value);
    int SetSoundAlertFile(const QString& path);
    int GetSoundAlertFile(QString* path) const;

    int DeliveryReportSetting(bool on);
    int GetDeliveryReportSetting(bool* on);
    int SetSMSCentreNumber(const QString& number);
    int GetSMSCentreNumber(QString* number);
    int SetSMSValidityPeriod(unsigned value);
    int GetSMSValidityPeriod(unsigned* value);
    int SaveMessagePrioritySetting(int priority);
    int GetMessagePrioritySetting(int* priority);
    int GetProductType(QString* type);
    bool GetDeviceStatus();
    QString GetSimString();
    bool IsSimValid();
    void RegisterDevice();
    void UnRegisterDevice();
    static int OnDeviceChangeEvent(int event);

signals:
    void DeviceInit();

private:
    SMSSettingUILogic();
    ~SMSSettingUILogic() override;

    std::unique_ptr<SMSConfigMap> m_pConfigMap;
    const QString m_strGroup = QStringLiteral("SMSSERVICE");
};
