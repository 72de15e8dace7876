#include "entry/SettingUIService.h"

#include "Change.h"
#include "HostGuids.h"
#include "store/SMSLog.h"
#include "settings/SMSSettingUILogic.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "settings/SmsSettingUIPlugin.h"

namespace {
CSettingUIService* g_settings = nullptr;
}

CSettingUIService* CSettingUIService::Instance()
{
    if (!g_settings)
        g_settings = new CSettingUIService;
    return g_settings;
}

CSettingUIService* CSettingUIService::Existing() { return g_settings; }

void CSettingUIService::Release()
{
    delete g_settings;
    g_settings = nullptr;
    SMSSettingUILogic::Destroy();
    SMSTaskbarNotifier::Release();
}

CSettingUIService::CSettingUIService() = default;

CSettingUIService::~CSettingUIService()
{
    delete m_pPage;
    m_pPage = nullptr;
}

bool CSettingUIService::Init()
{
    if (!m_pPage)
        m_pPage = new SmsSettingUIPlugin;
    return true;
}

void CSettingUIService::InitSmsSetting()
{
    if (m_pPage)
        m_pPage->InitSmsSetting();
}

int CSettingUIService::Notify(int iNotifyEvent, int, int)
{
    SMS_DEBUG("%s: %s Entered The value of iNotifyEvent=  %d", SMSLog::now().constData(), __func__, iNotifyEvent);
    if (iNotifyEvent == HostNotify::LanguageChanged && m_pPage)
        m_pPage->Retranslate();
    else if (iNotifyEvent == HostNotify::DeviceRemoved)
        CancelSetting();
    SMS_DEBUG("%s: %s: called", SMSLog::now().constData(), __func__);
    return 0;
}

void CSettingUIService::unSDKRegisterEvent()
{
    if (m_pPage)
        m_pPage->unSDKRegisterEvent();
}

bool CSettingUIService::ApplySetting()
{
    if (!m_pPage)
        return true;
    const bool ok = m_pPage->Apply();
    if (ok)
        m_bPageShown = false;
    return ok;
}

bool CSettingUIService::CancelSetting()
{
    if (!m_pPage)
        return true;
    m_pPage->Cancel();
    m_bPageShown = false;
    return true;
}

bool CSettingUIService::ShowSettingPage(QWidget* parent, const QRect& rect)
{
    if (!m_pPage)
        return true;
    m_pPage->ShowSmsSettingDlg(parent, rect);
    m_bPageShown = true;
    return true;
}

QString CSettingUIService::GetSettingName()
{
    return Change::tr(QStringLiteral("IDS_SETTING_NAME"), QStringLiteral("SMSUIPlugin"));
}

bool CSettingUIService::IsSettingValid()
{
    return m_pPage ? m_pPage->CheckAndHide() : true;
}

bool CSettingUIService::IsPageShown() { return m_bPageShown; }
