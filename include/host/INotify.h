#pragma once

#include <QObject>

class INotify
{
public:
    virtual ~INotify() = default;
    virtual qint32 Notify(quint32 nCode) = 0;
};

#define INotify_iid "com.orbeni.corvanda.plugin.INotify"
Q_DECLARE_INTERFACE(INotify, INotify_iid)
