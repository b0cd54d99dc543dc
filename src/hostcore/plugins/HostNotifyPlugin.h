#pragma once

#include "host/HostExport.h"
#include "host/INotifyPlugin.h"

#include <QObject>
#include <QStringList>

// The host's notify plugin: records every notification it is asked to
// forward ("Notify(target,code,v1,v2)") and announces it by signal.
class HOSTCORE_EXPORT HostNotifyPlugin : public QObject, public INotifyPlugin
{
    Q_OBJECT
    Q_INTERFACES(INotifyPlugin)
public:
    explicit HostNotifyPlugin(QObject *pParent = nullptr);

    void Notify(const QString &strTarget, int nCode, int nValue1, int nValue2) override;

    QStringList Calls() const;
    void ClearCalls();

signals:
    void signalNotified(const QString &strTarget, int nCode, int nValue1, int nValue2);

private:
    QStringList m_listCalls;
};
