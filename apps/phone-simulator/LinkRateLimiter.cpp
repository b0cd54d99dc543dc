#include "LinkRateLimiter.h"

#include <cmath>

LinkRateLimiter::LinkRateLimiter(qint64 nBytesPerSecond)
    : m_nBytesPerSecond(qMax<qint64>(0, nBytesPerSecond))
{
}

void LinkRateLimiter::Refill(qint64 nNowNs)
{
    if (m_nLastNs < 0 || nNowNs < m_nLastNs) {
        m_nLastNs = nNowNs;
        return;
    }
    const double dBurst = double(m_nBytesPerSecond) * kBurstSeconds;
    m_dTokens = qMin(dBurst, m_dTokens + double(nNowNs - m_nLastNs) * double(m_nBytesPerSecond) / 1e9);
    m_nLastNs = nNowNs;
}

qint64 LinkRateLimiter::WaitNs(qint64 nNowNs)
{
    if (!IsLimited())
        return 0;
    Refill(nNowNs);
    if (m_dTokens >= 0)
        return 0;
    return qint64(std::ceil(-m_dTokens * 1e9 / double(m_nBytesPerSecond)));
}

void LinkRateLimiter::Take(qint64 nBytes, qint64 nNowNs)
{
    if (!IsLimited())
        return;
    Refill(nNowNs);
    m_dTokens -= double(nBytes);
}

qint64 LinkRateLimiter::SmoothChunk(qint64 nMaximum) const
{
    if (!IsLimited())
        return nMaximum;
    return qBound<qint64>(qMin<qint64>(4096, nMaximum), m_nBytesPerSecond / 100, nMaximum);
}
