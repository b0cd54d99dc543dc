#include "LinkDelay.h"

LinkDelay::LinkDelay(qint64 nDelayNs) : m_nDelayNs(qMax<qint64>(0, nDelayNs))
{
}

void LinkDelay::Push(const QByteArray &baData, qint64 nNowNs)
{
    if (baData.isEmpty())
        return;
    // A clock that went back must not let later bytes overtake earlier ones.
    qint64 nDueNs = nNowNs + m_nDelayNs;
    if (!m_blocks.empty())
        nDueNs = qMax(nDueNs, m_blocks.back().nDueNs);
    m_blocks.push_back({nDueNs, baData});
    m_nBytes += baData.size();
}

QByteArray LinkDelay::TakeDue(qint64 nNowNs)
{
    QByteArray baOut;
    while (!m_blocks.empty() && m_blocks.front().nDueNs <= nNowNs) {
        baOut += m_blocks.front().baData;
        m_nBytes -= m_blocks.front().baData.size();
        m_blocks.pop_front();
    }
    return baOut;
}

QByteArray LinkDelay::TakeAll()
{
    QByteArray baOut;
    for (const Block &block : m_blocks)
        baOut += block.baData;
    m_blocks.clear();
    m_nBytes = 0;
    return baOut;
}

qint64 LinkDelay::NextDueNs() const
{
    return m_blocks.empty() ? -1 : m_blocks.front().nDueNs;
}
