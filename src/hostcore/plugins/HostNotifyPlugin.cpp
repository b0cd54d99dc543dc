#include "HostNotifyPlugin.h"

#include "host/HostCallLog.h"

HostNotifyPlugin::HostNotifyPlugin(QObject *pParent)
    : QObject(pParent)
{
    setObjectName(QStringLiteral("NotifyPlugin"));
}

void HostNotifyPlugin::Notify(const QString &strTarget, int nCode, int nValue1, int nValue2)
{
    const QString strCall = QStringLiteral("Notify(%1,%2,%3,%4)").arg(strTarget).arg(nCode).arg(nValue1).arg(nValue2);
    m_listCalls.append(strCall);
    HostCallLog::Record(strCall);
    emit signalNotified(strTarget, nCode, nValue1, nValue2);
}

QStringList HostNotifyPlugin::Calls() const
{
    return m_listCalls;
}

void HostNotifyPlugin::ClearCalls()
{
    m_listCalls.clear();
}
