#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// Measures how long the thread it lives on stops serving its event loop: a
// 10 ms timer ticks on that thread and the largest gap between two ticks is
// kept. A responsive user-interface thread shows gaps close to 10 ms.
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
    int Ticks() const { return m_nTicks; }

private slots:
    void slotTick();

private:
    QTimer *m_pTimer = nullptr;
    QElapsedTimer m_clock;
    qint64 m_nLastTick = 0;
    qint64 m_nLongestGap = 0;
    int m_nTicks = 0;
};
