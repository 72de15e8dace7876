#include "PluginManager.h"

#include <QDir>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

PluginManager::~PluginManager() { ShutdownAll(); }

QString PluginManager::StateName(LoadedPlugin::State state)
{
    switch (state) {
    case LoadedPlugin::Found: return QStringLiteral("found");
    case LoadedPlugin::Invalid: return QStringLiteral("invalid");
    case LoadedPlugin::Loaded: return QStringLiteral("loaded");
    case LoadedPlugin::Initialised: return QStringLiteral("running");
    case LoadedPlugin::Failed: return QStringLiteral("failed");
    case LoadedPlugin::Stopped: return QStringLiteral("stopped");
    }
    return QString();
}

int PluginManager::LoadAll(const QString& libraryPath)
{
    const QDir root(libraryPath + QStringLiteral("/plugins"));
    if (!root.exists()) {
        qWarning("xframe: plug-in folder %s does not exist", qPrintable(root.path()));
        return 0;
    }
    int running = 0;
    for (const QString& sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir dir(root.filePath(sub));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            const QString path = dir.filePath(name);
            if (!QLibrary::isLibrary(path))
                continue;
            LoadedPlugin entry;
            entry.file = path;
            entry.loader = new QPluginLoader(path);
            const QJsonObject meta = entry.loader->metaData();
            entry.iid = meta.value(QStringLiteral("IID")).toString();
            entry.className = meta.value(QStringLiteral("className")).toString();
            if (entry.iid.isEmpty()) {
                entry.state = LoadedPlugin::Invalid;
                entry.error = QStringLiteral("not a Qt plug-in (no metadata): %1").arg(entry.loader->errorString());
            } else if (!(entry.instance = entry.loader->instance())) {
                entry.state = LoadedPlugin::Invalid;
                entry.error = QStringLiteral("cannot be loaded: %1").arg(entry.loader->errorString());
            } else if (!(entry.ui = qobject_cast<IUIPlugin*>(entry.instance))) {
                entry.state = LoadedPlugin::Invalid;
                entry.error = QStringLiteral("plug-in is not valid (does not implement IUIPlugin)");
                entry.instance = nullptr;
            } else {
                entry.state = LoadedPlugin::Loaded;
                entry.notify = qobject_cast<INotify*>(entry.instance);
                if (entry.ui->Init()) {
                    entry.state = LoadedPlugin::Initialised;
                    ++running;
                } else {
                    entry.state = LoadedPlugin::Failed;
                    entry.error = QStringLiteral("Init() failed");
                }
            }
            if (!entry.error.isEmpty())
                qWarning("xframe: %s: %s", qPrintable(path), qPrintable(entry.error));
            m_plugins.append(entry);
        }
    }
    return running;
}

void PluginManager::ShutdownAll()
{
    for (LoadedPlugin& entry : m_plugins)
        if (entry.ui && (entry.state == LoadedPlugin::Initialised || entry.state == LoadedPlugin::Failed || entry.state == LoadedPlugin::Loaded))
            entry.ui->UnSDKRegisterEvent();
    for (LoadedPlugin& entry : m_plugins)
        if (entry.ui && entry.state != LoadedPlugin::Stopped && entry.state != LoadedPlugin::Invalid)
            entry.ui->OnDestroy();
    for (LoadedPlugin& entry : m_plugins) {
        if (entry.instance && entry.state != LoadedPlugin::Stopped)
            delete entry.instance;   // the library stays mapped: Qt keeps plug-in libraries loaded
        entry.instance = nullptr;
        entry.ui = nullptr;
        entry.notify = nullptr;
        if (entry.state != LoadedPlugin::Invalid)
            entry.state = LoadedPlugin::Stopped;
        delete entry.loader;
        entry.loader = nullptr;
    }
}

LoadedPlugin* PluginManager::Find(const QString& name)
{
    for (LoadedPlugin& entry : m_plugins)
        if (entry.ui && entry.ui->GetPluginName() == name)
            return &entry;
    return nullptr;
}

QStringList PluginManager::Problems() const
{
    QStringList out;
    for (const LoadedPlugin& entry : m_plugins)
        if (!entry.error.isEmpty())
            out << QStringLiteral("%1: %2").arg(QDir(entry.file).dirName(), entry.error);
    return out;
}
