// The host plug-ins the SMS page looks up in the plug-in container, as the frame provides them.
#pragma once

#include "HostInterfaces.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

class FrameWindow;

class NotifyService : public QObject, public INotifyService
{
    Q_OBJECT
    Q_INTERFACES(INotifyService)
public:
    explicit NotifyService(QObject* parent = nullptr) : QObject(parent) {}
    void AddPlugin(const QString& guid, INotify* plugin) { m_plugins.insert(guid.toUpper(), plugin); }
    void RemovePlugin(const QString& guid) { m_plugins.remove(guid.toUpper()); }
    void RemoveAllPlugins() { m_plugins.clear(); }
    QList<int> Registrations(const QString& guid) const { return m_registrations.value(guid.toUpper()).values(); }
    // Delivers `code` to every plug-in that registered for it (e.g. the phone book changed).
    void Publish(int code);
    // Delivers a host notification to every plug-in the frame runs (language, flight mode, SIM
    // and device state), whether or not it registered for it.
    void NotifyAll(int code, int param1 = 0, int param2 = 0);

    void RegisterNotify(const QString& guid, int code) override;
    void UnRegisterNotify(const QString& guid, int code) override;
    void SendNotify(const QString& targetGuid, int code, int param1, int param2) override;
    void UnRegisterAll(const QString& guid) override;
    void BroadcastNotify(int code, int param1, int param2) override;

signals:
    // A notification for a host part rather than a plug-in (status bar, mini frame).
    void hostNotified(const QString& targetGuid, int code);
    void broadcast(int code);
    // A notification NotifyAll delivered.
    void delivered(int code);

private:
    QHash<QString, QSet<int>> m_registrations;
    QHash<QString, INotify*> m_plugins;
};

class MainFrameService : public QObject, public IMainFrameUIService, public IMiniFrameUIService,
                         public IMainToolbar, public IMainMenuUI, public ILayoutPlugin
{
    Q_OBJECT
    Q_INTERFACES(IMainFrameUIService IMiniFrameUIService IMainToolbar IMainMenuUI ILayoutPlugin)
public:
    explicit MainFrameService(FrameWindow* frame);
    bool IsMainFrameVisible() override;
    QWidget* GetMainFrameWidget() override;
    void BringToFront() override;
    void ShowPlugin(const QString& pluginGuid) override;
    void SelectItem(const QString& pluginName) override;
    int MenuItemCount() override;
    QString MenuItemName(int index) override;
    void EnableMenuItem(const QString& pluginName, bool enable) override;
    QString SelectedMenuItem() override;
    void SelectMenuItem(const QString& pluginName) override;
    bool ShowPage(const QString& pluginName) override;

private:
    FrameWindow* m_frame;
};

class DeviceMgrService : public QObject, public IDeviceMgr
{
    Q_OBJECT
    Q_INTERFACES(IDeviceMgr)
public:
    using QObject::QObject;
    bool IsSimValid() override;
};

class AddressBookService : public QObject, public IAddrBookUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(IAddrBookUIPlugin)
public:
    AddressBookService(NotifyService* notify, QObject* parent = nullptr) : QObject(parent), m_notify(notify) {}
    bool SaveNumber(const QString& number, QWidget* parent) override;
    // The phone book's picker; every number chosen that is not among `numbers` yet is added after
    // them. The picker offers the same numbers whatever the purpose and always lets several be
    // chosen.
    bool PickNumbers(int purpose, int selection, QStringList& numbers) override;

private:
    QPointer<NotifyService> m_notify;
};

class CallService : public QObject, public ICallUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(ICallUIPlugin)
public:
    using QObject::QObject;
    bool MakeCall(const QString& number, int callType) override;
    bool IsCallActive() override { return false; }
    // Calls go to the desktop's tel: handler, which shows its own notification, not this frame.
    bool IsCallNotificationVisible() override { return false; }
    void RaiseCallNotification() override {}
};
