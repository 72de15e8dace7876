#include "FrameWindow.h"

#include "FrameStatusBar.h"

#include "Change.h"
#include "CommonUtils.h"
#include "DesktopNotifier.h"
#include "HostGuids.h"
#include "HostServices.h"
#include "MessageArrivals.h"
#include "SettingsDialog.h"
#include "SmsCentre.h"
#include "SimControl.h"
#include "Startup.h"
#include "zsdk.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTranslator>
#include <QVBoxLayout>

#include <limits>

namespace {
const QString kFrameGroup = QStringLiteral("XFramePlugin");
// The frame's own settings group and key in the host's settings file.
const QString kSettingsGroup = QStringLiteral("XFrame");
const QString kDesktopNotificationsKey = QStringLiteral("DesktopNotifications");
}

FrameWindow::FrameWindow(bool simulatedDevice, QWidget* parent) : QMainWindow(parent), m_bSimulated(simulatedDevice)
{
    setObjectName(QStringLiteral("XFrame_MainWindow"));
    CommonUtils::SetMainWindow(this);
    // Per-SIM settings (the SMS centre) are keyed by the IMSI of the SIM in the device.
    CommonUtils::SetImsiProvider(&SmsCentre::DeviceImsi);
    LoadQtTranslations(Change::CurrentLanguage());
    m_pContainer.reset(new PluginContainer);
    Startup::SetPluginContainer(m_pContainer.get());
    m_pNotify = new NotifyService(this);
    m_pFrameService = new MainFrameService(this);
    m_pDeviceMgr = new DeviceMgrService(this);
    m_pAddressBook = new AddressBookService(m_pNotify, this);
    m_pCall = new CallService(this);
    CommonUtils::SetLayoutPlugin(m_pFrameService);

    m_pContainer->RegisterPlugin(QLatin1String(HostGuid::NotifyService), 0x2011, m_pNotify);
    m_pContainer->RegisterPlugin(QLatin1String(HostGuid::DeviceMgr), 0x1001, m_pDeviceMgr);
    m_pContainer->RegisterPlugin(QLatin1String(HostGuid::AddrBook), 0x1001, m_pAddressBook);
    m_pContainer->RegisterPlugin(QLatin1String(HostGuid::CallUI), 0x1001, m_pCall);
    m_pContainer->RegisterPlugin(QLatin1String(HostGuid::MainFrame), 0x1011, m_pFrameService);
    // The SMS page asks for the mini frame under code 0 when it opens a message for another
    // component, and under 0x1001 from its new-message popup.
    for (int code : {0, 0x1001})
        m_pContainer->RegisterPlugin(QLatin1String(HostGuid::MiniFrame), code, m_pFrameService);
    for (int code : {0, 0x1002, 0x1003})
        m_pContainer->RegisterPlugin(QLatin1String(HostGuid::MainToolbar), code, m_pFrameService);
    for (int code : {0, 0x1003})
        m_pContainer->RegisterPlugin(QLatin1String(HostGuid::MainMenu), code, m_pFrameService);

    setStatusBar(new FrameStatusBar(this));
    m_pPages = new QStackedWidget(this);
    m_pPages->setObjectName(QStringLiteral("XFrame_Pages"));
    setCentralWidget(m_pPages);
    m_pUnreadLabel = new QLabel(this);
    m_pUnreadLabel->setObjectName(QStringLiteral("XFrame_UnreadLabel"));
    m_pSendLabel = new QLabel(this);
    statusBar()->addWidget(m_pUnreadLabel);
    statusBar()->addPermanentWidget(m_pSendLabel);

    connect(m_pNotify, &NotifyService::hostNotified, this, [this](const QString& target, int code) {
        if (code == HostNotify::UnreadCountChanged)
            RefreshUnreadCount();
        Q_UNUSED(target);
    });
    m_pSendLabel->setObjectName(QStringLiteral("XFrame_SendLabel"));
    connect(m_pNotify, &NotifyService::broadcast, this, [this](int code) {
        if (code == 0x160 || code == 0x161)
            setSendIndicator(code == 0x160);
    });
    m_pNotifier = new DesktopNotifier(QDBusConnection::sessionBus(), this);
    m_pNotifier->SetEnabled(DesktopNotificationsOn());
    connect(m_pNotifier, &DesktopNotifier::openMessage, this, &FrameWindow::OpenMessage);
    m_pArrivals = new MessageArrivals(this);
    connect(m_pArrivals, &MessageArrivals::received, this, &FrameWindow::onMessageReceived);
    buildMenus();
    retranslate();
    resize(980, 640);
}

