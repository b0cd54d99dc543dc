#include "FileProgressGate.h"

#include <utility>

FileProgressGate::FileProgressGate(std::function<qint64()> fnNowMs) : m_fnNowMs(std::move(fnNowMs))
{
    m_nLastMs = m_fnNowMs();
}

bool FileProgressGate::IsDue(qint64 nBytes)
{
    if (nBytes - m_nLastBytes < kMinBytes)
        return false;
    const qint64 nNowMs = m_fnNowMs();
    if (nNowMs - m_nLastMs < kMinMs)
        return false;
    m_nLastBytes = nBytes;
    m_nLastMs = nNowMs;
    return true;
}
