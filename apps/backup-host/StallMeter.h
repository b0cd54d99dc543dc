#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// Measures how long the thread it lives on stops serving its event loop: a
// 10 ms timer ticks on that thread and the largest gap between two ticks is
// kept. A responsive user-interface thread shows gaps close to 10 ms. On a
// busy machine a gap also holds time the thread waited for a processor, so
// the processor time the thread itself used between two ticks is kept too:
// that part is the thread's own work.
class StallMeter : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickInterval = 10;

    explicit StallMeter(QObject *pParent = nullptr);

    void Start();
    void Stop();
    bool IsRunning() const;
    // The largest gap between two ticks, in milliseconds (0 before two ticks).
    qint64 LongestGap() const { return m_nLongestGap; }
    // When the longest gap ended, in milliseconds after Start.
    qint64 LongestGapEnd() const { return m_nLongestGapEnd; }
    // The most processor time the thread used between two ticks, in
    // milliseconds (-1 where the system cannot tell).
    qint64 LongestBusy() const { return m_nLongestBusyUs < 0 ? -1 : (m_nLongestBusyUs + 500) / 1000; }
    int Ticks() const { return m_nTicks; }

    // The processor time the calling thread has used, in microseconds (-1
    // where the system cannot tell).
    static qint64 ThreadCpuMicroseconds();

private slots:
    void slotTick();

private:
    QTimer *m_pTimer = nullptr;
    QElapsedTimer m_clock;
    qint64 m_nLastTick = 0;
    qint64 m_nLastCpuUs = -1;
    qint64 m_nLongestGap = 0;
    qint64 m_nLongestGapEnd = 0;
    qint64 m_nLongestBusyUs = -1;
    int m_nTicks = 0;
};