FrameWindow::~FrameWindow()
{
    Shutdown();
    Startup::SetPluginContainer(nullptr);
    CommonUtils::SetImsiProvider(nullptr);
    CommonUtils::SetLayoutPlugin(nullptr);
    CommonUtils::SetMainWindow(nullptr);
}

QString FrameWindow::frameText(const char* id) const { return Change::tr(QLatin1String(id), kFrameGroup); }

int FrameWindow::StartPlugins()
{
    // A settings page reads the centre number as it starts: a SIM seen for the first time is
    // recorded before.
    SmsCentre::PinCurrentSim();
    const int running = m_plugins.LoadAll(CommonUtils::GetPluginLibraryPath());
    for (const LoadedPlugin& entry : m_plugins.Plugins()) {
        if (entry.state != LoadedPlugin::Initialised)
            continue;
        const QString name = entry.ui->GetPluginName();
        if (entry.notify)
            m_pNotify->AddPlugin(pluginId(name), entry.notify);
        auto* host = new QWidget(m_pPages);
        host->setObjectName(QStringLiteral("XFrame_PageHost_") + name);
        m_pPages->addWidget(host);
        m_pageHosts.append({name, host});
        const QRect rect(0, 0, qMax(1, m_pPages->width()), qMax(1, m_pPages->height()));
        if (entry.ui->ShowWindow(host, rect) == 0)
            qWarning("xframe: %s did not show its page", qPrintable(name));
        // Voice calls are possible: the call component is part of this frame.
        if (entry.notify)
            entry.notify->Notify(HostNotify::MenuState, 1, 0);
    }
    const QStringList problems = m_plugins.Problems();
    if (running == 0 || !problems.isEmpty()) {
        QString text = running == 0 ? frameText("IDS_FRAME_NO_PLUGIN") : QString();
        for (const QString& p : problems)
            text += QLatin1Char('\n') + p;
        statusBar()->showMessage(text.trimmed(), 15000);
    }
    RefreshUnreadCount();
    tellPagesFrameShown();
    SmsCentre::PinCurrentSim();
    // The pages hold back warnings about the device (a full memory) until it is ready.
    int32_t deviceState = 0;
    if (ZSDK_DevSrv_GetDevStatus(&deviceState) == ZSDK_OK && deviceState == 3)
        m_pNotify->NotifyAll(HostNotify::DeviceReady);
    // The pages announce changes only; until the first one the device says how things stand.
    int32_t service = 0;
    setSendIndicator(ZSDK_NetSrv_GetSrvStatus(&service) == ZSDK_OK && service == 2);
    if (running > 0)
        m_pArrivals->Start();
    return running;
}

void FrameWindow::CheckMessageStore()
{
    if (m_bStoreReported)
        return;
    const ZsdkSim::StoreStatus state = ZsdkSim::StoreState();
    if (state == ZsdkSim::StoreStatus::Healthy)
        return;
    m_bStoreReported = true;
    QString text = ZsdkSim::OpenNote();
    if (text.isEmpty())
        text = frameText(state == ZsdkSim::StoreStatus::ReadOnly ? "IDS_FRAME_STORE_READONLY" : "IDS_FRAME_STORE_NONE");
    statusBar()->showMessage(text);   // stays until something else is shown
    CommonUtils::ShowMessage(QMessageBox::Warning, this, text, frameText("IDS_FRAME_STORE_TITLE"), QStringLiteral("IDS_OK"),
                             QString(), QString(), false);
}

