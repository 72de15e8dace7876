#include "Startup.h"

#include <algorithm>

namespace {
PluginContainer*& currentContainer()
{
    static PluginContainer* container = nullptr;
    return container;
}
}

PluginContainer::~PluginContainer()
{
    if (currentContainer() == this)
        currentContainer() = nullptr;
}

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

QStringList PluginContainer::PluginGuids() const
{
    QStringList guids;
    for (auto it = m_plugins.cbegin(); it != m_plugins.cend(); ++it)
        if (it.value() && !guids.contains(it.key().first))
            guids.append(it.key().first);
    guids.sort();
    return guids;
}

QList<int> PluginContainer::PluginCodes(const QString& guid) const
{
    const QString key = guid.toUpper();
    QList<int> codes;
    for (auto it = m_plugins.cbegin(); it != m_plugins.cend(); ++it)
        if (it.key().first == key && it.value())
            codes.append(it.key().second);
    std::sort(codes.begin(), codes.end());
    return codes;
}

int PluginContainer::PluginCount() const { return PluginGuids().size(); }

PluginContainer* Startup::GetPluginContainer() { return currentContainer(); }
void Startup::SetPluginContainer(PluginContainer* container) { currentContainer() = container; }
