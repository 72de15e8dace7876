#include "PluginManager.h"

#include <QDir>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

PluginManager::~PluginManager() { ShutdownAll(); }

QString PluginManager::StateName(PluginSpec::State state)
{
    switch (state) {
    case PluginSpec::Found: return QStringLiteral("found");
    case PluginSpec::Invalid: return QStringLiteral("invalid");
    case PluginSpec::Loaded: return QStringLiteral("loaded");
    case PluginSpec::Initialised: return QStringLiteral("running");
    case PluginSpec::Failed: return QStringLiteral("failed");
    case PluginSpec::Stopped: return QStringLiteral("stopped");
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
            PluginSpec spec;
            spec.file = path;
            spec.loader = new QPluginLoader(path);
            const QJsonObject meta = spec.loader->metaData();
            spec.iid = meta.value(QStringLiteral("IID")).toString();
            spec.className = meta.value(QStringLiteral("className")).toString();
            if (spec.iid.isEmpty()) {
                spec.state = PluginSpec::Invalid;
                spec.error = QStringLiteral("not a Qt plug-in (no metadata): %1").arg(spec.loader->errorString());
            } else if (!(spec.instance = spec.loader->instance())) {
                spec.state = PluginSpec::Invalid;
                spec.error = QStringLiteral("cannot be loaded: %1").arg(spec.loader->errorString());
            } else if (!(spec.ui = qobject_cast<IUIPlugin*>(spec.instance))) {
                spec.state = PluginSpec::Invalid;
                spec.error = QStringLiteral("plug-in is not valid (does not implement IUIPlugin)");
                spec.instance = nullptr;
            } else {
                spec.state = PluginSpec::Loaded;
                spec.notify = qobject_cast<INotify*>(spec.instance);
                if (spec.ui->Init()) {
                    spec.state = PluginSpec::Initialised;
                    ++running;
                } else {
                    spec.state = PluginSpec::Failed;
                    spec.error = QStringLiteral("Init() failed");
                }
            }
            if (!spec.error.isEmpty())
                qWarning("xframe: %s: %s", qPrintable(path), qPrintable(spec.error));
            m_plugins.append(spec);
        }
    }
    return running;
}

void PluginManager::ShutdownAll()
{
    for (PluginSpec& spec : m_plugins)
        if (spec.ui && (spec.state == PluginSpec::Initialised || spec.state == PluginSpec::Failed || spec.state == PluginSpec::Loaded))
            spec.ui->UnSDKRegisterEvent();
    for (PluginSpec& spec : m_plugins)
        if (spec.ui && spec.state != PluginSpec::Stopped && spec.state != PluginSpec::Invalid)
            spec.ui->OnDestroy();
    for (PluginSpec& spec : m_plugins) {
        if (spec.instance && spec.state != PluginSpec::Stopped)
            delete spec.instance;   // the library stays mapped: Qt keeps plug-in libraries loaded
        spec.instance = nullptr;
        spec.ui = nullptr;
        spec.notify = nullptr;
        if (spec.state != PluginSpec::Invalid)
            spec.state = PluginSpec::Stopped;
        delete spec.loader;
        spec.loader = nullptr;
    }
}

PluginSpec* PluginManager::Find(const QString& name)
{
    for (PluginSpec& spec : m_plugins)
        if (spec.ui && spec.ui->GetPluginName() == name)
            return &spec;
    return nullptr;
}

QStringList PluginManager::Problems() const
{
    QStringList out;
    for (const PluginSpec& spec : m_plugins)
        if (!spec.error.isEmpty())
            out << QStringLiteral("%1: %2").arg(QDir(spec.file).dirName(), spec.error);
    return out;
}
