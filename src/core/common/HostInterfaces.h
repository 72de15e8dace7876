// Host plug-in interfaces.
//
// The host calls the plug-in through these abstract classes by virtual-table slot, so the order of
// the operations below is part of the binary contract with a separately compiled host: never insert,
// remove or reorder an operation. Slot numbers are given after the two destructor slots of each
// primary base.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

class IBaseInterface
{
public:
    virtual ~IBaseInterface() = default;            // slots 0, 1
};

class IDestroyEvent
{
public:
    virtual ~IDestroyEvent() = default;             // slots 0, 1
    virtual void OnDestroy() = 0;                   // slot 2: release every service object
    virtual void UnSDKRegisterEvent() = 0;          // slot 3: drop device-service callbacks
};

class IBasePlugin : public IBaseInterface, public IDestroyEvent
{
public:
    virtual void OnPluginStart() = 0;               // slot 2
    virtual int GetPluginState() = 0;               // slot 3
    virtual bool Init() = 0;                        // slot 4
    virtual int GetPluginType() = 0;                // slot 5
    virtual QString GetPluginTitle() = 0;           // slot 6
    virtual int GetPluginIcon() = 0;                // slot 7
    virtual QString GetPluginName() = 0;            // slot 8
    virtual int GetPluginVersion() = 0;             // slot 9
    // slot 10: answers an interface number with the matching service object; any unknown number
    // returns false and leaves *out untouched.
    virtual bool QueryInterface(int id, void** out) = 0;
};

class IUIPlugin : public IBasePlugin
{
public:
    virtual int ShowWindow(QWidget* parent, const QRect& rect) = 0;  // slot 11
    virtual int GetWindowState() = 0;                                // slot 12
    virtual void HideWindow() = 0;                                   // slot 13
    virtual void SetWindowRect(const QRect& rect) = 0;               // slot 14
    virtual int GetWindowHandle() = 0;                               // slot 15
    virtual int OnPluginCommand(int command) = 0;                    // slot 16
};

class INotify
{
public:
    virtual ~INotify() = default;                                        // slots 0, 1
    virtual int Notify(int iNotifyEvent, int param1, int param2) = 0;    // slot 2
};

// Interface numbers answered by IBasePlugin::QueryInterface.
enum HostInterfaceId {
    IID_SMS_UI_SERVICE = 0x1001,
    IID_SETTING_UI_PLUGIN = 0x1002
};

class ISMSUIService
{
public:
    virtual ~ISMSUIService() = default;
    // slot 2: opens the SMS editor pre-filled; -1 when nothing was opened, 0 otherwise.
    virtual int SendSMSToNumber(QString number, QString content, QWidget* parent) = 0;
    virtual int GetUnreadSMSCount() = 0;                                    // slot 3
    virtual bool IsNetworkAvailable() = 0;                                  // slot 4
};

class ISettingUIPlugin
{
public:
    virtual ~ISettingUIPlugin() = default;
    virtual bool ApplySetting() = 0;                                        // slot 2
    virtual bool CancelSetting() = 0;                                       // slot 3
    virtual bool ShowSettingPage(QWidget* parent, const QRect& rect) = 0;   // slot 4
    virtual QString GetSettingName() = 0;                                   // slot 5
    virtual bool IsSettingValid() = 0;                                      // slot 6
    virtual bool IsPageShown() = 0;                                         // slot 7
};

// ---- Host plug-ins the SMS page looks up in the plug-in container --------------------------------

class INotifyService
{
public:
    virtual ~INotifyService() = default;
    virtual void RegisterNotify(const QString& guid, int code) = 0;         // slot 2
    virtual void UnRegisterNotify(const QString& guid, int code) = 0;       // slot 3
    // slot 4: delivers `code` to the plug-in or host part named by `targetGuid`.
    virtual void SendNotify(const QString& targetGuid, int code, int param1, int param2) = 0;
    virtual void UnRegisterAll(const QString& guid) = 0;                    // slot 5
    // slot 6: delivers `code` to every part of the host that listens for it (e.g. 0x160/0x161,
    // sending possible or not).
    virtual void BroadcastNotify(int code, int param1, int param2) = 0;
};

class IMainFrameUIService
{
public:
    virtual ~IMainFrameUIService() = default;
    virtual bool IsMainFrameVisible() = 0;                                  // slot 2
    virtual QWidget* GetMainFrameWidget() = 0;                              // slot 3: parent of host-wide boxes
    virtual void BringToFront() = 0;                                        // slot 4
};

