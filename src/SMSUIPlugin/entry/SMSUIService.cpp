#include "entry/SMSUIService.h"

#include "alerts/SMSTaskbarNotifier.h"

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "editor/SMSEditUILogic.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "window/SMSUIMainDlg.h"
#include "Startup.h"

#include <QMessageBox>
#include <QTableWidget>

namespace {
CSMSUIService* g_instance = nullptr;
}

CSMSUIService* CSMSUIService::Instance()
{
    if (!g_instance)
        g_instance = new CSMSUIService;
    return g_instance;
}

CSMSUIService* CSMSUIService::Existing() { return g_instance; }

void CSMSUIService::Release()
{
    if (!g_instance)
        return;
    SMSUIMainDlg::Release();
    SMSEditUILogic::Destroy();
    SMSStatusUILogic::Release();
    delete g_instance;
    g_instance = nullptr;
}

CSMSUIService::CSMSUIService() = default;

CSMSUIService::~CSMSUIService()
{
    SMS_LOG("%s: %s: %s entered");
    m_pSmsUiMainDlg = nullptr;
    m_pStatusLogicObject = nullptr;
    m_pContainer = nullptr;
}

bool CSMSUIService::Init()
{
    SMS_DEBUG("%s: %s: called", SMSLog::now().constData(), __func__);
    m_pContainer = Startup::GetPluginContainer();
    if (!m_pContainer) {
        SMS_DEBUG("%s: %s: Plugin container is null ", SMSLog::now().constData(), __func__);
        return false;
    }
    m_pLayoutPlugin = CommonUtils::GetLayoutPlugin();
    if (auto* notify = qobject_cast<INotifyService*>(m_pContainer->GetPlugin(QLatin1String(HostGuid::NotifyService), 0x2011))) {
        for (int code : {HostNotify::PhoneBookChanged, HostNotify::PhoneBookChanged2, HostNotify::PhoneBookChanged3})
            notify->RegisterNotify(QLatin1String(HostGuid::SmsPlugin), code);
    }
    if (!SMSUIMainDlg::Existing()) {
        m_pSmsUiMainDlg = SMSUIMainDlg::Instance();
        m_pStatusLogicObject = SMSStatusUILogic::Instance();
        m_pSmsUiMainDlg->CreateSMSMainLayout();
        m_pStatusLogicObject->InitStatusLogic();
    }
    return true;
}

