#pragma once

#include "HostStandInPlugin.h"
#include "host/IUpdateBackupInterface.h"

// A plugin of the suite that can have a backup run on its behalf (the
// firmware-update and the ROM plugin): records what the backup plugin reports
// to it.
class HOSTCORE_EXPORT HostBackupRequesterPlugin : public HostStandInPlugin, public IUpdateBackupInterface
{
    Q_OBJECT
    Q_INTERFACES(IUpdateBackupInterface)
public:
    HostBackupRequesterPlugin(const QString &strId, const QString &strName, QObject *pParent = nullptr);

    void OnBackupCancel() override;
    void OnBackupBegin() override;
    void OnBackupValue(int nValue1, int nValue2) override;
    void OnBackupFinish(const QString &strResult) override;
    void OnBackupClose() override;
    void SetBackupSwitching(bool bSwitching) override;

    bool IsSwitching() const;
    QString GetLastResult() const;

private:
    bool m_bSwitching = false;
    QString m_strLastResult;
};
