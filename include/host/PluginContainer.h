#pragma once

#include "HostExport.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// The host's plugin container: finds a loaded plugin's object by id or name.
class HOSTCORE_EXPORT PluginContainer
{
public:
    void AddPlugin(const QString &strId, const QString &strName, QObject *pPlugin);
    void RemovePlugin(QObject *pPlugin);
    void Clear();
    // By id or by name; null when not loaded.
    QObject *GetPlugin(const QString &strIdOrName) const;

private:
    struct Entry
    {
        QString strId;
        QString strName;
        QPointer<QObject> pPlugin;
    };
    QList<Entry> m_listEntries;
};
