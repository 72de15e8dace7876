// Finds, loads and starts the page plug-ins under <library path>/plugins/*/, and explains every
// plug-in it could not use instead of giving up.
#pragma once

#include "HostInterfaces.h"

#include <QList>
#include <QString>

class QPluginLoader;

struct LoadedPlugin {
    enum State { Found, Invalid, Loaded, Initialised, Failed, Stopped };
    QString file;
    QString iid;
    QString className;
    State state = Found;
    QString error;
    QPluginLoader* loader = nullptr;
    QObject* instance = nullptr;
    IUIPlugin* ui = nullptr;
    INotify* notify = nullptr;
};

class PluginManager
{
public:
    PluginManager() = default;
    ~PluginManager();

    // Reads the metadata of every library in the plug-in folders, loads those that declare an
    // interface id, and calls Init on them. Returns the number of running plug-ins.
    int LoadAll(const QString& libraryPath);
    // Shut-down order: every plug-in drops its device callbacks, then releases its services,
    // then its object is deleted.
    void ShutdownAll();

    const QList<LoadedPlugin>& Plugins() const { return m_plugins; }
    LoadedPlugin* Find(const QString& name);
    QStringList Problems() const;

    static QString StateName(LoadedPlugin::State state);

private:
    QList<LoadedPlugin> m_plugins;
};
