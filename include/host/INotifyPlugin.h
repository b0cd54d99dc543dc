#pragma once

#include <QObject>
#include <QString>

// The host's notify plugin: forwards a notification to another plugin.
class INotifyPlugin
{
public:
    virtual ~INotifyPlugin() = default;
    virtual void Notify(const QString &strTarget, int nCode, int nValue1, int nValue2) = 0;
};

#define INotifyPlugin_iid "com.orbeni.corvanda.plugin.INotifyPlugin"
Q_DECLARE_INTERFACE(INotifyPlugin, INotifyPlugin_iid)