void FrameWindow::layoutPages()
{
    for (const auto& page : qAsConst(m_pageHosts)) {
        if (LoadedPlugin* entry = m_plugins.Find(page.first))
            entry->ui->SetWindowRect(QRect(QPoint(0, 0), page.second->size()));
    }
}

void FrameWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    tellPagesFrameShown();
}

// A page that warns about full memories waits longer while the frame is not on screen yet; the
// frame tells each page's window once it is visible.
void FrameWindow::tellPagesFrameShown()
{
    if (!isVisible())
        return;
    for (const auto& page : qAsConst(m_pageHosts))
        for (QWidget* window : page.second->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (window->metaObject()->indexOfMethod("setMainFrameShownFlag()") >= 0)
                QMetaObject::invokeMethod(window, "setMainFrameShownFlag");
}

void FrameWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutPages();
}

bool FrameWindow::ShowPage(const QString& pluginName)
{
    for (const auto& page : qAsConst(m_pageHosts)) {
        if (page.first == pluginName) {
            m_pPages->setCurrentWidget(page.second);
            return true;
        }
    }
    return false;
}

// The frame knows the SMS page by its id; other pages go by their name.
QString FrameWindow::pluginId(const QString& pluginName)
{
    return pluginName == QLatin1String("SMSUIPlugin") ? QLatin1String(HostGuid::SmsPlugin) : pluginName;
}

void FrameWindow::ShowPluginPage(const QString& pluginGuid)
{
    for (const auto& page : qAsConst(m_pageHosts)) {
        if (pluginId(page.first).compare(pluginGuid, Qt::CaseInsensitive) == 0) {
            BringToFront();
            m_pPages->setCurrentWidget(page.second);
            return;
        }
    }
    qWarning("xframe: no page for plug-in %s", qPrintable(pluginGuid));
}

QStringList FrameWindow::PageNames() const
{
    QStringList names;
    for (const auto& page : m_pageHosts)
        names << page.first;
    return names;
}

QString FrameWindow::CurrentPage() const
{
    for (const auto& page : m_pageHosts)
        if (page.second == m_pPages->currentWidget())
            return page.first;
    return QString();
}

void FrameWindow::EnablePage(const QString& pluginName, bool enable)
{
    for (const auto& page : qAsConst(m_pageHosts))
        if (page.first == pluginName)
            page.second->setEnabled(enable);
}

void FrameWindow::buildMenus()
{
    m_pFileMenu = menuBar()->addMenu(QString());
    m_pSettingsAction = m_pFileMenu->addAction(QString(), this, &FrameWindow::ShowSettings);
    m_pFileMenu->addSeparator();
    m_pQuitAction = m_pFileMenu->addAction(QString(), this, &QWidget::close);

    m_pLanguageMenu = menuBar()->addMenu(QString());
    auto* languages = new QActionGroup(this);
    for (const QString& lang : Change::AvailableLanguages()) {
        QAction* a = m_pLanguageMenu->addAction(QLocale(lang).nativeLanguageName());
        a->setCheckable(true);
        a->setChecked(lang == Change::CurrentLanguage());
        languages->addAction(a);
        connect(a, &QAction::triggered, this, [this, lang] { SwitchLanguage(lang); });
    }
    if (m_bSimulated)
        buildDeviceMenu();
}

