#pragma once

class IDestroyEvent
{
public:
    virtual ~IDestroyEvent() = default;
    virtual void OnDestroy() = 0;
};