void CSMSUIService::refreshNamesAndTables()
{
    m_pStatusLogicObject->SyncBuffersWithPB();
    for (int node = 0; node <= 15; ++node) {
        if (node == 10 || node == 11)
            continue;
        m_pSmsUiMainDlg->syncSMSTableWithBuffers(node);
    }
    if (CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")) == QLatin1String("true"))
        m_pSmsUiMainDlg->syncSMSTableWithBuffers(10);
}

int CSMSUIService::ShowWindow(QWidget* parent, const QRect& rect)
{
    SMS_DEBUG("%s: %s: called", SMSLog::now().constData(), __func__);
    m_pParent = parent;
    m_iLeft = rect.left();
    m_iTop = rect.top();
    m_iRight = rect.right();
    m_iBottom = rect.bottom();
    m_pStatusLogicObject = SMSStatusUILogic::Existing();
    m_pSmsUiMainDlg = SMSUIMainDlg::Existing();
    if (!m_pStatusLogicObject || !m_pSmsUiMainDlg)
        return 0;
    if (m_pStatusLogicObject->IsNamesStale()) {
        m_pStatusLogicObject->SetNamesStale(false);
        refreshNamesAndTables();
    }
    m_pSmsUiMainDlg->setParent(parent, Qt::WindowFlags());
    m_pSmsUiMainDlg->resize(m_iRight - m_iLeft + 1, m_iBottom - m_iTop + 1);
    m_pSmsUiMainDlg->move(m_iLeft, m_iTop);
    if (QWidget* table = m_pSmsUiMainDlg->CurrentTable())
        table->setFocus(Qt::OtherFocusReason);
    m_pSmsUiMainDlg->setContentsMargins(4, 0, 4, 0);
    m_pSmsUiMainDlg->setMouseTracking(true);
    m_pSmsUiMainDlg->show();
    SMS_DEBUG("%s: %s: Exit", SMSLog::now().constData(), __func__);
    return 1;
}

int CSMSUIService::Notify(int iNotifyEvent, int param1, int param2)
{
    SMS_DEBUG("%s: %s Entered The value of iNotifyEvent=  %d", SMSLog::now().constData(), __func__, iNotifyEvent);
    m_pSmsUiMainDlg = SMSUIMainDlg::Existing();
    if (!m_pSmsUiMainDlg) {
        SMS_DEBUG("%s: %s: m_pSmsUiMainDlg IS null", SMSLog::now().constData(), __func__);
        return 0;
    }
    switch (iNotifyEvent) {
    case HostNotify::LanguageChanged:
        m_pSmsUiMainDlg->SetLanguage(0);
        break;
    case HostNotify::MenuState:
        m_pSmsUiMainDlg->SetHostMenuFlag(param1 != 0);
        break;
    case HostNotify::FlightModeOn:
        SMS_DEBUG("%s: %s called, NTF_FLIGHT_MODE_ENABLE = %d", SMSLog::now().constData(), __func__, iNotifyEvent);
        m_pSmsUiMainDlg->GetPresentNetworkStatus(false);
        m_pSmsUiMainDlg->SetRadioOn(false);
        break;
    case HostNotify::FlightModeOff:
        SMS_DEBUG("%s: %s called, NTF_FLIGHT_MODE_DISABLE = %d", SMSLog::now().constData(), __func__, iNotifyEvent);
        m_pSmsUiMainDlg->GetPresentNetworkStatus(true);
        m_pSmsUiMainDlg->SetRadioOn(true);
        break;
    case HostNotify::SimAvailable:
        SMS_DEBUG("%s: %s called, NTF_SIM_STATE_AVIALABLE = %d", SMSLog::now().constData(), __func__, iNotifyEvent);
        if (!m_bSimAvailable) {
            m_bSimAvailable = true;
            m_pSmsUiMainDlg->OnSimStatusChanged(true);
        }
        break;
    case HostNotify::SimUnavailable:
        SMS_DEBUG("%s: %s called, NTF_SIM_STATE_UNAVIALABLE = %d", SMSLog::now().constData(), __func__, iNotifyEvent);
        if (m_bSimAvailable) {
            m_bSimAvailable = false;
            m_pSmsUiMainDlg->OnSimStatusChanged(false);
        }
        break;
    case HostNotify::OpenMessage:
        // The person chose a desktop notification; the frame has brought this page forward.
        m_pSmsUiMainDlg->OpenMessage(param1, param2);
        break;
    case HostNotify::DeviceRemoved:
        m_pSmsUiMainDlg->HideCardRoots();
        m_pSmsUiMainDlg->checkDevMemStatus(false);
        break;
    default:
        break;
    }
    return 1;
}

int CSMSUIService::checkNotifyType(int iNotifyEvent, int, int)
{
    switch (iNotifyEvent) {
    case HostNotify::DeviceReady:
        if (SMSUIMainDlg* w = SMSUIMainDlg::Existing())
            w->SetMemoryFullPopupAllowed(true);
        break;
    case HostNotify::PhoneBookChanged:
    case HostNotify::PhoneBookChanged2:
    case HostNotify::PhoneBookChanged3: {
        SMSStatusUILogic* store = SMSStatusUILogic::Existing();
        if (!store) {
            SMS_DEBUG("%s: %s: %s Error Occured", SMSLog::now().constData(), "SMSUIService.cpp", __func__);
            SMSStatusUILogic::Instance()->InitStatusLogic();
            break;
        }
        store->SetNamesStale(true);
        SMSUIMainDlg* w = SMSUIMainDlg::Existing();
        if (w && w->IsNumberSaved()) {
            w->SetNumberSaved(false);
            store->SetNamesStale(false);
            m_pSmsUiMainDlg = w;
            m_pStatusLogicObject = store;
            refreshNamesAndTables();
            w->syncSMSTableWithBuffers(15);
        }
        break;
    }
    case HostNotify::ShowSmsPage:
        if (auto* layout = qobject_cast<ILayoutPlugin*>(CommonUtils::GetLayoutPlugin()))
            layout->ShowPage(QStringLiteral("SMSUIPlugin"));
        // The popup's own open action: a folder with unread messages, nothing marked read.
        if (SMSTaskbarNotifier* notifier = SMSTaskbarNotifier::Existing())
            notifier->launchSmsPlugin();
        break;
    default:
        break;
    }
    return 0;
}

void CSMSUIService::unSDKRegisterEvent()
{
    if (SMSStatusUILogic* store = SMSStatusUILogic::Existing())
        store->unSDKRegisterEvent();
}

void CSMSUIService::showPlugin()
{
    PluginContainer* container = Startup::GetPluginContainer();
    if (!container) {
        SMS_LOG_NULLARG();
        return;
    }
    if (CommonUtils::GetFrameStyle() & 0x10) {
        if (auto* mini = qobject_cast<IMiniFrameUIService*>(container->GetPlugin(QLatin1String(HostGuid::MiniFrame), 0)))
            mini->ShowPlugin(QLatin1String(HostGuid::SmsPlugin));
        return;
    }
    if (auto* layout = qobject_cast<ILayoutPlugin*>(CommonUtils::GetLayoutPlugin()))
        layout->ShowPage(QStringLiteral("SMSUIPlugin"));
    if (auto* toolbar = qobject_cast<IMainToolbar*>(container->GetPlugin(QLatin1String(HostGuid::MainToolbar), 0)))
        toolbar->SelectItem(QStringLiteral("SMSUIPlugin"));
    if (auto* menu = qobject_cast<IMainMenuUI*>(container->GetPlugin(QLatin1String(HostGuid::MainMenu), 0)))
        menu->SelectMenuItem(QStringLiteral("SMSUIPlugin"));
}

int CSMSUIService::SendSMSToNumber(QString number, QString content, QWidget* parent)
{
    SMSStatusUILogic* store = SMSStatusUILogic::Instance();
    SMSUIMainDlg* window = SMSUIMainDlg::Existing();
    if (!store || !window)
        return -1;
    if (!store->IsValidNumber(number)) {
        const int answer = CommonUtils::ShowMessage(
            QMessageBox::Question, window, window->Translate(QStringLiteral("IDS_STR_NUMBERINVALID")),
            window->Translate(QStringLiteral("IDS_STR_PROMPT")), QStringLiteral("IDS_OK"), QString(), QString(),
            true, 0x08000000, nullptr, QString(), true);
        if (answer == QMessageBox::Ok || answer == QMessageBox::No)
            return -1;
    }
    showPlugin();
    if (!CommonUtils::IsMiniMode()) {
        if (PluginContainer* container = Startup::GetPluginContainer()) {
            if (auto* toolbar = qobject_cast<IMainToolbar*>(container->GetPlugin(QLatin1String(HostGuid::MainToolbar), 0x1002)))
                toolbar->SelectItem(QStringLiteral("SMSUIPlugin"));
            if (auto* menu = qobject_cast<IMainMenuUI*>(container->GetPlugin(QLatin1String(HostGuid::MainMenu), 0x1003)))
                menu->SelectMenuItem(QStringLiteral("SMSUIPlugin"));
        }
    }
    window->OpenEditorFromOutside(number, content, parent);
    return 0;
}

int CSMSUIService::GetUnreadSMSCount()
{
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    return store ? store->GetUnReadSMSTotalCount() : 0;
}

bool CSMSUIService::IsNetworkAvailable()
{
    SMSUIMainDlg* window = SMSUIMainDlg::Existing();
    // The flag the window announces with netStatusChanged: whether a message can be sent now.
    return window ? window->CanSendSms() : false;
}
