#include "entry/SMSUIPlugin.h"

#include "store/SMSLog.h"
#include "window/SMSUIMainDlg.h"
#include "entry/SMSUIService.h"
#include "entry/SettingUIService.h"

#include <QtPlugin>

CSMSUIPlugin::CSMSUIPlugin() = default;

CSMSUIPlugin::~CSMSUIPlugin()
{
    m_pSmsUiService = nullptr;
    m_pSettingUiService = nullptr;
}

void CSMSUIPlugin::OnDestroy()
{
    SMS_LOG("%s: %s: %s entered");
    // The window service goes first: it owns the window and the store, which still use the
    // settings service's objects while they shut down.
    CSMSUIService::Release();
    CSettingUIService::Release();
    m_pSmsUiService = nullptr;
    m_pSettingUiService = nullptr;
}

void CSMSUIPlugin::UnSDKRegisterEvent()
{
    if (CSMSUIService* s = CSMSUIService::Existing())
        s->unSDKRegisterEvent();
    if (CSettingUIService* s = CSettingUIService::Existing())
        s->unSDKRegisterEvent();
}

void CSMSUIPlugin::OnPluginStart() {}
int CSMSUIPlugin::GetPluginState() { return 0; }

bool CSMSUIPlugin::Init()
{
    m_pSmsUiService = CSMSUIService::Instance();
    m_pSettingUiService = CSettingUIService::Instance();
    if (!m_pSmsUiService || !m_pSettingUiService)
        return false;
    m_pSmsUiService->Init();
    m_pSettingUiService->Init();
    return true;
}

int CSMSUIPlugin::GetPluginType() { return 0; }
QString CSMSUIPlugin::GetPluginTitle() { return QString(); }
int CSMSUIPlugin::GetPluginIcon() { return 0; }
QString CSMSUIPlugin::GetPluginName() { return QStringLiteral("SMSUIPlugin"); }
int CSMSUIPlugin::GetPluginVersion() { return 0; }

bool CSMSUIPlugin::QueryInterface(int id, void** out)
{
    SMS_DEBUG("%s: %s called", SMSLog::now().constData(), __func__);
    if (!out)
        return false;
    if (id == IID_SMS_UI_SERVICE) {
        m_pSmsUiService = CSMSUIService::Instance();
        *out = static_cast<ISMSUIService*>(m_pSmsUiService);
        return true;
    }
    if (id == IID_SETTING_UI_PLUGIN) {
        m_pSettingUiService = CSettingUIService::Instance();
        *out = static_cast<ISettingUIPlugin*>(m_pSettingUiService);
        return true;
    }
    return false;
}

int CSMSUIPlugin::ShowWindow(QWidget* parent, const QRect& rect)
{
    if (CSettingUIService* settings = CSettingUIService::Existing())
        settings->InitSmsSetting();
    CSMSUIService* service = CSMSUIService::Existing();
    return service ? service->ShowWindow(parent, rect) : 0;
}

int CSMSUIPlugin::GetWindowState() { return 0; }

void CSMSUIPlugin::HideWindow()
{
    if (SMSUIMainDlg* window = SMSUIMainDlg::Existing())
        window->hide();
}

void CSMSUIPlugin::SetWindowRect(const QRect& rect)
{
    if (SMSUIMainDlg* window = SMSUIMainDlg::Existing()) {
        window->move(rect.left(), rect.top());
        window->resize(rect.right() - rect.left() + 1, rect.bottom() - rect.top() + 1);
    }
}

int CSMSUIPlugin::GetWindowHandle() { return 0; }
int CSMSUIPlugin::OnPluginCommand(int) { return 0; }

int CSMSUIPlugin::Notify(int iNotifyEvent, int param1, int param2)
{
    CSMSUIService* sms = CSMSUIService::Instance();
    if (sms->Notify(iNotifyEvent, param1, param2) == 1) {
        if (CSettingUIService* settings = CSettingUIService::Existing())
            settings->Notify(iNotifyEvent, param1, param2);
    }
    sms->checkNotifyType(iNotifyEvent, 0, 0);
    return 0;
}

// Qt plug-in metadata (CBOR, as moc writes it). Hosts look for the plug-in's own "MetaData" block
// and expect it to be present even when it is empty; moc leaves an empty block out, so the section
// is spelled out here: IID "smsuiplugin", className "CSMSUIPlugin", MetaData {}.
QT_PLUGIN_METADATA_SECTION
static constexpr unsigned char qt_pluginMetaData[] = {
    'Q', 'T', 'M', 'E', 'T', 'A', 'D', 'A', 'T', 'A', ' ', '!',
    // metadata version, Qt version, architectural requirements (debug build flag)
    0, QT_VERSION_MAJOR, QT_VERSION_MINOR, qPluginArchRequirements(),
    0xbf,   // map of indefinite length
    0x02, 0x6b, 's', 'm', 's', 'u', 'i', 'p', 'l', 'u', 'g', 'i', 'n',        // IID
    0x03, 0x6c, 'C', 'S', 'M', 'S', 'U', 'I', 'P', 'l', 'u', 'g', 'i', 'n',   // className
    0x04, 0xa0,                                                               // MetaData: {}
    0xff,
};
// qt_plugin_query_metadata and qt_plugin_instance; the instance is kept in a guarded pointer, so
// later calls return the same object as long as it lives.
QT_MOC_EXPORT_PLUGIN(CSMSUIPlugin, CSMSUIPlugin)
