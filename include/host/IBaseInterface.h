#pragma once

#include <QtGlobal>

class IBaseInterface
{
public:
    virtual ~IBaseInterface() = default;
    virtual void Reserved1() {}
    virtual qint32 Reserved2() { return 0; }
};
