// The host frame: main window with menus, the page area, the status bar with the unread count,
// the settings dialog and, with the simulated modem, the Device menu.
#pragma once

#include "PluginManager.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class AddressBookService;
class DesktopNotifier;
class MessageArrivals;
class CallService;
class DeviceMgrService;
class MainFrameService;
class NotifyService;
class PluginContainer;
class QLabel;
class SettingsDialog;
class QMenu;
class QStackedWidget;

class FrameWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit FrameWindow(bool simulatedDevice, QWidget* parent = nullptr);
    ~FrameWindow() override;

    // Loads the plug-ins and shows their pages. Returns the number of running page plug-ins.
    int StartPlugins();
    bool ShowPage(const QString& pluginName);
    // Brings the frame forward with the page of the plug-in whose id is `pluginGuid` (the mini
    // frame's way of showing a page); false, and nothing changes, when no running page has it.
    void ShowPluginPage(const QString& pluginGuid);
    QStringList PageNames() const;
    QString CurrentPage() const;
    void EnablePage(const QString& pluginName, bool enable);
    void ShowSettings();
    // The settings dialog with every plug-in's page; the caller owns it.
    SettingsDialog* CreateSettingsDialog();
    // Shows the window in front of the others, restored from the task bar if minimised; a
    // maximised or full-screen window stays so.
    void BringToFront();
    // Brings the frame forward with the SMS page showing message `msgId` of folder `node` (the
    // folder alone when the message is gone or has no id).
    void OpenMessage(int node, int msgId);

    // Desktop notifications for received messages while the frame is not the active window;
    // on unless switched off in the settings.
    static bool DesktopNotificationsOn();
    void SetDesktopNotifications(bool on);
    DesktopNotifier* Notifier() const { return m_pNotifier; }
    // The name a notification gives the sender of `number`: the phone book's one match, else
    // the number itself.
    static QString SenderName(const QString& number);
    void SwitchLanguage(const QString& language);
    // Installs Qt's own translation for `language` in place of the previous one.
    static void LoadQtTranslations(const QString& language);
    void RefreshUnreadCount();
    // Tells the user, once, in the status bar and a message box, when the device service set a
    // damaged message store aside, can only read it, or runs without one.
    void CheckMessageStore();
    void Shutdown();
    PluginManager& Plugins() { return m_plugins; }
    NotifyService* Notifications() const { return m_pNotify; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildDeviceMenu();
    void retranslate();
    void layoutPages();
    void tellPagesFrameShown();
    void onMessageReceived(int node, int msgId, const QString& number, const QString& text);
    QWidget* createDesktopPage(QWidget* parent, std::function<void()>* apply);
    QString frameText(const char* id) const;
    static QString pluginId(const QString& pluginName);
    void setSendIndicator(bool canSend);

    bool m_bSimulated;
    bool m_bShutDown = false;
    bool m_bStoreReported = false;
    bool m_bCanSend = false;
    PluginManager m_plugins;
    std::unique_ptr<PluginContainer> m_pContainer;
    NotifyService* m_pNotify = nullptr;
    MainFrameService* m_pFrameService = nullptr;
    DeviceMgrService* m_pDeviceMgr = nullptr;
    AddressBookService* m_pAddressBook = nullptr;
    CallService* m_pCall = nullptr;
    QPointer<SettingsDialog> m_pSettingsDialog;
    DesktopNotifier* m_pNotifier = nullptr;
    MessageArrivals* m_pArrivals = nullptr;
    QStackedWidget* m_pPages = nullptr;
    QLabel* m_pUnreadLabel = nullptr;
    QLabel* m_pSendLabel = nullptr;
    QMenu* m_pFileMenu = nullptr;
    QMenu* m_pLanguageMenu = nullptr;
    QMenu* m_pDeviceMenu = nullptr;
    QAction* m_pSettingsAction = nullptr;
    QAction* m_pQuitAction = nullptr;
    QList<QPair<QAction*, const char*>> m_deviceActions;
    QList<QPair<QString, QWidget*>> m_pageHosts;   // plug-in name, the widget its page lives in
};
