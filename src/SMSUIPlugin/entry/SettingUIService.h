// The settings service: the SMS page of the host's settings dialog.
#pragma once

#include "HostInterfaces.h"

#include <QObject>

class SmsSettingUIPlugin;

class CSettingUIService : public QObject, public ISettingUIPlugin
{
    Q_OBJECT
public:
    static CSettingUIService* Instance();
    static CSettingUIService* Existing();
    static void Release();

    bool Init();
    void InitSmsSetting();
    int Notify(int iNotifyEvent, int param1, int param2);
    void unSDKRegisterEvent();
    SmsSettingUIPlugin* Page() const { return m_pPage; }

    // ISettingUIPlugin
    bool ApplySetting() override;
    bool CancelSetting() override;
    bool ShowSettingPage(QWidget* parent, const QRect& rect) override;
    QString GetSettingName() override;
    bool IsSettingValid() override;
    bool IsPageShown() override;

private:
    CSettingUIService();
    ~CSettingUIService() override;

    SmsSettingUIPlugin* m_pPage = nullptr;
    bool m_bPageShown = false;
};
