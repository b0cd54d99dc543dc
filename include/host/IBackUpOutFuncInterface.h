#pragma once

#include <QObject>

// Through this interface another plugin of the suite asks for a backup.
class IBackUpOutFuncInterface
{
public:
    virtual ~IBackUpOutFuncInterface() = default;
    virtual bool SetOutFuncCaller(int nCaller) = 0;
    virtual void SetOutFuncParam(int nValue) = 0;
    virtual void CancelOutFuncBackup() = 0;
};

#define IBackUpOutFuncInterface_iid "com.orbeni.corvanda.plugin.IBackUpOutFuncInterface"
Q_DECLARE_INTERFACE(IBackUpOutFuncInterface, IBackUpOutFuncInterface_iid)
