#include "Startup.h"

namespace {
QPointer<PluginContainer>& currentContainer()
{
    static QPointer<PluginContainer> container;
    return container;
}
}

PluginContainer::PluginContainer(QObject* parent) : QObject(parent) {}

QObject* PluginContainer::GetPlugin(const QString& guid, int code) const
{
    // GUIDs are compared without regard to case: callers spell them as their headers do.
    return m_plugins.value(qMakePair(guid.toUpper(), code));
}

bool PluginContainer::HasPlugin(const QString& guid) const
{
    const QString key = guid.toUpper();
    for (auto it = m_plugins.cbegin(); it != m_plugins.cend(); ++it)
        if (it.key().first == key && it.value())
            return true;
    return false;
}

void PluginContainer::RegisterPlugin(const QString& guid, int code, QObject* object)
{
    m_plugins.insert(qMakePair(guid.toUpper(), code), object);
}

void PluginContainer::UnregisterPlugin(const QString& guid)
{
    const QString key = guid.toUpper();
    for (auto it = m_plugins.begin(); it != m_plugins.end();) {
        if (it.key().first == key)
            it = m_plugins.erase(it);
        else
            ++it;
    }
}

void PluginContainer::Clear() { m_plugins.clear(); }

PluginContainer* Startup::GetPluginContainer() { return currentContainer(); }
void Startup::SetPluginContainer(PluginContainer* container) { currentContainer() = container; }
