#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <deque>

// One direction of a cable with a fixed latency: bytes that enter at a time
// come out, in the order they entered, once the latency has passed. Time
// comes from the caller, in nanoseconds, which keeps it testable.
class LinkDelay
{
public:
    // nDelayNs 0: no latency (nothing is ever held).
    explicit LinkDelay(qint64 nDelayNs = 0);

    bool IsDelayed() const { return m_nDelayNs > 0; }
    qint64 DelayNs() const { return m_nDelayNs; }

    // Bytes sent into the line at nNowNs.
    void Push(const QByteArray &baData, qint64 nNowNs);
    // Everything whose time has come by nNowNs, oldest first.
    QByteArray TakeDue(qint64 nNowNs);
    // Everything still in the line, oldest first; the line is empty after it.
    QByteArray TakeAll();
    // When the oldest bytes come out; -1 when the line is empty.
    qint64 NextDueNs() const;
    // Bytes in the line.
    qint64 Bytes() const { return m_nBytes; }

private:
    struct Block
    {
        qint64 nDueNs;
        QByteArray baData;
    };

    const qint64 m_nDelayNs;
    std::deque<Block> m_blocks;
    qint64 m_nBytes = 0;
};
