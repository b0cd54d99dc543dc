#pragma once

#include <QMutex>

// The process-wide run state: 0 while a job runs normally, -2 once the user
// has cancelled; any negative value means cancelled. Kept by the worker
// thread, read by the factory steps, the modules and the worker's slots.
class RunState
{
public:
    static constexpr int kCancelled = -2;

    static int Get();
    static void Set(int nState);
    static bool IsCancelled() { return Get() < 0; }
    // The worker's state mutex, for callers that must hold it across a check.
    static QMutex &Mutex();
};
