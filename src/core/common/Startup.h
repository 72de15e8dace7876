// The host's plug-in container: maps (GUID, interface number) to the host object that answers it.
// A GUID the host does not provide gives null, so every "plug-in missing" path can be exercised by
// leaving it out of the container.
#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>

class PluginContainer : public QObject
{
    Q_OBJECT
public:
    explicit PluginContainer(QObject* parent = nullptr);

    // The object registered for (guid, code), or null. The caller casts it with qobject_cast to the
    // interface it expects.
    Q_INVOKABLE QObject* GetPlugin(const QString& guid, int code) const;
    bool HasPlugin(const QString& guid) const;

    void RegisterPlugin(const QString& guid, int code, QObject* object);
    void UnregisterPlugin(const QString& guid);
    void Clear();

private:
    QHash<QPair<QString, int>, QPointer<QObject>> m_plugins;
};

class Startup
{
public:
    static PluginContainer* GetPluginContainer();
    // The frame installs its container at start-up; tests install their own or null.
    static void SetPluginContainer(PluginContainer* container);
};
