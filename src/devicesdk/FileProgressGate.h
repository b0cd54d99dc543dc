#pragma once

#include <QtGlobal>

#include <functional>

// Spaces the progress reports of one file copy: a report is due once both
// kMinBytes and kMinMs of copying have passed since the previous report (or
// the start). The clock is read only when the bytes alone would allow a
// report, so a copy pays one comparison per chunk.
class FileProgressGate
{
public:
    static constexpr qint64 kMinBytes = 256 * 1024;
    static constexpr qint64 kMinMs = 100;

    // fnNowMs: a monotonic clock in milliseconds; read once here (the start).
    explicit FileProgressGate(std::function<qint64()> fnNowMs);

    // nBytes copied so far: true when a report of them is due now.
    bool IsDue(qint64 nBytes);

private:
    const std::function<qint64()> m_fnNowMs;
    qint64 m_nLastBytes = 0;
    qint64 m_nLastMs = 0;
};
