#pragma once

#include "IBaseInterface.h"
#include "IDestroyEvent.h"

#include <QObject>
#include <QString>

class IBasePlugin : public IBaseInterface, public IDestroyEvent
{
public:
    virtual bool Init() = 0;
    virtual qint32 Reserved3() { return 0; }
    virtual QString GetPluginId() = 0;
    virtual qint32 Reserved4() { return 0; }
    virtual QString GetPluginName() = 0;
    virtual qint32 Reserved5() { return 0; }
};

#define IBasePlugin_iid "com.orbeni.corvanda.plugin.IBasePlugin"
Q_DECLARE_INTERFACE(IBasePlugin, IBasePlugin_iid)
