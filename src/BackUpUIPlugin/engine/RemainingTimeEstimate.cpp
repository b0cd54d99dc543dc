#include "RemainingTimeEstimate.h"

#include <climits>
#include <cmath>

void RemainingTimeEstimate::SetTotal(qint64 nTotalBytes)
{
    m_nTotal = qMax<qint64>(0, nTotalBytes);
}

void RemainingTimeEstimate::Update(qint64 nElapsedMs, qint64 nDoneBytes)
{
    m_nDone = qMax(m_nDone, nDoneBytes);
    m_nLastMs = qMax(m_nLastMs, nElapsedMs);
    if (!m_bStarted) {
        // Time before the first bytes (counting, records) says nothing about
        // the link.
        if (m_nDone <= 0)
            return;
        m_bStarted = true;
        m_nStartMs = m_nWindowMs = m_nLastMs;
        m_nStartBytes = m_nWindowBytes = m_nDone;
        return;
    }
    const qint64 nWindow = m_nLastMs - m_nWindowMs;
    if (nWindow < kWindowMs)
        return;
    const double dRate = double(m_nDone - m_nWindowBytes) * 1000.0 / double(nWindow);
    m_dRate = m_nWindowMs == m_nStartMs ? dRate : kSmoothing * dRate + (1.0 - kSmoothing) * m_dRate;
    m_nWindowMs = m_nLastMs;
    m_nWindowBytes = m_nDone;
}

int RemainingTimeEstimate::SecondsLeft() const
{
    if (!m_bStarted || m_dRate <= 0.0 || m_nLastMs - m_nStartMs < kMinMeasuredMs
        || m_nDone - m_nStartBytes < kMinMeasuredBytes)
        return -1;
    const qint64 nLeft = qMax<qint64>(0, m_nTotal - m_nDone);
    // The smoothed rate is a sum of inexact parts: a quotient a hair above a
    // whole second is that second.
    return int(qMin(std::ceil(double(nLeft) / m_dRate - 1e-9), double(INT_MAX)));
}

int RemainingTimeEstimate::ShownMinutes(int nSeconds)
{
    if (nSeconds < 60)
        return 0;
    return (nSeconds + 30) / 60;
}
