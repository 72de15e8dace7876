#include "alerts/SMSTaskbarNotifier.h"

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "Startup.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QVBoxLayout>

namespace {
SMSTaskbarNotifier* g_notifier = nullptr;
const int kShownMs = 5000;

template <typename Interface>
Interface* hostPlugin(const char* guid, int number)
{
    PluginContainer* container = Startup::GetPluginContainer();
    QObject* plugin = container ? container->GetPlugin(QLatin1String(guid), number) : nullptr;
    return plugin ? qobject_cast<Interface*>(plugin) : nullptr;
}
}

SMSTaskbarNotifier* SMSTaskbarNotifier::Instance()
{
    if (!g_notifier) {
        g_notifier = new SMSTaskbarNotifier;
        SMSStatusUILogic::SetNotifyHandler([](const QString& text) {
            if (g_notifier)
                g_notifier->Show(text);
        });
    }
    return g_notifier;
}

SMSTaskbarNotifier* SMSTaskbarNotifier::Existing() { return g_notifier; }

void SMSTaskbarNotifier::Release()
{
    SMSStatusUILogic::SetNotifyHandler(nullptr);
    delete g_notifier;
    g_notifier = nullptr;
}

QDialog* SMSTaskbarNotifier::Popup() const { return m_pNotifyDialog.data(); }

SMSTaskbarNotifier::~SMSTaskbarNotifier()
{
    delete m_pNotifyDialog.data();
    delete m_pTimer;
}