void FrameWindow::buildDeviceMenu()
{
    m_pDeviceMenu = menuBar()->addMenu(QString());
    auto add = [this](const char* id, auto handler, bool checkable = false, bool checked = false) {
        QAction* a = m_pDeviceMenu->addAction(QString());
        a->setCheckable(checkable);
        a->setChecked(checked);
        connect(a, &QAction::triggered, this, handler);
        m_deviceActions.append({a, id});
        return a;
    };
    auto ask = [this](const QString& title, QString* number, QString* text) {
        bool ok = false;
        *number = QInputDialog::getText(this, title, frameText("IDS_FRAME_ASK_NUMBER"), QLineEdit::Normal,
                                        QStringLiteral("+491712345678"), &ok);
        if (!ok)
            return false;
        *text = QInputDialog::getMultiLineText(this, title, frameText("IDS_FRAME_ASK_TEXT"), QStringLiteral("Hello from the network."), &ok);
        return ok;
    };
    add("IDS_DEV_RECEIVE", [this, ask](bool) {
        ZsdkSim::Incoming in;
        if (ask(frameText("IDS_DEV_RECEIVE"), &in.number, &in.text))
            ZsdkSim::InjectMessage(in);
    });
    add("IDS_DEV_RECEIVE_SIM", [this, ask](bool) {
        ZsdkSim::Incoming in;
        in.mem = 1;
        if (ask(frameText("IDS_DEV_RECEIVE_SIM"), &in.number, &in.text))
            ZsdkSim::InjectMessage(in);
    });
    add("IDS_DEV_FLASH", [this, ask](bool) {
        ZsdkSim::Incoming in;
        in.msgClass = 0;
        if (ask(frameText("IDS_DEV_FLASH"), &in.number, &in.text))
            ZsdkSim::InjectMessage(in);
    });
    add("IDS_DEV_REPORT", [](bool) {
        ZsdkSim::Incoming in;
        in.kind = 1;
        in.number = QStringLiteral("+491712345678");
        ZsdkSim::InjectMessage(in);
    });
    QAction* broadcast = add("IDS_DEV_CBS", [](bool) {
        ZsdkSim::Incoming in;
        in.kind = 2;
        in.number = QStringLiteral("50");
        in.text = QStringLiteral("Cell broadcast: storm warning for the coast tonight.");
        ZsdkSim::InjectMessage(in);
    });
    // Without the broadcast folder the page keeps no broadcast: the entry would seem to do nothing.
    connect(m_pDeviceMenu, &QMenu::aboutToShow, this, [broadcast] {
        broadcast->setVisible(CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")) == QLatin1String("true"));
    });
    m_pDeviceMenu->addSeparator();
    // A host learns of these changes from the device and tells its plug-ins; the menu plays the
    // device, so the frame tells them here.
    add("IDS_DEV_SIM_OUT", [this](bool checked) {
        ZsdkSim::SetSimPresent(!checked);
        m_pNotify->NotifyAll(checked ? HostNotify::SimUnavailable : HostNotify::SimAvailable);
        if (!checked)
            SmsCentre::PinCurrentSim();
    }, true, false);
    add("IDS_DEV_REMOVED", [this](bool checked) {
        ZsdkSim::SetDevicePresent(!checked);
        if (checked) {
            m_pNotify->NotifyAll(HostNotify::DeviceRemoved);
            // The pages have dropped what they showed of the device; a settings dialog left open
            // would offer to save settings of a device that is gone.
            if (m_pSettingsDialog && m_pSettingsDialog->isVisible()) {
                m_pSettingsDialog->reject();
                statusBar()->showMessage(frameText("IDS_FRAME_SETTINGS_CLOSED"), 8000);
            }
        } else {
            m_pNotify->NotifyAll(HostNotify::DeviceReady);
            SmsCentre::PinCurrentSim();
        }
    }, true, false);
    add("IDS_DEV_FLIGHT", [this](bool checked) {
        ZsdkSim::SetRadio(!checked);
        m_pNotify->NotifyAll(checked ? HostNotify::FlightModeOn : HostNotify::FlightModeOff);
    }, true, false);
    m_pDeviceMenu->addSeparator();
    add("IDS_DEV_FILL_SIM", [](bool) { ZsdkSim::FillMemory(1); });
    add("IDS_DEV_FILL_DEVICE", [](bool) { ZsdkSim::FillMemory(2); });
    // Checked: every part sent from now on fails, until switched off again.
    add("IDS_DEV_SEND_FAILS", [](bool checked) { ZsdkSim::FailNextSends(checked ? std::numeric_limits<int>::max() : 0); }, true, false);
}

void FrameWindow::retranslate()
{
    setWindowTitle(frameText("IDS_FRAME_TITLE"));
    setLayoutDirection(Change::IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    m_pFileMenu->setTitle(frameText("IDS_FRAME_FILE"));
    m_pSettingsAction->setText(frameText("IDS_FRAME_SETTINGS"));
    QString quitText;
    QKeySequence quitKey;
    Change::tr(QStringLiteral("IDS_FRAME_QUIT"), kFrameGroup, quitText, quitKey);
    m_pQuitAction->setText(quitText);
    m_pQuitAction->setShortcut(quitKey);
    m_pLanguageMenu->setTitle(frameText("IDS_FRAME_LANGUAGE"));
    m_pNotifier->SetActionLabel(Change::tr(QStringLiteral("IDS_BTN_VIEW"), QStringLiteral("SMSUIPlugin")));
    if (m_pDeviceMenu) {
        m_pDeviceMenu->setTitle(frameText("IDS_FRAME_DEVICE"));
        for (const auto& a : qAsConst(m_deviceActions))
            a.first->setText(frameText(a.second));
    }
    setSendIndicator(m_bCanSend);
    RefreshUnreadCount();
}

void FrameWindow::LoadQtTranslations(const QString& language)
{
    // Qt's own texts (standard buttons, dialogs, context menus of text fields) in the frame's
    // language; English needs no file.
    static QTranslator* qtTexts = nullptr;
    if (qtTexts) {
        QCoreApplication::removeTranslator(qtTexts);
        delete qtTexts;
        qtTexts = nullptr;
    }
    if (language == QLatin1String("en"))
        return;
    auto* translator = new QTranslator;
    if (!translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        qWarning("xframe: Qt's own texts are not available in '%s' (package qttranslations5-l10n); they stay in English",
                 qPrintable(language));
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    qtTexts = translator;
}

void FrameWindow::setSendIndicator(bool canSend)
{
    m_bCanSend = canSend;
    m_pSendLabel->setText(canSend ? QStringLiteral("\u25CF") : QStringLiteral("\u25CB"));
    m_pSendLabel->setToolTip(frameText(canSend ? "IDS_FRAME_CAN_SEND" : "IDS_FRAME_CANNOT_SEND"));
}

void FrameWindow::SwitchLanguage(const QString& language)
{
    if (!Change::LoadLanguage(language)) {
        statusBar()->showMessage(frameText("IDS_FRAME_LANGUAGE_MISSING").arg(language), 8000);
        return;
    }
    LoadQtTranslations(language);
    QApplication::setLayoutDirection(Change::IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    retranslate();
    m_pNotify->NotifyAll(HostNotify::LanguageChanged);
}

void FrameWindow::RefreshUnreadCount()
{
    int unread = 0;
    for (const LoadedPlugin& entry : m_plugins.Plugins()) {
        void* out = nullptr;
        if (entry.ui && entry.state == LoadedPlugin::Initialised && entry.ui->QueryInterface(IID_SMS_UI_SERVICE, &out) && out)
            unread += static_cast<ISMSUIService*>(out)->GetUnreadSMSCount();
    }
    m_pUnreadLabel->setText(frameText("IDS_FRAME_UNREAD").arg(unread));
}

SettingsDialog* FrameWindow::CreateSettingsDialog()
{
    QList<ISettingUIPlugin*> pages;
    for (const LoadedPlugin& entry : m_plugins.Plugins()) {
        void* out = nullptr;
        if (entry.ui && entry.state == LoadedPlugin::Initialised && entry.ui->QueryInterface(IID_SETTING_UI_PLUGIN, &out) && out)
            pages << static_cast<ISettingUIPlugin*>(out);
    }
    // A SIM seen for the first time gets its centre number recorded before the page reads it.
    SmsCentre::PinCurrentSim();
    auto* dialog = new SettingsDialog(pages, this);
    m_pSettingsDialog = dialog;
    std::function<void()> apply;
    QWidget* desktop = createDesktopPage(dialog, &apply);
    dialog->AddFramePage(desktop, frameText("IDS_FRAME_DESKTOP_TAB"), apply);
    return dialog;
}

void FrameWindow::ShowSettings()
{
    std::unique_ptr<SettingsDialog> dialog(CreateSettingsDialog());
    if (dialog->exec() == QDialog::Accepted)
        SmsCentre::PinCurrentSim();   // the page may have changed the device's centre number
}

void FrameWindow::BringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool FrameWindow::DesktopNotificationsOn()
{
    return CommonUtils::GetSettings(kSettingsGroup, kDesktopNotificationsKey) != QLatin1String("0");
}

void FrameWindow::SetDesktopNotifications(bool on)
{
    CommonUtils::SetSettings(kSettingsGroup, kDesktopNotificationsKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    m_pNotifier->SetEnabled(on);
}

QWidget* FrameWindow::createDesktopPage(QWidget* parent, std::function<void()>* apply)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("XFrame_DesktopPage"));
    auto* layout = new QVBoxLayout(page);
    auto* notify = new QCheckBox(frameText("IDS_FRAME_DESKTOP_NOTIFY"), page);
    notify->setObjectName(QStringLiteral("XFrame_DesktopNotifications"));
    notify->setChecked(DesktopNotificationsOn());
    layout->addWidget(notify);
    if (!m_pNotifier->IsServiceAvailable()) {
        // The choice is kept for a session that has the service; the person learns why nothing
        // appears in this one.
        auto* note = new QLabel(frameText("IDS_FRAME_DESKTOP_NO_SERVICE"), page);
        note->setObjectName(QStringLiteral("XFrame_DesktopNoService"));
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addStretch(1);
    *apply = [this, notify] { SetDesktopNotifications(notify->isChecked()); };
    return page;
}

void FrameWindow::onMessageReceived(int node, int msgId, const QString& number, const QString& text)
{
    // The SMS page's own popup speaks to a person looking at the frame; the desktop tells one
    // who is not.
    if (!m_pNotifier->IsEnabled() || (isActiveWindow() && !isMinimized()))
        return;
    m_pNotifier->ShowMessage(node, msgId, SenderName(number), text);
}

QString FrameWindow::SenderName(const QString& number)
{
    QString sender = number;
    ZSDK_WCHAR* name = nullptr;
    int32_t found = 0;
    if (ZSDK_PBSrv_FindNameByNumber(number.utf16(), &name, 64, &found) == ZSDK_OK && found == 1 && name)
        sender = QString::fromUtf16(reinterpret_cast<const char16_t*>(name));
    delete[] name;
    return sender;
}

void FrameWindow::OpenMessage(int node, int msgId)
{
    BringToFront();
    ShowPage(QStringLiteral("SMSUIPlugin"));
    m_pNotify->SendNotify(QLatin1String(HostGuid::SmsPlugin), HostNotify::OpenMessage, node, msgId);
}

void FrameWindow::Shutdown()
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    m_pArrivals->Stop();
    m_pNotify->RemoveAllPlugins();
    CommonUtils::SetShuttingDown(true);
    m_plugins.ShutdownAll();
    CommonUtils::SetShuttingDown(false);
}

void FrameWindow::closeEvent(QCloseEvent* event)
{
    Shutdown();
    event->accept();
}
