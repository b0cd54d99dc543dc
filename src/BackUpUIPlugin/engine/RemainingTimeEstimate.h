#pragma once

#include <QtGlobal>

// The time a run has left, from the throughput measured in this run: bytes
// per second over windows of at least kWindowMs, smoothed exponentially
// (the newest window weighs kSmoothing). The measurement starts with the
// first bytes; an estimate is given once kMinMeasuredMs and
// kMinMeasuredBytes have been measured. The clock is the caller's, so the
// computation is the same whenever it runs.
class RemainingTimeEstimate
{
public:
    static constexpr qint64 kWindowMs = 1000;
    static constexpr double kSmoothing = 0.3;
    static constexpr qint64 kMinMeasuredMs = 3000;
    static constexpr qint64 kMinMeasuredBytes = 1024 * 1024;

    // The bytes the whole run is to move.
    void SetTotal(qint64 nTotalBytes);
    // nDoneBytes of the total are done at nElapsedMs (a monotonic clock).
    void Update(qint64 nElapsedMs, qint64 nDoneBytes);

    // Seconds left, rounded up; -1 while too little has been measured or
    // nothing moves.
    int SecondsLeft() const;
    // The smoothed throughput; 0 before the first window is over.
    double BytesPerSecond() const { return m_dRate; }

    // How a time left is shown: whole minutes, the nearest; 0 for less than
    // a minute.
    static int ShownMinutes(int nSeconds);

private:
    qint64 m_nTotal = 0;
    qint64 m_nDone = 0;
    bool m_bStarted = false;
    qint64 m_nStartMs = 0;
    qint64 m_nStartBytes = 0;
    qint64 m_nWindowMs = 0;
    qint64 m_nWindowBytes = 0;
    qint64 m_nLastMs = 0;
    double m_dRate = 0.0;
};
