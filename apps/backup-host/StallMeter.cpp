#include "StallMeter.h"

#include <QTimer>

#include <ctime>

StallMeter::StallMeter(QObject *pParent) : QObject(pParent), m_pTimer(new QTimer(this))
{
    m_pTimer->setTimerType(Qt::PreciseTimer);
    m_pTimer->setInterval(kTickInterval);
    connect(m_pTimer, &QTimer::timeout, this, &StallMeter::slotTick);
}

qint64 StallMeter::ThreadCpuMicroseconds()
{
#if defined(CLOCK_THREAD_CPUTIME_ID)
    timespec now = {};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
        return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
#endif
    return -1;
}

void StallMeter::Start()
{
    m_nLongestGap = 0;
    m_nLongestGapEnd = 0;
    m_nLongestBusyUs = -1;
    m_nTicks = 0;
    m_clock.start();
    m_nLastTick = 0;
    m_nLastCpuUs = ThreadCpuMicroseconds();
    m_pTimer->start();
}

void StallMeter::Stop()
{
    if (!m_pTimer->isActive())
        return;
    // The time since the last tick counts as well: a stall may last until now.
    slotTick();
    m_pTimer->stop();
}

bool StallMeter::IsRunning() const
{
    return m_pTimer->isActive();
}

void StallMeter::slotTick()
{
    const qint64 nNow = m_clock.elapsed();
    if (nNow - m_nLastTick > m_nLongestGap) {
        m_nLongestGap = nNow - m_nLastTick;
        m_nLongestGapEnd = nNow;
    }
    m_nLastTick = nNow;
    const qint64 nCpuUs = ThreadCpuMicroseconds();
    if (nCpuUs >= 0 && m_nLastCpuUs >= 0)
        m_nLongestBusyUs = qMax(m_nLongestBusyUs, nCpuUs - m_nLastCpuUs);
    m_nLastCpuUs = nCpuUs;
    ++m_nTicks;
}
