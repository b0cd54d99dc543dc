#include "host/PluginContainer.h"

#include <QMutexLocker>

void PluginContainer::AddPlugin(const QString &strId, const QString &strName, QObject *pPlugin)
{
    if (!pPlugin)
        return;
    QMutexLocker locker(&m_mutex);
    // One entry per id: registering the same id again replaces the object.
    for (Entry &entry : m_listEntries) {
        if (!strId.isEmpty() && entry.strId.compare(strId, Qt::CaseInsensitive) == 0) {
            entry.strName = strName;
            entry.pPlugin = pPlugin;
            return;
        }
    }
    m_listEntries.append(Entry{strId, strName, pPlugin});
}

void PluginContainer::RemovePlugin(QObject *pPlugin)
{
    QMutexLocker locker(&m_mutex);
    m_listEntries.removeIf([pPlugin](const Entry &entry) {
        return entry.pPlugin.isNull() || entry.pPlugin.data() == pPlugin;
    });
}

void PluginContainer::Clear()
{
    QMutexLocker locker(&m_mutex);
    m_listEntries.clear();
}

QObject *PluginContainer::GetPlugin(const QString &strIdOrName) const
{
    if (strIdOrName.isEmpty())
        return nullptr;
    QMutexLocker locker(&m_mutex);
    // Ids are GUID texts, which compare without regard to case; names are exact.
    for (const Entry &entry : m_listEntries) {
        if (entry.pPlugin && entry.strId.compare(strIdOrName, Qt::CaseInsensitive) == 0)
            return entry.pPlugin.data();
    }
    for (const Entry &entry : m_listEntries) {
        if (entry.pPlugin && entry.strName == strIdOrName)
            return entry.pPlugin.data();
    }
    return nullptr;
}

QStringList PluginContainer::GetPluginNames() const
{
    QMutexLocker locker(&m_mutex);
    QStringList listNames;
    for (const Entry &entry : m_listEntries) {
        if (entry.pPlugin)
            listNames.append(entry.strName);
    }
    return listNames;
}
