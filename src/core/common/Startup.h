// The host's plug-in container: maps (GUID, interface number) to the host object that answers it.
// A GUID the host does not provide gives null, so every "plug-in missing" path can be exercised by
// leaving it out of the container.
#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>

// What a plug-in may call on the container. A separately compiled plug-in calls it by virtual-table
// slot (after the two destructor slots), so the order below is part of the binary contract.
class IPluginContainer
{
public:
    virtual ~IPluginContainer() = default;                                       // slots 0, 1
    virtual void RegisterPlugin(const QString& guid, int code, QObject* object) = 0;  // slot 2
    virtual void UnregisterPlugin(const QString& guid) = 0;                     // slot 3
    virtual void Clear() = 0;                                                   // slot 4
    virtual bool HasPlugin(const QString& guid) const = 0;                      // slot 5
    virtual QStringList PluginGuids() const = 0;                                // slot 6
    virtual QList<int> PluginCodes(const QString& guid) const = 0;              // slot 7
    virtual int PluginCount() const = 0;                                        // slot 8
    // slot 9: the object registered for (guid, code), or null. The caller casts it with
    // qobject_cast to the interface it expects.
    virtual QObject* GetPlugin(const QString& guid, int code) const = 0;
};

class PluginContainer : public IPluginContainer
{
public:
    PluginContainer() = default;
    ~PluginContainer() override;   // uninstalls itself if it is still the installed container
    PluginContainer(const PluginContainer&) = delete;
    PluginContainer& operator=(const PluginContainer&) = delete;

    void RegisterPlugin(const QString& guid, int code, QObject* object) override;
    void UnregisterPlugin(const QString& guid) override;
    void Clear() override;
    bool HasPlugin(const QString& guid) const override;
    QStringList PluginGuids() const override;
    QList<int> PluginCodes(const QString& guid) const override;
    int PluginCount() const override;
    QObject* GetPlugin(const QString& guid, int code) const override;

private:
    QHash<QPair<QString, int>, QPointer<QObject>> m_plugins;
};

class Startup
{
public:
    static PluginContainer* GetPluginContainer();
    // The frame installs its container at start-up; tests install their own or null. The caller
    // keeps ownership and uninstalls it before destroying it.
    static void SetPluginContainer(PluginContainer* container);
};
