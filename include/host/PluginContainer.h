#pragma once

#include "HostExport.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

// The host's plugin container: finds a loaded plugin's object by id or name.
// Ids compare without regard to case (they are GUID texts), names exactly. A
// plugin object that is destroyed disappears from the container by itself.
class HOSTCORE_EXPORT PluginContainer
{
public:
    void AddPlugin(const QString &strId, const QString &strName, QObject *pPlugin);
    void RemovePlugin(QObject *pPlugin);
    void Clear();
    // By id or by name; null when not loaded.
    QObject *GetPlugin(const QString &strIdOrName) const;
    // Names of the plugins still alive, in the order they were added.
    QStringList GetPluginNames() const;

private:
    struct Entry
    {
        QString strId;
        QString strName;
        QPointer<QObject> pPlugin;
    };
    mutable QMutex m_mutex;
    QList<Entry> m_listEntries;
};