void SMSTaskbarNotifier::Show(const QString& number)
{
    onTimerStart();
    createNotifyDialogBox();
    if (!m_pNotifyDialog || !m_pContent)
        return;
    if (QWidget* main = CommonUtils::GetMainWindow())
        m_pNotifyDialog->setWindowState((main->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    setNewMsgCoorDinates();
    m_strText = number;
    m_pContent->setText(m_strText);
    m_pContent->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_pNotifyDialog->setVisible(true);
    m_pNotifyDialog->repaint();
    // An incoming call outranks a message: its notification stays on top.
    if (raiseCallNotificationInstead())
        return;
    m_pNotifyDialog->raise();
    m_pNotifyDialog->activateWindow();
}

bool SMSTaskbarNotifier::raiseCallNotificationInstead()
{
    if (!Startup::GetPluginContainer() || !CommonUtils::IsPluginAvailable(QLatin1String(HostGuid::CallUI)))
        return false;
    ICallUIPlugin* call = hostPlugin<ICallUIPlugin>(HostGuid::CallUI, 0x1001);
    if (!call || !call->IsCallNotificationVisible())
        return false;
    call->RaiseCallNotification();
    return true;
}

void SMSTaskbarNotifier::onTimerStart()
{
    if (!m_pTimer) {
        m_pTimer = new QTimer;
        m_pTimer->setSingleShot(true);
        connect(m_pTimer, &QTimer::timeout, this, &SMSTaskbarNotifier::closeNotifyDialog);
    } else if (m_pTimer->isActive()) {
        SMS_LOG("%s: %s: %s: Received other message and timer already exists");
        delete m_pNotifyDialog.data();
        m_pTimer->stop();
    }
    m_pTimer->start(kShownMs);
}

void SMSTaskbarNotifier::createNotifyDialogBox()
{
    if (m_pNotifyDialog) {
        SMS_DEBUG("m_pNotifyDialog is not NULL");
        delete m_pNotifyDialog.data();
    }
    auto* popup = new QDialog(nullptr);
    popup->setObjectName(QStringLiteral("SMSUIPlugin_NewMessagePopup"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    m_pView = new QPushButton(popup);
    m_pView->setObjectName(QStringLiteral("ViewButton"));
    m_pCancel = new QPushButton(popup);
    m_pCancel->setObjectName(QStringLiteral("CancelButton"));
    m_pTitle = new QLabel(popup);
    m_pContent = new QLabel(popup);
    m_pContent->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(popup);
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pContent);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pView);
    buttons->addWidget(m_pCancel);
    layout->addLayout(buttons);
    popup->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    popup->setFixedSize(218, 117);
    m_pNotifyDialog = popup;
    LoadText();
    connect(m_pView, &QPushButton::clicked, this, &SMSTaskbarNotifier::launchSmsPluginWhenViewed);
    connect(m_pCancel, &QPushButton::clicked, this, &SMSTaskbarNotifier::closeNotifyDialog);
    // Esc rejects the dialog, which then closes (and deletes) itself.
    connect(popup, &QDialog::rejected, this, &SMSTaskbarNotifier::closeNotifyDialogOnEsc);
}

void SMSTaskbarNotifier::LoadText()
{
    if (!m_pNotifyDialog || !m_pView || !m_pCancel || !m_pTitle || !m_pContent) {
        SMS_LOG("%s: %s: %s: NULL pointer exception");
        return;
    }
    const QString group = QStringLiteral("SMSUIPlugin");
    m_pNotifyDialog->setWindowTitle(Change::tr(QStringLiteral("IDS_PROMPT_CAPTION"), group));
    const QString title = Change::tr(QStringLiteral("IDS_STC_NEWMSG"), group);
    m_pTitle->setText(QFontMetrics(m_pTitle->font()).elidedText(title, Qt::ElideRight, 198));
    m_pTitle->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_pContent->setText(m_strText);
    m_pView->setText(Change::tr(QStringLiteral("IDS_BTN_VIEW"), group));
    m_pCancel->setText(Change::tr(QStringLiteral("IDS_BTN_CANCEL"), group));
}

QPoint SMSTaskbarNotifier::PlaceFor(const QRect& s, const QRect& a, const QSize& popup)
{
    const int w = popup.width();
    const int h = popup.height();
    if (a.bottom() != s.bottom())
        return {s.width() - w, a.bottom() - h};   // task bar at the bottom
    if (a.left() != s.left())
        return {a.left(), a.bottom() - h};        // at the left
    if (a.top() != s.top())
        return {a.right() - w, a.top()};          // at the top
    return {a.right() - w, s.bottom() - h};       // at the right, or hidden
}

void SMSTaskbarNotifier::setNewMsgCoorDinates()
{
    if (!m_pNotifyDialog) {
        SMS_DEBUG("no popup to place");
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_pNotifyDialog->move(PlaceFor(screen->geometry(), screen->availableGeometry(), m_pNotifyDialog->size()));
}

void SMSTaskbarNotifier::closeNotifyDialog()
{
    if (SMSUIMainDlg* window = SMSUIMainDlg::Existing()) {
        if (m_pNotifyDialog) {
            m_pNotifyDialog->close();   // deletes itself
            m_pNotifyDialog = nullptr;
            window->stopPlayingSound();
        }
    }
    if (m_pTimer)
        m_pTimer->stop();
}

void SMSTaskbarNotifier::closeNotifyDialogOnEsc()
{
    if (SMSUIMainDlg* window = SMSUIMainDlg::Existing()) {
        if (m_pNotifyDialog) {
            m_pNotifyDialog = nullptr;
            window->stopPlayingSound();
        }
    }
    if (m_pTimer)
        m_pTimer->stop();
}

void SMSTaskbarNotifier::showPlugin()
{
    if (!Startup::GetPluginContainer()) {
        SMS_LOG("%s: %s: %s: GetPluginContainer failed");
        return;
    }
    const QString name = QStringLiteral("SMSUIPlugin");
    if (CommonUtils::IsMiniMode()) {
        if (auto* mini = hostPlugin<IMiniFrameUIService>(HostGuid::MiniFrame, 0x1001))
            mini->ShowPlugin(QLatin1String(HostGuid::SmsPlugin));
        return;
    }
    auto* frame = hostPlugin<IMainFrameUIService>(HostGuid::MainFrame, 0x1011);
    if (!frame) {
        SMS_LOG("%s: %s: %s: pmainFrameUIService NULL");
        return;
    }
    frame->BringToFront();
    if (auto* layout = qobject_cast<ILayoutPlugin*>(CommonUtils::GetLayoutPlugin()))
        layout->ShowPage(name);
    if (auto* toolbar = hostPlugin<IMainToolbar>(HostGuid::MainToolbar, 0x1003))
        toolbar->SelectItem(name);
    if (auto* menu = hostPlugin<IMainMenuUI>(HostGuid::MainMenu, 0x1003))
        menu->SelectMenuItem(name);
}

void SMSTaskbarNotifier::launchSmsPluginWhenViewed()
{
    showPlugin();
    if (!CommonUtils::IsMiniMode()) {
        if (QWidget* main = CommonUtils::GetMainWindow()) {
            main->showNormal();
            main->setWindowState((main->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        }
    }
    if (m_pNotifyDialog) {
        m_pNotifyDialog->close();
        m_pNotifyDialog = nullptr;
    }
    if (m_pTimer)
        m_pTimer->stop();
    if (SMSUIMainDlg* window = SMSUIMainDlg::Existing()) {
        window->stopPlayingSound();
        window->ViewSmsInbox();
        window->raise();
        window->activateWindow();
    }
}

void SMSTaskbarNotifier::launchSmsPlugin()
{
    showPlugin();
    SMSUIMainDlg* window = SMSUIMainDlg::Existing();
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (window && store) {
        for (int node : {NODE_LOCAL_REPORT, NODE_LOCAL_INBOX, NODE_SIM_INBOX, NODE_DEVICE_INBOX}) {
            QTreeWidgetItem* item = window->TreeItem(node);
            if (item && !item->isHidden() && store->IsAnyMessagesUnRead(node)) {
                window->onClickSMSTreeNode(item, 0);
                break;
            }
        }
    }
    closeNotifyDialog();
}