class IMiniFrameUIService
{
public:
    virtual ~IMiniFrameUIService() = default;
    virtual void ShowPlugin(const QString& pluginGuid) = 0;                 // slot 2
};

class IMainToolbar
{
public:
    virtual ~IMainToolbar() = default;
    virtual void SelectItem(const QString& pluginName) = 0;                 // slot 2
};

// The host's main menu: one entry per page plug-in, named by the plug-in's name.
class IMainMenuUI
{
public:
    virtual ~IMainMenuUI() = default;
    virtual int MenuItemCount() = 0;                                        // slot 2
    virtual QString MenuItemName(int index) = 0;                            // slot 3
    virtual void EnableMenuItem(const QString& pluginName, bool enable) = 0; // slot 4
    virtual QString SelectedMenuItem() = 0;                                 // slot 5
    virtual void SelectMenuItem(const QString& pluginName) = 0;             // slot 6
};

class ILayoutPlugin
{
public:
    virtual ~ILayoutPlugin() = default;
    virtual bool ShowPage(const QString& pluginName) = 0;                   // slot 2
};

class IDeviceMgr
{
public:
    virtual ~IDeviceMgr() = default;
    virtual bool IsSimValid() = 0;
};

// What the address book's picker is asked for (its first two arguments).
enum AddrBookPick {
    ADDRBOOK_PICK_FOR_MESSAGE = 1,   // purpose: recipients of a message
    ADDRBOOK_PICK_SEVERAL = 2        // selection: several contacts may be chosen at once
};

class IAddrBookUIPlugin
{
public:
    virtual ~IAddrBookUIPlugin() = default;
    // slot 2: stores `number` as a new contact (the user names it); true when a contact was saved.
    virtual bool SaveNumber(const QString& number, QWidget* parent) = 0;
    // slot 3: lets the user pick contacts for the recipients in `numbers` (in/out). On return
    // `numbers` holds every recipient to use, the ones passed in included; the caller shows it
    // as it is. False when the user cancelled (`numbers` is then as it was).
    virtual bool PickNumbers(int purpose, int selection, QStringList& numbers) = 0;
};

class ICallUIPlugin
{
public:
    virtual ~ICallUIPlugin() = default;
    virtual bool MakeCall(const QString& number, int callType) = 0;          // slot 2
    // slot 3: true while a call is in progress (the SMS page disables its call entries then).
    virtual bool IsCallActive() = 0;
    // slot 4: true while the incoming-call notification is on screen; other popups must not cover it.
    virtual bool IsCallNotificationVisible() = 0;
    virtual void RaiseCallNotification() = 0;                               // slot 5
};

#define IBasePlugin_iid "com.zentak.velinor.plugin.IBasePlugin"
#define IUIPlugin_iid "com.zentak.velinor.plugin.IUIPlugin"
#define INotify_iid "com.zentak.velinor.plugin.INotify"

Q_DECLARE_INTERFACE(IBasePlugin, IBasePlugin_iid)
Q_DECLARE_INTERFACE(IUIPlugin, IUIPlugin_iid)
Q_DECLARE_INTERFACE(INotify, INotify_iid)
Q_DECLARE_INTERFACE(INotifyService, "com.zentak.velinor.plugin.INotifyService")
Q_DECLARE_INTERFACE(IMainFrameUIService, "com.zentak.velinor.plugin.IMainFrameUIService")
Q_DECLARE_INTERFACE(IMiniFrameUIService, "com.zentak.velinor.plugin.IMiniFrameUIService")
Q_DECLARE_INTERFACE(IMainToolbar, "com.zentak.velinor.plugin.IMainToolbar")
Q_DECLARE_INTERFACE(IMainMenuUI, "com.zentak.velinor.plugin.IMainMenuUI")
Q_DECLARE_INTERFACE(ILayoutPlugin, "com.zentak.velinor.plugin.ILayoutPlugin")
Q_DECLARE_INTERFACE(IDeviceMgr, "com.zentak.velinor.plugin.IDeviceMgr")
Q_DECLARE_INTERFACE(IAddrBookUIPlugin, "com.zentak.velinor.plugin.IAddrBookUIPlugin")
Q_DECLARE_INTERFACE(ICallUIPlugin, "com.zentak.velinor.plugin.ICallUIPlugin")
