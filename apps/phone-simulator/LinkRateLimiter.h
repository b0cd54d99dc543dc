#pragma once

#include <QtGlobal>

// A smooth token bucket for the phone's link: bytes may be sent while the
// bucket is not in debt; each send takes its size (possibly into debt) and
// the bucket refills at the link rate. A short idle time is credited (up to
// kBurstSeconds of the rate), so timer lateness does not slow the average.
// Time comes from the caller, in nanoseconds, which keeps it testable.
class LinkRateLimiter
{
public:
    static constexpr double kBurstSeconds = 0.02;

    // nBytesPerSecond 0: no limit.
    explicit LinkRateLimiter(qint64 nBytesPerSecond = 0);

    bool IsLimited() const { return m_nBytesPerSecond > 0; }
    qint64 BytesPerSecond() const { return m_nBytesPerSecond; }

    // Nanoseconds to wait before anything may be sent at nNowNs (0: now).
    qint64 WaitNs(qint64 nNowNs);
    // Accounts for nBytes sent at nNowNs.
    void Take(qint64 nBytes, qint64 nNowNs);
    // A write size that keeps the link smooth: about a hundredth of a second of data.
    qint64 SmoothChunk(qint64 nMaximum) const;

private:
    void Refill(qint64 nNowNs);

    const qint64 m_nBytesPerSecond;
    double m_dTokens = 0;
    qint64 m_nLastNs = -1;
};
