#include "HostBackupRequesterPlugin.h"

HostBackupRequesterPlugin::HostBackupRequesterPlugin(const QString &strId, const QString &strName, QObject *pParent)
    : HostStandInPlugin(strId, strName, pParent)
{
}

void HostBackupRequesterPlugin::OnBackupCancel()
{
    RecordCall(QStringLiteral("OnBackupCancel()"));
}

void HostBackupRequesterPlugin::OnBackupBegin()
{
    RecordCall(QStringLiteral("OnBackupBegin()"));
}

void HostBackupRequesterPlugin::OnBackupValue(int nValue1, int nValue2)
{
    RecordCall(QStringLiteral("OnBackupValue(%1,%2)").arg(nValue1).arg(nValue2));
}

void HostBackupRequesterPlugin::OnBackupFinish(const QString &strResult)
{
    m_strLastResult = strResult;
    RecordCall(QStringLiteral("OnBackupFinish(%1)").arg(strResult));
}

void HostBackupRequesterPlugin::OnBackupClose()
{
    RecordCall(QStringLiteral("OnBackupClose()"));
}

void HostBackupRequesterPlugin::SetBackupSwitching(bool bSwitching)
{
    m_bSwitching = bSwitching;
    RecordCall(QStringLiteral("SetBackupSwitching(%1)").arg(bSwitching ? QStringLiteral("true") : QStringLiteral("false")));
}

bool HostBackupRequesterPlugin::IsSwitching() const
{
    return m_bSwitching;
}

QString HostBackupRequesterPlugin::GetLastResult() const
{
    return m_strLastResult;
}
