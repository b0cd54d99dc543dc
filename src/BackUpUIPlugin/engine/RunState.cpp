#include "RunState.h"

namespace
{
QMutex g_stateMutex;
int g_nRunState = 0;
} // namespace

int RunState::Get()
{
    QMutexLocker locker(&g_stateMutex);
    return g_nRunState;
}

void RunState::Set(int nState)
{
    QMutexLocker locker(&g_stateMutex);
    g_nRunState = nState;
}

QMutex &RunState::Mutex()
{
    return g_stateMutex;
}
