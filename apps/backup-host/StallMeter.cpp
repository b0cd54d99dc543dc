#include "StallMeter.h"

#include <QTimer>

StallMeter::StallMeter(QObject *pParent) : QObject(pParent), m_pTimer(new QTimer(this))
{
    m_pTimer->setTimerType(Qt::PreciseTimer);
    m_pTimer->setInterval(kTickInterval);
    connect(m_pTimer, &QTimer::timeout, this, &StallMeter::slotTick);
}

void StallMeter::Start()
{
    m_nLongestGap = 0;
    m_nTicks = 0;
    m_clock.start();
    m_nLastTick = 0;
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
    m_nLongestGap = qMax(m_nLongestGap, nNow - m_nLastTick);
    m_nLastTick = nNow;
    ++m_nTicks;
}
