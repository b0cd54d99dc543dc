#pragma once

#include <QObject>
#include <QString>

// Implemented by the plugins that can ask for a backup ("UpdateUIPlugin",
// "ZvRomUIPlugin"); the backup plugin reports to them through it.
class IUpdateBackupInterface
{
public:
    virtual ~IUpdateBackupInterface() = default;
    virtual void OnBackupCancel() = 0;
    virtual void OnBackupBegin() = 0;
    virtual void OnBackupValue(int nValue1, int nValue2) = 0;
    virtual void OnBackupFinish(const QString &strResult) = 0;
    virtual void OnBackupClose() = 0;
    virtual void SetBackupSwitching(bool bSwitching) = 0;
};

#define IUpdateBackupInterface_iid "com.orbeni.corvanda.plugin.IUpdateBackupInterface"
Q_DECLARE_INTERFACE(IUpdateBackupInterface, IUpdateBackupInterface_iid)
